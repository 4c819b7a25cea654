// Questions about the real entries behind paths, for the file operations:
// whether two paths are one folder, whether a path lies inside a folder,
// whether two entries share a file system, whether anything is there at
// all, and removing a folder only when it is empty.
//
// They compare device and inode numbers, never path texts, so a symbolic
// link or a bind mount in one of the paths cannot make one folder look like
// two. Paths are std::wstring with "/" as separator; trailing "/" are
// ignored. Any thread.
#pragma once

#include <cstdint>
#include <string>

// 1 when both paths name the same entry (links followed); 0 otherwise or
// when either is missing.
int rt_path_same_entry(const std::wstring& a, const std::wstring& b);
// 1 when path is the folder itself or lies anywhere below it, judged by
// walking path's real parents up to the top; 0 otherwise.
int rt_path_inside(const std::wstring& folder, const std::wstring& path);
// 1 when both entries (links followed) lie on one file system.
int rt_path_same_device(const std::wstring& a, const std::wstring& b);
// The device number (st_dev) of the entry, links followed, plus one; 0 when
// nothing can be looked at there.
uint64_t rt_path_device(const std::wstring& path);
// 1 when anything is at path, a broken link included (the link itself is
// looked at).
int rt_path_exists(const std::wstring& path);
// What is at path, the entry itself looked at (one lstat): PathMissing,
// PathFolder for a folder of its own, PathOther for anything else (files,
// links, a link to a folder included).
enum : int { PathMissing = 0, PathOther = 1, PathFolder = 2 };
int rt_path_kind(const std::wstring& path);
// 1 when path is a symbolic link (whatever it points at).
int rt_path_is_link(const std::wstring& path);
// Removes the folder if it is empty: 1 removed, -1 not empty (it stays),
// 0 any other failure.
int rt_dir_remove_empty(const std::wstring& path);

// Bytes of the files in folder, with recursive also below it. Symbolic
// links are neither followed nor counted, folders add nothing themselves,
// and every entry is looked at once (its listing type, a stat for files
// only), so a large tree costs what the system's own du costs. 0 when the
// folder cannot be listed.
int64_t rt_dir_tree_bytes(const std::wstring& folder, int recursive);
