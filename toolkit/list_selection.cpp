// The selected rows of a list in one step: see list_selection.h.
#include "toolkit/list_selection.h"

#include "toolkit/internal.h"
#include "toolkit/list_view.h"

#include <limits>

std::vector<std::pair<int64_t, int64_t>> tk_list_selected_runs(int64_t gadget) {
    std::vector<std::pair<int64_t, int64_t>> out;
    TkGadget* g = tk_gadget_lookup(gadget);
    auto* view = g ? qobject_cast<TkListView*>(g->widget) : nullptr;
    if (!view) return out;
    for (const auto& [first, last] : view->rows->selected_ranges(std::numeric_limits<int>::max()))
        out.emplace_back(first, last);
    return out;
}
