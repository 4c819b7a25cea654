// The pane filter and its row snapshot: see pane_filter.h.
//
// Snapshot texts are stored as one byte string per pane (UTF-8 extended to
// every code point, lone surrogates of undecodable file names included), so
// a 100,000-row snapshot costs a few megabytes, not the size of the list.
#include "app/panes/pane_filter.h"

#include "app/panes/name_filter.h"

#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/panes/pane.h"
#include "app/panes/pane_icons.h"
#include "app/panes/pane_refresh.h"
#include "app/panes/pane_rows.h"
#include "app/panes/pane_sides.h"
#include "app/panes/pane_sort.h"
#include "app/panes/pane_workers.h"
#include "app/panes/panes.h"
#include "runtime/text.h"
#include "toolkit/gadget_ops.h"
#include "toolkit/list.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

// The pane's snapshot. A folder listed since the filter narrowed the rows
// replaced them: there is nothing of the old folder to put back.
PaneSnapshot& SnapOf(Pane& pane) {
    PaneSnapshot& s = pane.Snapshot;
    if (s.Narrowed && s.Epoch != pane.ListingEpoch) s.Narrowed = false;
    return s;
}

// ---- texts to bytes and back ----

void Decode(std::wstring& out, const char* bytes, size_t length) {
    out.clear();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    for (size_t i = 0; i < length;) {
        const unsigned char b = p[i];
        uint32_t c;
        int more;
        if (b < 0x80) {
            out += static_cast<wchar_t>(b);
            ++i;
            continue;
        }
        if (b < 0xE0)
            c = b & 0x1F, more = 1;
        else if (b < 0xF0)
            c = b & 0x0F, more = 2;
        else
            c = b & 0x07, more = 3;
        for (++i; more-- > 0 && i < length; ++i) c = (c << 6) | (p[i] & 0x3F);
        out += static_cast<wchar_t>(c);
    }
}

// Lower case for the filter: Latin, Greek and Cyrillic capitals.
wchar_t Lower(wchar_t c) {
    if (c < 0x80) return c >= L'A' && c <= L'Z' ? wchar_t(c + 32) : c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3A9) ||
        (c >= 0x410 && c <= 0x42F))
        return wchar_t(c + 32);
    if (c >= 0x400 && c <= 0x40F) return wchar_t(c + 80);
    if (c >= 0x100 && c <= 0x17F && c % 2 == 0) return wchar_t(c + 1);
    return c;
}

void LowerInPlace(std::wstring& text) {
    for (wchar_t& c : text) c = Lower(c);
}

// ---- the snapshot ----

void CopyRow(int64_t, const wchar_t* text, size_t length, int64_t data, uint32_t tag,
             intptr_t user) {
    PaneSnapshot& s = *reinterpret_cast<PaneSnapshot*>(user);
    const std::wstring_view all(text, length);
    const size_t name_chars = std::min(all.find(L'\n'), all.size());
    PaneSnapshotRow row;
    row.Start = static_cast<uint32_t>(s.Bytes.size());
    rt_text_append_code_bytes(s.Bytes, std::wstring_view(text, name_chars));
    row.NameLength = static_cast<uint32_t>(s.Bytes.size() - row.Start);
    rt_text_append_code_bytes(s.Bytes, std::wstring_view(text + name_chars, length - name_chars));
    row.Length = static_cast<uint32_t>(s.Bytes.size() - row.Start);
    row.Tag = tag;
    row.Data = data;
    s.Rows.push_back(row);
}

// Rebuilds the list from the snapshot with the rows whose name the filter
// keeps (already lower case; empty shows every row). Rows the workers had
// not finished when the snapshot was taken get their workers again.
void ShowSnapshotRows(Pane& pane, PaneSnapshot& s, const std::wstring& filter) {
    const int64_t list = ListOf(pane);
    const NameFilter keeps(filter);
    std::wstring name, lower;
    bool unfinished = false;
    // Rows of one type share their picture: look each one up once.
    std::unordered_map<uint64_t, intptr_t> pictures;
    const auto picture = [&](const PaneSnapshotRow& row) {
        if (name == L"..") return PaneRowImage(name, row.Data, row.Tag);
        const uint64_t key =
            (row.Tag & ~uint32_t(PaneTagEpochMask)) | (uint64_t(row.Data == PaneRowFolder) << 32);
        auto it = pictures.find(key);
        if (it == pictures.end())
            it = pictures.emplace(key, PaneRowImage(name, row.Data, row.Tag)).first;
        return it->second;
    };
    std::vector<TkListNewRow> shown;
    shown.reserve(filter.empty() ? s.Rows.size() : s.Rows.size() / 4);
    for (const PaneSnapshotRow& row : s.Rows) {
        const char* at = s.Bytes.data() + row.Start;
        Decode(name, at, row.NameLength);
        if (!filter.empty()) {
            lower = name;
            LowerInPlace(lower);
            if (!keeps.Keeps(lower)) continue;
        }
        TkListNewRow& add = shown.emplace_back();
        Decode(add.text, at, row.Length);
        add.image = picture(row);
        add.data = row.Data;
        add.tag = row.Tag;
        add.mark = row.Mark;
        unfinished = unfinished || (row.Tag & PaneTagDone) != PaneTagDone;
    }
    tk_list_set_redraw(list, 0);
    tk_gadget_clear_items(list);
    tk_list_append_rows(list, shown);
    tk_list_set_redraw(list, 1);
    s.Narrowed = !filter.empty();
    s.Version = ++pane.RowsVersion;
    if (unfinished)
        for (int64_t kind : {PaneWorkerTypeNames, PaneWorkerIcons}) StartPaneWorker(pane, kind);
}

std::wstring FilterText(const Pane& pane) {
    const PaneSide* side = SideOf(pane);
    std::wstring filter = side ? tk_gadget_get_text(side->Filter) : std::wstring();
    LowerInPlace(filter);
    return filter;
}

} // namespace

int64_t PaneFilterBox(int64_t list) {
    const PaneSide* side = SideOfList(list);
    return side ? side->Filter : 0;
}

void TakeRowSnapshot(Pane& pane) {
    PaneSnapshot& s = SnapOf(pane);
    if (s.Narrowed) ShowSnapshotRows(pane, s, L""); // the snapshot is the whole folder
    std::string().swap(s.Bytes);
    std::vector<PaneSnapshotRow>().swap(s.Rows);
    const int64_t list = ListOf(pane);
    const int64_t n = tk_gadget_count_items(list);
    s.Rows.reserve(static_cast<size_t>(n));
    s.Bytes.reserve(static_cast<size_t>(n) * 64);
    tk_list_visit_rows(list, CopyRow, reinterpret_cast<intptr_t>(&s));
    for (size_t row = 0; row < s.Rows.size(); ++row)
        s.Rows[row].Mark = static_cast<uint32_t>(tk_list_item_mark(list, int64_t(row)));
    s.Bytes.shrink_to_fit();
    s.Version = pane.RowsVersion;
    s.Epoch = pane.ListingEpoch;
}

void ShowKeptRows(Pane& pane) {
    ShowSnapshotRows(pane, pane.Snapshot, FilterText(pane));
}

void ApplyPaneFilter(int64_t list) {
    Pane* pane = PaneOf(list);
    if (!pane) return;
    PaneSnapshot& s = SnapOf(*pane);
    // Rows changed since the snapshot (another listing, watcher refreshes,
    // a sort) while nothing narrowed them: they are the folder now.
    if (!s.Narrowed && s.Version != pane->RowsVersion) TakeRowSnapshot(*pane);
    if (s.Rows.empty()) return;
    ShowSnapshotRows(*pane, s, FilterText(*pane));
}

void PaneInfoReady(intptr_t report) {
    Pane* pane = PaneOfReport(report);
    const PaneSide* side = pane ? SideOf(*pane) : nullptr;
    if (!side) return;
    PaneSnapshot& s = SnapOf(*pane);
    tk_gadget_set_text(side->Filter, L"");
    if (s.Narrowed) ShowSnapshotRows(*pane, s, L"");
    // Sorted before the snapshot, so that an emptied filter shows the rows in
    // the order the list has.
    if (PaneWorkerForAddedRows(*pane)) SortPaneAsStored(*pane);
    TakeRowSnapshot(*pane);
    ApplyColumnWidths(ListOf(*pane)); // the type names are in: the type column fits them
}

void PaneDirReport(intptr_t report) {
    Pane* pane = report == 0 ? PaneOf(App.ActivePane) : PaneOfReport(report);
    // A pane no side shows has no rows in a list to bring up to date.
    if (!pane || !ListOf(*pane)) return;
    PaneSnapshot& s = SnapOf(*pane);
    const bool narrowed = s.Narrowed;
    if (narrowed) ShowSnapshotRows(*pane, s, L"");
    if (report == 0)
        RemoveVanishedEntries(*pane);
    else
        RefreshPaneEntries(*pane);
    if (!narrowed) return;
    if (s.Version != pane->RowsVersion) TakeRowSnapshot(*pane);
    ShowSnapshotRows(*pane, s, FilterText(*pane));
}
