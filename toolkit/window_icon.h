// The icon a window shows in its title bar and the desktop's task switcher:
// its own, or the program's.
#pragma once

#include <cstdint>

// Sets the icon of a window from an image handle (tk_image_handle); 0 for
// an absent window or image.
int64_t tk_window_set_icon(int64_t window, intptr_t image);
// Gives the program its own icon (the one the desktop entry names, built
// into the program in its sizes from 16 to 256 pixels): every window shows
// it unless it has an icon of its own. tk_init calls it. Returns the number
// of sizes installed, 0 when none could be decoded.
int64_t tk_app_icon_install();
