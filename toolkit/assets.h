// The PNG pictures built into the program (assets/<name>.png, embedded at
// build time). The bytes live for the whole run; decode them with
// tk_image_catch.
#pragma once

#include <cstddef>

// The bytes of assets/<name>.png and their count, or null (size 0).
const unsigned char* tk_asset_png(const char* name, size_t* size);
