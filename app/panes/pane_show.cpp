// ShowPath, the one road by which a pane changes, re-reads or activates its
// folder, and the column widths of a pane. Main thread only.
//
// The folder is read on a thread of its own (pane_answers.h). Until its rows
// arrive the pane keeps the rows it shows, with the busy cursor over them, and
// its history stays that of those rows: PanePath and every command that joins
// it with a row's name still name the entries the user sees. The history
// change of the mode is worked out at once and made when the rows arrive. A
// new ShowPath of the same pane supersedes a listing still on its way; the
// superseded rows are never shown.
#include "app/core/answers.h"
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/panes/pane_location.h"
#include "app/panes/pane_reader.h"
#include "app/panes/pane_workers.h"
#include "app/panes/panes.h"
#include "runtime/memory.h"
#include "runtime/threads.h"
#include "toolkit/gadget_cursor.h"
#include "toolkit/gadget_ops.h"
#include "toolkit/list.h"

#include <algorithm>
#include <atomic>
#include <memory>

namespace {

// The history change of a ShowPath mode; ShowNoFill and ShowRefresh leave
// the history as it is.
void ApplyHistoryMode(int64_t pane, const std::wstring& path, int64_t mode) {
    switch (mode) {
    case ShowReset: ResetHistory(pane, path); break;
    case ShowPush: PushHistory(pane, path); break;
    case ShowPop: PopHistory(pane); break;
    case ShowReplace: ReplaceHistoryTop(pane, path); break;
    default: break;
    }
}

// The active pane's path field is tinted; the other one has the default colour.
void MarkActivePathField(int64_t pane) {
    tk_gadget_set_color(PanePathGadget(OtherPane(pane)), TkColorBack, -1);
    tk_gadget_set_color(PanePathGadget(pane), TkColorBack, ActivePathColor);
    tk_gadget_set_text(PanePathGadget(pane), PanePath(pane));
}

// Selects row and makes it the current row, so the keyboard goes on from it.
void SelectRow(int64_t pane, int64_t row) {
    tk_gadget_set_item_state(pane, row, TkListItemSelected);
    tk_list_set_current_row(pane, row);
}

// The listing a pane waits for.
struct PendingListing {
    AskTopic Topic;                           // the newest listing asked for
    bool Waiting = false;                     // a listing is on its way or not yet finished
    std::shared_ptr<std::atomic<int>> Cancel; // set when superseded
    bool Busy = false;                        // the pane shows the busy cursor
};
PendingListing Pending[2]; // [0] pane 5, [1] pane 10

PendingListing* PendingOf(int64_t pane) {
    return pane == GadLeftPane ? &Pending[0] : pane == GadRightPane ? &Pending[1] : nullptr;
}

void ShowBusy(int64_t pane, PendingListing& p, bool busy) {
    if (p.Busy != busy) tk_gadget_busy_cursor(pane, busy ? 1 : 0);
    p.Busy = busy;
}

// The current folder of a history (as PanePath reads it).
std::wstring FolderOf(const std::vector<std::wstring>& paths) {
    if (paths.empty()) return L"";
    return paths.size() >= 2 ? paths[paths.size() - 2] : paths[0];
}

// The history a listing commits when it arrives, and the row it selects.
struct ListingGoal {
    std::vector<std::wstring> Paths;
    std::vector<int64_t> Selections;
    int64_t Row = 0;
};

// The listing's temporary records lay between the rows kept: give the
// memory back on a thread of its own, which costs the window nothing.
void TrimHeapAside() {
    AskAside(
        AskAnyTime, [] { rt_heap_trim(); }, [] {}, 0);
}

// The second half of a listing: layout, selection, column widths, workers.
// Dropped when a newer ShowPath came meanwhile (the rows are its business).
void FinishListing(int64_t pane, int64_t row) {
    PendingListing* p = PendingOf(pane);
    if (!p) return;
    p->Waiting = false;
    ShowBusy(pane, *p, false);
    FinishListedRows(pane);
    SelectRow(pane, row);
    ApplyColumnWidths(pane);
    TrimHeapAside();
}

// The rows of a listing came: unless a newer ShowPath superseded it, the
// history goes to the listed folder and the rows into the list, as FillPane
// would have put them.
void ListingArrived(int64_t pane, PaneListing& listing, ListingGoal& goal) {
    PendingListing* p = PendingOf(pane);
    PaneState* ps = PaneOf(pane);
    if (!p || !ps) return;
    p->Waiting = false;
    p->Cancel.reset();
    ShowBusy(pane, *p, false);
    ps->PathHistory = std::move(goal.Paths);
    ps->SelectionHistory = std::move(goal.Selections);
    if (listing.Ok && listing.Path != PanePath(pane)) {
        // A start folder that was not there: its stand-in is the pane's folder.
        SetPaneLocation(pane, listing.Path);
        tk_gadget_set_text(PanePathGadget(pane), PanePath(pane));
        goal.Row = 0;
    }
    if (!listing.Ok) {
        PaneListingFailed(pane, PanePath(pane));
        return;
    }
    PutListedRows(pane, listing);
    listing = PaneListing{};
    ps->ShownMount = MountOfPath(PanePath(pane));
    // A listing that came late finishes in the next turn, so that no turn
    // of the loop holds the window long; the pane stays busy until then.
    p->Waiting = true; // until FinishListing
    if (AnswerInPlace()) {
        FinishListing(pane, goal.Row);
    } else {
        ShowBusy(pane, *p, true);
        AnswerLater(p->Topic, [pane, row = goal.Row] { FinishListing(pane, row); });
    }
}

// A listing started before the window was there (StartEarlyListing), for
// StartListing to take over when it asks for the same folder.
struct EarlyListing {
    int Thread = 0; // the reading thread, 0 = none
    PaneListingRequest Request;
    std::shared_ptr<PaneListing> Listing;
    std::shared_ptr<std::atomic<int>> Read; // set once the thread has read
};
EarlyListing Early[2]; // [0] pane 5, [1] pane 10

// What the reading thread of an early listing owns: the record may let go of
// the listing before the thread is done.
struct EarlyJob {
    PaneListingRequest Request;
    std::shared_ptr<PaneListing> Listing;
    std::shared_ptr<std::atomic<int>> Read;
    // The pane without the keyboard gives way: it waits for the other
    // pane's read (when there is one), for EarlyWaitMs at the most, and
    // reads at background priority.
    bool Background = false;
    std::shared_ptr<std::atomic<int>> FirstRead;
};

// A start folder that takes longer than this to read is on slow storage:
// the other pane no longer waits for it.
constexpr int EarlyWaitMs = 1000;
constexpr int EarlyLookMs = 5;

void ReadEarly(intptr_t parameter) {
    std::unique_ptr<EarlyJob> job(reinterpret_cast<EarlyJob*>(parameter));
    if (job->Background) {
        rt_thread_lower_priority(); // its helper threads inherit it
        // Both folders read at once share the processors: the pane with the
        // keyboard, which the user wants first, took twice as long.
        for (int waited = 0; job->FirstRead && !job->FirstRead->load() && waited < EarlyWaitMs;
             waited += EarlyLookMs)
            rt_delay(EarlyLookMs);
    }
    ReadPaneListing(job->Request, job->Listing.get());
    job->Read->store(1);
}

EarlyListing* EarlyOf(int64_t pane) {
    return pane == GadLeftPane ? &Early[0] : pane == GadRightPane ? &Early[1] : nullptr;
}

bool SameRequest(const PaneListingRequest& a, const PaneListingRequest& b) {
    return a.Path == b.Path && a.ShowHidden == b.ShowHidden && a.ShowSystem == b.ShowSystem &&
           a.FileSizeUnit == b.FileSizeUnit && a.SortColumn == b.SortColumn &&
           a.SortOrder == b.SortOrder && a.FindExisting == b.FindExisting &&
           a.Fallback == b.Fallback;
}

// The request of a start folder: one that is not there gives way.
PaneListingRequest StartRequest(int64_t pane, const std::wstring& folder,
                                const std::wstring& fallback) {
    PaneListingRequest request = PaneListingRequestOf(*PaneOf(pane), folder);
    request.FindExisting = true;
    request.Fallback = fallback;
    return request;
}

// The early listing of the pane when it reads what request asks; it is the
// caller's from now on. Any other early listing is let go (its thread ends
// by itself).
std::shared_ptr<PaneListing> TakeEarly(int64_t pane, const PaneListingRequest& request,
                                       int* thread) {
    EarlyListing* e = EarlyOf(pane);
    if (!e || !e->Thread) return nullptr;
    std::shared_ptr<PaneListing> listing;
    if (SameRequest(e->Request, request)) {
        listing = e->Listing;
        *thread = e->Thread;
    }
    *e = EarlyListing{};
    return listing;
}

void StartListing(int64_t pane, ListingGoal goal, const std::wstring* start_fallback) {
    PendingListing& p = *PendingOf(pane);
    if (p.Cancel) *p.Cancel = 1;
    p.Topic.MoveOn(); // a listing still on its way is superseded
    p.Waiting = true;
    p.Cancel = std::make_shared<std::atomic<int>>(0);
    ShowBusy(pane, p, true);
    const std::wstring folder = FolderOf(goal.Paths);
    auto request = start_fallback ? StartRequest(pane, folder, *start_fallback)
                                  : PaneListingRequestOf(*PaneOf(pane), folder);
    auto shared_goal = std::make_shared<ListingGoal>(std::move(goal));
    int early = 0;
    std::shared_ptr<PaneListing> listing = TakeEarly(pane, request, &early);
    AskWork work;
    if (listing) { // read already: wait for its thread
        work = [early] { rt_thread_wait(early); };
    } else {
        listing = std::make_shared<PaneListing>();
        auto cancel = p.Cancel;
        work = [request, listing, cancel] {
            ReadPaneListing(request, listing.get(), cancel.get());
        };
    }
    AskAside(
        p.Topic, std::move(work),
        [pane, listing, shared_goal] { ListingArrived(pane, *listing, *shared_goal); },
        start_fallback ? PaneStartWaitMs : AnswerWaitMs);
}

// ShowPath and ShowStartFolder: start_fallback is null for ShowPath.
int64_t ShowPathWith(int64_t pane, const std::wstring& path, int64_t mode,
                     const std::wstring* start_fallback) {
    PaneState* ps = PaneOf(pane);
    if (!ps) return 0;
    if (PanePath(pane) == path && mode != ShowRefresh) return 1;
    if (mode == ShowNoFill) {
        App.ActivePane = pane;
        MarkActivePathField(pane);
        tk_gadget_activate(pane);
        return 0;
    }
    // The history the mode gives, kept aside until the rows arrive.
    ListingGoal goal;
    goal.Paths = ps->PathHistory;
    goal.Selections = ps->SelectionHistory;
    ApplyHistoryMode(pane, path, mode);
    std::swap(goal.Paths, ps->PathHistory);
    std::swap(goal.Selections, ps->SelectionHistory);
    goal.Row = goal.Selections.empty() ? 0 : goal.Selections.back();
    App.ActivePane = pane;
    MarkActivePathField(pane);
    tk_gadget_set_text(PanePathGadget(pane), FolderOf(goal.Paths));
    StopPaneWorkers(pane);
    StartListing(pane, std::move(goal), start_fallback);
    tk_gadget_activate(pane);
    return 0;
}

} // namespace

int64_t PaneStartWaitMs = 0;

int64_t PaneListingPending(int64_t pane) {
    const PendingListing* p = PendingOf(pane);
    return p && p->Waiting ? 1 : 0;
}

void ForgetPaneListings() {
    ForgetAnswers();
    for (int64_t pane : {GadLeftPane, GadRightPane}) {
        PendingListing& p = *PendingOf(pane);
        if (p.Cancel) *p.Cancel = 1;
        p.Cancel.reset();
        p.Topic.MoveOn();
        p.Waiting = false;
        if (tk_gadget_exists(pane)) ShowBusy(pane, p, false);
        p.Busy = false;
    }
}

int64_t PanePathGadget(int64_t pane) {
    if (pane == GadLeftPane) return GadLeftPath;
    if (pane == GadRightPane) return GadRightPath;
    return 0;
}

int64_t PaneDiskInfoGadget(int64_t pane) {
    if (pane == GadLeftPane) return GadLeftDiskInfo;
    if (pane == GadRightPane) return GadRightDiskInfo;
    return 0;
}

int64_t ShowPath(int64_t pane, const std::wstring& path, int64_t mode) {
    return ShowPathWith(pane, path, mode, nullptr);
}

void StartEarlyListing(int64_t pane, const std::wstring& fallback, bool background) {
    EarlyListing* e = EarlyOf(pane);
    const PaneState* ps = PaneOf(pane);
    if (!e || !ps || ps->PathHistory.empty() || e->Thread) return;
    e->Request = StartRequest(pane, ps->PathHistory[0], fallback);
    e->Listing = std::make_shared<PaneListing>();
    e->Read = std::make_shared<std::atomic<int>>(0);
    std::shared_ptr<std::atomic<int>> first;
    if (background)
        for (const EarlyListing& other : Early)
            if (&other != e && other.Thread) first = other.Read;
    auto* job = new EarlyJob{e->Request, e->Listing, e->Read, background, first};
    e->Thread = rt_thread_create(ReadEarly, reinterpret_cast<intptr_t>(job));
    if (!e->Thread) {
        delete job;
        *e = EarlyListing{};
    }
}

void ShowStartFolder(int64_t pane, const std::wstring& fallback) {
    const PaneState* ps = PaneOf(pane);
    if (!ps || ps->PathHistory.empty()) return;
    const std::wstring start = ps->PathHistory[0]; // a copy: the history is rebuilt
    SetPaneLocation(pane, start);
    ShowPathWith(pane, L"", ShowRefresh, &fallback);
}

void MarkActivePane(int64_t pane) {
    if (!PaneOf(pane)) return;
    App.ActivePane = pane;
    MarkActivePathField(pane);
}

void ApplyColumnWidths(int64_t pane) {
    if (!PaneOf(pane)) return;
    // The frame takes 4 pixels; a vertical scroll bar 19 more.
    int64_t inner = tk_gadget_width(pane) - (tk_list_has_vscrollbar(pane) ? 23 : 4);
    if (inner < 0) inner = 0;
    int64_t width[ColCount];
    for (int64_t column = ColName; column < ColCount; column++)
        width[column] = inner * App.ColumnPercent[column] / 100;
    // Dates and sizes are only of use whole: those columns get at least the
    // width of their widest text, and name and type share what remains in
    // their own proportion.
    int64_t rest = inner, rest_percent = 0;
    for (int64_t column = ColName; column < ColCount; column++) {
        if (column == ColDate || column == ColSize) {
            width[column] = std::max(width[column], tk_list_column_fit_width(pane, column));
            rest -= width[column];
        } else {
            rest_percent += App.ColumnPercent[column];
        }
    }
    rest = std::max<int64_t>(rest, 0);
    for (int64_t column : {ColName, ColType})
        if (rest_percent > 0) width[column] = rest * App.ColumnPercent[column] / rest_percent;
    for (int64_t column = ColName; column < ColCount; column++)
        tk_list_set_column_width(pane, column, width[column]);
}
