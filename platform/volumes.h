// Drives as mounted volumes.
//
// A "drive" of the application is a mounted volume: the root "/", every
// block-device file system and every network file system, named by its mount
// point path (always ending in "/"). pf_volumes_parse turns the text of a
// mount table (the format of /proc/self/mounts) into drive records, looking
// up removable and USB devices under a /sys root and volume labels in a
// by-label folder; all three are inputs so that tests can hand in fixtures.
// pf_volumes_current reads the real files.
//
// Order: "/" first, then by mount point. Pseudo file systems, mounts below
// /proc, /sys, /dev, /boot, /snap and /run (except /run/media/...), loop
// devices holding squashfs images and second mounts of the same source are
// left out.
//
// All functions are pure or read the file system only; safe from any thread.
// Results are returned by value; nothing is kept between calls.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// One mounted volume, as the drive bar and the disk information line see it.
struct PfVolume {
    std::wstring mount;   // mount point path, ends in "/" ("/" for the root)
    std::wstring source;  // what is mounted: device path or network share
    std::wstring fs_type; // file system type as the mount table names it
    std::wstring kind;    // "Hard Disk", "USB Laufwerk", "CD Rom" or "Netzwerk"
    std::wstring letter;  // first character of the label, upper-cased; "/" for the root
    std::wstring label;   // volume label, else last mount point component, else "/"
};

// Drive records of a mount table text. sys_root is the folder that stands for
// /sys (removable and USB detection), by_label_dir the folder that stands for
// /dev/disk/by-label (labels). Either may be empty or missing.
std::vector<PfVolume> pf_volumes_parse(const std::string& mounts_text, const std::string& sys_root,
                                       const std::string& by_label_dir);

// Drive records of the running system (/proc/self/mounts, /sys,
// /dev/disk/by-label).
std::vector<PfVolume> pf_volumes_current();

// Space available to the calling user and total size of the file system
// holding path, in bytes. 1 on success; 0 with both values 0 on failure.
int pf_disk_space(const std::wstring& path, int64_t* free_bytes, int64_t* total_bytes);

// Index of the volume whose mount point is the longest prefix of path
// (a folder path with or without its final "/"), or -1 when none is.
int pf_volume_of_path(const std::vector<PfVolume>& volumes, const std::wstring& path);
