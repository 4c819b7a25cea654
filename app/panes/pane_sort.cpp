// Sorting a pane by column: see pane_sort.h. Keys are built once per row
// before the sort, so the comparison only compares them; the rows themselves
// move once, in the toolkit's sort.
#include "app/panes/pane_sort.h"

#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/panes/pane_rows.h"
#include "app/panes/pane_texts.h"
#include "app/panes/pane_workers.h"
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

// Each character of the first text becomes the two characters at 2i and 2i+1
// of the second.
constexpr std::wstring_view TranslitFrom = L"ÄÖÜäöüßàâéèêùû";
constexpr std::wstring_view TranslitTo = L"AeOeUeaeoeuessayazexeyezuyuz";
static_assert(TranslitTo.size() == 2 * TranslitFrom.size());

constexpr std::array<int64_t, 4> ColumnSortTypes = {SortTypeText, SortTypeDate, SortTypeText,
                                                    SortTypeSize};

wchar_t Folded(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? wchar_t(c - L'A' + L'a') : c;
}

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

// Appends the sort key of a text to pool.
void AppendTextKey(std::vector<wchar_t>& pool, std::wstring_view text) {
    const size_t start = pool.size();
    pool.resize(start + 2 * text.size()); // room for every character doubled
    wchar_t* out = pool.data() + start;
    for (const wchar_t c : text) {
        const size_t at = c < 0xC0 ? std::wstring_view::npos : TranslitFrom.find(c);
        if (at == std::wstring_view::npos) {
            *out++ = Folded(c);
        } else {
            *out++ = Folded(TranslitTo[2 * at]);
            *out++ = TranslitTo[2 * at + 1];
        }
    }
    pool.resize(static_cast<size_t>(out - pool.data()));
}

// Key building for tk_list_visit_rows; text keys are placed in the pool and
// their views made once the pool stops growing.
void KeyOfRow(int64_t row, const wchar_t* text, size_t length, int64_t data, uint32_t,
              intptr_t user) {
    SortParams& p = *reinterpret_cast<SortParams*>(user);
    SortItem item;
    item.Row = static_cast<uint32_t>(row);
    const bool parent =
        length >= 2 && text[0] == L'.' && text[1] == L'.' && (length == 2 || text[2] == L'\n');
    item.Rank = parent ? SortRankParent : data == PaneRowFolder ? SortRankFolder : SortRankKeyed;
    if (p.SortType == SortTypeSize) {
        item.Number =
            data > 0 ? data : SizeTextBytes(std::wstring(Segment(text, length, p.Column)));
    } else if (p.SortType == SortTypeDate) {
        item.Number =
            item.Rank == SortRankKeyed ? rt_parse_date(p.Mask, Segment(text, length, p.Column)) : 0;
    } else if (item.Rank == SortRankKeyed) {
        const size_t start = p.Pool.size();
        AppendTextKey(p.Pool, Segment(text, length, p.Column));
        // start and length for now; made a view when every key is in
        item.Number = static_cast<int64_t>(start);
        item.Text = std::wstring_view(nullptr, p.Pool.size() - start);
    }
    p.Items.push_back(item);
}

int CompareKeys(const SortItem& a, const SortItem& b, const SortParams& p) {
    if (p.SortType == SortTypeText) {
        const int c = a.Text.compare(b.Text);
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    return a.Number < b.Number ? -1 : a.Number > b.Number ? 1 : 0;
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

// The slot of an item; a text key goes to bytes first (its place there is
// made a pointer once bytes stops growing).
SortSlot SlotOf(const SortItem& item, int64_t sort_type, std::string& bytes) {
    SortSlot slot;
    if (sort_type == SortTypeText) {
        const size_t start = bytes.size();
        rt_text_append_code_bytes(bytes, item.Text);
        slot.Number = static_cast<int64_t>(start);
        slot.Length = static_cast<uint32_t>(bytes.size() - start);
    } else {
        slot.Number = item.Number;
        slot.Length = 0;
    }
    slot.RankRow = (uint32_t(item.Rank) << SortRankShift) | (item.Row & SortRowMask);
    return slot;
}

// The keys of the last sorts of a pane, kept by row while the rows' texts
// and data stay as they are: a header click on a column sorted before only
// compares. Each sort carries them along to the rows' new places.
struct KeyCache {
    int64_t Column = -1;
    int64_t SortType = -1;
    std::wstring Mask;
    uint64_t Revision = 0;       // tk_list_content_revision the slots belong to
    std::vector<SortSlot> Slots; // by row index
    std::string Bytes;           // the text keys the slots point into
};
constexpr size_t KeyCachesPerPane = 2; // e.g. "Name" and "Größe" clicked in turn

// A pane's kept keys, and the room its sorts work in: the radix passes and
// the carried keys of another column. Kept between sorts, since fresh
// buffers of megabytes are mapped and touched page by page every time,
// which cost more than the sort itself.
struct PaneKeys {
    std::vector<KeyCache> Caches; // latest first
    std::vector<SortSlot> Scratch;
};
PaneKeys KeysOfPanes[2]; // [0] pane 5, [1] pane 10

PaneKeys* KeysOfPane(int64_t pane) {
    return pane == GadLeftPane ? &KeysOfPanes[0] : pane == GadRightPane ? &KeysOfPanes[1] : nullptr;
}

// Room left from a much larger folder is given back.
void FitScratch(std::vector<SortSlot>& scratch, size_t rows) {
    if (scratch.capacity() > 2 * rows + 4096) std::vector<SortSlot>().swap(scratch);
}

// The keys of params' column for the rows as they are now, built unless kept.
KeyCache& KeysFor(std::vector<KeyCache>& caches, SortParams& params, uint64_t revision) {
    std::erase_if(caches, [&](const KeyCache& c) { return c.Revision != revision; });
    auto it = std::find_if(caches.begin(), caches.end(), [&](const KeyCache& c) {
        return c.Column == params.Column && c.SortType == params.SortType && c.Mask == params.Mask;
    });
    if (it == caches.end()) {
        BuildSortKeys(params);
        KeyCache made;
        made.Column = params.Column;
        made.SortType = params.SortType;
        made.Mask = params.Mask;
        made.Revision = revision;
        made.Slots.reserve(params.Items.size());
        if (params.SortType == SortTypeText) made.Bytes.reserve(params.Pool.size() + 16);
        for (const SortItem& item : params.Items)
            made.Slots.push_back(SlotOf(item, params.SortType, made.Bytes));
        if (params.SortType == SortTypeText) SealTextSlots(made.Slots, made.Bytes);
        // (moving the record later keeps the bytes where they are)
        caches.insert(caches.begin(), std::move(made));
        if (caches.size() > KeyCachesPerPane) caches.resize(KeyCachesPerPane);
    } else if (it != caches.begin()) {
        std::rotate(caches.begin(), it, it + 1);
    }
    return caches.front();
}

// The rows moved (order[i] went to place i): so do their keys.
void CarryKeys(PaneKeys& keys, const std::vector<int64_t>& order, uint64_t revision,
               const KeyCache* moved_already) {
    std::vector<SortSlot>& moved = keys.Scratch;
    for (KeyCache& c : keys.Caches) {
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

std::wstring SortTextKey(const wchar_t* text, size_t length) {
    std::wstring key;
    key.reserve(length + 4);
    for (size_t i = 0; i < length; ++i) {
        const wchar_t c = text[i];
        const size_t at = c < 0xC0 ? std::wstring_view::npos : TranslitFrom.find(c);
        if (at == std::wstring_view::npos) {
            key += Folded(c);
        } else {
            key += Folded(TranslitTo[2 * at]);
            key += TranslitTo[2 * at + 1];
        }
    }
    return key;
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

void BuildSortKeys(SortParams& p) {
    const int64_t n = tk_gadget_count_items(p.Pane);
    p.Items.clear();
    p.Pool.clear();
    p.Items.reserve(static_cast<size_t>(n));
    if (p.SortType == SortTypeText) p.Pool.reserve(static_cast<size_t>(n) * 48);
    tk_list_visit_rows(p.Pane, KeyOfRow, reinterpret_cast<intptr_t>(&p));
    if (p.SortType != SortTypeText) return;
    for (SortItem& item : p.Items)
        if (item.Rank == SortRankKeyed) {
            item.Text = std::wstring_view(p.Pool.data() + item.Number, item.Text.size());
            item.Number = 0;
        }
}

int CompareItems(const SortItem& a, const SortItem& b, const SortParams& p) {
    // ".." first and folders next in both orders; folders keep their order.
    if (a.Rank != b.Rank) return a.Rank < b.Rank ? -1 : 1;
    if (a.Rank != SortRankKeyed) return 0;
    return p.Order == 1 ? CompareKeys(b, a, p) : CompareKeys(a, b, p);
}

int CompareRows(int64_t a, int64_t b, intptr_t user) {
    const SortParams& p = *reinterpret_cast<const SortParams*>(user);
    const size_t n = p.Items.size();
    if (a < 0 || b < 0 || static_cast<size_t>(a) >= n || static_cast<size_t>(b) >= n) return 0;
    return CompareItems(p.Items[static_cast<size_t>(a)], p.Items[static_cast<size_t>(b)], p);
}

void SortPane(int64_t pane, int64_t column, int64_t sort_type, const std::wstring& mask,
              int64_t order) {
    if (!PaneOf(pane)) return;
    SortParams params;
    params.Pane = pane;
    params.Column = column;
    params.SortType = sort_type;
    params.Order = order;
    params.Mask = sort_type == SortTypeDate && mask.empty() ? std::wstring(PaneDateMask) : mask;
    // The pane stays enabled: the sort runs on this thread, so no input
    // reaches the pane meanwhile, and disabling the list that has the
    // keyboard focus would hand the focus to the next gadget for good (after
    // every watcher refresh the keys would go to the path field).
    tk_desktop_busy_cursor(1);
    PaneKeys& kept = *KeysOfPane(pane);
    KeyCache& keys = KeysFor(kept.Caches, params, tk_list_content_revision(pane));
    FitScratch(kept.Scratch, keys.Slots.size());
    // The slots carry their keys, so the sort compares them without a
    // lookup, and the rows move once, in the list's reorder. Sorted in
    // place, the slots are the keys of the rows' new places at once.
    SortSlots(keys.Slots, params.SortType == SortTypeText, params.Order == 1, &kept.Scratch);
    std::vector<int64_t> placed(keys.Slots.size());
    for (size_t i = 0; i < keys.Slots.size(); ++i) {
        SortSlot& slot = keys.Slots[i];
        placed[i] = slot.RankRow & SortRowMask;
        slot.RankRow = (slot.RankRow & ~SortRowMask) | static_cast<uint32_t>(i);
    }
    keys.Revision = 0; // until the rows are in that order, too
    if (tk_list_reorder(pane, placed)) {
        const uint64_t now = tk_list_content_revision(pane);
        keys.Revision = now;
        CarryKeys(kept, placed, now, &keys);
        PaneOf(pane)->RowsVersion++;
        NudgePaneWorkers(pane); // rows a running worker had not reached may now lie behind it
    }
    tk_desktop_busy_cursor(0);
    tk_list_set_current_row(pane, tk_list_current_row(pane));
}

void ColumnClicked(int64_t pane) {
    PaneState* ps = PaneOf(pane);
    const int64_t column = tk_gadget_get_data(pane);
    if (!ps || column < 0 || column > 3) return;
    int64_t& toggle = ps->SortToggles[column];
    toggle = toggle == 1 ? 0 : 1;
    ps->SortType = SortTypeOfColumn(column);
    ps->SortColumn = column;
    ps->SortOrder = toggle != 1 ? 1 : 0;
    SortPane(pane, column, ps->SortType, L"", ps->SortOrder);
}
