// The gadgets under a pane list: its selection line, and the quick search
// field that opens over the list's lowest rows while a search is typed.
// Built with the side's frame, laid out with it. Main thread only.
#pragma once

#include "app/core/ids.h"

#include <cstdint>
#include <iterator>

struct PaneBottom {
    int64_t List;          // the side's list
    int64_t SelectionLine; // text gadget under it
    int64_t QuickSearch;   // string gadget over its bottom, hidden unless searching
};
inline constexpr PaneBottom PaneBottoms[] = {
    {GadLeftPane, GadLeftSelectionLine, GadLeftQuickSearch},
    {GadRightPane, GadRightSelectionLine, GadRightQuickSearch},
};

// Height in pixels the selection line takes from the list.
inline constexpr int64_t SelectionLineHeight = 18;

// The bottom of the side whose list is list; null for any other number.
const PaneBottom* BottomOf(int64_t list);
// Creates the gadgets of the side of list inside its frame (the current
// gadget list).
void BuildPaneBottom(int64_t list);
// Places them under and over the list as the list is placed now.
void LayoutPaneBottom(int64_t list);
