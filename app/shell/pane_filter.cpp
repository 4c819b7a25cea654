// The pane filter and its row snapshot: see pane_filter.h.
//
// Snapshot texts are stored as one byte string per pane (UTF-8 extended to
// every code point, lone surrogates of undecodable file names included), so
// a 100,000-row snapshot costs a few megabytes, not the size of the list.
#include "app/shell/pane_filter.h"

#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/panes/pane_icons.h"
#include "app/panes/pane_refresh.h"
#include "app/panes/pane_rows.h"
#include "app/panes/pane_sort.h"
#include "app/panes/pane_workers.h"
#include "runtime/text.h"
#include "toolkit/gadget_ops.h"
#include "toolkit/list.h"

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

struct SnapshotRow {
    uint32_t start = 0;       // first byte in Bytes
    uint32_t length = 0;      // bytes of the whole row text
    uint32_t name_length = 0; // bytes of its name (column 0)
    uint32_t tag = 0;         // the row's tag
    int64_t data = 0;         // item data: folder mark or byte count
};

struct Snapshot {
    std::string bytes;             // row texts one after another
    std::vector<SnapshotRow> rows; // in list order
    int64_t version = -1;          // PaneState::RowsVersion the snapshot shows
    uint32_t epoch = 0;            // PaneState::ListingEpoch of the folder it holds
    bool narrowed = false;         // the list shows only the rows matching a filter
};

Snapshot Snapshots[2]; // [0] pane 5, [1] pane 10

Snapshot* SnapOf(int64_t pane) {
    Snapshot* s = pane == GadLeftPane    ? &Snapshots[0]
                  : pane == GadRightPane ? &Snapshots[1]
                                         : nullptr;
    // A folder listed since the filter narrowed the rows replaced them: there
    // is nothing of the old folder to put back.
    if (s && s->narrowed && s->epoch != PaneOf(pane)->ListingEpoch) s->narrowed = false;
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
    Snapshot& s = *reinterpret_cast<Snapshot*>(user);
    const std::wstring_view all(text, length);
    const size_t name_chars = std::min(all.find(L'\n'), all.size());
    SnapshotRow row;
    row.start = static_cast<uint32_t>(s.bytes.size());
    rt_text_append_code_bytes(s.bytes, std::wstring_view(text, name_chars));
    row.name_length = static_cast<uint32_t>(s.bytes.size() - row.start);
    rt_text_append_code_bytes(s.bytes, std::wstring_view(text + name_chars, length - name_chars));
    row.length = static_cast<uint32_t>(s.bytes.size() - row.start);
    row.tag = tag;
    row.data = data;
    s.rows.push_back(row);
}

// Rebuilds the list from the snapshot with the rows whose name contains
// filter (already lower case; empty shows every row). Rows the workers had
// not finished when the snapshot was taken get their workers again.
void ShowSnapshotRows(int64_t pane, Snapshot& s, const std::wstring& filter) {
    std::wstring name, lower;
    bool unfinished = false;
    // Rows of one type share their picture: look each one up once.
    std::unordered_map<uint64_t, intptr_t> pictures;
    const auto picture = [&](const SnapshotRow& row) {
        if (name == L"..") return PaneRowImage(name, row.data, row.tag);
        const uint64_t key =
            (row.tag & ~uint32_t(PaneTagEpochMask)) | (uint64_t(row.data == PaneRowFolder) << 32);
        auto it = pictures.find(key);
        if (it == pictures.end())
            it = pictures.emplace(key, PaneRowImage(name, row.data, row.tag)).first;
        return it->second;
    };
    std::vector<TkListNewRow> shown;
    shown.reserve(filter.empty() ? s.rows.size() : s.rows.size() / 4);
    for (const SnapshotRow& row : s.rows) {
        const char* at = s.bytes.data() + row.start;
        Decode(name, at, row.name_length);
        if (!filter.empty()) {
            lower = name;
            LowerInPlace(lower);
            if (lower.find(filter) == std::wstring::npos) continue;
        }
        TkListNewRow& add = shown.emplace_back();
        Decode(add.text, at, row.length);
        add.image = picture(row);
        add.data = row.data;
        add.tag = row.tag;
        unfinished = unfinished || (row.tag & PaneTagDone) != PaneTagDone;
    }
    tk_list_set_redraw(pane, 0);
    tk_gadget_clear_items(pane);
    tk_list_append_rows(pane, shown);
    tk_list_set_redraw(pane, 1);
    s.narrowed = !filter.empty();
    s.version = ++PaneOf(pane)->RowsVersion;
    if (unfinished)
        for (int64_t kind : {PaneWorkerTypeNames, PaneWorkerIcons})
            StartPaneWorker(pane, *PaneWorkerOf(pane, kind), kind);
}

std::wstring FilterText(int64_t pane) {
    std::wstring filter = tk_gadget_get_text(PaneFilterBox(pane));
    LowerInPlace(filter);
    return filter;
}

} // namespace

int64_t PaneFilterBox(int64_t pane) {
    if (pane == GadLeftPane) return GadLeftFilter;
    if (pane == GadRightPane) return GadRightFilter;
    return 0;
}

void TakeRowSnapshot(int64_t pane) {
    Snapshot* s = SnapOf(pane);
    if (!s) return;
    if (s->narrowed) ShowSnapshotRows(pane, *s, L""); // the snapshot is the whole folder
    std::string().swap(s->bytes);
    std::vector<SnapshotRow>().swap(s->rows);
    const int64_t n = tk_gadget_count_items(pane);
    s->rows.reserve(static_cast<size_t>(n));
    s->bytes.reserve(static_cast<size_t>(n) * 64);
    tk_list_visit_rows(pane, CopyRow, reinterpret_cast<intptr_t>(s));
    s->bytes.shrink_to_fit();
    s->version = PaneOf(pane)->RowsVersion;
    s->epoch = PaneOf(pane)->ListingEpoch;
}

void ApplyPaneFilter(int64_t pane) {
    Snapshot* s = SnapOf(pane);
    if (!s) return;
    // Rows changed since the snapshot (another listing, watcher refreshes,
    // a sort) while nothing narrowed them: they are the folder now.
    if (!s->narrowed && s->version != PaneOf(pane)->RowsVersion) TakeRowSnapshot(pane);
    if (s->rows.empty()) return;
    ShowSnapshotRows(pane, *s, FilterText(pane));
}

void PaneInfoReady(int64_t pane) {
    Snapshot* s = SnapOf(pane);
    if (!s) return;
    tk_gadget_set_text(PaneFilterBox(pane), L"");
    if (s->narrowed) ShowSnapshotRows(pane, *s, L"");
    const PaneState* ps = PaneOf(pane);
    // Sorted before the snapshot, so that an emptied filter shows the rows in
    // the order the list has.
    if (PaneWorkerForAddedRows(pane))
        SortPane(pane, ps->SortColumn, ps->SortType, L"", ps->SortOrder);
    TakeRowSnapshot(pane);
}

void PaneDirReport(intptr_t data) {
    const int64_t pane = PaneOfDirReport(data);
    Snapshot* s = SnapOf(pane);
    if (!s) return;
    const bool narrowed = s->narrowed;
    if (narrowed) ShowSnapshotRows(pane, *s, L"");
    PaneDirChanged(data);
    if (!narrowed) return;
    if (s->version != PaneOf(pane)->RowsVersion) TakeRowSnapshot(pane);
    ShowSnapshotRows(pane, *s, FilterText(pane));
}
