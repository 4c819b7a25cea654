// What the filter box's text keeps of a pane: a text holding "*" or "?" is a
// wildcard pattern over the whole name ("*" any run of characters, "?" one
// character), so the box's presets such as "*.txt" find what they say; any
// other text keeps every name it occurs in. Both sides are compared as given:
// the caller lowers them for a match that ignores case. Pure, any thread.
#pragma once

#include <string>
#include <string_view>

struct NameFilter {
    std::wstring Text; // lower case, as typed
    bool Wildcard = false;

    explicit NameFilter(std::wstring text);
    bool Keeps(std::wstring_view name) const;
};

// "*" and "?" against the whole of name; a pattern without them must equal
// it.
bool WildcardMatches(std::wstring_view pattern, std::wstring_view name);
