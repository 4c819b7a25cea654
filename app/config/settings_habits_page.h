// Page "Bedienung" of the settings dialog: how typed letters act in a pane
// list ("Schnellsuche": "Buchstaben", "Alt+Buchstaben", "Aus"), whether
// numbers in names sort by their value, and whether selecting by pattern
// takes folders, too. Each control writes its setting at once, as the other
// pages' controls do. Main thread only.
#pragma once

#include <cstdint>

// Builds the page (a container at x, width × height, hidden until shown)
// from the current settings; returns the container.
int64_t BuildHabitsPage(int64_t x, int64_t width, int64_t height);
// Widens the page's gadgets to the page's width once the dialog is laid out.
void LayOutHabitsPage(int64_t width);
// A gadget event of the settings window: 1 when it was one of this page's.
// *reorder becomes 1 when the panes must be sorted again.
int64_t HabitsPageEvent(int64_t gadget, int64_t type, int64_t* reorder);
