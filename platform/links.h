// Shortcuts and linked folders.
//
// A shortcut is a symbolic link, or a desktop entry file (name ending in
// ".desktop") of Type=Link whose URL is a file:// URL. Resolving one gives
// the absolute path it leads to; a link's relative target counts from the
// link's own folder, and "." and ".." are folded away by name, so the result
// is the logical path the user would expect to see. Creating a shortcut
// makes a symbolic link "Verknüpfung zu <name>" next to the entry.
//
// Plain file system calls on the calling thread; nothing is kept.
#pragma once
#include <string>

// 1 when path is a symbolic link or its name ends in ".desktop", else 0.
int pf_is_shortcut(const std::wstring& path);

// Where a shortcut leads, as an absolute path; empty when path is no
// shortcut or cannot be read.
std::wstring pf_resolve_shortcut(const std::wstring& path);

// The target of a symbolic link as an absolute path; empty when path is not
// a link or cannot be read. A final "/" on path is ignored.
std::wstring pf_read_link(const std::wstring& path);

// Creates the symbolic link "Verknüpfung zu " + name (" (2)", " (3)", ...
// added when that name is taken) in the entry's folder, pointing at the
// entry. Returns the new link's path, or empty on failure (errno kept).
std::wstring pf_create_shortcut(const std::wstring& path);
