// Files on the desktop clipboard, in the formats file managers exchange:
// text/uri-list, x-special/gnome-copied-files ("copy" or "cut" and the
// URIs), application/x-kde-cutselection and plain text. Paths are converted
// byte for byte (percent-encoded file:// URIs of the OS bytes), so any name
// survives. Main thread only.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// Puts the line-feed-separated full paths on the clipboard; cut 1 marks
// them as cut (to be moved by the paste). 0 when paths is empty.
int64_t tk_clipboard_set_files(const std::wstring& paths, int64_t cut);
// The local files on the clipboard, line-feed separated (no trailing one);
// *cut is 1 when they were cut, else 0. Empty when it holds no files.
std::wstring tk_clipboard_get_files(int64_t* cut);

// The clipboard's bytes in one format ("text/uri-list"); empty when it holds
// none. For tests of what other programs are offered.
std::string tk_clipboard_format(const std::string& mime);
// Replaces the clipboard by the given formats (MIME name, bytes), as another
// program would; for tests of a paste from elsewhere.
void tk_clipboard_set_formats(const std::vector<std::pair<std::string, std::string>>& formats);
