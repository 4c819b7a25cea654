// Tabs on each side: a side holds several panes (pane_sides.h) and shows
// one of them in its list; the tab row above the list names them.
//
// A tab is a Pane record with everything of its own: folder, history,
// current row, selection, sort order, filter text, workers and watcher.
// Hiding a tab keeps its rows in its snapshot (compact texts, pane.h) and
// its selection, current row and filter text; showing it puts those back at
// once, without reading the folder, and then applies what changed meanwhile.
// A hidden tab never reads its folder: the watcher it had while shown stays
// on (one watcher per folder), and a report only marks it for a refresh when
// it is shown. A tab opened in the background, or restored at start,
// is read the first time it is shown, unless another tab of the same folder
// and sort order has its rows: they are taken over.
//
// Sides are numbered as PaneSides; a tab by its place in SideTabs. Every
// procedure does nothing for an unknown side or place. Main thread only.
#pragma once

#include <cstdint>
#include <string>

struct Pane;
struct PaneSide;

// The tab row gadget of a side, and its side (-1 for another gadget).
int64_t TabRowOfSide(int64_t side);
int64_t SideOfTabRow(int64_t gadget);
// The index in PaneSides of the side whose list is list; -1 for none.
int64_t SideIndexOfList(int64_t list);

int64_t TabCount(int64_t side);
int64_t ShownTab(int64_t side);

// Opens a tab of folder (ending in "/") right of the side's shown one. In
// the background the side goes on showing its tab and the new one is read
// when it is first shown; otherwise the new tab is shown, with the rows of
// the shown tab when it holds the same folder. Returns the new tab's place.
int64_t OpenTab(int64_t side, const std::wstring& folder, bool background);
// Shows the tab at index and makes the side the active one.
void ShowTab(int64_t side, int64_t index);
// The next (step 1) or previous (-1) tab, round the row.
void StepTab(int64_t side, int64_t step);
// Closes the tab; the last tab of a side stays (false).
bool CloseTab(int64_t side, int64_t index);
void CloseOtherTabs(int64_t side, int64_t index);
// The tab moves from one place to another; the others close up.
void MoveTab(int64_t side, int64_t from, int64_t to);
void SetTabLocked(int64_t side, int64_t index, bool locked);

// A locked pane opens a folder entered from it in a new tab (shown) instead:
// true when it did so.
bool EnterInNewTab(Pane& pane, const std::wstring& folder);

// EventDirChanged for a tab no side shows: marks it (and every hidden tab
// of the same folder) for a refresh when shown. False when the report is for
// a shown pane, which then refreshes as always.
bool HiddenTabReport(intptr_t report);

// The title of a tab: its folder's last name, the mount's name at a mount
// point; the tooltip: the whole path.
std::wstring TabTitle(const Pane& pane);
// The pane's folder changed: its tab's title follows.
void NoteTabFolder(const Pane& pane);
// Brings the side's tab row up to date; shows it with two tabs or more, or
// always with the setting. True when it appears or disappears; then the
// window is laid out again, unless relayout is false (the caller does it
// once for both sides).
bool UpdateTabRow(int64_t side, bool relayout = true);
bool TabRowShown(int64_t side);
// Pixels the side's tab row takes above its list (0 while it is hidden).
int64_t TabRowHeightOf(int64_t side);
inline constexpr int64_t TabRowHeight = 24;

// A second after the side's tab began to read its folder: when the folder
// has not answered and the list is empty, the list shows one row saying so
// (PaneSilentNotice), which the rows replace when they come.
void WatchForSilence(int64_t side);
inline constexpr int64_t SilenceMs = 1000;
inline constexpr const wchar_t* PaneSilentNotice =
    L"Der Ordner antwortet nicht; er wird gelesen, sobald er antwortet.";

// Keeps one watcher per folder: a hidden tab whose folder another pane
// watches lets go of its own and is refreshed when shown. A hidden tab never
// starts a watcher.
void SyncTabWatchers();
