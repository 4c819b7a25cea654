// Images, drawing, fonts and the desktop.
//
// Images are numbered 32-bit pictures with an alpha channel; fonts are
// numbered faces with a size and a style. Both live in tables of their own
// (-1 asks for a fresh number, which the creating call returns; otherwise it
// returns the handle). A handle is the address of the toolkit's record and
// stays valid until its number is freed. Creating under a number in use
// frees the old object first.
//
// Threads: images, fonts and drawing may be used from any thread (workers
// draw icons); each thread has its own drawing state, so two threads may draw
// on two different images at the same time. The desktop queries and drawing
// on a canvas gadget are main-thread only.
//
// Drawing: tk_drawing_start(output) opens an image (tk_image_output) or a
// canvas (tk_canvas_output, widgets.h) for the calling thread;
// tk_draw_* act on it until tk_drawing_stop. Colours are 0xBBGGRR; in
// alpha-blend mode (flag 16) the top byte is the opacity (0xAABBGGRR), where
// a top byte of 0 counts as opaque so that plain colours still show.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// ---- drawing modes (bits of tk_draw_mode) ----
enum : int64_t {
    TkDrawDefault = 0,     // filled boxes, text on its background colour
    TkDrawTransparent = 1, // text without background
    TkDrawOutlined = 4,    // boxes as one-pixel outlines
    TkDrawAlphaBlend = 16, // colours carry an opacity in their top byte
};

// ---- font styles (bits of tk_font_load) ----
enum : int64_t {
    TkFontUnderline = 4,
    TkFontStrikeOut = 8,
    TkFontBold = 256,
    TkFontItalic = 512,
};

// ---- images ----
// A new width x height image filled with background (0xBBGGRR, -1 =
// transparent). depth 32 keeps an alpha channel; a smaller depth makes an
// opaque image (transparent background then reads as white).
int64_t tk_image_create(int64_t number, int64_t width, int64_t height, int64_t depth = 32,
                        int64_t background = -1);
// Decodes PNG bytes (any colour type, to 8-bit RGBA) into an image. The bytes
// are not kept. Returns 0 when the data is no valid PNG; the number then
// stays free (an old image under it is freed all the same).
int64_t tk_image_catch(int64_t number, const unsigned char* png, size_t size);
// An image from raw pixels: width x height pixels, 4 bytes each in the
// order red, green, blue, alpha (not premultiplied), rows top to bottom
// without padding. The pixels are copied.
int64_t tk_image_set_pixels(int64_t number, int64_t width, int64_t height,
                            const unsigned char* rgba);
// Frees an image (-1 = every image). Gadgets and list rows showing it keep
// their own copy of the picture.
void tk_image_free(int64_t number);
int64_t tk_image_exists(int64_t number);
intptr_t tk_image_handle(int64_t number);
int64_t tk_image_width(int64_t number);
int64_t tk_image_height(int64_t number);
// Drawing output of an image, for tk_drawing_start.
intptr_t tk_image_output(int64_t number);
// One pixel as 0xAARRGGBB (not premultiplied); 0 outside the image.
uint32_t tk_image_pixel(int64_t number, int64_t x, int64_t y);

// ---- drawing (the calling thread's drawing state) ----
// Opens an output for drawing; returns nonzero on success. An output still
// open on this thread is closed first. Mode, colours and font start afresh.
intptr_t tk_drawing_start(intptr_t output);
// Ends drawing; a canvas shows what was drawn.
void tk_drawing_stop();
void tk_draw_mode(int64_t mode);
void tk_draw_front_color(int64_t color); // default black
void tk_draw_back_color(int64_t color);  // text background in default mode; white
// Font by handle (tk_font_handle); -1 = the default gui font.
void tk_draw_font(intptr_t font);
// A box in colour (-1 = front colour): filled, or outlined in mode 4.
void tk_draw_box(int64_t x, int64_t y, int64_t width, int64_t height, int64_t color = -1);
// Text with its top-left corner at x, y in the front colour (or colour).
// Returns the x just after the text.
int64_t tk_draw_text(int64_t x, int64_t y, const std::wstring& text, int64_t color = -1);
// Width and height in pixels of text in the current drawing font.
int64_t tk_draw_text_width(const std::wstring& text);
int64_t tk_draw_text_height();
// An image (by handle) at x, y, blended over what is there; width and
// height other than -1 scale it.
void tk_draw_image(intptr_t image, int64_t x, int64_t y, int64_t width = -1, int64_t height = -1);
// The same with an overall opacity of 0 (invisible) to 255 (as is).
void tk_draw_image_alpha(intptr_t image, int64_t x, int64_t y, int64_t opacity);

// ---- fonts ----
// A font of face name (empty = the default face) and size in points (0 =
// the default size) with the style bits above. Returns the new number for
// -1, else the handle; 0 on failure.
int64_t tk_font_load(int64_t number, const std::wstring& name, int64_t size, int64_t style = 0);
intptr_t tk_font_handle(int64_t number);
int64_t tk_font_exists(int64_t number);
void tk_font_free(int64_t number); // -1 = every font

// ---- desktop (main thread) ----
int64_t tk_desktop_count(); // monitors attached, at least 1
// Size in device pixels of a monitor; 0 is the primary one; 0 when absent.
int64_t tk_desktop_width(int64_t index);
int64_t tk_desktop_height(int64_t index);
// The part of a monitor (0 = the primary one) that windows may cover: the
// screen without the desktop's panels and docks, in the pixels windows are
// placed and sized in (tk_window_open). The place a first start opens at,
// say two thirds of it, centred.
struct TkDesktopArea {
    int64_t x = 0;
    int64_t y = 0;
    int64_t width = 0;
    int64_t height = 0;
};
// 1 with *out filled, 0 (out unchanged) for no such monitor.
int64_t tk_desktop_available(int64_t index, TkDesktopArea* out);
// Height of a window's menu bar in pixels.
int64_t tk_menu_bar_height();
// on 1: the busy (wait) cursor over every window of the program; on 0: the
// normal cursor again. Calls pair up like brackets.
void tk_desktop_busy_cursor(int64_t on);
