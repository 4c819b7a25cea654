// The commands of the menus "Datei" and "Befehle": one table of menu item,
// menu, text and key, from which the menus are built (each item with its
// key beside it), the keys are bound and the key table of F1 is written, so
// a command has one key wherever it is shown. Keys that act on the pane
// list alone (Insert, the number pad's "+", "-", "*", Ctrl+A, Ctrl+C/X/V,
// the Menu key) are taken by the lists' key hook, so that a text field keeps
// them for its text. Main thread only.
#pragma once

#include <cstdint>
#include <string>

// Appends the items of "Datei" (menu 0) or "Befehle" (menu 1) to the
// current menu title.
void AddCommandItems(int64_t menu);
// Binds the window keys of the table to window 0 and installs the key hook
// of both pane lists (quick search first, then the list keys).
void BindCommandKeys();
// Runs a command of the table; 1 when item is one of those this file runs
// (the others — F3 to F8, F2, Space, "Beenden" — run where they always did).
int64_t RunMainCommand(int64_t item);
// The key table F1 shows.
std::wstring KeyTableText();
// The key hook of the pane lists.
int64_t PaneListKey(int64_t list, int64_t shortcut, const std::wstring& text);
