// Selecting pane rows from the keyboard: by pattern ("Auswahl erweitern",
// "Auswahl verkleinern"), all rows, the inverse. Patterns are wildcards,
// "*" for any run of characters and "?" for one, several separated by ";"
// ("*.jpg;*.png"), case ignored; a pattern without a wildcard names a whole
// name; "*.*" is every name, with a dot or without. ".." is never selected,
// folders only when asked. Selecting never moves the current row nor the
// keyboard focus, and the selection line is brought up to date at once. Main thread only, except
// the pattern procedures, which are pure.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The patterns of a text: split at ";", blanks around each dropped, empty
// ones left out, folded for a comparison that ignores case.
std::vector<std::wstring> ParsePatterns(std::wstring_view text);
// 1 when name matches one of the patterns of ParsePatterns.
bool PatternsMatch(const std::vector<std::wstring>& patterns, std::wstring_view name);

// Selects (select 1) or deselects (0) the rows of list whose name matches
// text; folder rows only with with_folders. A row selected alone under the
// cursor is the cursor's, not a pick: selecting lets it go first. Returns
// the rows that matched.
int64_t SelectByPattern(int64_t list, const std::wstring& text, bool select, bool with_folders);
// Selects every row but "..".
void SelectAllRows(int64_t list);
// Selected rows become unselected and the others but ".." selected.
void InvertSelection(int64_t list);
// Insert: toggles the current row's selection and makes the next row
// current. ".." is deselected, never selected; a row selected alone (where
// the arrow keys leave the selection) stays selected, as the first pick.
void ToggleCurrentRow(int64_t list);
