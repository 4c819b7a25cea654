// The main window's event handling: what each key, button, menu item and
// window event of window 0 asks for, and the small routines that serve it.
// Main thread only.
#pragma once

#include <cstdint>
#include <string>

// Handler of window 0; 1 when the program is to end, else 0.
int64_t MainWindowEvents(int64_t value);

// Column header notifications of the pane lists (click, user resize).
void PaneHeaderHook(int64_t gadget, int64_t kind, int64_t column, int64_t width);

// Modes of SelectedItems.
enum : int64_t {
    SelectedNames = 0,       // names, each ended by a line feed
    SelectedPaths = 1,       // full paths (with the pane's folder), each ended by a line feed
    SelectedNamesJoined = 2, // the names run together, no line feeds
};

// Selected rows of a pane as text, in row order, as mode (Selected…) says.
std::wstring SelectedItems(int64_t pane, int64_t mode);
// Folder part (up to its last "/") of the first line of a list of paths.
std::wstring FirstItemFolder(const std::wstring& list);
// The name parts of every line of a list of full paths, each ended by a
// line feed.
std::wstring ItemNames(const std::wstring& list);
// Remembers a column width a user gave a pane; 1 if the gadget exists.
int64_t RememberColumnWidth(int64_t gadget, int64_t column, int64_t width);
// Sets a column width of a list gadget without reporting it back.
void SetColumnWidth(int64_t gadget, int64_t column, int64_t width);

// Keeps the window fields of the settings current; the position before the
// last move, so that a maximized window is saved with its normal position.
struct WindowMemo {
    int64_t PreviousX = 0;
    int64_t PreviousY = 0;
};
extern WindowMemo MainWindowMemo;

// Column-resize memo, filled by PaneHeaderHook.
struct ColumnResizeMemo {
    int64_t Gadget = 0;
    int64_t Column = 0;
    int32_t Width = 0;
};
extern ColumnResizeMemo ColumnMemo;
