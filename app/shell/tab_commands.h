// The shell's side of the tabs: their keys, the tab row's events, the tab
// menu and the middle click on a folder row. The tabs themselves live in
// app/panes/pane_tabs.h. Main thread only.
#pragma once

#include <cstdint>

// Runs a tab key or an item of the tab menu; false for any other item.
bool TabMenuItem(int64_t item);
// An event of a side's tab row (toolkit/tab_row.h types, data: the tab).
void TabRowGadgetEvent(int64_t gadget, int64_t type, intptr_t data);
// A middle click on a pane's row: a folder opens in a tab in the background.
void PaneMiddleClick(int64_t list);
