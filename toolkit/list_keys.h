// Keys typed into a list gadget, offered to the program first: a list that
// has a key hook hears of every key pressed while it has the keyboard focus,
// before the window's shortcuts and before the list moves its current row.
// This is how a program builds a search as you type, or gives a key another
// meaning while something of its own is open over the list.
//
// The hook runs on the main thread inside the key press. `shortcut` is the
// key coded as tk_shortcut_add codes it (0 for a key without a code, such as
// "ü" or "#"), `text` the characters it types (empty for none: arrows,
// function keys, keys with Ctrl). Returning 1 takes the key: neither a
// shortcut nor the list sees it; 0 lets it go on as without the hook.
#pragma once

#include <cstdint>
#include <string>

using TkListKeyHook = int64_t (*)(int64_t gadget, int64_t shortcut, const std::wstring& text);
// Installs (or with null removes) the key hook of a list; nothing for a
// number that names no list.
void tk_list_set_key_hook(int64_t gadget, TkListKeyHook hook);

// Toolkit-internal, for the key filter (shortcuts.cpp): offers a key press
// to the hook of the list the focus widget belongs to. True when taken.
class QWidget;
class QKeyEvent;
bool tk_list_offer_key(QWidget* focus, const QKeyEvent* event, int64_t shortcut);
