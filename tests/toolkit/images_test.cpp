// Images, drawing and fonts: PNG decoding through libpng, numbered image
// lifetimes, what drawing really changes in the pixels, and font styles.
#include <gtest/gtest.h>
#include <png.h>

#include <atomic>
#include <thread>
#include <vector>

#include "toolkit/events.h"
#include "toolkit/images.h"
#include "toolkit/internal.h"

namespace {

class ImagesTest : public ::testing::Test {
  protected:
    void SetUp() override { tk_init(); }
    void TearDown() override {
        tk_drawing_stop();
        tk_image_free(-1);
        tk_font_free(-1);
    }
};

// A PNG written with libpng's write interface into memory.
struct PngSpec {
    int width, height, color_type, bit_depth;
    std::vector<unsigned char> rows; // packed rows as libpng expects them
    std::vector<png_color> palette;
    std::vector<png_byte> trans;
};

void append_bytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

std::vector<unsigned char> write_png(const PngSpec& shape) {
    std::vector<unsigned char> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, append_bytes, nullptr);
    png_set_IHDR(png, info, shape.width, shape.height, shape.bit_depth, shape.color_type,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!shape.palette.empty())
        png_set_PLTE(png, info, shape.palette.data(), static_cast<int>(shape.palette.size()));
    if (!shape.trans.empty())
        png_set_tRNS(png, info, shape.trans.data(), static_cast<int>(shape.trans.size()), nullptr);
    png_write_info(png, info);
    const size_t stride = shape.rows.size() / shape.height;
    for (int y = 0; y < shape.height; ++y)
        png_write_row(png, const_cast<png_bytep>(&shape.rows[y * stride]));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

int64_t catch_png(int64_t number, const std::vector<unsigned char>& bytes) {
    return tk_image_catch(number, bytes.data(), bytes.size());
}

uint32_t argb(int a, int r, int g, int b) {
    return (uint32_t(a) << 24) | (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b);
}

int alpha_of(uint32_t p) {
    return int(p >> 24);
}
int red_of(uint32_t p) {
    return int((p >> 16) & 0xFF);
}
int green_of(uint32_t p) {
    return int((p >> 8) & 0xFF);
}
int blue_of(uint32_t p) {
    return int(p & 0xFF);
}

// ---- PNG decoding ----

TEST_F(ImagesTest, RgbaPngDecodesToItsExactPixels) {
    PngSpec shape{3, 2, PNG_COLOR_TYPE_RGBA, 8, {}, {}, {}};
    shape.rows = {255, 0,  0,  255, /**/ 0, 255, 0, 255, /**/ 0,  0,  255, 255,
                 10,  20, 30, 0,   /**/ 1, 2,   3, 255, /**/ 40, 80, 120, 255};
    ASSERT_NE(catch_png(5, write_png(shape)), 0);
    EXPECT_EQ(tk_image_width(5), 3);
    EXPECT_EQ(tk_image_height(5), 2);
    EXPECT_EQ(tk_image_pixel(5, 0, 0), argb(255, 255, 0, 0));
    EXPECT_EQ(tk_image_pixel(5, 1, 0), argb(255, 0, 255, 0));
    EXPECT_EQ(tk_image_pixel(5, 2, 0), argb(255, 0, 0, 255));
    EXPECT_EQ(alpha_of(tk_image_pixel(5, 0, 1)), 0); // fully transparent stays transparent
    EXPECT_EQ(tk_image_pixel(5, 1, 1), argb(255, 1, 2, 3));
    EXPECT_EQ(tk_image_pixel(5, 2, 1), argb(255, 40, 80, 120));
}

TEST_F(ImagesTest, PaletteGreyAndSixteenBitPngsBecomeRgba) {
    // palette with a transparency entry: index 0 transparent, index 1 opaque blue
    PngSpec palette{2, 1, PNG_COLOR_TYPE_PALETTE, 8, {0, 1}, {{9, 9, 9}, {0, 0, 200}}, {0}};
    ASSERT_NE(catch_png(6, write_png(palette)), 0);
    EXPECT_EQ(alpha_of(tk_image_pixel(6, 0, 0)), 0);
    EXPECT_EQ(tk_image_pixel(6, 1, 0), argb(255, 0, 0, 200));

    // 16-bit grey: 0x8000 -> 128 (high byte), opaque
    PngSpec grey{1, 1, PNG_COLOR_TYPE_GRAY, 16, {0x80, 0x00}, {}, {}};
    ASSERT_NE(catch_png(7, write_png(grey)), 0);
    EXPECT_EQ(tk_image_pixel(7, 0, 0), argb(255, 128, 128, 128));

    // half-transparent RGBA survives the premultiplied storage within rounding
    PngSpec half{1, 1, PNG_COLOR_TYPE_RGBA, 8, {200, 100, 50, 128}, {}, {}};
    ASSERT_NE(catch_png(8, write_png(half)), 0);
    const uint32_t p = tk_image_pixel(8, 0, 0);
    EXPECT_EQ(alpha_of(p), 128);
    EXPECT_NEAR(red_of(p), 200, 2);
    EXPECT_NEAR(green_of(p), 100, 2);
    EXPECT_NEAR(blue_of(p), 50, 2);
}

TEST_F(ImagesTest, BrokenPngIsRefusedAndLeavesNoImage) {
    PngSpec shape{4, 4, PNG_COLOR_TYPE_RGBA, 8, std::vector<unsigned char>(64, 7), {}, {}};
    std::vector<unsigned char> bytes = write_png(shape);
    const std::vector<unsigned char> truncated(bytes.begin(), bytes.begin() + bytes.size() / 2);
    EXPECT_EQ(catch_png(9, truncated), 0);
    EXPECT_EQ(tk_image_exists(9), 0);
    const std::vector<unsigned char> garbage(100, 0x42);
    EXPECT_EQ(catch_png(9, garbage), 0);
    EXPECT_EQ(tk_image_catch(9, nullptr, 0), 0);
    bytes[bytes.size() / 2] ^= 0xFF; // damaged compressed data
    EXPECT_EQ(catch_png(9, bytes), 0);
    EXPECT_EQ(tk_image_exists(9), 0);
}

TEST_F(ImagesTest, BuiltInPicturesDecode) {
    size_t size = 0;
    const unsigned char* bytes = tk_asset_png("drive_hdd", &size);
    ASSERT_NE(bytes, nullptr);
    ASSERT_NE(tk_image_catch(22, bytes, size), 0);
    EXPECT_EQ(tk_image_width(22), 30);
    EXPECT_EQ(tk_image_height(22), 20);
}

// ---- numbers and handles ----

TEST_F(ImagesTest, NumbersHandlesAndRecreation) {
    const int64_t any = tk_image_create(-1, 4, 4);
    ASSERT_NE(any, 0);
    EXPECT_EQ(tk_image_width(any), 4); // an "any" number is usable as a number
    EXPECT_EQ(tk_image_handle(any), any);

    const int64_t handle = tk_image_create(3, 10, 10);
    EXPECT_EQ(handle, tk_image_handle(3));
    tk_image_create(3, 20, 5, 32, 0x0000FF); // same number: replaces the old image
    EXPECT_EQ(tk_image_width(3), 20);
    EXPECT_EQ(tk_image_pixel(3, 0, 0), argb(255, 255, 0, 0)); // 0xBBGGRR red

    const intptr_t output = tk_image_output(3);
    tk_image_free(3);
    EXPECT_EQ(tk_image_exists(3), 0);
    EXPECT_EQ(tk_image_handle(3), 0);
    EXPECT_EQ(tk_image_width(3), 0);
    EXPECT_EQ(tk_drawing_start(output), 0); // the freed image's output is refused
    EXPECT_EQ(tk_drawing_start(12345), 0);  // as is an invented one
    EXPECT_EQ(tk_image_qimage(12345), nullptr);
    EXPECT_EQ(tk_image_create(-2, 4, 4), 0);
    EXPECT_EQ(tk_image_create(4, 0, 4), 0);
}

TEST_F(ImagesTest, RawPixelsAreCopiedInOrder) {
    const unsigned char rgba[] = {1, 2, 3, 255, 200, 150, 100, 255};
    ASSERT_NE(tk_image_set_pixels(11, 2, 1, rgba), 0);
    EXPECT_EQ(tk_image_pixel(11, 0, 0), argb(255, 1, 2, 3));
    EXPECT_EQ(tk_image_pixel(11, 1, 0), argb(255, 200, 150, 100));
}

// ---- drawing ----

TEST_F(ImagesTest, BoxesFillOrOutline) {
    tk_image_create(1, 10, 10);
    ASSERT_NE(tk_drawing_start(tk_image_output(1)), 0);
    tk_draw_box(0, 0, 10, 10, 0xFFFFFF); // default mode: opaque fill
    tk_draw_mode(TkDrawOutlined);
    tk_draw_box(2, 2, 6, 6, 0xDE390F); // RGB(15, 57, 222) outline
    tk_drawing_stop();
    EXPECT_EQ(tk_image_pixel(1, 0, 0), argb(255, 255, 255, 255));
    EXPECT_EQ(tk_image_pixel(1, 2, 2), argb(255, 15, 57, 222));   // corner
    EXPECT_EQ(tk_image_pixel(1, 7, 7), argb(255, 15, 57, 222));   // opposite corner, inside 6 x 6
    EXPECT_EQ(tk_image_pixel(1, 8, 8), argb(255, 255, 255, 255)); // just outside
    EXPECT_EQ(tk_image_pixel(1, 4, 4), argb(255, 255, 255, 255)); // interior untouched
}

TEST_F(ImagesTest, TransparentAlphaTextTouchesOnlyTheTextCell) {
    tk_image_create(2, 40, 24);
    tk_font_load(25, L"Arial", 10, TkFontBold);
    ASSERT_NE(tk_drawing_start(tk_image_output(2)), 0);
    tk_draw_mode(TkDrawTransparent | TkDrawAlphaBlend);
    tk_draw_font(tk_font_handle(25));
    tk_draw_front_color(0xFF0000C8); // red 200, opaque
    const int64_t end = tk_draw_text(2, 2, L"W");
    tk_drawing_stop();
    EXPECT_GT(end, 2);
    int inked = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 40; ++x) {
            const uint32_t p = tk_image_pixel(2, x, y);
            if (alpha_of(p) == 0) continue;
            ++inked;
            EXPECT_GE(x, 2);
            EXPECT_LE(x, end); // a bold glyph may overhang its advance by a pixel
            EXPECT_EQ(green_of(p), 0) << "text colour, not a background box";
            EXPECT_EQ(blue_of(p), 0);
            if (alpha_of(p) >= 64) {
                EXPECT_NEAR(red_of(p), 200, 8);
            }
        }
    EXPECT_GT(inked, 5);
}

TEST_F(ImagesTest, DefaultModeTextPaintsItsBackground) {
    tk_image_create(4, 30, 20);
    ASSERT_NE(tk_drawing_start(tk_image_output(4)), 0);
    tk_draw_back_color(0x00FF00);
    tk_draw_text(0, 0, L"i");
    tk_drawing_stop();
    EXPECT_EQ(tk_image_pixel(4, 0, 0), argb(255, 0, 255, 0));
    EXPECT_EQ(alpha_of(tk_image_pixel(4, 29, 19)), 0);
}

TEST_F(ImagesTest, ImagesBlendWithOpacity) {
    tk_image_create(30, 8, 8, 32, 0x000000); // black source
    tk_image_create(31, 8, 8, 32, 0xFFFFFF); // white target
    ASSERT_NE(tk_drawing_start(tk_image_output(31)), 0);
    tk_draw_image_alpha(tk_image_handle(30), 0, 0, 160);
    tk_draw_image(tk_image_handle(30), 4, 4, 2, 2); // scaled, fully opaque
    tk_drawing_stop();
    EXPECT_NEAR(red_of(tk_image_pixel(31, 1, 1)), 255 - 160, 2);
    EXPECT_EQ(tk_image_pixel(31, 4, 4), argb(255, 0, 0, 0));
    EXPECT_NEAR(red_of(tk_image_pixel(31, 7, 7)), 255 - 160, 2); // outside the 2 x 2 copy
}

TEST_F(ImagesTest, ThreadsDrawOnTheirOwnImagesAtOnce) {
    constexpr int kThreads = 4;
    std::vector<int64_t> numbers;
    for (int i = 0; i < kThreads; ++i) numbers.push_back(tk_image_create(-1, 32, 32));
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i)
        threads.emplace_back([&, i] {
            for (int round = 0; round < 50; ++round) {
                if (!tk_drawing_start(tk_image_output(numbers[i]))) ++failures;
                tk_draw_box(0, 0, 32, 32, 0x10 * (i + 1));
                tk_draw_mode(TkDrawTransparent | TkDrawAlphaBlend);
                tk_draw_text(1, 1, L"!", 0xFF0000C8);
                tk_drawing_stop();
            }
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(failures.load(), 0);
    for (int i = 0; i < kThreads; ++i)
        EXPECT_EQ(tk_image_pixel(numbers[i], 31, 31), argb(255, 0x10 * (i + 1), 0, 0));
}

// ---- fonts ----

TEST_F(ImagesTest, FontStyleFlagsAndLifetime) {
    const int64_t number = tk_font_load(-1, L"Verdana", 12, TkFontBold | TkFontItalic);
    ASSERT_NE(number, 0);
    QFont f = tk_font_qfont(tk_font_handle(number));
    EXPECT_TRUE(f.bold());
    EXPECT_TRUE(f.italic());
    EXPECT_FALSE(f.underline());
    EXPECT_EQ(f.pointSize(), 12);
    EXPECT_EQ(f.family(), QStringLiteral("Verdana"));

    tk_font_load(40, L"", 0, TkFontUnderline | TkFontStrikeOut);
    f = tk_font_qfont(tk_font_handle(40));
    EXPECT_TRUE(f.underline());
    EXPECT_TRUE(f.strikeOut());
    EXPECT_FALSE(f.bold());
    EXPECT_EQ(f.pointSize(), tk_font_qfont(-1).pointSize()); // size 0: the default size

    tk_font_load(40, L"", 0, 1); // "Style fett" 1 is not bold
    EXPECT_FALSE(tk_font_qfont(tk_font_handle(40)).bold());
    EXPECT_EQ(tk_font_exists(40), 1);
    const intptr_t old = tk_font_handle(40);
    tk_font_free(40);
    EXPECT_EQ(tk_font_exists(40), 0);
    EXPECT_EQ(tk_font_qfont(old), tk_font_qfont(-1)); // a stale handle reads as the default
}

} // namespace
