// ItemList: a text holding one item per line, each line ended by a line
// feed (code 10), as the selection of a pane travels to the commands. Pure,
// any thread.
#pragma once

#include <string>
#include <vector>

// The lines of an item list, each without its line feed (a last line
// without one is no item).
std::vector<std::wstring> ItemListSplit(const std::wstring& list);
