// The pane filter: typing into the filter box above a pane (gadget 6 / 11)
// or choosing one of its entries narrows the pane's rows to those whose name
// contains the text (case-insensitive), at once and without reading the
// folder again.
//
// The rows are copied into a snapshot once the pane's workers have decorated
// them (type names and icons); the filter rebuilds the list from it. The
// snapshot holds the row texts compactly and no pictures: a row's icon is
// found again from its tag (pane_icons.h). A snapshot of an earlier listing
// is never shown: a filter typed before the workers report takes a snapshot
// of the current rows at once. While a filter narrows the rows, the snapshot
// is the whole folder; a watcher report then refreshes the whole folder and
// narrows it again. Main thread only.
#pragma once

#include <cstdint>

// Copies every row of the pane into its snapshot (the whole folder, even
// while a filter narrows the list).
void TakeRowSnapshot(int64_t pane);
// Rebuilds the pane's rows from its snapshot with the filter box's text.
void ApplyPaneFilter(int64_t pane);
// EventPaneInfoReady (data = pane): empties the pane's filter box, shows
// every row, re-sorts rows the watcher appended and takes the snapshot.
void PaneInfoReady(int64_t pane);
// EventDirChanged: the refresh of pane_refresh.h, over the whole folder
// even while a filter narrows the rows.
void PaneDirReport(intptr_t data);
// The filter box of a pane (6 / 11), 0 for an unknown pane.
int64_t PaneFilterBox(int64_t pane);
