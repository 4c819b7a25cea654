// NameFilter and WildcardMatches: see name_filter.h.
#include "app/panes/name_filter.h"

NameFilter::NameFilter(std::wstring text)
    : Text(std::move(text)), Wildcard(Text.find_first_of(L"*?") != std::wstring::npos) {}

bool NameFilter::Keeps(std::wstring_view name) const {
    if (Text.empty()) return true;
    return Wildcard ? WildcardMatches(Text, name) : name.find(Text) != std::wstring_view::npos;
}

// Greedy with one way back: on a mismatch, the last "*" takes one character
// more. Every name and pattern is walked in time proportional to their
// product at worst, never exponentially, whatever the stars.
bool WildcardMatches(std::wstring_view pattern, std::wstring_view name) {
    size_t p = 0, n = 0;
    size_t star = std::wstring_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == L'?' || pattern[p] == name[n])) {
            ++p, ++n;
        } else if (p < pattern.size() && pattern[p] == L'*') {
            star = p++;
            resume = n;
        } else if (star != std::wstring_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') ++p;
    return p == pattern.size();
}
