// A pane's navigation history: PathHistory and the parallel SelectionHistory
// in App.Panes[]. The last element of both is a spare slot; the current
// folder sits just before it. Main thread only.
#include "app/core/app_state.h"
#include "app/panes/panes.h"
#include "toolkit/list.h"

namespace {

// Index of the current folder: the element before the spare, 0 when the
// history has a single element.
size_t CurrentIndex(const PaneState& ps) {
    return ps.PathHistory.size() >= 2 ? ps.PathHistory.size() - 2 : 0;
}

// Both arrays at least one element long and of equal length, so the
// operations below never index past their ends.
void KeepParallel(PaneState& ps) {
    if (ps.PathHistory.empty()) ps.PathHistory.resize(1);
    ps.SelectionHistory.resize(ps.PathHistory.size());
}

} // namespace

int64_t ResetHistory(int64_t pane, std::wstring path) {
    PaneState* ps = PaneOf(pane);
    if (!ps) return 0;
    ps->PathHistory.resize(2);
    ps->SelectionHistory.resize(2);
    ps->PathHistory[0] = path;
    ps->PathHistory[1].clear();
    ps->SelectionHistory[1] = 0;
    return 1;
}

int64_t PushHistory(int64_t pane, std::wstring path) {
    PaneState* ps = PaneOf(pane);
    if (!ps) return 0;
    KeepParallel(*ps);
    int64_t row = tk_list_current_row(pane);
    if (row < 0) row = 0;
    size_t last = ps->PathHistory.size() - 1;
    ps->PathHistory[last] = path;
    ps->PathHistory.emplace_back();
    ps->SelectionHistory[last] = row;
    ps->SelectionHistory.push_back(0);
    return 1;
}

int64_t PopHistory(int64_t pane) {
    PaneState* ps = PaneOf(pane);
    if (!ps || ps->PathHistory.size() < 2) return 0;
    KeepParallel(*ps);
    ps->PathHistory.pop_back();
    ps->SelectionHistory.pop_back();
    return 1;
}

int64_t ReplaceHistoryTop(int64_t pane, std::wstring path) {
    PaneState* ps = PaneOf(pane);
    if (!ps) return 0;
    KeepParallel(*ps);
    ps->PathHistory[CurrentIndex(*ps)] = path;
    return 1;
}

std::wstring PanePath(int64_t pane) {
    PaneState* ps = PaneOf(pane);
    if (!ps || ps->PathHistory.empty()) return L"";
    return ps->PathHistory[CurrentIndex(*ps)];
}
