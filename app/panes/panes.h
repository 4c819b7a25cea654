// The file panes: what a pane shows and how it gets there.
//
// A pane is a record (Pane, pane.h) shown on a side of the window
// (pane_sides.h). The procedures here that take a list gadget number, 5
// (left) or 10 (right), act on the pane that list shows and do nothing (0,
// empty text) for any other number; the shell, the configuration and the file
// operations call them. Inside the panes the same work takes the Pane&.
//
// Each pane keeps a navigation history (Pane::History): its folders end in
// "/" and it always ends with a spare slot, so the current folder (PanePath)
// is the element before the spare; the parallel rows end with the row to
// select after the next listing.
//
// ShowPath is the one road by which a pane changes, re-reads or merely
// activates its folder: it reads the folder on a thread of its own and puts
// the rows in when they come: ".." first, then folders A-Z, then files in the
// pane's sort order, hidden and system entries left out unless the settings
// show them. FillPane does the same in place. Everything here runs on the
// main thread. The background workers of a pane (type names, icons, folder
// watcher) are stopped before a re-read and started after it through
// pane_workers.h; they address rows by index.
#pragma once

#include <cstdint>
#include <string>

// Modes of ShowPath: what happens to the history before the pane is shown.
enum : int64_t {
    ShowReset = 0,   // history becomes [path, spare]
    ShowPush = 1,    // path becomes the new current folder
    ShowPop = 2,     // back to the previous folder (path unused)
    ShowReplace = 3, // the current folder is replaced by path
    ShowNoFill = 4,  // history unchanged, the list is not re-read
    ShowRefresh = 5, // history unchanged, the list is re-read in any case
};

// Columns of a pane list, left to right; the sort column uses the same
// numbers (Pane::SortColumn).
enum : int64_t {
    ColName = 0,
    ColDate = 1,
    ColType = 2,
    ColSize = 3,
    ColCount = 4, // how many there are
};

// One directory entry read into a pane.
struct FileEntry {
    std::wstring Name;      // entry name as enumerated
    std::wstring DateText;  // modification time, PaneDateMask
    int64_t Date = 0;       // modification time as a date value (-1 before 1970)
    std::wstring TypeText;  // extension of the name, empty if none
    std::wstring SizeText;  // FormatSize of Size in the file unit
    int64_t Size = 0;       // bytes
    int64_t Attributes = 0; // attribute bits from the enumeration (rt_dir_entry_attributes)
};

struct Pane;

// Reads folder `path` (ending in "/") into the pane's list in place, on the
// calling thread. 1 on success; 0 when it cannot be listed: then a message is
// shown, the history goes back to the folder whose rows are still in the
// list, and the path field shows it.
int64_t FillPane(int64_t list, const std::wstring& path);
// Shows, changes or refreshes the pane's folder (mode: Show…). Returns 1 when
// path is already the current folder and mode is not ShowRefresh (nothing is
// done), otherwise 0. Makes the pane the active one and gives it the focus.
int64_t ShowPath(Pane& pane, const std::wstring& path, int64_t mode);
int64_t ShowPath(int64_t list, const std::wstring& path, int64_t mode);
// Start-up: reads the pane's start folder (element 0 of its history) on a
// thread of its own at once, before the toolkit and the window are there.
// A folder that is not there gives way to its nearest existing ancestor, or
// to fallback. The background pane's reading waits for the other pane's
// early reading (a second at the most) and then reads at background
// priority, so the pane that gets the keyboard is ready first. Main thread,
// once per pane.
void StartEarlyListing(int64_t list, const std::wstring& fallback, bool background);
// Points the pane at its start folder and shows it as ShowPath (pane, "",
// ShowRefresh) does, taking over the early listing when there is one; a
// start folder that is not there gives way as above, and the pane then shows
// its stand-in. The rows come when they are read (PaneStartWaitMs).
void ShowStartFolder(int64_t list, const std::wstring& fallback);
// ShowPath (pane, "", ShowNoFill) without taking the keyboard focus.
void MarkActivePane(int64_t list);
// How long ShowStartFolder waits for a start folder's rows before going on
// (ms): 0, so the window opens and paints while both panes are read, and the
// rows follow.
extern int64_t PaneStartWaitMs;

// The pane's current folder, ending in "/"; empty for an unknown pane.
std::wstring PanePath(int64_t list);

// 1 when an entry with these attribute bits is left out of a listing by the
// "Versteckte Dateien" / "System Dateien" settings (-1, unreadable, counts as
// hidden and system).
bool HiddenBySettings(int64_t attributes);

// Sets the four column widths of the pane from App.ColumnPercent.
void ApplyColumnWidths(int64_t list);

// The path field of the side showing list (7 / 12, pane_sides.h); 0 for an
// unknown list.
int64_t PanePathGadget(int64_t list);
