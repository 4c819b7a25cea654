// MarkPaneChanged: see pane_changed.h. The flag goes to the pane's folder
// watcher, which then reports within its quiet time even when the file
// system says nothing (a network folder, a watch limit reached).
#include "app/panes/pane_changed.h"

#include "app/panes/dir_watcher.h"

void MarkPaneChanged(int64_t pane) {
    if (DirWatchRecord* r = DirWatchOf(pane)) r->Changed = 1;
}
