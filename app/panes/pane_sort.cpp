// Sorting a pane by column: see pane_sort.h. Keys are built once per row
// before the sort, so the comparison only compares them; the rows themselves
// move once, in the toolkit's sort.
#include "app/panes/pane_sort.h"

#include "app/core/app_state.h"
#include "app/panes/pane_rows.h"
#include "app/panes/pane_texts.h"
#include "app/panes/pane_workers.h"
#include "runtime/dates.h"
#include "toolkit/gadget_ops.h"
#include "toolkit/images.h"
#include "toolkit/list.h"

#include <array>
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

// Key building for tk_list_visit_rows.
void KeyOfRow(int64_t, const wchar_t* text, size_t length, int64_t data, uint32_t, intptr_t user) {
    SortParams& p = *reinterpret_cast<SortParams*>(user);
    const std::wstring_view name = Segment(text, length, 0);
    const uint8_t kind = name == L".." ? 2 : data == PaneRowFolder ? 1 : 0;
    p.Kinds.push_back(kind);
    const std::wstring_view cell = Segment(text, length, p.Column);
    if (p.SortType == SortTypeSize) {
        p.Numbers.push_back(data > 0 ? data : SizeTextBytes(std::wstring(cell)));
    } else if (p.SortType == SortTypeDate) {
        p.Numbers.push_back(kind == 0 ? rt_parse_date(p.Mask, cell) : 0);
    } else {
        const std::wstring key = SortTextKey(cell.data(), cell.size());
        p.Texts.emplace_back(static_cast<uint32_t>(p.Pool.size()),
                             static_cast<uint32_t>(key.size()));
        p.Pool.insert(p.Pool.end(), key.begin(), key.end());
    }
}

int CompareKeys(const SortParams& p, int64_t a, int64_t b) {
    if (p.SortType == SortTypeText) {
        const auto [sa, na] = p.Texts[static_cast<size_t>(a)];
        const auto [sb, nb] = p.Texts[static_cast<size_t>(b)];
        const std::wstring_view ka(p.Pool.data() + sa, na), kb(p.Pool.data() + sb, nb);
        const int c = ka.compare(kb);
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    }
    const int64_t x = p.Numbers[static_cast<size_t>(a)], y = p.Numbers[static_cast<size_t>(b)];
    return x < y ? -1 : x > y ? 1 : 0;
}

// 1024^unit of the unit name that follows a number, 1 for "Byte" or none.
int64_t UnitFactor(std::wstring_view rest) {
    while (!rest.empty() && rest.front() == L' ') rest.remove_prefix(1);
    int64_t factor = 1;
    for (const wchar_t* unit : SizeUnitNames) {
        if (!rest.empty() && rest.starts_with(unit)) return factor;
        factor *= 1024;
    }
    return 1;
}

} // namespace

int64_t SortTypeOfColumn(int64_t column) {
    if (column < 0 || column >= static_cast<int64_t>(ColumnSortTypes.size())) return SortTypeText;
    return ColumnSortTypes[static_cast<size_t>(column)];
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
        if (text[i] != L',') whole = whole * 10 + (text[i] - L'0');
    int64_t tenths = 0, scale = 1;
    if (i < text.size() && text[i] == L'.')
        for (++i; i < text.size() && text[i] >= L'0' && text[i] <= L'9' && scale < 1000; ++i)
            tenths = tenths * 10 + (text[i] - L'0'), scale *= 10;
    while (i < text.size() && text[i] >= L'0' && text[i] <= L'9') ++i;
    const int64_t factor = UnitFactor(std::wstring_view(text).substr(i));
    return whole * factor + tenths * factor / scale;
}

void BuildSortKeys(SortParams& p) {
    const int64_t n = tk_gadget_count_items(p.Pane);
    p.Kinds.clear();
    p.Numbers.clear();
    p.Pool.clear();
    p.Texts.clear();
    p.Kinds.reserve(static_cast<size_t>(n));
    if (p.SortType == SortTypeText) {
        p.Texts.reserve(static_cast<size_t>(n));
        p.Pool.reserve(static_cast<size_t>(n) * 16);
    } else {
        p.Numbers.reserve(static_cast<size_t>(n));
    }
    tk_list_visit_rows(p.Pane, KeyOfRow, reinterpret_cast<intptr_t>(&p));
}

int CompareRows(int64_t a, int64_t b, intptr_t user) {
    const SortParams& p = *reinterpret_cast<const SortParams*>(user);
    const size_t n = p.Kinds.size();
    if (a < 0 || b < 0 || static_cast<size_t>(a) >= n || static_cast<size_t>(b) >= n) return 0;
    const uint8_t ka = p.Kinds[static_cast<size_t>(a)], kb = p.Kinds[static_cast<size_t>(b)];
    if (ka == 2) return -1;
    if (kb == 2) return 1;
    if (ka == 1 || kb == 1) return ka == kb ? 0 : ka == 1 ? -1 : 1;
    return p.Order == 1 ? CompareKeys(p, b, a) : CompareKeys(p, a, b);
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
    tk_gadget_disable(pane, 1);
    tk_desktop_busy_cursor(1);
    BuildSortKeys(params);
    if (tk_list_sort(pane, CompareRows, reinterpret_cast<intptr_t>(&params))) {
        PaneOf(pane)->RowsVersion++;
        NudgePaneWorkers(pane); // rows a running worker had not reached may now lie behind it
    }
    tk_desktop_busy_cursor(0);
    tk_gadget_disable(pane, 0);
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
