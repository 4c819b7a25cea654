// Moving an entry without ever replacing another, and creating the folders
// such a move needs, for the undo (undo_items.h), the trash
// (platform/trash.h) and the undo journal's folder. Paths are OS bytes;
// every call goes through rt_sys. Any thread.
#pragma once
#include <string>
#include <sys/types.h>

// Creates every missing folder of path (path itself included; a trailing
// "/" is ignored) with mode (the umask applies). true when path is a folder
// afterwards; false with errno set from the first creation that failed.
bool rt_os_make_folders(const std::string& path, mode_t mode);

// Renames from to to, failing with EEXIST (or ENOTEMPTY) when anything
// stands at to. On a file system that cannot refuse by itself, a look
// first is the best it allows. false with errno set.
bool rt_os_rename_noreplace(const std::string& from, const std::string& to);

// The same, creating the folder that is to hold to (and those above it)
// when it is missing, with mode 0777 and the umask. false with errno set.
bool rt_os_move_into(const std::string& from, const std::string& to);
