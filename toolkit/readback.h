// Reading back what the toolkit shows, and acting as the user would: for
// tests of the program above the toolkit, which never see a Qt widget.
//
// Getters return 0, -1 or an empty text for an unknown number. The user-like
// actions (click, close box, Return) go through the same widget paths as real
// input, so they report the same events. Main thread only.
#pragma once

#include "toolkit/gadget_ops.h" // tk_gadget_x, tk_gadget_y

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

std::wstring tk_gadget_get_tooltip(int64_t gadget);
// 1 when the gadget can be used, 0 when disabled or unknown.
int64_t tk_gadget_enabled(int64_t gadget);
// 1 when the gadget is hidden itself (not merely inside a hidden window),
// 0 when shown or unknown.
int64_t tk_gadget_hidden(int64_t gadget);
// The style of the font a gadget shows: TkFontBold, TkFontItalic,
// TkFontUnderline and TkFontStrikeOut ored; 0 for an unknown gadget.
int64_t tk_gadget_font_flags(int64_t gadget);

// Copies the picture a button shows, at width x height, into image number
// `image` (read it with tk_image_pixel). 0 when the gadget has no picture.
int64_t tk_button_picture(int64_t gadget, int64_t image, int64_t width, int64_t height);
// Presses a button as a mouse click does.
int64_t tk_button_click(int64_t gadget);

// The numbers of a window's gadgets, in no particular order.
std::vector<int64_t> tk_window_gadgets(int64_t window);
// The gadgets of a window whose text does not show whole at their size in
// their font: a label, button, check box, choice box (its widest entry) or
// frame title that is cut, reaches out of its parent, or lies under another
// such gadget. Hidden gadgets (on a page not shown) count as well. Empty
// when every text shows.
std::vector<int64_t> tk_window_cut_gadgets(int64_t window);
// The first gadget of a window showing exactly this text, or 0.
int64_t tk_window_gadget_with_text(int64_t window, const std::wstring& text);
// The number of the active window, -1 when none of ours is.
int64_t tk_window_active();
// Makes the window the application's active one at once, as a click into
// it would; on the offscreen platform activation requests are not granted.
int64_t tk_window_make_active(int64_t window);
std::wstring tk_window_title(int64_t window);
// 1 when the window takes input, 0 when disabled or unknown.
int64_t tk_window_enabled(int64_t window);
// Clicks the window's close box, as the user does.
int64_t tk_window_click_close_box(int64_t window);
// Presses Return, or Escape, in the window's focused gadget (the window
// itself if none).
int64_t tk_window_press_return(int64_t window);
int64_t tk_window_press_escape(int64_t window);

// Calls fn every interval milliseconds from the event loop (also inside a
// modal loop) until it returns true.
void tk_call_until(int64_t interval, std::function<bool()> fn);
