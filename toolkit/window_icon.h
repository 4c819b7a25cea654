// The small icon a window shows in its title bar.
#pragma once

#include <cstdint>

// Sets the icon of a window from an image handle (tk_image_handle); 0 for
// an absent window or image.
int64_t tk_window_set_icon(int64_t window, intptr_t image);
