// File access of the preference files, internal to prefs.cpp and its tests:
// reading a file whole, and replacing it whole through a temporary file in
// the same folder so the old file survives any failure.
//
// The system calls that can fail mid-write go through pref_syscalls, a small
// table tests swap to inject errors (ENOSPC, short writes, a failed rename).
// The table is process-wide and meant to be changed only while no other
// thread uses preference files.
#pragma once
#include <string>
#include <string_view>
#include <sys/types.h>

struct PrefSyscalls {
    int (*open)(const char* path, int flags, mode_t mode);
    ssize_t (*write)(int fd, const void* buf, size_t count);
    int (*fsync)(int fd);
    int (*rename)(const char* from, const char* to);
};
extern PrefSyscalls pref_syscalls;
// The real system calls, for restoring the table.
extern const PrefSyscalls pref_real_syscalls;

// Reads the regular file at path (OS bytes) whole into *bytes. false when it
// is missing, unreadable or no regular file.
bool pref_read_file(const std::string& path, std::string* bytes);

// Whether pref_replace_file could write path: a temporary file can be
// created beside it and the path holds no folder or other non-file.
bool pref_can_replace(const std::string& path);

// Writes bytes to a temporary file beside path, flushes it to disk and renames
// it over path; an existing file's permission bits are kept. A symbolic link
// at path is followed, so the file it points to is the one replaced. false on
// any failure, with the old file untouched and the temporary file removed.
bool pref_replace_file(const std::string& path, std::string_view bytes);
