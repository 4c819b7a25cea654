// Incremental refresh of a shown folder: see pane_refresh.h.
#include "app/panes/pane_refresh.h"

#include "app/core/answers.h"
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/panes/navigation.h"
#include "app/panes/pane.h"
#include "app/panes/pane_cursor.h"
#include "app/panes/pane_location.h"
#include "app/panes/pane_reader.h"
#include "app/panes/pane_remote.h"
#include "app/panes/pane_rows.h"
#include "app/panes/pane_sides.h"
#include "app/panes/pane_sort.h"
#include "app/panes/pane_workers.h"
#include "app/panes/panes.h"
#include "runtime/files.h"
#include "toolkit/gadget_ops.h"
#include "toolkit/list.h"

#include <algorithm>
#include <memory>
#include <string_view>
#include <vector>

namespace {

// The entries by name: an open-addressed table of hashes and entry indices,
// so that a lookup costs one probe of a flat array and one name compare (a
// node-based map costs a bucket, a node and the name, each a cache miss,
// and a refresh looks up every row of a pane).
class NameIndex {
  public:
    void Build(const std::vector<RtDirEntry>& entries) {
        size_t capacity = 16;
        while (capacity < entries.size() * 2) capacity *= 2;
        slots_.assign(capacity, 0);
        mask_ = capacity - 1;
        for (size_t i = 0; i < entries.size(); ++i) {
            const uint32_t h = Hash(entries[i].name);
            size_t at = h & mask_;
            while (slots_[at]) at = (at + 1) & mask_;
            slots_[at] = (uint64_t(h) << 32) | (i + 1);
        }
    }
    // The index of the entry named name, or -1.
    int64_t Find(const std::vector<RtDirEntry>& entries, std::wstring_view name) const {
        if (slots_.empty()) return -1;
        const uint32_t h = Hash(name);
        for (size_t at = h & mask_; slots_[at]; at = (at + 1) & mask_) {
            const uint64_t slot = slots_[at];
            const size_t i = (slot & 0xFFFFFFFFu) - 1;
            if ((slot >> 32) == h && entries[i].name == name) return static_cast<int64_t>(i);
        }
        return -1;
    }

  private:
    static uint32_t Hash(std::wstring_view name) { // FNV-1a over the characters
        uint32_t h = 2166136261u;
        for (wchar_t c : name) h = (h ^ static_cast<uint32_t>(c)) * 16777619u;
        return h;
    }
    std::vector<uint64_t> slots_; // hash in the high half, entry index + 1 below; 0 = free
    size_t mask_ = 0;
};

// The folder as the enumeration gave it; texts are made only for the
// entries that become rows.
struct FolderNow {
    std::vector<RtDirEntry> entries;
    std::vector<std::wstring> dates; // by entry: its date text, made off the main thread
    std::vector<bool> listed;        // by entry: some row shows it
    NameIndex by_name;
    std::vector<int64_t> vanished;                   // rows whose entry is gone
    std::vector<std::pair<int64_t, size_t>> changed; // rows and their entries, written since
};

// One pass over the folder (ReadPaneEntries): a refresh of a large folder costs
// little more than the kernel's listing and stat of it.
bool ReadFolderNow(const std::wstring& path, FolderNow& now) {
    if (!ReadPaneEntries(path, &now.entries)) return false;
    now.listed.assign(now.entries.size(), false);
    now.dates.resize(now.entries.size());
    for (size_t i = 0; i < now.entries.size(); ++i)
        if (now.entries[i].type != RtEntryFolder)
            AppendPaneDateText(now.dates[i], now.entries[i].modified);
    now.by_name.Build(now.entries);
    return true;
}

// The column'th text of a row's whole text.
std::wstring_view ColumnText(std::wstring_view all, int column) {
    for (; column > 0; --column) {
        const size_t lf = all.find(L'\n');
        if (lf == std::wstring_view::npos) return {};
        all.remove_prefix(lf + 1);
    }
    return all.substr(0, all.find(L'\n'));
}

// tk_list_visit_rows: marks the entries rows show, notes rows without one
// and file rows whose size or date is no longer the entry's. A row whose
// entry turned from a file into a folder or back counts as gone: the
// entry comes back as a new row of its kind.
void MatchRow(int64_t row, const wchar_t* text, size_t length, int64_t data, uint32_t,
              intptr_t user) {
    FolderNow& now = *reinterpret_cast<FolderNow*>(user);
    const std::wstring_view all(text, length);
    const std::wstring_view name = all.substr(0, all.find(L'\n'));
    const int64_t at = now.by_name.Find(now.entries, name);
    if (at < 0) {
        now.vanished.push_back(row);
        return;
    }
    const size_t i = static_cast<size_t>(at);
    const RtDirEntry& e = now.entries[i];
    if (name != L".." && (data == PaneRowFolder) != (e.type == RtEntryFolder)) {
        now.vanished.push_back(row);
        return;
    }
    now.listed[i] = true;
    if (data != PaneRowFolder && name != L".." &&
        (e.size != data || ColumnText(all, ColDate) != now.dates[i]))
        now.changed.emplace_back(row, i);
}

// Matches the rows the list shows now against the entries read.
void MatchRows(int64_t list, FolderNow& now) {
    tk_list_visit_rows(list, MatchRow, reinterpret_cast<intptr_t>(&now));
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

// Rows whose files were written or touched get the entry's size and date,
// in place; a pane sorted by either puts them where they now belong.
bool UpdateRows(Pane& pane, int64_t list, const FolderNow& now) {
    if (now.changed.empty()) return false;
    for (const auto& [row, i] : now.changed) {
        const RtDirEntry& e = now.entries[i];
        const FileEntry file =
            MakeFileRecord(PaneFolder(pane), e.name, e.attributes, e.size, e.modified);
        tk_gadget_set_item_text(list, row, now.dates[i], ColDate);
        tk_gadget_set_item_text(list, row, file.SizeText, ColSize);
        tk_gadget_set_item_data(list, row, e.size);
    }
    pane.RowsVersion++;
    return true;
}

bool RemoveRows(Pane& pane, int64_t list, const FolderNow& now) {
    if (now.vanished.empty()) return false;
    // Without a current row the next arrow key or End would start at the
    // top: a neighbour takes the place of a vanished current row.
    const int64_t current = CurrentAfterRemoval(list, now.vanished);
    tk_list_remove_items(list, now.vanished);
    if (current >= 0 && tk_list_selected_count(list) == 0)
        tk_gadget_set_state(list, current); // as a click on it would
    else if (current >= 0)
        tk_list_set_current_row(list, current);
    pane.RowsVersion++;
    NudgePaneWorkers(pane); // the rows behind the removed ones moved up
    return true;
}

bool AppendRows(Pane& pane, int64_t list, const std::wstring& path, const FolderNow& now) {
    const int64_t first = tk_gadget_count_items(list);
    tk_list_set_redraw(list, 0);
    for (size_t i = 0; i < now.entries.size(); ++i) {
        const RtDirEntry& p = now.entries[i];
        if (now.listed[i] || p.name.empty() || p.name == L"." || HiddenBySettings(p.attributes))
            continue;
        if (p.type == RtEntryFolder) {
            FileEntry folder;
            folder.Name = p.name;
            folder.Attributes = p.attributes;
            AppendFolderRow(pane, folder);
        } else {
            AppendFileRow(pane, MakeFileRecord(path, p.name, p.attributes, p.size, p.modified));
        }
    }
    tk_list_set_redraw(list, 1);
    if (tk_gadget_count_items(list) == first) return false;
    pane.RowsVersion++;
    for (int64_t kind : {PaneWorkerTypeNames, PaneWorkerIcons}) StartPaneWorker(pane, kind, first);
    return true;
}

// The shown folder was deleted or moved away: show what is left of its path
// (nearest, found off the main thread), leaving the other pane active if it
// was.
void ShowNearestFolder(Pane& pane, const std::wstring& nearest) {
    const int64_t active = App.ActivePane;
    SetPaneLocation(pane, nearest.empty() ? L"/" : nearest);
    ShowPath(pane, L"", ShowRefresh);
    if (active != ListOf(pane) && PaneOf(active)) ShowPath(active, L"", ShowNoFill);
}

// What a refresh does with the entries it read.
enum : int { RefreshAdd = 1, RefreshRemove = 2, RefreshBoth = 3 };

// What the refresh's own thread found out.
struct RefreshAnswer {
    FolderNow now;
    bool read = false;    // the folder could be enumerated
    bool gone = false;    // it is no folder any more
    std::wstring nearest; // then its nearest existing ancestor
};

// Applies an answer to the rows shown now; 1 when a row was added or
// removed (or, for a removal, when the folder could be read).
int64_t ApplyRefresh(Pane& pane, const std::wstring& path, int mode, RefreshAnswer& a) {
    const int64_t list = ListOf(pane);
    if (!list) return 0;
    if (!a.read) {
        if (mode == RefreshBoth && a.gone) ShowNearestFolder(pane, a.nearest);
        return 0;
    }
    MatchRows(list, a.now);
    // One report updates the changed rows, drops the vanished ones and adds
    // the new ones: a renamed entry shows its new name only, at once, and a
    // file written meanwhile its new size and date. The updates go first,
    // while the row numbers are those of the visit.
    const bool updated = (mode & RefreshAdd) && UpdateRows(pane, list, a.now);
    const bool removed = (mode & RefreshRemove) && RemoveRows(pane, list, a.now);
    const bool added = (mode & RefreshAdd) && AppendRows(pane, list, path, a.now);
    // Rows added are sorted once their workers are done (PaneInfoReady).
    if (updated && !added && (pane.SortColumn == ColSize || pane.SortColumn == ColDate))
        SortPaneAsStored(pane);
    if (removed || added) FulfilCursorWish(pane, removed);
    if (mode == RefreshRemove) return 1;
    return removed || added || updated ? 1 : 0;
}

// Reads path off the main thread and applies what it holds to the pane's
// rows, unless the pane shows something else by then. One refresh at a time
// (Pane::Refresh): a report meanwhile asks for one more afterwards. The
// result when the answer came in time, else 0.
int64_t Refresh(Pane& pane, const std::wstring& path, int mode) {
    if (pane.Refresh.Out.Waiting()) {
        pane.Refresh.Again = true;
        return 0;
    }
    auto a = std::make_shared<RefreshAnswer>();
    auto result = std::make_shared<int64_t>(0);
    AskAside(
        {&pane.Shown, &pane.Refresh.Out},
        [a, path, mode] {
            a->read = ReadFolderNow(path, a->now);
            // A remote folder that cannot be read is a server's state, which
            // its next listing shows; it is never left for a local folder.
            if (a->read || mode != RefreshBoth || PaneIsRemote(path)) return;
            a->gone = rt_file_size(path) != RtSizeFolder;
            if (a->gone) a->nearest = NearestExistingFolder(path);
        },
        [a, result, &pane, path, mode] {
            *result = ApplyRefresh(pane, path, mode, *a);
            if (!pane.Refresh.Again) return;
            pane.Refresh.Again = false;
            // What changed meanwhile: the pane's folder as it is now.
            Refresh(pane, PaneFolder(pane), RefreshBoth);
        });
    return *result;
}

} // namespace

int64_t AddNewEntries(int64_t list, const std::wstring& path) {
    Pane* pane = PaneOf(list);
    return pane ? Refresh(*pane, path, RefreshAdd) : 0;
}

int64_t RemoveVanishedEntries(int64_t list, const std::wstring& path) {
    Pane* pane = PaneOf(list);
    return pane ? Refresh(*pane, path, RefreshRemove) : 0;
}

int64_t RemoveVanishedEntries(Pane& pane) {
    return Refresh(pane, PaneFolder(pane), RefreshRemove);
}

int64_t RefreshPaneEntries(Pane& pane) {
    return Refresh(pane, PaneFolder(pane), RefreshBoth);
}

int64_t RefreshPaneEntries(int64_t list) {
    Pane* pane = PaneOf(list);
    return pane ? RefreshPaneEntries(*pane) : 0;
}
