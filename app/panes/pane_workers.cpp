// The panes' type-name and icon workers: see pane_workers.h.
//
// A worker thread runs passes. A pass walks the rows from the first row it
// was given to the end of the list, skips rows already done (tag) and rows of
// another listing (tag epoch), and decorates the others. When a pass ends,
// the thread takes up work handed over meanwhile (Again) or ends; a stop
// request ends the present pass at its next row.
#include "app/panes/pane_workers.h"

#include "app/core/answers.h"
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/panes/dir_watcher.h"
#include "app/panes/pane.h"
#include "app/panes/pane_icons.h"
#include "app/panes/pane_rows.h"
#include "app/panes/pane_sides.h"
#include "platform/mime.h"
#include "runtime/files.h"
#include "runtime/threads.h"
#include "toolkit/events.h"
#include "toolkit/images.h"
#include "toolkit/list.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>

namespace {

// How long the end of the program waits for the workers to end (ms).
constexpr int EndWaitMs = 500;

// How many type-name records have work not yet done. The icon workers wait
// on it: the type numbers the type-name workers leave in the rows spare
// them the lookups, and what the user reads first is the type names.
std::mutex TypeNamesLock;
std::condition_variable TypeNamesChanged;
int TypeNamesBusy = 0; // under TypeNamesLock

// Done of a record, kept in step with TypeNamesBusy.
void SetWorkerDone(PaneWorkerRecord& r, int64_t done) {
    std::lock_guard guard(TypeNamesLock);
    const int64_t was = r.Done.exchange(done);
    if (r.Kind != PaneWorkerTypeNames || was == done) return;
    TypeNamesBusy += done ? -1 : 1;
    if (TypeNamesBusy == 0) TypeNamesChanged.notify_all();
}

// Wakes icon workers waiting for the type names, so they see a stop.
void WakeWaitingIcons() {
    std::lock_guard guard(TypeNamesLock);
    TypeNamesChanged.notify_all();
}

// What one pass works on, copied from the record when it starts.
struct Pass {
    int64_t list;
    int64_t first_row;
    std::wstring path;
    uint32_t epoch;
};

// The next pass of the record, or false when the thread is to end. Under the
// lock, so that work handed over later finds Running still set.
bool TakeWork(PaneWorkerRecord& r, Pass& pass, bool first) {
    std::lock_guard guard(r.Lock);
    if (!first && !r.Again) return false;
    r.Again = false;
    r.Stop = 0;
    pass = {r.List, r.FirstRow, r.Path, r.Epoch};
    return true;
}

// Runs passes until no work is left; pass_of returns false when stopped.
// The icon worker reports a finished last pass still under the lock, so that
// nothing of this thread reaches the toolkit once Running is false.
template <class PassFn> void Serve(PaneWorkerRecord& r, PassFn pass_of) {
    // Decorations wait for nobody: a listing, a file operation and the window
    // go first whenever they want the processors too.
    rt_thread_lower_priority();
    Pass pass;
    for (bool first = true;; first = false) {
        const bool taken = TakeWork(r, pass, first);
        const bool finished = taken && pass_of(pass);
        std::lock_guard guard(r.Lock);
        if (taken && r.Again) continue;
        if (r.Kind == PaneWorkerIcons && finished && !r.ListsGone)
            tk_event_post(EventPaneInfoReady, WinMain, 0, 0, r.Report);
        SetWorkerDone(r, 1);
        r.Running = false;
        r.Ended.notify_all();
        return;
    }
}

// A row's change applies only to the listing of the pass.
TkListItemChange ChangeFor(const Pass& pass) {
    TkListItemChange c;
    c.expect_mask = PaneTagEpochMask;
    c.expect = PaneTagEpoch(pass.epoch);
    return c;
}

// One row the pass may have to decorate, read from the list; false at the end.
struct RowSeen {
    std::wstring name;
    int64_t data = 0;
    uint32_t tag = 0;
};
bool ReadRow(PaneWorkerRecord& r, const Pass& pass, int64_t row, RowSeen& seen) {
    std::lock_guard guard(r.Lock);
    return !r.ListsGone &&
           tk_list_peek_item(pass.list, row, &seen.name, &seen.data, &seen.tag) != 0;
}
// Writes the change into the row unless the lists are gone; the change's
// picture is made in the same step (make_image), the images being the
// toolkit's too.
template <class MakeImage>
void ChangeRow(PaneWorkerRecord& r, const Pass& pass, int64_t row, const std::wstring& name,
               TkListItemChange& c, MakeImage make_image) {
    std::lock_guard guard(r.Lock);
    if (r.ListsGone) return;
    make_image(c);
    tk_list_change_item_if(pass.list, row, name, c);
}
void ChangeRow(PaneWorkerRecord& r, const Pass& pass, int64_t row, const std::wstring& name,
               TkListItemChange& c) {
    ChangeRow(r, pass, row, name, c, [](TkListItemChange&) {});
}
bool OfPass(const Pass& pass, const RowSeen& seen) {
    return (seen.tag & PaneTagEpochMask) == PaneTagEpoch(pass.epoch);
}

bool TypeNamePass(PaneWorkerRecord& r, const Pass& pass) {
    RowSeen seen;
    for (int64_t row = pass.first_row;; ++row) {
        if (r.Stop.load()) return false;
        if (!ReadRow(r, pass, row, seen)) return true;
        if ((seen.tag & PaneTagTyped) || !OfPass(pass, seen)) continue;
        TkListItemChange c = ChangeFor(pass);
        c.tag_set = PaneTagTyped;
        if (seen.name != L"..") {
            const int folder = seen.data == PaneRowFolder ? 1 : 0;
            const int type = pf_mime_lookup(pass.path + seen.name, folder);
            c.column = 2;
            c.text = folder ? pf_type_name(L"", 1) : pf_mime_comment(type);
            c.tag_clear = PaneTagTypeMask;
            c.tag_set |= static_cast<uint32_t>(type) << PaneTagTypeShift;
        }
        ChangeRow(r, pass, row, seen.name, c);
    }
}

// Hidden entries get the red mark, except system entries (devices, sockets,
// FIFOs), which show the plain icon.
bool Marked(const Pass& pass, const std::wstring& name) {
    if (name.empty() || name[0] != L'.' || name == L"..") return false;
    const int attributes = rt_file_attributes(pass.path + name);
    return attributes != -1 && !(attributes & RtAttrSystem);
}

bool IconPass(PaneWorkerRecord& r, const Pass& pass) {
    RowSeen seen;
    for (int64_t row = pass.first_row;; ++row) {
        if (r.Stop.load()) return false;
        if (!ReadRow(r, pass, row, seen)) return true;
        if ((seen.tag & PaneTagIconed) || !OfPass(pass, seen)) continue;
        TkListItemChange c = ChangeFor(pass);
        c.tag_set = PaneTagIconed;
        if (seen.name == L"..") {
            ChangeRow(r, pass, row, seen.name, c);
            continue;
        }
        const int folder = seen.data == PaneRowFolder ? 1 : 0;
        const int type = (seen.tag & PaneTagTyped) ? PaneTagType(seen.tag)
                                                   : pf_mime_lookup(pass.path + seen.name, folder);
        const int marked = Marked(pass, seen.name) ? 1 : 0; // may hang on a dead mount
        if (marked) c.tag_set |= PaneTagMarked;
        ChangeRow(r, pass, row, seen.name, c, [&](TkListItemChange& change) {
            change.image = tk_image_handle(PaneTypeIcon(type, folder, marked));
        });
    }
}

// The icon worker starts its lookups once no type-name worker has work left;
// false when it was stopped meanwhile.
bool WaitForTypeNames(PaneWorkerRecord& r) {
    std::unique_lock guard(TypeNamesLock);
    TypeNamesChanged.wait(guard, [&] { return TypeNamesBusy == 0 || r.Stop.load(); });
    return !r.Stop.load();
}

// Hands work to the record's worker, starting a thread when none serves it.
// A pane no side shows has no rows in a list to decorate.
void Hand(Pane& pane, int64_t kind, int64_t first_row, int64_t added) {
    PaneWorkerRecord& r = WorkerOf(pane, kind);
    const int64_t list = ListOf(pane);
    if (!list) return;
    std::lock_guard guard(r.Lock);
    r.ListsGone = false;
    r.Kind = kind;
    r.List = list;
    r.Report = PaneReport(pane);
    r.Path = PaneFolder(pane);
    r.Epoch = pane.ListingEpoch;
    r.ForAddedRows = added;
    if (r.Running) {
        r.FirstRow = r.Again ? std::min(r.FirstRow, first_row) : first_row;
        r.Again = true;
        SetWorkerDone(r, 0);
        return;
    }
    r.FirstRow = r.Held ? std::min(r.FirstRow, first_row) : first_row;
    r.Again = false;
    if (PaneThreadsHeld) { // nothing runs: Done stays as it is
        r.Held = true;
        return;
    }
    SetWorkerDone(r, 0);
    r.Held = false;
    r.Running = true;
    const RtThreadProc proc = kind == PaneWorkerIcons ? IconWorker : TypeNameWorker;
    r.Thread = rt_thread_create(proc, reinterpret_cast<intptr_t>(&r));
    if (!r.Thread) { // rows keep their extensions and generic pictures
        r.Running = false;
        SetWorkerDone(r, 1);
    }
}

constexpr int64_t WorkerKinds[] = {PaneWorkerTypeNames, PaneWorkerIcons};

} // namespace

bool PaneThreadsHeld = false;

void ReleasePaneThreads() {
    PaneThreadsHeld = false;
    for (Pane* pane : EveryPane()) {
        if (pane->WatcherHeld) StartDirWatcher(*pane);
        pane->WatcherHeld = false;
        for (int64_t kind : WorkerKinds) {
            PaneWorkerRecord& r = WorkerOf(*pane, kind);
            if (r.Held) Hand(*pane, kind, r.FirstRow, r.ForAddedRows);
        }
    }
}

PaneWorkerRecord& WorkerOf(Pane& pane, int64_t kind) {
    return kind == PaneWorkerIcons ? pane.Icons : pane.TypeNames;
}

void StartPaneWorker(Pane& pane, int64_t kind) {
    Hand(pane, kind, 0, 0);
}

void StartPaneWorker(Pane& pane, int64_t kind, int64_t first_row) {
    Hand(pane, kind, first_row, 1);
}

void StartPaneWorkers(Pane& pane) {
    if (PaneThreadsHeld)
        pane.WatcherHeld = true;
    else
        StartDirWatcher(pane);
    for (int64_t kind : WorkerKinds) StartPaneWorker(pane, kind);
}

void NudgePaneWorkers(Pane& pane) {
    for (int64_t kind : WorkerKinds) {
        PaneWorkerRecord& r = WorkerOf(pane, kind);
        bool running;
        int64_t added;
        {
            std::lock_guard guard(r.Lock);
            running = r.Running;
            added = r.ForAddedRows;
        }
        if (running) Hand(pane, kind, 0, added);
    }
}

void StopPaneWorkers(Pane& pane) {
    for (int64_t kind : WorkerKinds) WorkerOf(pane, kind).Stop = 1;
    WakeWaitingIcons();
}

void StopPaneWorkers(int64_t list) {
    if (Pane* pane = PaneOf(list)) StopPaneWorkers(*pane);
}

int64_t PaneWorkerForAddedRows(Pane& pane) {
    std::lock_guard guard(pane.Icons.Lock);
    return pane.Icons.ForAddedRows;
}

void EndPaneThreads() {
    ForgetPaneListings();
    const std::vector<Pane*> panes = EveryPane();
    for (Pane* pane : panes) {
        StopDirWatcher(*pane);
        StopPaneWorkers(*pane);
    }
    // One moment for all of them: a worker hanging on a dead mount must not
    // hold the end of the program up for good.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(EndWaitMs);
    for (Pane* pane : panes) {
        for (int64_t kind : WorkerKinds) {
            PaneWorkerRecord& r = WorkerOf(*pane, kind);
            {
                std::unique_lock guard(r.Lock);
                r.Again = false; // no new pass: end at the next row
                r.Ended.wait_until(guard, until, [&] { return !r.Running; });
                r.ListsGone = true; // one still running leaves the lists alone
            }
            r.Held = false;
            SetWorkerDone(r, 1);
        }
        pane->WatcherHeld = false;
        WaitForDirWatcherEnd(*pane);
    }
}

void TypeNameWorker(intptr_t record) {
    PaneWorkerRecord& r = *reinterpret_cast<PaneWorkerRecord*>(record);
    Serve(r, [&](const Pass& pass) { return TypeNamePass(r, pass); });
}

void IconWorker(intptr_t record) {
    PaneWorkerRecord& r = *reinterpret_cast<PaneWorkerRecord*>(record);
    Serve(r, [&](const Pass& pass) { return WaitForTypeNames(r) && IconPass(r, pass); });
}
