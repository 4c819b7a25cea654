// A pane's navigation history (Pane::History): folders and the parallel
// rows. The last element of both is a spare slot; the current folder sits
// just before it. The operations come twice: on a history value (what a
// listing on its way will commit) and on a pane by number, where a change
// of the current folder drops the answers asked about the old one.
// Main thread only.
#include "app/panes/pane.h"
#include "app/panes/pane_sides.h"
#include "app/panes/panes.h"
#include "toolkit/list.h"

namespace {

// Index of the current folder: the element before the spare, 0 when the
// history has a single element.
size_t CurrentIndex(const PaneHistory& h) {
    return h.Paths.size() >= 2 ? h.Paths.size() - 2 : 0;
}

// Both arrays at least one element long and of equal length, so the
// operations below never index past their ends.
void KeepParallel(PaneHistory& h) {
    if (h.Paths.empty()) h.Paths.resize(1);
    h.Selections.resize(h.Paths.size());
}

// Applies change to the history of the pane shown in list; 0 for an unknown
// list.
template <class Change> int64_t ChangeHistory(int64_t list, Change change) {
    Pane* pane = PaneOf(list);
    if (!pane) return 0;
    const std::wstring before = PaneFolder(*pane);
    const int64_t result = change(pane->History);
    if (PaneFolder(*pane) != before) MovePaneOn(*pane);
    return result;
}

int64_t CurrentRow(int64_t list) {
    const int64_t row = tk_list_current_row(list);
    return row < 0 ? 0 : row;
}

} // namespace

const std::wstring& HistoryFolder(const PaneHistory& history) {
    static const std::wstring none;
    return history.Paths.empty() ? none : history.Paths[CurrentIndex(history)];
}

void HistoryReset(PaneHistory& h, std::wstring path) {
    h.Paths.resize(2);
    h.Selections.resize(2);
    h.Paths[0] = std::move(path);
    h.Paths[1].clear();
    h.Selections[1] = 0;
}

void HistoryPush(PaneHistory& h, std::wstring path, int64_t row) {
    KeepParallel(h);
    const size_t last = h.Paths.size() - 1;
    h.Paths[last] = std::move(path);
    h.Paths.emplace_back();
    h.Selections[last] = row;
    h.Selections.push_back(0);
}

bool HistoryPop(PaneHistory& h) {
    if (h.Paths.size() < 2) return false;
    KeepParallel(h);
    h.Paths.pop_back();
    h.Selections.pop_back();
    return true;
}

void HistoryReplaceTop(PaneHistory& h, std::wstring path) {
    KeepParallel(h);
    h.Paths[CurrentIndex(h)] = std::move(path);
}

void SetPaneHistory(Pane& pane, PaneHistory history) {
    const bool moved = HistoryFolder(history) != PaneFolder(pane);
    pane.History = std::move(history);
    if (moved) MovePaneOn(pane);
}

void MovePaneOn(Pane& pane) {
    pane.Shown.MoveOn();
}

int64_t ResetHistory(int64_t pane, std::wstring path) {
    return ChangeHistory(pane, [&](PaneHistory& h) {
        HistoryReset(h, std::move(path));
        return 1;
    });
}

int64_t PushHistory(int64_t pane, std::wstring path) {
    return ChangeHistory(pane, [&](PaneHistory& h) {
        HistoryPush(h, std::move(path), CurrentRow(pane));
        return 1;
    });
}

int64_t PopHistory(int64_t pane) {
    return ChangeHistory(pane, [](PaneHistory& h) { return HistoryPop(h) ? 1 : 0; });
}

int64_t ReplaceHistoryTop(int64_t pane, std::wstring path) {
    return ChangeHistory(pane, [&](PaneHistory& h) {
        HistoryReplaceTop(h, std::move(path));
        return 1;
    });
}

std::wstring PanePath(int64_t pane) {
    const Pane* p = PaneOf(pane);
    return p ? PaneFolder(*p) : std::wstring();
}
