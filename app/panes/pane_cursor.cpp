// The cursor wishes of commands: see pane_cursor.h.
#include "app/panes/pane_cursor.h"

#include "app/panes/pane.h"
#include "app/panes/pane_sides.h"
#include "toolkit/gadget_ops.h"
#include "toolkit/list.h"

#include <string_view>

namespace {

struct Finding {
    std::wstring_view name;
    int64_t row = -1;
};

void LookAtRow(int64_t row, const wchar_t* text, size_t length, int64_t, uint32_t, intptr_t user) {
    Finding& f = *reinterpret_cast<Finding*>(user);
    if (f.row >= 0) return;
    const std::wstring_view all(text, length);
    if (all.substr(0, all.find(L'\n')) == f.name) f.row = row;
}

} // namespace

int64_t RowOfName(int64_t list, const std::wstring& name) {
    Finding f{name};
    tk_list_visit_rows(list, LookAtRow, reinterpret_cast<intptr_t>(&f));
    return f.row;
}

void WishCursorOn(Pane& pane, const std::wstring& folder, const std::wstring& name) {
    pane.CursorWish = {folder, name, false};
}

void WishCursorOn(int64_t list, const std::wstring& name) {
    if (Pane* pane = PaneOf(list)) WishCursorOn(*pane, PaneFolder(*pane), name);
}

void WishCursorAfterSelection(int64_t list) {
    Pane* pane = PaneOf(list);
    if (!pane) return;
    // Without a selection the command takes the current row.
    const bool none = tk_list_selected_count(list) == 0;
    const int64_t last = none ? tk_list_current_row(list) : tk_list_last_selected(list);
    if (last < 0) return;
    const auto taken = [&](int64_t row) {
        return none ? row == last : (tk_gadget_get_item_state(list, row) & TkListItemSelected) != 0;
    };
    const int64_t count = tk_gadget_count_items(list);
    int64_t row = last + 1;
    while (row < count && taken(row)) ++row;
    if (row >= count) { // nothing after: the nearest one before the first taken
        row = (none ? last : tk_list_next_selected(list, -1)) - 1;
        while (row >= 0 && taken(row)) --row;
    }
    if (row < 0) return;
    pane->CursorWish = {PaneFolder(*pane), tk_gadget_get_item_text(list, row, 0), true};
}

bool FulfilCursorWish(Pane& pane, bool removed) {
    PaneCursorWish& w = pane.CursorWish;
    if (w.Name.empty()) return false;
    if (w.Folder != PaneFolder(pane)) {
        w = {};
        return false;
    }
    if (w.AfterRemoval && !removed) return false;
    const int64_t list = ListOf(pane);
    const int64_t row = RowOfName(list, w.Name);
    if (row < 0) return false;
    w = {};
    tk_gadget_set_state(list, row);
    tk_list_ensure_visible(list, row);
    return true;
}
