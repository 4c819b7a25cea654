// Keys of the main window beyond the function keys: Tab between the panes,
// Backspace up a folder, F10 into the menu bar, and what leaving a path field
// does to the focus. Main thread only.
#pragma once

#include <cstdint>

// Tab (forward 1) and Shift+Tab (0): from a pane list to the other pane
// list, from any other gadget to the next or previous one in the window.
void FocusKey(int64_t forward);
// Backspace: a pane with the focus goes up as on its ".." row.
void BackspaceKey();
// F10: the menu bar opens for the keyboard.
void MenuBarKey();
// Path field of pane lost the focus: the pane is active again and the field
// shows its folder; the pane takes the focus only when no other gadget took
// it, so a focus move of the user's stands.
void PathFieldLeft(int64_t pane);
