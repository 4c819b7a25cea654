// Focus keys and the menu bar key of the main window: see main_keys.h.
#include "app/shell/main_keys.h"

#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/panes/navigation.h"
#include "app/panes/pane_remote.h"
#include "app/panes/pane_sides.h"
#include "app/panes/panes.h"
#include "toolkit/gadgets.h"

namespace {

bool IsPane(int64_t gadget) {
    return SideOfList(gadget) != nullptr;
}

} // namespace

void FocusKey(int64_t forward) {
    const int64_t focus = tk_gadget_active();
    if (IsPane(focus)) {
        // the two lists are the places of a two-pane window: Tab goes across
        ShowPath(OtherPane(focus), L"", ShowNoFill);
        if (Pane* p = PaneOf(OtherPane(focus))) RemoteLoginOnEntry(*p);
        return;
    }
    tk_focus_move(WinMain, forward);
    // a list reports no focus of its own; reaching it by key makes it active
    const int64_t reached = tk_gadget_active();
    if (IsPane(reached)) ShowPath(reached, L"", ShowNoFill);
}

void BackspaceKey() {
    const int64_t focus = tk_gadget_active();
    if (IsPane(focus)) OpenParentFolder(focus);
}

void MenuBarKey() {
    tk_menu_bar_activate(MenuMain);
}

void PathFieldLeft(int64_t pane) {
    const int64_t focus = tk_gadget_active();
    if (focus < 0 || focus == pane || focus == PanePathGadget(pane))
        ShowPath(pane, L"", ShowNoFill);
    else
        MarkActivePane(pane);
}
