// PNG bytes to 8-bit RGBA through libpng's read interface: read structure,
// info, transforms (palette, grey, 16-bit and transparency all end as RGBA),
// then the whole image at once.
//
// libpng reports errors by longjmp. Every object whose state changes after
// setjmp lives in a job record owned by the caller, so nothing the jump skips
// needs a destructor and no local is read after the jump.
#include "toolkit/png_decode.h"

#include <csetjmp>
#include <cstring>
#include <png.h>

namespace {

constexpr uint32_t kMaxSide = 16384; // refuses absurd sizes before allocating

struct PngJob {
    const unsigned char* data = nullptr;
    size_t size = 0;
    size_t pos = 0;
    std::vector<png_bytep> rows;
    TkPngPixels* out = nullptr;
};

void read_from_memory(png_structp png, png_bytep dest, png_size_t length) {
    auto* job = static_cast<PngJob*>(png_get_io_ptr(png));
    if (length > job->size - job->pos) png_error(png, "truncated PNG data");
    std::memcpy(dest, job->data + job->pos, length);
    job->pos += length;
}

// No messages on the console: a picture that fails is reported by the result.
void quiet_warning(png_structp, png_const_charp) {}
void error_jump(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

// Transforms that turn every colour type and depth into 8-bit RGBA.
void ask_for_rgba(png_structp png, png_infop info) {
    const int type = png_get_color_type(png, info);
    if (png_get_bit_depth(png, info) == 16) png_set_strip_16(png);
    if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (type == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(png, info) < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    if (!(type & PNG_COLOR_MASK_ALPHA) && !png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
}

// Runs the read; returns false when libpng jumped out with an error.
bool run_read(png_structp png, png_infop info, PngJob* job) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_read_fn(png, job, read_from_memory);
    png_set_user_limits(png, kMaxSide, kMaxSide);
    png_read_info(png, info);
    ask_for_rgba(png, info);
    const uint32_t width = png_get_image_width(png, info);
    const uint32_t height = png_get_image_height(png, info);
    if (png_get_rowbytes(png, info) != size_t{width} * 4) return false;
    job->out->width = width;
    job->out->height = height;
    job->out->rgba.resize(size_t{width} * height * 4);
    job->rows.resize(height);
    for (uint32_t y = 0; y < height; ++y) job->rows[y] = &job->out->rgba[size_t{y} * width * 4];
    png_read_image(png, job->rows.data());
    png_read_end(png, nullptr);
    return true;
}

} // namespace

bool tk_png_decode(const unsigned char* data, size_t size, TkPngPixels& out) {
    out = TkPngPixels{};
    if (!data || size < 8 || png_sig_cmp(data, 0, 8) != 0) return false;
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, error_jump, quiet_warning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    PngJob job;
    job.data = data;
    job.size = size;
    job.out = &out;
    const bool ok = run_read(png, info, &job);
    png_destroy_read_struct(&png, &info, nullptr);
    if (!ok) out = TkPngPixels{};
    return ok;
}
