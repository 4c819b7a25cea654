// The sides of the main window and the panes they show: the one place that
// knows which gadgets show which pane.
//
// A side is a column of gadgets: a frame holding the drive bar and the disk
// information line, the path field, the filter box and the list the pane's
// rows are in. Each side shows one pane. Everything else takes a Pane& and
// asks here for the gadgets: a procedure handed a list, path field or filter
// box number finds its pane with PaneOf / PaneOfGadget once and works on the
// record from there.
//
// The panes live as long as the program. Main thread only.
#pragma once

#include "app/core/app_state.h"
#include "app/core/ids.h"

#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

struct Pane;

struct PaneSide {
    int64_t Frame;     // container of the drive bar and the disk information line
    int64_t DiskInfo;  // disk information line
    int64_t List;      // the list the pane's rows are in
    int64_t Filter;    // filter box
    int64_t PathField; // path field
    std::vector<DriveButtonRecord> AppState::*DriveButtons; // its drive bar's slots in App
};

// Left to right; a drive button's gadget data is its side's index here.
inline constexpr PaneSide PaneSides[] = {
    {GadLeftFrame, GadLeftDiskInfo, GadLeftPane, GadLeftFilter, GadLeftPath,
     &AppState::LeftDriveButtons},
    {GadRightFrame, GadRightDiskInfo, GadRightPane, GadRightFilter, GadRightPath,
     &AppState::RightDriveButtons},
};
inline constexpr int64_t PaneSideCount = static_cast<int64_t>(std::size(PaneSides));

// The side whose list (or any of whose gadgets) is gadget; null for none.
const PaneSide* SideOfList(int64_t list);
const PaneSide* SideOfGadget(int64_t gadget);
// The side showing the pane; null when no side shows it.
const PaneSide* SideOf(const Pane& pane);
// The list of the side showing the pane; 0 when no side shows it.
int64_t ListOf(const Pane& pane);

// The pane a side's list shows; null for any other number.
Pane* PaneOf(int64_t list);

// What an event posted about the pane carries as its data, and the pane it
// names; null when no pane has that name.
intptr_t PaneReport(const Pane& pane);
Pane* PaneOfReport(intptr_t data);

// The list of the first side whose pane shows folder; 0 when none does.
int64_t ListShowingFolder(const std::wstring& folder);

// Every pane, in the order of the sides.
std::vector<Pane*> EveryPane();
// The tabs a side holds, left to right; the side shows one of them
// (ShownPaneOfSide). A hidden tab is a pane no side shows: ListOf gives 0.
const std::vector<Pane*>& SideTabs(int64_t side);
Pane* ShownPaneOfSide(int64_t side);
// The side holding the pane as a tab, shown or not; -1 for none.
int64_t SideHolding(const Pane& pane);
// A fresh record for a new tab (pane_tabs.h places it); never moving. A
// closed tab's record is taken again once none of its threads runs.
Pane& NewPaneRecord();
// The side holds tabs (every one a record of NewPaneRecord or a side's
// own) and shows shown, one of them.
void SetSideTabs(int64_t side, std::vector<Pane*> tabs, Pane* shown);

// Puts every pane back to its start: empty history, no rows noted, sort by
// name ascending, nothing kept, one tab a side. Its workers and watcher must have ended
// (EndPaneThreads). Start-up and tests.
void ResetPanes();
