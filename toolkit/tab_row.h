// Tab row gadget: a row of tabs above a view, one of them current. Each tab
// has a title, a tooltip and may be marked (a small padlock in front of its
// title). The program owns the tabs: it sets them whole (tk_tab_row_set) and
// the row reports what the user does with them as EventGadget with the row's
// number as object, the type below and the tab's index as data:
//   TkTabRowChosen   a left click on a tab (also on the current one)
//   TkTabRowClose    a middle click on a tab
//   TkTabRowMenu     a right click on a tab (the program shows its menu)
//   TkTabRowMoved    the user dragged a tab to another place within the row;
//                    data = from * 65536 + to, the row shows the new order
//                    already and the program follows it
// Changes the program makes report nothing. Main thread only; every call on
// a number that names no tab row does nothing and returns 0 (-1 for an index).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum : int64_t {
    TkTabRowChosen = 14100,
    TkTabRowClose = 14101,
    TkTabRowMenu = 14102,
    TkTabRowMoved = 14103,
};

struct TkTab {
    std::wstring title;
    std::wstring tooltip;
    bool marked = false;
};

// Creates a tab row in the current gadget list; returns as the other
// gadget creators do.
int64_t tk_tab_row_create(int64_t number, int64_t x, int64_t y, int64_t width, int64_t height);
// The row shows tabs, current being the current one (-1: none).
void tk_tab_row_set(int64_t gadget, const std::vector<TkTab>& tabs, int64_t current);

// ---- getters (tests) ----
int64_t tk_tab_row_count(int64_t gadget);
int64_t tk_tab_row_current(int64_t gadget);
std::wstring tk_tab_row_title(int64_t gadget, int64_t index);
std::wstring tk_tab_row_tooltip(int64_t gadget, int64_t index);
int64_t tk_tab_row_marked(int64_t gadget, int64_t index); // 1 marked, 0 not
// Moves a tab as a drag by the user does, reporting TkTabRowMoved (tests).
void tk_tab_row_drag(int64_t gadget, int64_t from, int64_t to);
