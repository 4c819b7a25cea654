// Incremental refresh of a shown folder: see pane_refresh.h.
#include "app/panes/pane_refresh.h"

#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/panes/dir_watcher.h"
#include "app/panes/navigation.h"
#include "app/panes/pane_location.h"
#include "app/panes/pane_rows.h"
#include "app/panes/pane_workers.h"
#include "app/panes/panes.h"
#include "runtime/files.h"
#include "toolkit/gadget_ops.h"
#include "toolkit/list.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

// One entry of the folder as the enumeration gave it; texts are made only
// for the entries that become rows.
struct Present {
    std::wstring name;
    int type = 0;
    int64_t attributes = 0;
    int64_t size = 0;
    int64_t date = 0;
    bool listed = false; // some row shows it
};

struct FolderNow {
    std::vector<Present> entries;
    std::unordered_map<std::wstring_view, size_t> by_name; // views into entries
    std::vector<int64_t> vanished;                         // rows whose entry is gone
};

bool ReadFolderNow(const std::wstring& path, FolderNow& now) {
    const int number = rt_dir_examine(-1, path, L"*.*");
    if (!number) return false;
    while (rt_dir_next(number)) {
        Present p;
        p.name = rt_dir_entry_name(number);
        p.type = rt_dir_entry_type(number);
        p.attributes = rt_dir_entry_attributes(number);
        p.size = rt_dir_entry_size(number);
        p.date = rt_dir_entry_date(number, RtDateModified);
        now.entries.push_back(std::move(p));
    }
    rt_dir_finish(number);
    now.by_name.reserve(now.entries.size());
    for (size_t i = 0; i < now.entries.size(); ++i) now.by_name.emplace(now.entries[i].name, i);
    return true;
}

// tk_list_visit_rows: marks the entries rows show and notes rows without one.
void MatchRow(int64_t row, const wchar_t* text, size_t length, int64_t, uint32_t, intptr_t user) {
    FolderNow& now = *reinterpret_cast<FolderNow*>(user);
    const std::wstring_view all(text, length);
    const std::wstring_view name = all.substr(0, all.find(L'\n'));
    const auto it = now.by_name.find(name);
    if (it == now.by_name.end())
        now.vanished.push_back(row);
    else
        now.entries[it->second].listed = true;
}

bool Read(int64_t pane, const std::wstring& path, FolderNow& now) {
    if (!PaneOf(pane) || !ReadFolderNow(path, now)) return false;
    tk_list_visit_rows(pane, MatchRow, reinterpret_cast<intptr_t>(&now));
    return true;
}

// Where the current row goes when its entry vanished: the row that moves
// into its place, or the new last row. -1 when the current row stays.
int64_t CurrentAfterRemoval(int64_t pane, const std::vector<int64_t>& vanished) {
    const int64_t current = tk_list_current_row(pane);
    const auto at = std::lower_bound(vanished.begin(), vanished.end(), current);
    if (current < 0 || at == vanished.end() || *at != current) return -1;
    const int64_t left = tk_gadget_count_items(pane) - static_cast<int64_t>(vanished.size());
    const int64_t place = current - (at - vanished.begin());
    return left <= 0 ? -1 : std::min(place, left - 1);
}

bool RemoveRows(int64_t pane, const FolderNow& now) {
    if (now.vanished.empty()) return false;
    // Without a current row the next arrow key or End would start at the
    // top: a neighbour takes the place of a vanished current row.
    const int64_t current = CurrentAfterRemoval(pane, now.vanished);
    tk_list_remove_items(pane, now.vanished);
    if (current >= 0 && tk_list_selected_count(pane) == 0)
        tk_gadget_set_state(pane, current); // as a click on it would
    else if (current >= 0)
        tk_list_set_current_row(pane, current);
    PaneOf(pane)->RowsVersion++;
    NudgePaneWorkers(pane); // the rows behind the removed ones moved up
    return true;
}

bool AppendRows(int64_t pane, const std::wstring& path, const FolderNow& now) {
    const int64_t first = tk_gadget_count_items(pane);
    tk_list_set_redraw(pane, 0);
    for (const Present& p : now.entries) {
        if (p.listed || p.name.empty() || p.name == L"." || HiddenBySettings(p.attributes))
            continue;
        if (p.type == RtEntryFolder) {
            FileEntry folder;
            folder.Name = p.name;
            AppendFolderRow(pane, folder);
        } else {
            AppendFileRow(pane, MakeFileRecord(path, p.name, p.attributes, p.size, p.date));
        }
    }
    tk_list_set_redraw(pane, 1);
    if (tk_gadget_count_items(pane) == first) return false;
    PaneOf(pane)->RowsVersion++;
    for (int64_t kind : {PaneWorkerTypeNames, PaneWorkerIcons})
        StartPaneWorker(pane, *PaneWorkerOf(pane, kind), kind, first);
    return true;
}

// The shown folder was deleted or moved away: show what is left of its path,
// leaving the other pane active if it was.
void ShowNearestFolder(int64_t pane) {
    const int64_t active = App.ActivePane;
    const std::wstring left = NearestExistingFolder(PanePath(pane));
    SetPaneLocation(pane, left.empty() ? L"/" : left);
    ShowPath(pane, L"", ShowRefresh);
    if (active != pane && PaneOf(active)) ShowPath(active, L"", ShowNoFill);
}

} // namespace

int64_t AddNewEntries(int64_t pane, const std::wstring& path) {
    FolderNow now;
    if (!Read(pane, path, now)) return 0;
    return AppendRows(pane, path, now) ? 1 : 0;
}

int64_t RemoveVanishedEntries(int64_t pane, const std::wstring& path) {
    FolderNow now;
    if (!Read(pane, path, now)) return 0;
    RemoveRows(pane, now);
    return 1;
}

int64_t RefreshPaneEntries(int64_t pane) {
    if (!PaneOf(pane)) return 0;
    const std::wstring path = PanePath(pane);
    FolderNow now;
    if (!Read(pane, path, now)) {
        if (rt_file_size(path) != RtSizeFolder) ShowNearestFolder(pane);
        return 0;
    }
    // One report both drops the vanished rows and adds the new ones: a
    // renamed entry shows its new name only, at once.
    const bool removed = RemoveRows(pane, now);
    const bool added = AppendRows(pane, path, now);
    return removed || added ? 1 : 0;
}

int64_t PaneOfDirReport(intptr_t data) {
    if (data == 0) return App.ActivePane;
    for (int64_t pane : {GadLeftPane, GadRightPane})
        if (reinterpret_cast<intptr_t>(DirWatchOf(pane)) == data) return pane;
    return 0;
}

void PaneDirChanged(intptr_t data) {
    if (data == 0) {
        RemoveVanishedEntries(App.ActivePane, PanePath(App.ActivePane));
        return;
    }
    RefreshPaneEntries(PaneOfDirReport(data));
}
