// The undo entries of the main menu and their keys: "Rückgängig: <what>"
// (Ctrl+Z) and "Wiederholen: <what>" (Ctrl+Shift+Z, Ctrl+Y), greyed when
// there is nothing, and Shift+F8 / Shift+Delete for the delete that never
// goes into the trash. Main thread.
#pragma once

#include <cstdint>

// Appends the entries to the current drop-down and adds their keys to the
// main window. Part of BuildMainMenu.
void AddUndoMenuItems();
// Brings the entries' texts up to date with the history (EventUndoChanged).
void RefreshUndoMenu();
// The menu items of this file: 1 when item was one of them (and is done).
int64_t UndoMenuItem(int64_t item);
