// Operations every gadget understands, whatever its kind, and the item
// operations of lists and combo boxes.
//
// Gadgets are named by number; an operation on a number that names no gadget
// does nothing and returns 0 (empty text). Each call is passed to the
// gadget's kind; a kind without that operation makes it do nothing, except
// hiding, resizing and setting the font, which then act on the gadget as a
// whole. Changes made here never report change events: only the user's own
// actions do. Rows and columns count from 0.
// Main thread only, except where a kind says otherwise (list rows).
#pragma once

#include "toolkit/events.h"

#include <cstdint>
#include <string>

constexpr int64_t TkKeep = -65535;     // tk_gadget_resize: keep this value
constexpr int64_t TkColorFront = 1;    // tk_gadget_set_color: text colour
constexpr int64_t TkColorBack = 2;     // tk_gadget_set_color: background
constexpr int64_t TkColorDefault = -1; // the system's colour
constexpr int64_t TkItemSelected = 1;  // bit of the item state

int64_t tk_gadget_exists(int64_t gadget);
intptr_t tk_gadget_handle(int64_t gadget);
// Frees a gadget; its number becomes free. Bound callbacks stay bound.
int64_t tk_gadget_free(int64_t gadget);

int64_t tk_gadget_set_text(int64_t gadget, const std::wstring& text);
std::wstring tk_gadget_get_text(int64_t gadget);
int64_t tk_gadget_set_state(int64_t gadget, int64_t value);
int64_t tk_gadget_get_state(int64_t gadget);
int64_t tk_gadget_set_data(int64_t gadget, int64_t value); // one integer per gadget, 0 at first
int64_t tk_gadget_get_data(int64_t gadget);

// Gives the gadget the keyboard focus (this does report focus events).
int64_t tk_gadget_activate(int64_t gadget);
// The gadget with the keyboard focus (a combo box for its edit field), -1 if
// none has it.
int64_t tk_gadget_active();
int64_t tk_gadget_hide(int64_t gadget, int64_t flag);    // 1 hides, 0 shows
int64_t tk_gadget_disable(int64_t gadget, int64_t flag); // 1 disables, 0 enables
// New position and size inside the parent; TkKeep keeps a value.
int64_t tk_gadget_resize(int64_t gadget, int64_t x, int64_t y, int64_t width, int64_t height);
// Position of a gadget inside its parent (client coordinates of the window
// for a gadget placed directly in it).
int64_t tk_gadget_x(int64_t gadget);
int64_t tk_gadget_y(int64_t gadget);
int64_t tk_gadget_width(int64_t gadget); // outer size
int64_t tk_gadget_height(int64_t gadget);
// Pixels the gadget's text needs on one line in the gadget's font (the
// widest line of a text of several); 0 for an unknown gadget.
int64_t tk_gadget_text_width(int64_t gadget);
// Pixels the whole gadget needs to show its text uncut: the text with the
// gadget's own parts (a check box's box, a button's frame, a choice box's
// arrow beside its widest entry); 0 for an unknown gadget.
int64_t tk_gadget_needed_width(int64_t gadget);
// Pixels of height the gadget needs to show its text uncut at its present
// width: a line with the gadget's own frame, or the lines of a label that
// wraps; 0 for an unknown gadget.
int64_t tk_gadget_needed_height(int64_t gadget);
// which = TkColorFront or TkColorBack; colour 0xBBGGRR or TkColorDefault.
int64_t tk_gadget_set_color(int64_t gadget, int64_t which, int64_t color);
// Font by handle (-1: the system's gui font). Gadget -1 sets the font of the
// gadgets created from now on.
int64_t tk_gadget_set_font(int64_t gadget, intptr_t font);

// Binds callback to EventGadget of the gadget (of one type, or -1 for any).
int64_t tk_gadget_bind(int64_t gadget, TkCallback callback, int64_t type = -1);
// Unbinds callback from the gadget, whatever type it was bound with; works
// after the gadget was freed, too.
int64_t tk_gadget_unbind(int64_t gadget, TkCallback callback);

// ---- items (lists, combo boxes) ----
// position -1 appends; a list row's column texts are separated by line
// feeds. Returns the row the item got, 0 for an absent gadget.
int64_t tk_gadget_add_item(int64_t gadget, int64_t position, const std::wstring& text,
                           intptr_t image = 0);
int64_t tk_gadget_remove_item(int64_t gadget, int64_t row);
int64_t tk_gadget_clear_items(int64_t gadget);
int64_t tk_gadget_count_items(int64_t gadget);
// Empty text for a row that does not exist.
std::wstring tk_gadget_get_item_text(int64_t gadget, int64_t row, int64_t column = 0);
int64_t tk_gadget_set_item_text(int64_t gadget, int64_t row, const std::wstring& text,
                                int64_t column = 0);
int64_t tk_gadget_get_item_state(int64_t gadget, int64_t row); // bit 0: selected
int64_t tk_gadget_set_item_state(int64_t gadget, int64_t row, int64_t bits);
int64_t tk_gadget_get_item_data(int64_t gadget, int64_t row);
int64_t tk_gadget_set_item_data(int64_t gadget, int64_t row, int64_t value);
int64_t tk_gadget_set_item_image(int64_t gadget, int64_t row, intptr_t image);
