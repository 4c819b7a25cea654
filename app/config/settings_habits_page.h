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
// The page width the page's texts need in their font.
int64_t HabitsPageWidth();
// Places the page's gadgets for a page of that width, each as high as its
// text needs; returns the bottom of the last.
int64_t LayOutHabitsPage(int64_t width);
// A gadget event of the settings window: 1 when it was one of this page's.
// *reorder becomes 1 when the panes must be sorted again.
int64_t HabitsPageEvent(int64_t gadget, int64_t type, int64_t* reorder);
