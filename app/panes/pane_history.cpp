// A pane's navigation history (Pane::History): folders and the parallel
// rows. The last element of both is a spare slot; the current folder sits
// just before it. The operations work on a history value (what a listing on
// its way will commit); SetPaneHistory commits one to a pane, where a change
// of the current folder drops the answers asked about the old one.
// Main thread only.
#include "app/panes/pane.h"
#include "app/panes/pane_sides.h"
#include "app/panes/pane_tabs.h"
#include "app/panes/panes.h"

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

} // namespace

const std::wstring& HistoryFolder(const PaneHistory& history) {
    static const std::wstring none;
    return history.Paths.empty() ? none : history.Paths[CurrentIndex(history)];
}

void ResetHistory(PaneHistory& h, std::wstring path) {
    h.Paths.resize(2);
    h.Selections.resize(2);
    h.Paths[0] = std::move(path);
    h.Paths[1].clear();
    h.Selections[1] = 0;
}

void PushHistory(PaneHistory& h, std::wstring path, int64_t row) {
    KeepParallel(h);
    const size_t last = h.Paths.size() - 1;
    h.Paths[last] = std::move(path);
    h.Paths.emplace_back();
    h.Selections[last] = row;
    h.Selections.push_back(0);
}

bool PopHistory(PaneHistory& h) {
    if (h.Paths.size() < 2) return false;
    KeepParallel(h);
    h.Paths.pop_back();
    h.Selections.pop_back();
    return true;
}

void ReplaceHistoryTop(PaneHistory& h, std::wstring path) {
    KeepParallel(h);
    h.Paths[CurrentIndex(h)] = std::move(path);
}

void SetPaneHistory(Pane& pane, PaneHistory history) {
    const bool moved = HistoryFolder(history) != PaneFolder(pane);
    pane.History = std::move(history);
    if (!moved) return;
    MovePaneOn(pane);
    NoteTabFolder(pane); // the tab's title follows its folder
}

void MovePaneOn(Pane& pane) {
    pane.Shown.MoveOn();
}

std::wstring PanePath(int64_t pane) {
    const Pane* p = PaneOf(pane);
    return p ? PaneFolder(*p) : std::wstring();
}
