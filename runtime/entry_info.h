// What the runtime knows about one directory entry, read with statx.
//
// Shared by the enumeration and the single-path queries so that both give the
// same kind, size, attribute bits and dates for the same entry. Kind, size and
// dates follow a symbolic link; the link bit comes from the entry itself.
#pragma once
#include <cstdint>
#include <string_view>

struct RtEntryInfo {
    int type = 0;         // RtEntryFile or RtEntryFolder
    int64_t size = 0;     // bytes; 0 for folders and broken links
    int attributes = 0;   // RtAttr… bits
    int64_t created = 0;  // seconds since 1970 UTC: birth, else modification
    int64_t accessed = 0; // seconds since 1970 UTC
    int64_t modified = 0; // seconds since 1970 UTC
};

// Reads the entry name relative to dirfd (AT_FDCWD for a plain path);
// base_name is its last component, which decides the hidden bit. False when
// nothing is there.
bool rt_entry_info(int dirfd, const char* name, std::string_view base_name, RtEntryInfo* info);

// The current entry of enumeration number (dir_examine.cpp); false when the
// number is not open or has no current entry.
bool rt_dir_entry_info(int number, RtEntryInfo* info);
