// File access of the preference files, internal to prefs.cpp:
// reading a file whole, and replacing it whole through a temporary file in
// the same folder so the old file survives any failure.
//
// System calls go through the runtime's table rt_sys (runtime/syscalls.h),
// so tests can inject ENOSPC, short writes or a failed rename.
#pragma once
#include <string>
#include <string_view>

// Reads the regular file at path (OS bytes) whole into *bytes. false when it
// is missing, unreadable or no regular file.
bool pref_read_file(const std::string& path, std::string* bytes);

// Whether pref_replace_file could write path: the path holds no folder or
// other non-file and no write-protected file, and a temporary file can be
// created beside it (or, where it cannot, the existing file may be written).
bool pref_can_replace(const std::string& path);

// Writes bytes to a temporary file beside path, flushes it to disk and renames
// it over path; an existing file's permission bits are kept. A symbolic link
// at path is followed, so the file it points to is the one replaced. false on
// any failure, with the old file untouched and the temporary file removed.
// Where no temporary file can be created, an existing writable file is
// rewritten in place instead; a file without write permission is never
// replaced. Temporary files of earlier writers that no longer run are
// removed first.
bool pref_replace_file(const std::string& path, std::string_view bytes);
