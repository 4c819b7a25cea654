// The quick search index and its search: see quick_search.h. Names are kept
// as code bytes (a quarter of the room of wide characters), so a folder of
// a hundred thousand names is searched in a few passes over a few MB.
#include "app/panes/quick_search.h"

#include "app/panes/name_fold.h"
#include "runtime/text.h"

namespace {

// Appends the fold of text as code bytes. Most names are plain ASCII: those
// characters are folded here one byte each, the rest through the names'
// fold (name_fold.h).
void AppendFolded(std::string& out, std::wstring_view text, NameFold how) {
    thread_local std::vector<wchar_t> folded; // reused: no allocation per name
    for (const wchar_t c : text) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c >= L'A' && c <= L'Z' ? c + 32 : c));
            continue;
        }
        folded.clear();
        AppendNameFold(folded, std::wstring_view(&c, 1), how, false);
        rt_text_append_code_bytes(out, std::wstring_view(folded.data(), folded.size()));
    }
}

bool IsAscii(std::wstring_view text) {
    for (const wchar_t c : text)
        if (c >= 0x80) return false;
    return true;
}

std::string_view RowKey(const std::string& bytes, const std::vector<uint32_t>& at, int64_t row) {
    const size_t r = static_cast<size_t>(row);
    return std::string_view(bytes).substr(at[r], at[r + 1] - at[r]);
}

// A row's plain key; a name of ASCII alone keeps none, its spelled key is it.
std::string_view PlainKey(const QuickSearchIndex& x, int64_t row) {
    const std::string_view own = RowKey(x.Plain, x.PlainAt, row);
    return own.empty() ? RowKey(x.Spelled, x.SpelledAt, row) : own;
}

bool Begins(const QuickSearchIndex& x, const QuickSearchText& t, int64_t row) {
    return RowKey(x.Spelled, x.SpelledAt, row).starts_with(t.Spelled) ||
           PlainKey(x, row).starts_with(t.Plain);
}

bool Contains(const QuickSearchIndex& x, const QuickSearchText& t, int64_t row) {
    return RowKey(x.Spelled, x.SpelledAt, row).find(t.Spelled) != std::string_view::npos ||
           PlainKey(x, row).find(t.Plain) != std::string_view::npos;
}

template <class Match>
int64_t FindFrom(const QuickSearchIndex& x, const QuickSearchText& t, int64_t from, int step,
                 Match match) {
    const int64_t n = QuickSearchRows(x);
    int64_t row = ((from % n) + n) % n;
    for (int64_t seen = 0; seen < n; ++seen, row = (row + step + n) % n)
        if (match(x, t, row)) return row;
    return -1;
}

} // namespace

void QuickSearchClear(QuickSearchIndex& index) {
    index.Revision = 0;
    index.Spelled.clear();
    index.Plain.clear();
    index.SpelledAt.assign(1, 0);
    index.PlainAt.assign(1, 0);
}

void QuickSearchAddName(QuickSearchIndex& index, std::wstring_view name) {
    if (index.SpelledAt.empty()) QuickSearchClear(index);
    if (name != L"..") {
        AppendFolded(index.Spelled, name, NameFold::Spelled);
        if (!IsAscii(name)) AppendFolded(index.Plain, name, NameFold::Plain);
    }
    index.SpelledAt.push_back(static_cast<uint32_t>(index.Spelled.size()));
    index.PlainAt.push_back(static_cast<uint32_t>(index.Plain.size()));
}

int64_t QuickSearchRows(const QuickSearchIndex& index) {
    return index.SpelledAt.empty() ? 0 : static_cast<int64_t>(index.SpelledAt.size()) - 1;
}

QuickSearchText QuickSearchFoldTyped(std::wstring_view typed) {
    QuickSearchText t;
    AppendFolded(t.Spelled, typed, NameFold::Spelled);
    AppendFolded(t.Plain, typed, NameFold::Plain);
    return t;
}

int64_t QuickSearchFind(const QuickSearchIndex& index, const QuickSearchText& text, int64_t from,
                        int step) {
    if (text.Spelled.empty() || QuickSearchRows(index) == 0) return -1;
    step = step < 0 ? -1 : 1;
    // Whether any name begins with the text decides which rows are matches,
    // so Down after a prefix match never wanders into mere containers.
    const int64_t first = FindFrom(index, text, 0, 1, Begins);
    if (first >= 0 && from == 0 && step == 1) return first; // the first key's search: found
    if (first >= 0) return FindFrom(index, text, from, step, Begins);
    return FindFrom(index, text, from, step, Contains);
}
