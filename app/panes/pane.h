// Pane: the record of one shown folder, with everything that belongs to it.
//
// A pane holds its location and history, the listing on its way, its
// type-name and icon workers, its folder watcher, the state of its
// incremental refresh, its sort order and kept sort keys, the filter's
// snapshot of its rows and the topics its questions off the main thread are
// asked on (app/core/answers.h). Every procedure of the panes works on a
// Pane&; the public ones that take a list gadget number look the record up
// once (PaneOf) and hand it on.
//
// Which gadgets show a pane is known in one place only, the side mapping of
// pane_sides.h: a side of the window (list, path field, disk information
// line, filter box, drive bar) shows one pane at a time. The rows of a shown
// pane live in its side's list gadget; ListOf gives that gadget, 0 for a pane
// no side shows.
//
// Records live as long as the program and never move: workers and watchers
// hold their own records inside them. Main thread only, except the worker
// and watcher records, whose comments say which thread writes what.
#pragma once

#include "app/core/answers.h"
#include "app/panes/dir_watcher.h"
#include "app/panes/pane_reader.h"
#include "app/panes/pane_sort.h"
#include "app/panes/pane_workers.h"
#include "app/panes/panes.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A navigation history: the folders the pane went through, and the row it
// left in each.
struct PaneHistory {
    std::vector<std::wstring> Paths; // folders ending in "/"; the last element is a spare
    std::vector<int64_t> Selections; // parallel rows; the last one is the row to select next
};

// The folder of a history: the element before the spare, the only one of a
// history of one element; empty for an empty history.
const std::wstring& HistoryFolder(const PaneHistory& history);
// The operations of ShowPath's modes on a history value (pane_history.cpp).
// Paths are taken by value: callers often pass an element of the same
// history, which the operation may move while resizing it.
void ResetHistory(PaneHistory& history, std::wstring path);             // [path, spare]
void PushHistory(PaneHistory& history, std::wstring path, int64_t row); // row: for the folder left
bool PopHistory(PaneHistory& history); // false (nothing done) when only one folder is left
void ReplaceHistoryTop(PaneHistory& history, std::wstring path);

// What a reading thread of an early listing (StartEarlyListing) signals once
// it has read: the other pane's early reading waits for it.
struct PaneReadSignal;

// The listing a pane waits for (pane_show.cpp).
struct PaneListingState {
    AskTopic Topic;                           // the newest listing asked for
    bool Waiting = false;                     // a listing is on its way or not yet finished
    std::shared_ptr<std::atomic<int>> Cancel; // set when superseded
    bool Busy = false;                        // the list shows the busy cursor
    // A listing started before the window was there, for the first listing
    // to take over when it asks for the same folder.
    int EarlyThread = 0; // its reading thread, 0 = none
    PaneListingRequest EarlyRequest;
    std::shared_ptr<PaneListing> EarlyRows;
    std::shared_ptr<PaneReadSignal> EarlyRead;
};

// One refresh at a time (pane_refresh.cpp): a report that comes while one is
// out is answered by one more refresh afterwards, so a folder on a slow mount
// never piles up threads.
struct PaneRefreshState {
    AskTopic Out;       // waiting while a refresh is out
    bool Again = false; // a report came meanwhile
};

// One row of the filter's snapshot (pane_filter.cpp).
struct PaneSnapshotRow {
    uint32_t Start = 0;      // first byte in PaneSnapshot::Bytes
    uint32_t Length = 0;     // bytes of the whole row text
    uint32_t NameLength = 0; // bytes of its name (column 0)
    uint32_t Tag = 0;        // the row's tag
    int64_t Data = 0;        // item data: folder mark or byte count
    uint32_t Mark = 0;       // the mark over its picture (a link's arrow)
};

// The rows as the filter narrows them: texts as code-order bytes
// (rt_text_append_code_bytes), no pictures (a row's icon follows from its tag).
struct PaneSnapshot {
    std::string Bytes;                 // row texts one after another
    std::vector<PaneSnapshotRow> Rows; // in list order
    int64_t Version = -1;              // Pane::RowsVersion the snapshot shows
    uint32_t Epoch = 0;                // Pane::ListingEpoch of the folder it holds
    bool Narrowed = false;             // the list shows only the rows matching a filter
};

// Where the cursor goes once the rows a command changes come (pane_cursor.h).
struct PaneCursorWish {
    std::wstring Folder;       // the folder whose rows it is for
    std::wstring Name;         // the row's name; empty: no wish
    bool AfterRemoval = false; // only once rows of the folder vanished
};

// What a pane keeps as a tab of its side while another tab is shown, and
// what it is as a tab (pane_tabs.cpp).
struct PaneTabState {
    bool Locked = false;    // folders entered from it open in a new tab
    bool Closed = false;    // no side holds it any more; its threads may still run
    bool Kept = false;      // its rows are kept (Rows, else Snapshot): shown again without a read
    intptr_t Rows = 0;      // the list's rows set aside whole (tk_list_take_rows)
    bool Unread = false;    // never listed (or its listing was dropped): read when shown
    bool Changed = false;   // its folder changed while hidden: refreshed when shown
    int64_t TopRow = 0;     // the first row shown when it was hidden
    int64_t ListWidth = -1; // the list's width then, and its columns' widths
    int64_t ColumnWidths[ColCount] = {};
    std::wstring FilterText; // the filter box's text when it was hidden
};

struct Pane {
    uint64_t Id = 0; // names the pane in events (PaneReport); never reused
    PaneTabState Tab;

    // ---- location (pane_history.cpp, pane_location.cpp) ----
    PaneHistory History;     // the current folder is HistoryFolder (History)
    PaneHistory Listed;      // History as it was when the rows were listed: a failed
                             // listing puts History back to it
    std::wstring ShownMount; // mount point the shown folder lies on

    // ---- rows ----
    int64_t RowsVersion = 0;   // counts every add, removal or reorder of the rows
    uint32_t ListingEpoch = 0; // counts listings; rows carry it in their tag (pane_rows.h)
    // Answers about what the pane shows: moves on when another listing's rows
    // come or the current folder changes (MovePaneOn).
    AskTopic Shown;

    // ---- sort (pane_sort.cpp) ----
    int64_t SortColumn = 0;             // a pane column, ColName..ColSize
    int64_t SortOrder = 0;              // 0 ascending, 1 descending
    int64_t SortType = 0;               // kind of key of the sort column
    int64_t SortToggles[ColCount] = {}; // per column, flipped 0/1 at each header click
    PaneSortKeys Keys;                  // kept keys and the sorts' room

    // ---- reading, decorating, watching ----
    PaneListingState Listing;   // pane_show.cpp
    PaneWorkerRecord TypeNames; // pane_workers.cpp
    PaneWorkerRecord Icons;
    DirWatchRecord Watcher;   // dir_watcher.cpp
    bool WatcherHeld = false; // the watcher was asked for while PaneThreadsHeld
    PaneRefreshState Refresh; // pane_refresh.cpp
    PaneSnapshot Snapshot;    // pane_filter.cpp

    // ---- questions of their own ----
    AskTopic DiskInfo;   // the newest free-space question (pane_location.cpp)
    AskTopic DriveClick; // the newest click on its side's drive bar (drive_button.cpp)
    // ---- the cursor a command asked for (pane_cursor.cpp) ----
    PaneCursorWish CursorWish;
};

// The current folder of the pane, ending in "/" (PanePath).
inline const std::wstring& PaneFolder(const Pane& pane) {
    return HistoryFolder(pane.History);
}

// Answers asked about what the pane shows are dropped: called whenever its
// rows become another listing's or its current folder changes.
void MovePaneOn(Pane& pane);
// The pane's history becomes history (MovePaneOn when that changes its folder).
void SetPaneHistory(Pane& pane, PaneHistory history);
