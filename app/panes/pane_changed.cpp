// MarkPaneChanged: see pane_changed.h. The flag goes to the pane's folder
// watcher, which then reports within its quiet time even when the file
// system says nothing (a network folder, a watch limit reached).
#include "app/panes/pane_changed.h"

#include "app/panes/pane.h"
#include "app/panes/pane_sides.h"

void MarkPaneChanged(Pane& pane) {
    pane.Watcher.Changed->store(1);
}

void MarkPaneChanged(int64_t list) {
    if (Pane* pane = PaneOf(list)) MarkPaneChanged(*pane);
}
