// The pane filter: typing into the filter box above a pane or choosing one of
// its entries narrows the pane's rows to those whose name the text keeps
// (case-insensitive; a wildcard pattern or a part of the name, name_filter.h),
// at once and without reading the folder again.
//
// The rows are copied into a snapshot (Pane::Snapshot) once the pane's
// workers have decorated them (type names and icons); the filter rebuilds the
// list from it. The snapshot holds the row texts compactly and no pictures: a
// row's icon is found again from its tag (pane_icons.h). A snapshot of an
// earlier listing is never shown: a filter typed before the workers report
// takes a snapshot of the current rows at once. While a filter narrows the
// rows, the snapshot is the whole folder; a watcher report then refreshes the
// whole folder and narrows it again.
//
// The two events the main window routes here arrive with the pane's report
// (PaneReport, pane_sides.h) as their data. Main thread only.
#pragma once

#include <cstdint>

struct Pane;

// Copies every row of the pane into its snapshot (the whole folder, even
// while a filter narrows the list).
void TakeRowSnapshot(Pane& pane);
// Puts the rows kept in the pane's snapshot into its side's list as the
// side's filter box narrows them (a tab shown again).
void ShowKeptRows(Pane& pane);
// Rebuilds the rows of the pane shown in list from its snapshot with the
// text of the side's filter box.
void ApplyPaneFilter(int64_t list);
// EventPaneInfoReady: empties the pane's filter box, shows every row,
// re-sorts rows the watcher appended and takes the snapshot.
void PaneInfoReady(intptr_t report);
// EventDirChanged: the refresh of pane_refresh.h, over the whole folder even
// while a filter narrows the rows. Data 0 (the delete worker's) drops the
// vanished rows of the active pane.
void PaneDirReport(intptr_t report);
// The filter box of the side showing list; 0 for an unknown list.
int64_t PaneFilterBox(int64_t list);
