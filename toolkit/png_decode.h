// PNG decoding with libpng's read interface: bytes in memory to 8-bit RGBA.
// Any thread; no shared state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct TkPngPixels {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<unsigned char> rgba; // width * height * 4 bytes: R, G, B, A
};

// Decodes a whole PNG; false (and out left empty) for anything that is not
// a complete, valid PNG or is larger than 16384 x 16384 pixels.
bool tk_png_decode(const unsigned char* data, size_t size, TkPngPixels& out);
