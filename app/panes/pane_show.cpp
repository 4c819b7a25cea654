// ShowPath, the one road by which a pane changes, re-reads or activates its
// folder, and the column widths of a pane. Main thread only.
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/panes/pane_location.h"
#include "app/panes/pane_workers.h"
#include "app/panes/panes.h"
#include "runtime/memory.h"
#include "toolkit/gadget_ops.h"
#include "toolkit/list.h"

#include <algorithm>

namespace {

// The history change of a ShowPath mode; ShowNoFill and ShowRefresh leave
// the history as it is.
void ApplyHistoryMode(int64_t pane, const std::wstring& path, int64_t mode) {
    switch (mode) {
    case ShowReset: ResetHistory(pane, path); break;
    case ShowPush: PushHistory(pane, path); break;
    case ShowPop: PopHistory(pane); break;
    case ShowReplace: ReplaceHistoryTop(pane, path); break;
    default: break;
    }
}

// The active pane's path field is tinted; the other one has the default colour.
void MarkActivePathField(int64_t pane) {
    tk_gadget_set_color(PanePathGadget(OtherPane(pane)), TkColorBack, -1);
    tk_gadget_set_color(PanePathGadget(pane), TkColorBack, ActivePathColor);
    tk_gadget_set_text(PanePathGadget(pane), PanePath(pane));
}

// Selects row and makes it the current row, so the keyboard goes on from it.
void SelectRow(int64_t pane, int64_t row) {
    tk_gadget_set_item_state(pane, row, TkListItemSelected);
    tk_list_set_current_row(pane, row);
}

} // namespace

int64_t PanePathGadget(int64_t pane) {
    if (pane == GadLeftPane) return GadLeftPath;
    if (pane == GadRightPane) return GadRightPath;
    return 0;
}

int64_t PaneDiskInfoGadget(int64_t pane) {
    if (pane == GadLeftPane) return GadLeftDiskInfo;
    if (pane == GadRightPane) return GadRightDiskInfo;
    return 0;
}

int64_t ShowPath(int64_t pane, const std::wstring& path, int64_t mode) {
    PaneState* ps = PaneOf(pane);
    if (!ps) return 0;
    if (PanePath(pane) == path && mode != ShowRefresh) return 1;
    ApplyHistoryMode(pane, path, mode);
    int64_t row = ps->SelectionHistory.empty() ? 0 : ps->SelectionHistory.back();
    App.ActivePane = pane;
    MarkActivePathField(pane);
    if (mode != ShowNoFill) {
        StopPaneWorkers(pane);
        if (FillPane(pane, PanePath(pane))) {
            SelectRow(pane, row);
            ApplyColumnWidths(pane);
            ps->ShownMount = MountOfPath(PanePath(pane));
        }
        // the listing's temporary records lay between the rows kept
        rt_heap_trim();
    }
    tk_gadget_activate(pane);
    return 0;
}

void ApplyColumnWidths(int64_t pane) {
    if (!PaneOf(pane)) return;
    // The frame takes 4 pixels; a vertical scroll bar 19 more.
    int64_t inner = tk_gadget_width(pane) - (tk_list_has_vscrollbar(pane) ? 23 : 4);
    if (inner < 0) inner = 0;
    int64_t width[4];
    for (int64_t column = 0; column < 4; column++)
        width[column] = inner * App.ColumnPercent[column] / 100;
    // Dates and sizes are only of use whole: those columns get at least the
    // width of their widest text, and name and type share what remains in
    // their own proportion.
    int64_t rest = inner, rest_percent = 0;
    for (int64_t column = 0; column < 4; column++) {
        if (column == 1 || column == 3) {
            width[column] = std::max(width[column], tk_list_column_fit_width(pane, column));
            rest -= width[column];
        } else {
            rest_percent += App.ColumnPercent[column];
        }
    }
    rest = std::max<int64_t>(rest, 0);
    for (int64_t column : {0, 2})
        if (rest_percent > 0) width[column] = rest * App.ColumnPercent[column] / rest_percent;
    for (int64_t column = 0; column < 4; column++)
        tk_list_set_column_width(pane, column, width[column]);
}
