// Menus, popup menus and the toolbar.
//
// Menus and toolbars are numbered objects of their own tables (-1 asks for a
// fresh number, which the creating call returns; otherwise it returns the
// handle); creating under a number in use frees the old one. Building works
// on a "current" menu: tk_menu_create / tk_popup_menu_create make theirs
// current, and tk_menu_title, tk_menu_item_add and tk_menu_separator append
// to it. Likewise tk_toolbar_image_button appends to the toolbar created
// last.
//
// Choosing a menu item, a popup item or a toolbar button reports EventMenu
// with the item id as object (tk_event_menu) and the window of the menu bar,
// of the popup's window or of the toolbar. A popup is shown without waiting:
// tk_popup_menu_show returns at once and the choice arrives later through
// tk_event_wait. Main thread only.
#pragma once

#include <cstdint>
#include <string>

// ---- menus ----
// Creates the menu bar of the window whose handle is given (replacing a bar
// it has) and makes it the current menu.
int64_t tk_menu_create(int64_t number, intptr_t window);
// Creates a popup menu and makes it the current menu.
int64_t tk_popup_menu_create(int64_t number);
// Appends a drop-down title to the current menu bar; following items go under
// it. On a popup it opens a submenu instead.
void tk_menu_title(const std::wstring& text);
// Appends an item; text after a tab is shown right-aligned as the shortcut
// text (it binds no key); "&" marks the mnemonic letter ("&&" is an "&").
void tk_menu_item_add(int64_t item, const std::wstring& text);
void tk_menu_separator();
// Opens a submenu in the current menu (items go into it) / goes back out.
void tk_menu_submenu_open(const std::wstring& text);
void tk_menu_submenu_close();
// Opens the menu bar for the keyboard (the F10 of desktop programs): the
// drop-down of its first title that has items opens, arrows and Return walk
// it, Escape leaves it. 0 for no such bar or a bar without titles.
int64_t tk_menu_bar_activate(int64_t number);
// Gives every item of the menu with this id the text and enables (1) or
// greys (0) it; 0 when the menu has no such item.
int64_t tk_menu_item_set(int64_t number, int64_t item, const std::wstring& text, int64_t enabled);
// The menu's widget (a QMenuBar or QMenu), for code that adds its own items.
intptr_t tk_menu_handle(int64_t number);
int64_t tk_menu_exists(int64_t number);
// Shows a popup at the mouse pointer minus one pixel in x and y. Its choice
// is reported for the window whose handle is given (0 = none, window -1).
void tk_popup_menu_show(int64_t number, intptr_t window);
// The same for a popup asked for from the keyboard: under the current row
// of a list gadget (its top when that row is out of sight), under any other
// gadget; at the mouse pointer when gadget names none.
void tk_popup_menu_show_at(int64_t number, intptr_t window, int64_t gadget);
// Frees a menu or popup (-1 = all); a menu bar disappears from its window.
void tk_menu_free(int64_t number);

// ---- toolbar ----
enum : int64_t {
    TkToolbarLarge = 2, // 24 x 24 button images (otherwise 16 x 16)
};
// Creates a toolbar along the top of the window's client area, with tooltips.
int64_t tk_toolbar_create(int64_t number, intptr_t window, int64_t flags = 0);
// Places a toolbar in its window's client area; from then on it keeps that
// place and size instead of following the window's width.
void tk_toolbar_resize(int64_t number, int64_t x, int64_t y, int64_t width, int64_t height);
// Appends a button showing the image (by handle; scaled to the toolbar's
// size, copied so the image may be freed) to the toolbar created last.
// Returns nonzero on success.
int64_t tk_toolbar_image_button(int64_t item, intptr_t image);
void tk_toolbar_tooltip(int64_t number, int64_t item, const std::wstring& text);
intptr_t tk_toolbar_handle(int64_t number);
void tk_toolbar_free(int64_t number); // -1 = all
