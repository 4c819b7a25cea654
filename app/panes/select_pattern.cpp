// Selecting pane rows by pattern, all, inverted, one by one: see
// select_pattern.h. Every bulk change runs with the list's redraw off, so
// a hundred thousand rows are selected in one repaint.
#include "app/panes/select_pattern.h"

#include "app/panes/pane_rows.h"
#include "app/panes/selection_line.h"
#include "toolkit/gadgets.h"

namespace {

// Case fold of the patterns and names: A-Z and the Latin-1 capitals.
wchar_t CaseFold(wchar_t c) {
    if (c >= L'A' && c <= L'Z') return wchar_t(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return wchar_t(c + 32);
    return c;
}

// Wildcard match with one remembered star: linear for the patterns people
// type, never worse than name × pattern.
bool Wild(std::wstring_view p, std::wstring_view name) {
    size_t pi = 0, ni = 0, star = std::wstring_view::npos, resume = 0;
    while (ni < name.size()) {
        if (pi < p.size() && (p[pi] == L'?' || p[pi] == CaseFold(name[ni]))) {
            ++pi, ++ni;
        } else if (pi < p.size() && p[pi] == L'*') {
            star = pi++;
            resume = ni;
        } else if (star != std::wstring_view::npos) {
            pi = star + 1;
            ni = ++resume;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == L'*') ++pi;
    return pi == p.size();
}

struct PatternRun {
    const std::vector<std::wstring>* Patterns;
    bool WithFolders;
    std::vector<int64_t> Rows; // the rows that match
};

void MatchRow(int64_t row, const wchar_t* text, size_t length, int64_t data, uint32_t,
              intptr_t user) {
    auto& run = *reinterpret_cast<PatternRun*>(user);
    if (data == PaneRowFolder && !run.WithFolders) return;
    std::wstring_view name(text, length);
    name = name.substr(0, name.find(L'\n'));
    if (name != L".." && PatternsMatch(*run.Patterns, name)) run.Rows.push_back(row);
}

bool IsParent(int64_t list, int64_t row) {
    return tk_gadget_get_item_data(list, row) == 0 &&
           tk_gadget_get_item_text(list, row, 0) == L"..";
}

// Sets the selection bit of rows under one redraw; the current row stays.
template <class Rows> void SetSelected(int64_t list, const Rows& rows, bool on) {
    const int64_t current = tk_list_current_row(list);
    tk_list_set_redraw(list, 0);
    for (const int64_t row : rows) tk_gadget_set_item_state(list, row, on ? TkItemSelected : 0);
    tk_list_set_redraw(list, 1);
    if (current >= 0) tk_list_set_current_row(list, current);
    UpdateSelectionLine(list);
}

} // namespace

std::vector<std::wstring> ParsePatterns(std::wstring_view text) {
    std::vector<std::wstring> out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L';', start);
        if (end == std::wstring_view::npos) end = text.size();
        std::wstring_view part = text.substr(start, end - start);
        while (!part.empty() && part.front() == L' ') part.remove_prefix(1);
        while (!part.empty() && part.back() == L' ') part.remove_suffix(1);
        // "*.*" is every name, as in the file requesters, also one without a dot
        if (part == L"*.*") part = L"*";
        if (!part.empty()) {
            std::wstring folded(part);
            for (wchar_t& c : folded) c = CaseFold(c);
            out.push_back(std::move(folded));
        }
        start = end + 1;
    }
    return out;
}

bool PatternsMatch(const std::vector<std::wstring>& patterns, std::wstring_view name) {
    for (const std::wstring& p : patterns)
        if (Wild(p, name)) return true;
    return false;
}

int64_t SelectByPattern(int64_t list, const std::wstring& text, bool select, bool with_folders) {
    const std::vector<std::wstring> patterns = ParsePatterns(text);
    PatternRun run{&patterns, with_folders, {}};
    if (!patterns.empty()) tk_list_visit_rows(list, MatchRow, reinterpret_cast<intptr_t>(&run));
    // The row the cursor left selected alone is no pick: the pattern's rows
    // take its place, as Insert takes it as the first of its picks.
    const int64_t current = tk_list_current_row(list);
    if (select && tk_list_selected_count(list) == 1 && current >= 0 &&
        (tk_gadget_get_item_state(list, current) & TkItemSelected))
        SetSelected(list, std::vector<int64_t>{current}, false);
    SetSelected(list, run.Rows, select);
    return static_cast<int64_t>(run.Rows.size());
}

void SelectAllRows(int64_t list) {
    std::vector<int64_t> rows;
    const int64_t count = tk_gadget_count_items(list);
    for (int64_t row = 0; row < count; ++row)
        if (!IsParent(list, row)) rows.push_back(row);
    SetSelected(list, rows, true);
}

void InvertSelection(int64_t list) {
    std::vector<int64_t> on, off;
    const int64_t count = tk_gadget_count_items(list);
    for (int64_t row = 0; row < count; ++row) {
        if (tk_gadget_get_item_state(list, row) & TkItemSelected)
            off.push_back(row);
        else if (!IsParent(list, row))
            on.push_back(row);
    }
    SetSelected(list, off, false);
    SetSelected(list, on, true);
}

void ToggleCurrentRow(int64_t list) {
    const int64_t row = tk_list_current_row(list);
    if (row < 0) return;
    const bool on = tk_gadget_get_item_state(list, row) & TkItemSelected;
    // The row an arrow key or click left selected alone is the cursor's, not
    // yet a choice: Insert keeps it as the first row picked.
    const bool cursor_only = on && tk_list_selected_count(list) == 1;
    if (IsParent(list, row))
        tk_gadget_set_item_state(list, row, 0);
    else if (!cursor_only)
        tk_gadget_set_item_state(list, row, on ? 0 : TkItemSelected);
    const int64_t next = row + 1 < tk_gadget_count_items(list) ? row + 1 : row;
    tk_list_set_current_row(list, next);
    tk_list_ensure_visible(list, next);
    UpdateSelectionLine(list);
}
