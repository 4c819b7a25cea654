// Gadget kinds other than the list: containers, texts, string fields,
// buttons, image buttons, combo boxes, progress bars, check boxes, list
// boxes, frames, canvases and scroll bars.
//
// Every creating call takes (number or -1, x, y, width, height, ...) in
// pixels of the current gadget list (the window or container opened last)
// and returns the new number for -1, else the gadget's handle; 0 when there
// is no window to put it in. A number in use is freed first. The gadgets are
// then read and changed through the generic operations of gadget_ops.h
// (text, state, items, colours, fonts); changes made by the program report
// nothing, user actions arrive as EventGadget with these types:
//   string      768 change (typing only), 14000 focus, 14001 lost focus
//   button, image button, check box, scroll bar: 0 when used
//   combo box   768 selection or typed text changed, 14000 / 14001 focus of
//               the box or its edit field
//   list box    768 selection changed
//   canvas      65539 mouse move, 65540 left button down, 65541 left button up
// Main thread only.
#pragma once

#include <cstdint>
#include <string>

// ---- creation flags ----
enum : int64_t {
    TkTextCenter = 1,            // text: centred
    TkTextRight = 2,             // text: right-aligned
    TkTextWordEllipsis = 0xC000, // text: one line, cut at a word with "..." when too wide
    TkStringReadOnly = 0x800,    // string: not editable
    TkStringPassword = 0x20,     // string: shows dots for what is typed
    TkButtonToggle = 0x1003,     // button, image button: stays pressed until set back
    TkComboEditable = 2,         // combo: the text can be typed
    TkComboScroll = 0x40,        // combo: the edit field scrolls horizontally
    TkComboImage = 0x10000000,   // combo: entries show their image
    TkScrollBarVertical = 1,     // scroll bar: vertical (default: horizontal)
};

// ---- canvas attributes (its event types are in events.h) ----
enum : int64_t {
    TkCanvasMouseX = 2, // tk_gadget_get_attribute: mouse x of the latest mouse event
    TkCanvasMouseY = 3, // mouse y of the latest mouse event
};

// A plain child area that becomes the current gadget list (until
// tk_gadget_list_close); gadgets created meanwhile are placed inside it.
int64_t tk_container_create(int64_t number, int64_t x, int64_t y, int64_t width, int64_t height,
                            int64_t flags = 0);
// Static text, word-wrapped, top-aligned; with TkTextWordEllipsis one
// vertically centred line instead. Its text is always the full text.
int64_t tk_text_create(int64_t number, int64_t x, int64_t y, int64_t width, int64_t height,
                       const std::wstring& text, int64_t flags = 0);
// Single-line edit field.
int64_t tk_string_create(int64_t number, int64_t x, int64_t y, int64_t width, int64_t height,
                         const std::wstring& text, int64_t flags = 0);
// Puts text into a single-line field as typing would: at the cursor, in
// place of a marked part, the cursor after it (tk_gadget_set_text instead
// puts the cursor at the start). With blank_around a blank goes before it
// unless the cursor is at the start or after a blank, and one after it.
// Silent like program text. 0 for a number that names no single-line field.
int64_t tk_string_insert(int64_t gadget, const std::wstring& text, bool blank_around = false);
int64_t tk_button_create(int64_t number, int64_t x, int64_t y, int64_t width, int64_t height,
                         const std::wstring& text, int64_t flags = 0);
// A button showing an image (by handle, tk_image_handle). The button keeps
// its own copy of the picture, so the image may be freed afterwards. State
// of a toggle button: 1 pressed, 0 released.
int64_t tk_image_button_create(int64_t number, int64_t x, int64_t y, int64_t width, int64_t height,
                               intptr_t image, int64_t flags = 0);
// Drop-down box; state = index of the selected entry (-1 none); adding an
// entry at position 0 puts it before the others; text = the shown text.
int64_t tk_combo_create(int64_t number, int64_t x, int64_t y, int64_t width, int64_t height,
                        int64_t flags = 0);
// Progress bar from minimum to maximum; state = position.
int64_t tk_progress_create(int64_t number, int64_t x, int64_t y, int64_t width, int64_t height,
                           int64_t minimum, int64_t maximum, int64_t flags = 0);
// Check box; state 1 when checked.
int64_t tk_checkbox_create(int64_t number, int64_t x, int64_t y, int64_t width, int64_t height,
                           const std::wstring& text, int64_t flags = 0);
// Single-selection list of texts with a sunken border; state = selected index.
int64_t tk_listbox_create(int64_t number, int64_t x, int64_t y, int64_t width, int64_t height,
                          int64_t flags = 0);
// A frame drawn around an area, with an optional title; it takes no input
// and lies beneath the gadgets placed over it.
int64_t tk_frame_create(int64_t number, int64_t x, int64_t y, int64_t width, int64_t height,
                        const std::wstring& text, int64_t flags = 0);
// A drawing surface that keeps what was drawn on it (white at first).
int64_t tk_canvas_create(int64_t number, int64_t x, int64_t y, int64_t width, int64_t height,
                         int64_t flags = 0);
// Drawing output of a canvas, for tk_drawing_start; 0 if it is no canvas.
intptr_t tk_canvas_output(int64_t gadget);
// Scroll bar from minimum to maximum with the given page length; state =
// position. Horizontal unless flag 1 is given.
int64_t tk_scrollbar_create(int64_t number, int64_t x, int64_t y, int64_t width, int64_t height,
                            int64_t minimum, int64_t maximum, int64_t page, int64_t flags = 0);

// Tooltip text of any gadget (empty removes it).
void tk_gadget_tooltip(int64_t gadget, const std::wstring& text);
// A kind's attribute; the canvas has TkCanvasMouseX / TkCanvasMouseY. 0
// for an unknown gadget or attribute.
int64_t tk_gadget_get_attribute(int64_t gadget, int64_t attribute);
