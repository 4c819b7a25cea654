// Quick search: typing a few letters in a pane list jumps to the first row
// whose name begins with them, else to the first that contains them; Down
// and Up go on to the next and previous such row. A name matches as the
// name sort reads it (name_fold.h): case and accents do not count, and an
// umlaut is found as its two letters or as its plain letter, so "mull",
// "müll" and "muell" all find "Müll.txt".
//
// This file holds the pure part: an index of the folded names of the rows,
// built once per content of the list (tk_list_content_revision), and the
// search over it. quick_search_field.cpp shows the field and takes the keys.
// Any thread for a record of its own; the panes use theirs on the main
// thread only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct QuickSearchIndex {
    uint64_t Revision = 0;           // content revision of the rows indexed; 0 = none yet
    std::string Spelled;             // every row's name folded NameFold::Spelled, code bytes
    std::string Plain;               // ... and NameFold::Plain, for names beyond ASCII only
    std::vector<uint32_t> SpelledAt; // start of row i in Spelled; one more entry at the end
    std::vector<uint32_t> PlainAt;   // the same in Plain
};

// Empties the index for a new set of rows.
void QuickSearchClear(QuickSearchIndex& index);
// Appends the next row's name; ".." is taken as a row that never matches.
void QuickSearchAddName(QuickSearchIndex& index, std::wstring_view name);
int64_t QuickSearchRows(const QuickSearchIndex& index);

// The typed text folded both ways, once per keystroke.
struct QuickSearchText {
    std::string Spelled;
    std::string Plain;
};
QuickSearchText QuickSearchFoldTyped(std::wstring_view typed);

// The first row from `from` on in direction step (+1 down, -1 up), going
// round at the end, that matches text: rows whose name begins with it when
// there is any such row, else rows whose name contains it. -1 when none
// matches or the text is empty.
int64_t QuickSearchFind(const QuickSearchIndex& index, const QuickSearchText& text, int64_t from,
                        int step);
