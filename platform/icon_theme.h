// Finding icon files in freedesktop icon themes, without Qt's GUI classes.
//
// A theme is a folder below an icons root with an index.theme that lists its
// sub-folders and the pixel size each holds. pf_icon_theme_find looks for a
// name in the given themes in order (first theme first) and returns the file
// of the nearest size: the smallest size at least as large as asked, else the
// largest smaller one; PNG files are preferred over SVG files of any size.
// Parsed index files are cached per theme folder under a mutex, so the call
// is safe from any thread.
#pragma once
#include <string>
#include <vector>

// Path (OS bytes) of the best file for one of names, trying each name in all
// themes before the next name; empty when no theme has any of them.
// roots are icon folders ("/usr/share/icons"), themes are theme folder names
// ("Adwaita", "hicolor").
std::string pf_icon_theme_find(const std::vector<std::string>& roots,
                               const std::vector<std::string>& themes,
                               const std::vector<std::string>& names, int size);
