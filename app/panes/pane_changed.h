// The seam through which a file operation tells a pane that its folder is
// about to change (a copy or move into it is starting), so that the pane's
// folder watcher refreshes it at its next poll even when the file system
// reports nothing. Main thread only.
#pragma once

#include <cstdint>

struct Pane;

void MarkPaneChanged(Pane& pane);
// The pane list shows; nothing for any other number.
void MarkPaneChanged(int64_t list);
