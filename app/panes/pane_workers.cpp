// The pane worker hook points: see pane_workers.h. The background workers
// (type names, icons, folder watching) arrive with the next batch of pane
// work and will be started and stopped from here.
#include "app/panes/pane_workers.h"

void StartPaneWorkers(int64_t /*pane*/) {}

void StopPaneWorkers(int64_t /*pane*/) {}
