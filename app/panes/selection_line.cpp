// The selection lines under the pane lists: see selection_line.h.
#include "app/panes/selection_line.h"

#include "app/core/ids.h"
#include "app/panes/pane_bottom.h"
#include "app/panes/pane_rows.h"
#include "app/panes/pane_sort.h"
#include "app/panes/panes.h"
#include "runtime/numbers.h"
#include "toolkit/gadgets.h"
#include "toolkit/list_selection.h"
#include "toolkit/timers.h"

#include <array>
#include <string_view>
#include <vector>

namespace {

constexpr int64_t PollMs = 300;
constexpr std::array<const wchar_t*, 7> Units = {L"Byte", L"KB", L"MB", L"GB", L"TB", L"PB", L"EB"};

// What the line showed last, so the poll counts only when something moved.
struct Seen {
    uint64_t Revision = 0;
    int64_t Selected = -1;
    int64_t LastSelected = -2;
    int64_t Current = -2;
};
std::array<Seen, std::size(PaneBottoms)> Shown{};

Seen& SeenOf(const PaneBottom& b) {
    return Shown[static_cast<size_t>(&b - PaneBottoms)];
}

Seen LookOf(int64_t list) {
    return {tk_list_content_revision(list), tk_list_selected_count(list),
            tk_list_last_selected(list), tk_list_current_row(list)};
}

bool Same(const Seen& a, const Seen& b) {
    return a.Revision == b.Revision && a.Selected == b.Selected &&
           a.LastSelected == b.LastSelected && a.Current == b.Current;
}

// The size cell of a folder row: empty until Space measured the folder.
int64_t FolderBytes(std::wstring_view text) {
    size_t at = 0;
    for (int column = 0; column < ColSize; ++column) {
        at = text.find(L'\n', at);
        if (at == std::wstring_view::npos) return 0;
        ++at;
    }
    const std::wstring_view cell = text.substr(at, text.find(L'\n', at) - at);
    return cell.empty() ? 0 : SizeTextBytes(std::wstring(cell));
}

bool IsParentRow(std::wstring_view text) {
    return text == L".." || text.starts_with(L"..\n");
}

// What one pass over the rows learns of each: its kind and its bytes, so
// the selected rows are added up from it without asking row by row.
enum : uint8_t { RowParent, RowFolder, RowFile };
struct RowFacts {
    std::vector<uint8_t> Kind;
    std::vector<int64_t> Bytes;
};

void CountRow(int64_t, const wchar_t* text, size_t length, int64_t data, uint32_t, intptr_t user) {
    auto& facts = *reinterpret_cast<RowFacts*>(user);
    const std::wstring_view row(text, length);
    const bool parent = IsParentRow(row);
    facts.Kind.push_back(parent ? RowParent : data == PaneRowFolder ? RowFolder : RowFile);
    facts.Bytes.push_back(parent                  ? 0
                          : data == PaneRowFolder ? FolderBytes(row)
                          : data > 0              ? data
                                                  : 0);
}

std::wstring Counted(int64_t n, const wchar_t* one, const wchar_t* many) {
    return GermanCount(n) + L" " + (n == 1 ? one : many);
}

} // namespace

std::wstring GermanCount(int64_t value) {
    return rt_format_number(static_cast<double>(value), 0, L",", L".");
}

std::wstring GermanSize(int64_t bytes) {
    if (bytes < 1024) return GermanCount(bytes < 0 ? 0 : bytes) + L" Byte";
    double value = static_cast<double>(bytes);
    size_t unit = 0;
    while (value >= 1024 && unit + 1 < Units.size()) value /= 1024, ++unit;
    // 1023,96 KB would round to "1.024,0 KB": one unit up reads better
    if (value >= 1023.95 && unit + 1 < Units.size()) value /= 1024, ++unit;
    return rt_format_number(value, 1, L",", L".") + L" " + Units[unit];
}

std::wstring SelectionLineText(const SelectionCounts& c) {
    if (c.FilesSelected == 0 && c.FoldersSelected == 0) {
        std::wstring text = Counted(c.Files, L"Datei", L"Dateien") + L", " + GermanSize(c.Bytes);
        if (c.Folders > 0) text += L", " + Counted(c.Folders, L"Ordner", L"Ordner");
        return text;
    }
    std::wstring text = GermanCount(c.FilesSelected) + L" von " +
                        Counted(c.Files, L"Datei", L"Dateien") + L", " +
                        GermanSize(c.BytesSelected) + L" von " + GermanSize(c.Bytes);
    if (c.Folders > 0)
        text += L", " + GermanCount(c.FoldersSelected) + L" von " +
                Counted(c.Folders, L"Ordner", L"Ordnern");
    return text + L" ausgewählt";
}

SelectionCounts CountSelection(int64_t list) {
    // The rows' facts and totals are kept while the rows stay as they are
    // (their content revision), so a click only adds up the selection.
    struct Kept {
        uint64_t Revision = 0;
        RowFacts Facts;
        SelectionCounts Totals;
    };
    static std::array<Kept, std::size(PaneBottoms)> kept_by_side{};
    Kept own;
    const PaneBottom* b = BottomOf(list);
    Kept& k = b ? kept_by_side[static_cast<size_t>(b - PaneBottoms)] : own;
    const uint64_t revision = tk_list_content_revision(list);
    const RowFacts& facts = k.Facts;
    const auto add = [&](size_t row, int64_t& files, int64_t& folders, int64_t& bytes) {
        if (facts.Kind[row] == RowFolder) ++folders;
        if (facts.Kind[row] == RowFile) ++files;
        bytes += facts.Bytes[row];
    };
    if (revision == 0 || k.Revision != revision) {
        k.Facts.Kind.clear();
        k.Facts.Bytes.clear();
        tk_list_visit_rows(list, CountRow, reinterpret_cast<intptr_t>(&k.Facts));
        k.Totals = SelectionCounts{};
        for (size_t row = 0; row < facts.Kind.size(); ++row)
            add(row, k.Totals.Files, k.Totals.Folders, k.Totals.Bytes);
        k.Revision = revision;
    }
    SelectionCounts c = k.Totals;
    for (const auto& [first, last] : tk_list_selected_runs(list))
        for (int64_t row = first; row <= last && static_cast<size_t>(row) < facts.Kind.size();
             ++row)
            add(static_cast<size_t>(row), c.FilesSelected, c.FoldersSelected, c.BytesSelected);
    return c;
}

void UpdateSelectionLine(int64_t list) {
    const PaneBottom* b = BottomOf(list);
    if (!b) return;
    SeenOf(*b) = LookOf(list);
    tk_gadget_set_text(b->SelectionLine, SelectionLineText(CountSelection(list)));
}

void UpdateChangedSelectionLines() {
    // Rows that change on their own (the workers writing type names) are
    // counted again once they stopped changing for a poll, not on every one.
    static std::array<uint64_t, std::size(PaneBottoms)> settling{};
    for (const PaneBottom& b : PaneBottoms) {
        const Seen was = SeenOf(b), now = LookOf(b.List);
        if (Same(was, now)) continue;
        uint64_t& last = settling[static_cast<size_t>(&b - PaneBottoms)];
        const bool rows_only = was.Selected == now.Selected &&
                               was.LastSelected == now.LastSelected && was.Current == now.Current;
        const bool settled = now.Revision == last;
        last = now.Revision;
        if (!rows_only || settled) UpdateSelectionLine(b.List);
    }
}

void StartSelectionLines() {
    for (const PaneBottom& b : PaneBottoms) UpdateSelectionLine(b.List);
    static bool polling = false;
    if (!polling)
        polling = tk_timer_start(
                      PollMs, [](intptr_t) { UpdateChangedSelectionLines(); }, 0, 1) != 0;
}
