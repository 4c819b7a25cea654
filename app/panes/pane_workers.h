// Hook points for a pane's background work: the type-name worker, the icon
// worker and the folder watcher. FillPane starts them after a listing (watcher
// first, then type names, then icons); ShowPath asks them to stop before the
// list is re-read, because they address rows by index. Stopping only sets
// flags and never waits. Main thread only.
//
// The workers themselves arrive with the next batch of pane work; until then
// rows keep their extensions and generic pictures and both calls do nothing.
#pragma once

#include <cstdint>

// Starts the folder watcher, then the type-name and icon workers of the pane.
void StartPaneWorkers(int64_t pane);
// Asks the pane's type-name and icon workers to stop; does not wait.
void StopPaneWorkers(int64_t pane);
