// The selected rows of a list gadget in one step, as runs of neighbours:
// for code that looks at every selected row of a large list (counting them,
// adding up their sizes), where asking row by row would lock the list once
// per row. Any thread, as the other selected-row queries.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

// The runs [first, last] of selected rows, top to bottom; empty for no
// selection or no list.
std::vector<std::pair<int64_t, int64_t>> tk_list_selected_runs(int64_t gadget);
