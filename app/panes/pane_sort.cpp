// Sorting a pane by column: see pane_sort.h. Keys are built once per row
// before the sort, so the comparison only compares them; the rows themselves
// move once, in the toolkit's sort.
#include "app/panes/pane_sort.h"

#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/panes/name_fold.h"
#include "app/panes/pane.h"
#include "app/panes/pane_rows.h"
#include "app/panes/pane_sides.h"
#include "app/panes/pane_texts.h"
#include "app/panes/pane_workers.h"
#include "app/panes/panes.h"
#include "runtime/dates.h"
#include "runtime/text.h"
#include "toolkit/gadget_ops.h"
#include "toolkit/images.h"
#include "toolkit/list.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

constexpr std::array<int64_t, 4> ColumnSortTypes = {SortTypeText, SortTypeDate, SortTypeText,
                                                    SortTypeSize};

std::wstring_view Segment(const wchar_t* text, size_t length, int64_t column) {
    std::wstring_view all(text, length);
    size_t start = 0;
    for (int64_t c = 0; c < column; ++c) {
        const size_t lf = all.find(L'\n', start);
        if (lf == std::wstring_view::npos) return {};
        start = lf + 1;
    }
    const size_t end = all.find(L'\n', start);
    return all.substr(start, (end == std::wstring_view::npos ? all.size() : end) - start);
}

// Appends the sort key of a text to pool: the names' fold (name_fold.h).
void AppendTextKey(std::vector<wchar_t>& pool, std::wstring_view text) {
    AppendNameFold(pool, text, NameFold::Sort, NaturalNameOrder());
}

// What KeyOfRow builds the keys of one column into.
struct KeyBuild {
    int64_t Column = 0;
    int64_t SortType = SortTypeText;
    std::wstring Mask; // date mask of sort type SortTypeDate
    SortKeyCache* Cache = nullptr;
};

// tk_list_visit_rows: the slot of one row. A text key goes to the cache's
// bytes, its place there made a pointer once the bytes stop growing.
void KeyOfRow(int64_t row, const wchar_t* text, size_t length, int64_t data, uint32_t,
              intptr_t user) {
    const KeyBuild& b = *reinterpret_cast<const KeyBuild*>(user);
    const bool parent =
        length >= 2 && text[0] == L'.' && text[1] == L'.' && (length == 2 || text[2] == L'\n');
    const uint32_t rank = parent                  ? SortRankParent
                          : data == PaneRowFolder ? SortRankFolder
                                                  : SortRankKeyed;
    SortSlot slot;
    slot.RankRow = (rank << SortRankShift) | (static_cast<uint32_t>(row) & SortRowMask);
    slot.Length = 0;
    if (b.SortType == SortTypeSize) {
        slot.Number =
            data > 0 ? data : SizeTextBytes(std::wstring(Segment(text, length, b.Column)));
    } else if (b.SortType == SortTypeDate) {
        slot.Number =
            rank == SortRankKeyed ? rt_parse_date(b.Mask, Segment(text, length, b.Column)) : 0;
    } else {
        std::string& bytes = b.Cache->Bytes;
        const size_t start = bytes.size();
        if (rank == SortRankKeyed) AppendSortKeyBytes(bytes, Segment(text, length, b.Column));
        slot.Number = static_cast<int64_t>(start);
        slot.Length = static_cast<uint32_t>(bytes.size() - start);
    }
    b.Cache->Slots.push_back(slot);
}

// 1024^unit of the unit name that follows a number, 1 for "Byte" or none.
int64_t UnitFactor(std::wstring_view rest) {
    while (!rest.empty() && rest.front() == L' ') rest.remove_prefix(1);
    if (rest.empty()) return 1;
    int64_t factor = 1;
    for (const wchar_t* unit : SizeUnitNames) {
        if (rest.starts_with(unit)) return factor;
        // past the last unit the factor would overflow: nothing matched
        if (factor > INT64_MAX / 1024) break;
        factor *= 1024;
    }
    return 1;
}

// The keys of the last sorts of a pane are kept (Pane::Keys), each sort
// carrying them along to the rows' new places.
constexpr size_t KeyCachesPerPane = 2; // e.g. "Name" and "Größe" clicked in turn

// Room left from a much larger folder is given back.
void FitScratch(std::vector<SortSlot>& scratch, size_t rows) {
    if (scratch.capacity() > 2 * rows + 4096) std::vector<SortSlot>().swap(scratch);
}

// The keys of a column for the rows of list as they are now, built unless kept.
SortKeyCache& KeysFor(std::vector<SortKeyCache>& caches, int64_t list, const KeyBuild& asked,
                      uint64_t revision) {
    std::erase_if(caches, [&](const SortKeyCache& c) { return c.Revision != revision; });
    auto it = std::find_if(caches.begin(), caches.end(), [&](const SortKeyCache& c) {
        return c.Column == asked.Column && c.SortType == asked.SortType && c.Mask == asked.Mask;
    });
    if (it == caches.end()) {
        caches.insert(caches.begin(), SortKeyCache{});
        SortKeyCache& made = caches.front();
        made.Column = asked.Column;
        made.SortType = asked.SortType;
        made.Mask = asked.Mask;
        made.Revision = revision;
        const size_t rows = static_cast<size_t>(tk_gadget_count_items(list));
        made.Slots.reserve(rows);
        // Room enough that the bytes never sit inside the record: the slots
        // point into them while the record moves among the caches.
        if (asked.SortType == SortTypeText) made.Bytes.reserve(rows * 24 + 16);
        KeyBuild build = asked;
        build.Cache = &made;
        tk_list_visit_rows(list, KeyOfRow, reinterpret_cast<intptr_t>(&build));
        if (asked.SortType == SortTypeText) SealTextSlots(made.Slots, made.Bytes);
        if (caches.size() > KeyCachesPerPane) caches.resize(KeyCachesPerPane);
    } else if (it != caches.begin()) {
        std::rotate(caches.begin(), it, it + 1);
    }
    return caches.front();
}

// The rows moved (order[i] went to place i): so do their keys.
void CarryKeys(PaneSortKeys& keys, const std::vector<int64_t>& order, uint64_t revision,
               const SortKeyCache* moved_already) {
    std::vector<SortSlot>& moved = keys.Scratch;
    for (SortKeyCache& c : keys.Caches) {
        if (&c == moved_already) continue;
        if (c.Slots.size() != order.size()) {
            c.Revision = 0;
            continue;
        }
        moved.resize(order.size());
        for (size_t i = 0; i < order.size(); ++i) {
            moved[i] = c.Slots[static_cast<size_t>(order[i])];
            moved[i].RankRow = (moved[i].RankRow & ~SortRowMask) | static_cast<uint32_t>(i);
        }
        c.Slots.swap(moved);
        c.Revision = revision;
    }
}

} // namespace

int64_t SortTypeOfColumn(int64_t column) {
    if (column < 0 || column >= static_cast<int64_t>(ColumnSortTypes.size())) return SortTypeText;
    return ColumnSortTypes[static_cast<size_t>(column)];
}

void AppendSortKeyBytes(std::string& bytes, std::wstring_view text) {
    thread_local std::vector<wchar_t> key; // reused: no allocation per key
    key.clear();
    AppendTextKey(key, text);
    rt_text_append_code_bytes(bytes, std::wstring_view(key.data(), key.size()));
}

std::wstring SortTextKey(std::wstring_view text) {
    std::vector<wchar_t> key;
    AppendTextKey(key, text);
    return std::wstring(key.begin(), key.end());
}

int64_t SizeTextBytes(const std::wstring& text) {
    int64_t whole = 0;
    size_t i = 0;
    for (; i < text.size() && (text[i] == L',' || (text[i] >= L'0' && text[i] <= L'9')); ++i)
        if (text[i] != L',' && whole <= (INT64_MAX - 9) / 10) whole = whole * 10 + (text[i] - L'0');
    int64_t tenths = 0, scale = 1;
    if (i < text.size() && text[i] == L'.')
        for (++i; i < text.size() && text[i] >= L'0' && text[i] <= L'9' && scale < 1000; ++i)
            tenths = tenths * 10 + (text[i] - L'0'), scale *= 10;
    while (i < text.size() && text[i] >= L'0' && text[i] <= L'9') ++i;
    const int64_t factor = UnitFactor(std::wstring_view(text).substr(i));
    // a text no listing writes (a huge number of a big unit) sorts last
    int64_t bytes;
    if (__builtin_mul_overflow(whole, factor, &bytes)) return INT64_MAX;
    const int64_t part =
        factor > INT64_MAX / 1000 ? tenths * (factor / scale) : tenths * factor / scale;
    return __builtin_add_overflow(bytes, part, &bytes) ? INT64_MAX : bytes;
}

void SortPane(Pane& pane, int64_t column, int64_t sort_type, const std::wstring& mask,
              int64_t order) {
    const int64_t list = ListOf(pane);
    if (!list) return;
    KeyBuild asked;
    asked.Column = column;
    asked.SortType = sort_type;
    asked.Mask = sort_type == SortTypeDate && mask.empty() ? std::wstring(PaneDateMask) : mask;
    // The pane stays enabled: the sort runs on this thread, so no input
    // reaches the pane meanwhile, and disabling the list that has the
    // keyboard focus would hand the focus to the next gadget for good (after
    // every watcher refresh the keys would go to the path field).
    tk_desktop_busy_cursor(1);
    PaneSortKeys& kept = pane.Keys;
    SortKeyCache& keys = KeysFor(kept.Caches, list, asked, tk_list_content_revision(list));
    FitScratch(kept.Scratch, keys.Slots.size());
    // The slots carry their keys, so the sort compares them without a
    // lookup, and the rows move once, in the list's reorder. Sorted in
    // place, the slots are the keys of the rows' new places at once.
    SortSlots(keys.Slots, sort_type == SortTypeText, order == 1, &kept.Scratch);
    std::vector<int64_t> placed(keys.Slots.size());
    for (size_t i = 0; i < keys.Slots.size(); ++i) {
        SortSlot& slot = keys.Slots[i];
        placed[i] = slot.RankRow & SortRowMask;
        slot.RankRow = (slot.RankRow & ~SortRowMask) | static_cast<uint32_t>(i);
    }
    keys.Revision = 0; // until the rows are in that order, too
    if (tk_list_reorder(list, placed)) {
        const uint64_t now = tk_list_content_revision(list);
        keys.Revision = now;
        CarryKeys(kept, placed, now, &keys);
        pane.RowsVersion++;
        NudgePaneWorkers(pane); // rows a running worker had not reached may now lie behind it
    }
    tk_desktop_busy_cursor(0);
    tk_list_set_current_row(list, tk_list_current_row(list));
    tk_list_set_sort_indicator(list, column,
                               order == 1 ? TkListSortDescending : TkListSortAscending);
}

void ShowSortArrow(const Pane& pane) {
    tk_list_set_sort_indicator(ListOf(pane), pane.SortColumn,
                               pane.SortOrder == 1 ? TkListSortDescending : TkListSortAscending);
}

void SortPane(int64_t list, int64_t column, int64_t sort_type, const std::wstring& mask,
              int64_t order) {
    if (Pane* pane = PaneOf(list)) SortPane(*pane, column, sort_type, mask, order);
}

void SortPaneAsStored(Pane& pane) {
    SortPane(pane, pane.SortColumn, pane.SortType, L"", pane.SortOrder);
}

void ColumnClicked(int64_t list) {
    Pane* pane = PaneOf(list);
    const int64_t column = tk_gadget_get_data(list);
    if (!pane || column < 0 || column >= ColCount) return;
    int64_t& toggle = pane->SortToggles[column];
    toggle = toggle == 1 ? 0 : 1;
    pane->SortType = SortTypeOfColumn(column);
    pane->SortColumn = column;
    pane->SortOrder = toggle != 1 ? 1 : 0;
    SortPaneAsStored(*pane);
}
