// ShowPath, the one road by which a pane changes, re-reads or activates its
// folder, the early listings of the start folders, and the column widths of
// a pane. Main thread only.
//
// The folder is read on a thread of its own (app/core/answers.h). Until its
// rows arrive the pane keeps the rows it shows, with the busy cursor over
// them, and its history stays that of those rows: PanePath and every command
// that joins it with a row's name still name the entries the user sees. The
// history change of the mode is worked out at once and made when the rows
// arrive. A new ShowPath of the same pane supersedes a listing still on its
// way (Pane::Listing.Topic); the superseded rows are never shown.
#include "app/core/answers.h"
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/panes/pane.h"
#include "app/panes/pane_cursor.h"
#include "app/panes/pane_location.h"
#include "app/panes/pane_reader.h"
#include "app/panes/pane_remote.h"
#include "app/panes/pane_sides.h"
#include "app/panes/pane_sort.h"
#include "app/panes/pane_workers.h"
#include "app/panes/panes.h"
#include "runtime/memory.h"
#include "runtime/threads.h"
#include "toolkit/gadget_cursor.h"
#include "toolkit/gadget_ops.h"
#include "toolkit/list.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

// Set by the reading thread of an early listing once it has read.
struct PaneReadSignal {
    std::mutex Lock;
    std::condition_variable Changed;
    bool Read = false; // under Lock
};

namespace {

// The history change of a ShowPath mode, made on the history a listing
// commits; ShowNoFill and ShowRefresh leave it as it is.
void ApplyHistoryMode(PaneHistory& h, const std::wstring& path, int64_t mode, int64_t row) {
    switch (mode) {
    case ShowReset: ResetHistory(h, path); break;
    case ShowPush: PushHistory(h, path, row); break;
    case ShowPop: PopHistory(h); break;
    case ShowReplace: ReplaceHistoryTop(h, path); break;
    default: break;
    }
}

// The active pane's path field is tinted; the other sides' have the default
// colour.
void MarkActivePathField(const Pane& pane) {
    const PaneSide* shown = SideOf(pane);
    for (const PaneSide& side : PaneSides)
        if (&side != shown) tk_gadget_set_color(side.PathField, TkColorBack, -1);
    if (!shown) return;
    tk_gadget_set_color(shown->PathField, TkColorBack, ActivePathColor);
    tk_gadget_set_text(shown->PathField, PaneFolder(pane));
}

void MakeActive(const Pane& pane) {
    App.ActivePane = ListOf(pane);
    MarkActivePathField(pane);
}

// Selects row and makes it the current row, so the keyboard goes on from it.
void SelectRow(int64_t list, int64_t row) {
    tk_gadget_set_item_state(list, row, TkListItemSelected);
    tk_list_set_current_row(list, row);
}

void ShowBusy(Pane& pane, bool busy) {
    if (pane.Listing.Busy != busy) tk_gadget_busy_cursor(ListOf(pane), busy ? 1 : 0);
    pane.Listing.Busy = busy;
}

// The history a listing commits when it arrives, and the row it selects.
struct ListingGoal {
    PaneHistory History;
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
void FinishListing(Pane& pane, int64_t row) {
    pane.Listing.Waiting = false;
    ShowBusy(pane, false);
    FinishListedRows(pane);
    SelectRow(ListOf(pane), row);
    // By name, the row a command asked for; a fresh listing shows whatever
    // a delete or move took away.
    FulfilCursorWish(pane, true);
    ShowSortArrow(pane);
    ApplyColumnWidths(ListOf(pane));
    TrimHeapAside();
}

// The rows of a listing came: the history goes to the listed folder and the
// rows into the list.
void ListingArrived(Pane& pane, PaneListing& listing, ListingGoal& goal) {
    PaneListingState& p = pane.Listing;
    p.Waiting = false;
    p.Cancel.reset();
    ShowBusy(pane, false);
    SetPaneHistory(pane, std::move(goal.History));
    if (listing.Ok && listing.Path != PaneFolder(pane)) {
        // A start folder that was not there: its stand-in is the pane's folder.
        SetPaneLocation(pane, listing.Path);
        if (const PaneSide* side = SideOf(pane))
            tk_gadget_set_text(side->PathField, PaneFolder(pane));
        goal.Row = 0;
    }
    if (!listing.Ok) {
        if (PaneIsRemote(PaneFolder(pane)))
            RemoteListingFailed(pane, listing.Failure);
        else
            PaneListingFailed(pane, PaneFolder(pane));
        return;
    }
    PutListedRows(pane, listing);
    listing = PaneListing{};
    pane.ShownMount = MountOfPath(PaneFolder(pane));
    // A listing that came late finishes in the next turn, so that no turn
    // of the loop holds the window long; the pane stays busy until then.
    p.Waiting = true; // until FinishListing
    if (AnswerInPlace()) {
        FinishListing(pane, goal.Row);
    } else {
        ShowBusy(pane, true);
        AnswerLater(p.Topic, [&pane, row = goal.Row] { FinishListing(pane, row); });
    }
}

// What the reading thread of an early listing owns: the pane may let go of
// the listing before the thread is done. The early listing runs before the
// toolkit is there, so it cannot be a question with a delivery: the first
// ShowPath of its pane takes over its thread instead.
struct EarlyJob {
    PaneListingRequest Request;
    std::shared_ptr<PaneListing> Listing;
    std::shared_ptr<PaneReadSignal> Read;
    // The pane without the keyboard gives way: it waits for the other
    // pane's read (when there is one), for EarlyWaitMs at the most, and
    // reads at background priority.
    bool Background = false;
    std::shared_ptr<PaneReadSignal> FirstRead;
};

// A start folder that takes longer than this to read is on slow storage:
// the other pane no longer waits for it.
constexpr int EarlyWaitMs = 1000;

void ReadEarly(intptr_t parameter) {
    std::unique_ptr<EarlyJob> job(reinterpret_cast<EarlyJob*>(parameter));
    if (job->Background) {
        rt_thread_lower_priority(); // its helper threads inherit it
        // Both folders read at once share the processors: the pane with the
        // keyboard, which the user wants first, took twice as long.
        if (PaneReadSignal* first = job->FirstRead.get()) {
            std::unique_lock guard(first->Lock);
            first->Changed.wait_for(guard, std::chrono::milliseconds(EarlyWaitMs),
                                    [first] { return first->Read; });
        }
    }
    ReadPaneListing(job->Request, job->Listing.get());
    std::lock_guard guard(job->Read->Lock);
    job->Read->Read = true;
    job->Read->Changed.notify_all();
}

bool SameRequest(const PaneListingRequest& a, const PaneListingRequest& b) {
    return a.Path == b.Path && a.ShowHidden == b.ShowHidden && a.ShowSystem == b.ShowSystem &&
           a.FileSizeUnit == b.FileSizeUnit && a.SortColumn == b.SortColumn &&
           a.SortOrder == b.SortOrder && a.FindExisting == b.FindExisting &&
           a.Fallback == b.Fallback;
}

// The request of a start folder: one that is not there gives way.
PaneListingRequest StartRequest(const Pane& pane, const std::wstring& folder,
                                const std::wstring& fallback) {
    PaneListingRequest request = PaneListingRequestOf(pane, folder);
    request.FindExisting = true;
    request.Fallback = fallback;
    return request;
}

// The early listing of the pane when it reads what request asks; it is the
// caller's from now on. Any other early listing is let go (its thread ends
// by itself).
std::shared_ptr<PaneListing> TakeEarly(Pane& pane, const PaneListingRequest& request, int* thread) {
    PaneListingState& e = pane.Listing;
    if (!e.EarlyThread) return nullptr;
    std::shared_ptr<PaneListing> listing;
    if (SameRequest(e.EarlyRequest, request)) {
        listing = e.EarlyRows;
        *thread = e.EarlyThread;
    }
    e.EarlyThread = 0;
    e.EarlyRequest = {};
    e.EarlyRows.reset();
    e.EarlyRead.reset();
    return listing;
}

void StartListing(Pane& pane, ListingGoal goal, const std::wstring* start_fallback) {
    PaneListingState& p = pane.Listing;
    if (p.Cancel) {
        *p.Cancel = 1;
        CallOffRemoteReading(p.Cancel.get()); // a server need not answer it first
    }
    p.Waiting = true;
    p.Cancel = std::make_shared<std::atomic<int>>(0);
    ShowBusy(pane, true);
    const std::wstring folder = HistoryFolder(goal.History);
    auto request = start_fallback ? StartRequest(pane, folder, *start_fallback)
                                  : PaneListingRequestOf(pane, folder);
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
    // A listing still on its way is superseded.
    AskAsideLatest(
        p.Topic, std::move(work),
        [&pane, listing, shared_goal] { ListingArrived(pane, *listing, *shared_goal); },
        start_fallback ? PaneStartWaitMs : AnswerWaitMs);
}

// ShowPath and ShowStartFolder: start_fallback is null for ShowPath.
int64_t ShowPathWith(Pane& pane, const std::wstring& path, int64_t mode,
                     const std::wstring* start_fallback) {
    const int64_t list = ListOf(pane);
    if (!list) return 0;
    if (PaneFolder(pane) == path && mode != ShowRefresh) return 1;
    if (mode == ShowNoFill) {
        MakeActive(pane);
        tk_gadget_activate(list);
        return 0;
    }
    // The history the mode gives, kept aside until the rows arrive.
    ListingGoal goal;
    goal.History = pane.History;
    const int64_t current = tk_list_current_row(list);
    ApplyHistoryMode(goal.History, path, mode, current < 0 ? 0 : current);
    goal.Row = goal.History.Selections.empty() ? 0 : goal.History.Selections.back();
    MakeActive(pane);
    if (const PaneSide* side = SideOf(pane))
        tk_gadget_set_text(side->PathField, HistoryFolder(goal.History));
    StopPaneWorkers(pane);
    StartListing(pane, std::move(goal), start_fallback);
    tk_gadget_activate(list);
    return 0;
}

} // namespace

int64_t PaneStartWaitMs = 0;

int64_t PaneListingPending(int64_t list) {
    const Pane* pane = PaneOf(list);
    return pane && pane->Listing.Waiting ? 1 : 0;
}

void ForgetPaneListings() {
    ForgetAnswers();
    for (Pane* pane : EveryPane()) {
        PaneListingState& p = pane->Listing;
        if (p.Cancel) {
            *p.Cancel = 1;
            CallOffRemoteReading(p.Cancel.get());
        }
        p.Cancel.reset();
        p.Topic.MoveOn();
        p.Waiting = false;
        if (tk_gadget_exists(ListOf(*pane))) ShowBusy(*pane, false);
        p.Busy = false;
    }
}

int64_t PanePathGadget(int64_t list) {
    const PaneSide* side = SideOfList(list);
    return side ? side->PathField : 0;
}

int64_t ShowPath(Pane& pane, const std::wstring& path, int64_t mode) {
    return ShowPathWith(pane, path, mode, nullptr);
}

int64_t ShowPath(int64_t list, const std::wstring& path, int64_t mode) {
    Pane* pane = PaneOf(list);
    return pane ? ShowPathWith(*pane, path, mode, nullptr) : 0;
}

void StartEarlyListing(int64_t list, const std::wstring& fallback, bool background) {
    Pane* pane = PaneOf(list);
    if (!pane || pane->History.Paths.empty() || pane->Listing.EarlyThread) return;
    PaneListingState& e = pane->Listing;
    e.EarlyRequest = StartRequest(*pane, pane->History.Paths[0], fallback);
    e.EarlyRows = std::make_shared<PaneListing>();
    e.EarlyRead = std::make_shared<PaneReadSignal>();
    std::shared_ptr<PaneReadSignal> first;
    if (background)
        for (Pane* other : EveryPane())
            if (other != pane && other->Listing.EarlyThread) first = other->Listing.EarlyRead;
    auto* job = new EarlyJob{e.EarlyRequest, e.EarlyRows, e.EarlyRead, background, first};
    e.EarlyThread = rt_thread_create(ReadEarly, reinterpret_cast<intptr_t>(job));
    if (!e.EarlyThread) {
        delete job;
        e.EarlyRequest = {};
        e.EarlyRows.reset();
        e.EarlyRead.reset();
    }
}

void ShowStartFolder(int64_t list, const std::wstring& fallback) {
    Pane* pane = PaneOf(list);
    if (!pane || pane->History.Paths.empty()) return;
    const std::wstring start = pane->History.Paths[0]; // a copy: the history is rebuilt
    SetPaneLocation(*pane, start);
    ShowPathWith(*pane, L"", ShowRefresh, &fallback);
}

void MarkActivePane(int64_t list) {
    if (const Pane* pane = PaneOf(list)) MakeActive(*pane);
}

void ApplyColumnWidths(int64_t list) {
    if (!PaneOf(list)) return;
    // The frame takes 4 pixels; a vertical scroll bar 19 more.
    int64_t inner = tk_gadget_width(list) - (tk_list_has_vscrollbar(list) ? 23 : 4);
    if (inner < 0) inner = 0;
    int64_t width[ColCount];
    for (int64_t column = ColName; column < ColCount; column++)
        width[column] = inner * App.ColumnPercent[column] / 100;
    // Dates, sizes and type names are only of use whole: those columns get at
    // least the width of their widest text, the type as far as the name
    // keeps two fifths of what the date and size leave, and the name takes
    // the rest. The measured
    // width comes out a few pixels short of what the list draws at some font
    // sizes, which cut the seconds off every date: FitSlack covers that.
    constexpr int64_t FitSlack = 12;
    const auto fit = [list](int64_t column) {
        const int64_t measured = tk_list_column_fit_width(list, column);
        return measured > 0 ? measured + FitSlack : 0;
    };
    int64_t rest = inner;
    for (int64_t column : {ColDate, ColSize}) {
        width[column] = std::max(width[column], fit(column));
        rest -= width[column];
    }
    rest = std::max<int64_t>(rest, 0);
    width[ColType] = std::min(std::max(width[ColType], fit(ColType)), rest - rest * 2 / 5);
    width[ColName] = rest - width[ColType];
    for (int64_t column = ColName; column < ColCount; column++)
        tk_list_set_column_width(list, column, width[column]);
}
