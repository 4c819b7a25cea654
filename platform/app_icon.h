// The icon of a program, as the desktop shows it: the Icon= of the desktop
// entry (application) whose Exec= program is that file, looked up in the
// icon themes (Adwaita, hicolor) of the data folders, or the picture file it
// names. Main thread (GIO's application list is read each call).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Fills rgba with size x size pixels 0xAARRGGBB and returns 1 when path is
// an executable file that some desktop entry starts and that entry's icon is
// found; 0 (rgba empty) otherwise.
int pf_program_icon(const std::wstring& path, int size, std::vector<uint32_t>& rgba);
