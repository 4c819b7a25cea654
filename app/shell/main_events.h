// The main window's event handling: what each key, button, menu item and
// window event of window 0 asks for, and the small routines that serve it.
// Main thread only.
#pragma once

#include <cstdint>
#include <string>

// Handler of window 0; 1 when the program is to end, else 0.
int64_t MainWindowEvents(int64_t value);

// Column header notifications of the pane lists (click, user resize): the
// hook posts them as gadget events of the list, a resize with the column and
// its new width in the event's data, and PaneEvent handles them.
void PaneHeaderHook(int64_t gadget, int64_t kind, int64_t column, int64_t width);

// Modes of SelectedItems.
enum : int64_t {
    SelectedNames = 0,       // names, each ended by a line feed
    SelectedPaths = 1,       // full paths (with the pane's folder), each ended by a line feed
    SelectedNamesJoined = 2, // the names run together, no line feeds
};

// Selected rows of a pane as text, in row order, as mode (Selected…) says.
std::wstring SelectedItems(int64_t pane, int64_t mode);
// What a command of the keyboard acts on: the names of the selected rows,
// else the current row's, each ended by a line feed; ".." is never one of
// them (a cursor moved onto it selects it alone). Empty when there is none.
std::wstring ChosenRows(int64_t pane);

// Keeps the window fields of the settings current; the position before the
// last move, so that a maximized window is saved with its normal position.
struct WindowMemo {
    int64_t PreviousX = 0;
    int64_t PreviousY = 0;
};
extern WindowMemo MainWindowMemo;
