// Tabs on each side: see pane_tabs.h.
#include "app/panes/pane_tabs.h"

#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/core/shell_hooks.h"
#include "app/panes/pane.h"
#include "app/panes/pane_filter.h"
#include "app/panes/pane_location.h"
#include "app/panes/pane_refresh.h"
#include "app/panes/pane_remote.h"
#include "app/panes/pane_rows.h"
#include "app/panes/pane_sides.h"
#include "app/panes/pane_workers.h"
#include "app/panes/panes.h"
#include "toolkit/gadget_cursor.h"
#include "toolkit/gadget_ops.h"
#include "toolkit/list.h"
#include "toolkit/tab_row.h"
#include "toolkit/timer.h"

#include <algorithm>

namespace {

constexpr int64_t TabRows[] = {GadLeftTabRow, GadRightTabRow};
static_assert(std::size(TabRows) == PaneSideCount, "one tab row a side");

bool KnownSide(int64_t side) {
    return side >= 0 && side < PaneSideCount;
}

bool KnownTab(int64_t side, int64_t index) {
    return KnownSide(side) && index >= 0 && index < TabCount(side);
}

Pane& TabAt(int64_t side, int64_t index) {
    return *SideTabs(side)[static_cast<size_t>(index)];
}

// Whether the side's tab row is on screen now (the layout follows it).
bool RowShown[PaneSideCount] = {};

// ---- hiding and showing ----

void DropListing(Pane& pane, int64_t list) {
    PaneListingState& l = pane.Listing;
    if (!l.Waiting) return;
    if (l.Cancel) *l.Cancel = 1;
    l.Cancel.reset();
    l.Topic.MoveOn();
    l.Waiting = false;
    if (l.Busy) tk_gadget_busy_cursor(list, 0);
    l.Busy = false;
    // The rows in the list are those of the history's folder, but the folder
    // asked for is lost with the listing: read the history's one when shown.
    pane.Tab.Unread = true;
}

// The side's list goes on to show another tab: the pane keeps its rows as
// the list holds them (with their selection and current row), so that they
// come back without being made anew.
void HideTab(Pane& pane, const PaneSide& side) {
    PaneTabState& t = pane.Tab;
    const int64_t list = side.List;
    StopPaneWorkers(pane);
    DropListing(pane, list);
    t.FilterText = tk_gadget_get_text(side.Filter);
    t.TopRow = tk_list_top_row(list);
    t.ListWidth = tk_gadget_width(list);
    for (int64_t c = 0; c < ColCount; ++c) t.ColumnWidths[c] = tk_list_column_width(list, c);
    // A refresh still out is dropped with the pane's answers: done again.
    if (pane.Refresh.Out.Waiting()) t.Changed = true;
    MovePaneOn(pane);
    std::vector<SortKeyCache>().swap(pane.Keys.Caches); // made again by the next sort
    std::vector<SortSlot>().swap(pane.Keys.Scratch);
    if (t.Unread) return;
    t.Rows = tk_list_take_rows(list);
    t.Kept = t.Rows != 0;
    // The filter's snapshot is taken again when a filter asks for it; only
    // behind narrowed rows it is the folder and stays.
    if (!(pane.Snapshot.Narrowed && pane.Snapshot.Epoch == pane.ListingEpoch))
        pane.Snapshot = PaneSnapshot{};
}

// The pane's snapshot is its folder's rows as they are now.
bool SnapshotCurrent(const Pane& pane) {
    const PaneSnapshot& s = pane.Snapshot;
    return !s.Narrowed && s.Epoch == pane.ListingEpoch && s.Version == pane.RowsVersion &&
           !s.Rows.empty();
}

// A pane of the same folder and sort whose rows can stand for the pane's:
// a shown one, or a hidden one whose rows are kept as a snapshot.
Pane* RowDonor(const Pane& pane) {
    for (int64_t side = 0; side < PaneSideCount; ++side)
        for (Pane* other : SideTabs(side)) {
            if (other == &pane || PaneFolder(*other) != PaneFolder(pane)) continue;
            if (other->SortColumn != pane.SortColumn || other->SortOrder != pane.SortOrder)
                continue;
            const bool shown = ListOf(*other) && !other->Listing.Waiting && !other->Tab.Unread &&
                               !other->Snapshot.Narrowed;
            if (shown || (other->Tab.Kept && !other->Tab.Rows && SnapshotCurrent(*other)))
                return other;
        }
    return nullptr;
}

// The pane takes over the rows of donor, as it would have read them.
void TakeRowsOf(Pane& pane, Pane& donor) {
    if (ListOf(donor) && !SnapshotCurrent(donor)) TakeRowSnapshot(donor);
    pane.Snapshot = donor.Snapshot;
    pane.ListingEpoch = donor.ListingEpoch;
    pane.Snapshot.Epoch = pane.ListingEpoch;
    pane.ShownMount = donor.ShownMount;
    pane.Listed = pane.History;
    pane.Tab.Unread = false;
    pane.Tab.Kept = true;
    pane.Tab.Changed = donor.Tab.Changed;
}

// Tags say which rows the workers had not finished.
void NoteUnfinished(int64_t, const wchar_t*, size_t, int64_t, uint32_t tag, intptr_t user) {
    if ((tag & PaneTagDone) != PaneTagDone) *reinterpret_cast<bool*>(user) = true;
}

// Kept rows back in the side's list, where the list was scrolled to.
void PutKeptRows(Pane& pane, int64_t list) {
    PaneTabState& t = pane.Tab;
    if (t.Rows) {
        tk_list_put_rows(list, t.Rows);
        t.Rows = 0;
        bool unfinished = false;
        tk_list_visit_rows(list, NoteUnfinished, reinterpret_cast<intptr_t>(&unfinished));
        if (unfinished)
            for (int64_t kind : {PaneWorkerTypeNames, PaneWorkerIcons}) StartPaneWorker(pane, kind);
    } else {
        ShowKeptRows(pane); // rows taken over from another tab
        tk_gadget_set_item_state(list, 0, TkListItemSelected);
        tk_list_set_current_row(list, 0);
    }
    t.Kept = false;
    const int64_t height = tk_list_row_height(list);
    if (t.TopRow > 0) tk_list_scroll(list, 0, t.TopRow * (height > 0 ? height : 16));
}

// The answer of a folder that does not answer within a second: the empty
// list says so; the rows replace the notice when the folder answers.
void SilenceCheck(intptr_t report) {
    Pane* pane = PaneOfReport(report);
    const int64_t list = pane ? ListOf(*pane) : 0;
    if (!list || !pane->Listing.Waiting || tk_gadget_count_items(list) != 0) return;
    tk_list_add_item(list, -1, PaneSilentNotice + std::wstring(L"\n\n\n"), 0, 0, 0);
}

// The side's list shows the pane: kept rows at once, then what changed.
void PutOnSide(Pane& pane, const PaneSide& side) {
    PaneTabState& t = pane.Tab;
    tk_gadget_set_text(side.PathField, PaneFolder(pane));
    tk_gadget_set_text(side.Filter, t.FilterText);
    MarkPaneDrive(pane);
    if (!t.Kept)
        if (Pane* donor = RowDonor(pane)) TakeRowsOf(pane, *donor);
    if (!t.Kept) {
        // A tab never listed (opened in the background, restored at start)
        // is read as a start folder is: one that is gone gives way to its
        // nearest existing ancestor.
        const bool never = pane.Listed.Paths.empty();
        t.Unread = false;
        tk_gadget_clear_items(side.List);
        if (never)
            ShowStartFolder(side.List, L"/");
        else
            ShowPath(pane, L"", ShowRefresh);
        WatchForSilence(&side - PaneSides);
        return;
    }
    PutKeptRows(pane, side.List);
    // The same rows in a list of the same width: the widths they had, without
    // measuring every row again.
    if (t.ListWidth == tk_gadget_width(side.List))
        for (int64_t c = 0; c < ColCount; ++c)
            tk_list_set_column_width(side.List, c, t.ColumnWidths[c]);
    else
        ApplyColumnWidths(side.List);
    ShowPath(pane, L"", ShowNoFill);
    if (!pane.Watcher.Run) StartDirWatcher(pane);
    // A remote folder may have changed unseen: most servers offer no monitor.
    if (t.Changed || PaneIsRemote(PaneFolder(pane))) {
        t.Changed = false;
        PaneDirReport(PaneReport(pane));
    }
}

void SwitchTo(int64_t side, Pane& next) {
    const PaneSide& s = PaneSides[side];
    Pane* shown = ShownPaneOfSide(side);
    if (shown == &next) {
        ShowPath(next, L"", ShowNoFill);
        return;
    }
    HideTab(*shown, s);
    SetSideTabs(side, SideTabs(side), &next);
    PutOnSide(next, s);
    SyncTabWatchers();
    UpdateTabRow(side);
}

// A tab gone from its side: it reports nothing more and lets go of its rows.
void Retire(Pane& pane) {
    StopPaneWorkers(pane);
    StopDirWatcher(pane);
    PaneListingState& l = pane.Listing;
    if (l.Cancel) *l.Cancel = 1;
    l.Topic.MoveOn();
    MovePaneOn(pane);
    pane.Refresh = {};
    pane.Snapshot = {};
    pane.Keys = {};
    tk_list_free_rows(pane.Tab.Rows);
    pane.Tab.Rows = 0;
    pane.Tab.Kept = false;
    pane.Tab.Closed = true;
}

std::wstring LastName(const std::wstring& folder) {
    if (folder.size() <= 1) return folder;
    const size_t end = folder.size() - 1; // the final "/"
    const size_t slash = folder.rfind(L'/', end - 1);
    return folder.substr(slash + 1, end - slash - 1);
}

} // namespace

int64_t TabRowOfSide(int64_t side) {
    return KnownSide(side) ? TabRows[side] : 0;
}

int64_t SideOfTabRow(int64_t gadget) {
    for (int64_t side = 0; side < PaneSideCount; ++side)
        if (TabRows[side] == gadget) return side;
    return -1;
}

int64_t SideIndexOfList(int64_t list) {
    const PaneSide* side = SideOfList(list);
    return side ? side - PaneSides : -1;
}

int64_t TabCount(int64_t side) {
    return KnownSide(side) ? static_cast<int64_t>(SideTabs(side).size()) : 0;
}

int64_t ShownTab(int64_t side) {
    if (!KnownSide(side)) return -1;
    const std::vector<Pane*>& tabs = SideTabs(side);
    return std::find(tabs.begin(), tabs.end(), ShownPaneOfSide(side)) - tabs.begin();
}

int64_t OpenTab(int64_t side, const std::wstring& folder, bool background) {
    if (!KnownSide(side) || folder.empty()) return -1;
    Pane& from = *ShownPaneOfSide(side);
    Pane& pane = NewPaneRecord();
    ResetHistory(pane.History, folder);
    pane.SortColumn = from.SortColumn;
    pane.SortOrder = from.SortOrder;
    pane.SortType = from.SortType;
    std::copy(std::begin(from.SortToggles), std::end(from.SortToggles), pane.SortToggles);
    pane.Tab.Unread = true;
    std::vector<Pane*> tabs = SideTabs(side);
    const int64_t at = ShownTab(side) + 1;
    tabs.insert(tabs.begin() + at, &pane);
    SetSideTabs(side, std::move(tabs), &from);
    // The shown tab's rows stand for the new tab's before it lets go of them.
    if (!background && PaneFolder(from) == folder && RowDonor(pane) == &from)
        TakeRowsOf(pane, from);
    if (background)
        UpdateTabRow(side);
    else
        SwitchTo(side, pane);
    return at;
}

void ShowTab(int64_t side, int64_t index) {
    if (KnownTab(side, index)) SwitchTo(side, TabAt(side, index));
}

void StepTab(int64_t side, int64_t step) {
    const int64_t n = TabCount(side);
    if (n < 2) return;
    ShowTab(side, ((ShownTab(side) + step) % n + n) % n);
}

bool CloseTab(int64_t side, int64_t index) {
    if (!KnownTab(side, index) || TabCount(side) < 2) return false;
    Pane& pane = TabAt(side, index);
    if (ShownPaneOfSide(side) == &pane) {
        // The neighbour on the right takes its place, the left one at the end.
        const int64_t next = index + 1 < TabCount(side) ? index + 1 : index - 1;
        SwitchTo(side, TabAt(side, next));
    }
    std::vector<Pane*> tabs = SideTabs(side);
    tabs.erase(tabs.begin() + index);
    SetSideTabs(side, std::move(tabs), ShownPaneOfSide(side));
    Retire(pane);
    SyncTabWatchers();
    UpdateTabRow(side);
    return true;
}

void CloseOtherTabs(int64_t side, int64_t index) {
    if (!KnownTab(side, index)) return;
    Pane* keep = &TabAt(side, index);
    SwitchTo(side, *keep);
    for (Pane* pane : std::vector<Pane*>(SideTabs(side)))
        if (pane != keep) Retire(*pane);
    SetSideTabs(side, {keep}, keep);
    SyncTabWatchers();
    UpdateTabRow(side);
}

void MoveTab(int64_t side, int64_t from, int64_t to) {
    if (!KnownTab(side, from) || !KnownTab(side, to) || from == to) return;
    std::vector<Pane*> tabs = SideTabs(side);
    Pane* moved = tabs[static_cast<size_t>(from)];
    tabs.erase(tabs.begin() + from);
    tabs.insert(tabs.begin() + to, moved);
    SetSideTabs(side, std::move(tabs), ShownPaneOfSide(side));
    UpdateTabRow(side);
}

void SetTabLocked(int64_t side, int64_t index, bool locked) {
    if (!KnownTab(side, index)) return;
    TabAt(side, index).Tab.Locked = locked;
    UpdateTabRow(side);
}

bool EnterInNewTab(Pane& pane, const std::wstring& folder) {
    const PaneSide* side = SideOf(pane);
    if (!pane.Tab.Locked || !side || folder.empty()) return false;
    OpenTab(side - PaneSides, folder, false);
    return true;
}

bool HiddenTabReport(intptr_t report) {
    Pane* pane = PaneOfReport(report);
    if (!pane || ListOf(*pane)) return false;
    // The watcher of one tab stands for every hidden tab of its folder.
    for (int64_t side = 0; side < PaneSideCount; ++side)
        for (Pane* tab : SideTabs(side))
            if (!ListOf(*tab) && PaneFolder(*tab) == PaneFolder(*pane)) tab->Tab.Changed = true;
    return true;
}

std::wstring TabTitle(const Pane& pane) {
    const std::wstring& folder = PaneFolder(pane);
    for (const DriveRecord& drive : App.DriveList)
        if (!drive.Root.empty() && drive.Root == folder && !drive.Label.empty()) return drive.Label;
    return LastName(folder);
}

void WatchForSilence(int64_t side) {
    if (!KnownSide(side)) return;
    tk_timer_once(SilenceMs, SilenceCheck, PaneReport(*ShownPaneOfSide(side)));
}

void NoteTabFolder(const Pane& pane) {
    const int64_t side = SideHolding(pane);
    if (side >= 0 && tk_gadget_exists(TabRows[side])) UpdateTabRow(side);
}

bool TabRowShown(int64_t side) {
    return KnownSide(side) && RowShown[side];
}

int64_t TabRowHeightOf(int64_t side) {
    return TabRowShown(side) ? TabRowHeight : 0;
}

bool UpdateTabRow(int64_t side, bool relayout) {
    if (!KnownSide(side)) return false;
    std::vector<TkTab> tabs;
    for (const Pane* pane : SideTabs(side)) {
        const std::wstring& folder = PaneFolder(*pane);
        tabs.push_back({TabTitle(*pane), folder, pane->Tab.Locked});
    }
    const int64_t row = TabRows[side];
    tk_tab_row_set(row, tabs, ShownTab(side));
    const bool shown = tabs.size() >= 2 || App.settings.TabsAlwaysShown != 0;
    if (shown == RowShown[side]) return false;
    RowShown[side] = shown;
    tk_gadget_hide(row, shown ? 0 : 1);
    if (relayout) CallRelayoutMainWindow();
    return true;
}

void SyncTabWatchers() {
    // Folders a pane watches now: every shown pane's, and those of hidden
    // tabs that keep a watcher.
    std::vector<std::wstring> watched;
    for (const PaneSide& side : PaneSides) watched.push_back(PanePath(side.List));
    for (int64_t side = 0; side < PaneSideCount; ++side)
        for (Pane* tab : SideTabs(side)) {
            if (ListOf(*tab)) continue;
            const std::wstring& folder = PaneFolder(*tab);
            const bool taken = std::find(watched.begin(), watched.end(), folder) != watched.end();
            const bool watching = tab->Watcher.Run && tab->Watcher.Run->Path == folder;
            if (tab->Tab.Kept && watching && !taken) {
                watched.push_back(folder);
                continue;
            }
            // A hidden tab starts no watcher of its own (that would look at
            // its folder): one that lets go of its watcher, or whose folder
            // another pane watches that may leave it, is refreshed when shown.
            if (tab->Watcher.Run) StopDirWatcher(*tab);
            if (tab->Tab.Kept) tab->Tab.Changed = true;
        }
}
