// Tab keys, tab row events and the tab menu: see tab_commands.h.
#include "app/shell/tab_commands.h"

#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/panes/pane_rows.h"
#include "app/panes/pane_sides.h"
#include "app/panes/pane_tabs.h"
#include "app/panes/panes.h"
#include "toolkit/gadgets.h"
#include "toolkit/tab_row.h"

namespace {

// The tab the menu was shown for.
struct TabMenuState {
    int64_t Side = -1;
    int64_t Tab = -1; // -1: the row beside the tabs
} Menu;

int64_t ActiveSide() {
    return SideIndexOfList(App.ActivePane);
}

void ShowTabMenu(int64_t side, int64_t tab) {
    Menu = {side, tab};
    if (!tk_popup_menu_create(MenuTabMenu)) return;
    tk_menu_item_add(MenuTabNew, L"Neuer Reiter");
    if (tab >= 0) {
        tk_menu_item_add(MenuTabClose, L"Reiter schließen");
        tk_menu_item_add(MenuTabCloseOthers, L"Andere Reiter schließen");
        tk_menu_separator();
        const bool locked = tk_tab_row_marked(TabRowOfSide(side), tab) != 0;
        tk_menu_item_add(MenuTabLock, locked ? L"Reiter entsperren" : L"Reiter sperren");
    }
    tk_popup_menu_show(MenuTabMenu, tk_window_handle(WinMain));
}

void TabMenuCommand(int64_t item) {
    const int64_t side = Menu.Side, tab = Menu.Tab;
    if (TabCount(side) == 0) return;
    switch (item) {
    case MenuTabNew: {
        ShowTab(side, tab >= 0 ? tab : ShownTab(side));
        OpenTab(side, PanePath(PaneSides[side].List), false);
        break;
    }
    case MenuTabClose: CloseTab(side, tab); break;
    case MenuTabCloseOthers: CloseOtherTabs(side, tab); break;
    case MenuTabLock:
        SetTabLocked(side, tab, tk_tab_row_marked(TabRowOfSide(side), tab) == 0);
        break;
    default: break;
    }
}

} // namespace

bool TabMenuItem(int64_t item) {
    const int64_t side = ActiveSide();
    if (item >= MenuTabNumberKey && item < MenuTabNumberKey + 9) {
        ShowTab(side, item - MenuTabNumberKey);
        return true;
    }
    switch (item) {
    case MenuNewTabKey: OpenTab(side, PanePath(App.ActivePane), false); return true;
    case MenuCloseTabKey: CloseTab(side, ShownTab(side)); return true;
    case MenuNextTabKey: StepTab(side, 1); return true;
    case MenuPreviousTabKey: StepTab(side, -1); return true;
    case MenuTabNew:
    case MenuTabClose:
    case MenuTabCloseOthers:
    case MenuTabLock: TabMenuCommand(item); return true;
    default: return false;
    }
}

void TabRowGadgetEvent(int64_t gadget, int64_t type, intptr_t data) {
    const int64_t side = SideOfTabRow(gadget);
    if (side < 0) return;
    switch (type) {
    case TkTabRowChosen: ShowTab(side, data); break;
    case TkTabRowClose: CloseTab(side, data); break;
    case TkTabRowMenu: ShowTabMenu(side, data); break;
    case TkTabRowMoved: MoveTab(side, data / 65536, data % 65536); break;
    default: break;
    }
}

void PaneMiddleClick(int64_t list) {
    const int64_t row = tk_list_middle_clicked_row(list);
    const std::wstring name = tk_gadget_get_item_text(list, row, ColName);
    if (row < 0 || name.empty() || name == L".." ||
        tk_gadget_get_item_data(list, row) != PaneRowFolder)
        return;
    OpenTab(SideIndexOfList(list), PanePath(list) + name + L"/", true);
}
