// Where a pane's cursor goes after a command changed its rows: onto the
// entry a rename or a new folder made, onto the folder left by going up, or
// onto the row after the last one a delete or move takes away. The command
// leaves a wish with the pane; the listing or the watcher's refresh that
// brings the rows fulfils it, by name, so it holds however the rows were
// sorted or moved meanwhile. A wish belongs to one folder: a pane that shows
// another one drops it. Main thread only.
#pragma once

#include <cstdint>
#include <string>

struct Pane;

// The cursor goes to the row named name of folder once it is listed.
void WishCursorOn(Pane& pane, const std::wstring& folder, const std::wstring& name);
void WishCursorOn(int64_t list, const std::wstring& name); // the pane's own folder
// The cursor goes to the first unselected row after the last selected one
// (else the last one before the first selected) once selected rows vanish.
void WishCursorAfterSelection(int64_t list);
// After rows came or went (removed: some vanished): fulfils the pane's wish
// when it can, selecting that row only. True when the cursor was placed.
bool FulfilCursorWish(Pane& pane, bool removed);
// The row whose name is name, -1 when none.
int64_t RowOfName(int64_t list, const std::wstring& name);
