// The sides of the main window and the panes they show: see pane_sides.h.
#include "app/panes/pane_sides.h"

#include "app/panes/pane.h"

#include <algorithm>
#include <list>
#include <mutex>

namespace {

// Every pane, the tabs each side holds and which one it shows. A closed
// tab's record stays (its threads may still run) but no side holds it.
struct PaneTable {
    std::list<Pane> owned;                // never moving: workers hold records inside them
    std::vector<Pane*> shown;             // by side index
    std::vector<std::vector<Pane*>> tabs; // by side index, left to right
    uint64_t last_id = 0;

    PaneTable() {
        for (int64_t side = 0; side < PaneSideCount; ++side) {
            Pane& pane = owned.emplace_back();
            pane.Id = ++last_id;
            shown.push_back(&pane);
            tabs.push_back({&pane});
        }
    }
};

PaneTable& Table() {
    static PaneTable table;
    return table;
}

int64_t SideIndexOf(const Pane& pane) {
    const std::vector<Pane*>& shown = Table().shown;
    const auto it = std::find(shown.begin(), shown.end(), &pane);
    return it == shown.end() ? -1 : it - shown.begin();
}

void ResetPane(Pane& p) {
    p.History = {};
    p.Listed = {};
    p.ShownMount.clear();
    p.RowsVersion = 0;
    p.ListingEpoch = 0;
    p.SortColumn = p.SortOrder = p.SortType = 0;
    std::fill(std::begin(p.SortToggles), std::end(p.SortToggles), 0);
    p.Keys = {};
    if (p.Listing.Cancel) *p.Listing.Cancel = 1;
    p.Listing = {}; // an early listing's thread ends by itself
    p.WatcherHeld = false;
    p.Watcher.Changed->store(0);
    p.Refresh = {};
    p.Snapshot = {};
    // Fresh topics: every answer still out for the pane is dropped.
    p.Shown = {};
    p.DiskInfo = {};
    p.DriveClick = {};
    p.Tab = {};
}

bool Idle(PaneWorkerRecord& worker) {
    std::lock_guard guard(worker.Lock);
    return !worker.Running;
}

} // namespace

const PaneSide* SideOfList(int64_t list) {
    for (const PaneSide& side : PaneSides)
        if (side.List == list) return &side;
    return nullptr;
}

const PaneSide* SideOfGadget(int64_t gadget) {
    for (const PaneSide& s : PaneSides)
        if (gadget == s.List || gadget == s.PathField || gadget == s.Filter ||
            gadget == s.DiskInfo || gadget == s.Frame)
            return &s;
    return nullptr;
}

const PaneSide* SideOf(const Pane& pane) {
    const int64_t index = SideIndexOf(pane);
    return index < 0 ? nullptr : &PaneSides[index];
}

int64_t ListOf(const Pane& pane) {
    const PaneSide* side = SideOf(pane);
    return side ? side->List : 0;
}

Pane* PaneOf(int64_t list) {
    const PaneSide* side = SideOfList(list);
    return side ? Table().shown[static_cast<size_t>(side - PaneSides)] : nullptr;
}

intptr_t PaneReport(const Pane& pane) {
    return static_cast<intptr_t>(pane.Id);
}

Pane* PaneOfReport(intptr_t data) {
    for (Pane& pane : Table().owned)
        if (static_cast<intptr_t>(pane.Id) == data) return pane.Tab.Closed ? nullptr : &pane;
    return nullptr;
}

int64_t ListShowingFolder(const std::wstring& folder) {
    for (const PaneSide& side : PaneSides)
        if (PaneFolder(*PaneOf(side.List)) == folder) return side.List;
    return 0;
}

std::vector<Pane*> EveryPane() {
    std::vector<Pane*> panes;
    for (Pane& pane : Table().owned) panes.push_back(&pane);
    return panes;
}

void ResetPanes() {
    PaneTable& t = Table();
    for (Pane& pane : t.owned) ResetPane(pane);
    // Back to one tab a side: the first records are the sides' own.
    auto first = t.owned.begin();
    for (int64_t side = 0; side < PaneSideCount; ++side, ++first) {
        t.shown[side] = &*first;
        t.tabs[side] = {&*first};
    }
    for (; first != t.owned.end(); ++first) first->Tab.Closed = true;
}

const std::vector<Pane*>& SideTabs(int64_t side) {
    return Table().tabs.at(static_cast<size_t>(side));
}

Pane* ShownPaneOfSide(int64_t side) {
    return Table().shown.at(static_cast<size_t>(side));
}

int64_t SideHolding(const Pane& pane) {
    const PaneTable& t = Table();
    for (size_t side = 0; side < t.tabs.size(); ++side)
        if (std::find(t.tabs[side].begin(), t.tabs[side].end(), &pane) != t.tabs[side].end())
            return static_cast<int64_t>(side);
    return -1;
}

Pane& NewPaneRecord() {
    PaneTable& t = Table();
    // A closed record whose threads have all ended is taken again under a
    // new name, so that opening and closing tabs all day costs nothing.
    for (Pane& pane : t.owned)
        if (pane.Tab.Closed && Idle(pane.TypeNames) && Idle(pane.Icons) && !pane.Watcher.Run &&
            !pane.Listing.Waiting && !pane.Refresh.Out.Waiting()) {
            ResetPane(pane);
            pane.Id = ++t.last_id;
            return pane;
        }
    Pane& pane = t.owned.emplace_back();
    pane.Id = ++t.last_id;
    return pane;
}

void SetSideTabs(int64_t side, std::vector<Pane*> tabs, Pane* shown) {
    PaneTable& t = Table();
    t.tabs.at(static_cast<size_t>(side)) = std::move(tabs);
    t.shown[static_cast<size_t>(side)] = shown;
}
