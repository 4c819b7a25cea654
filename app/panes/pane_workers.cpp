// The panes' type-name and icon workers: see pane_workers.h.
//
// A worker thread runs passes. A pass walks the rows from the first row it
// was given to the end of the list, skips rows already done (tag) and rows of
// another listing (tag epoch), and decorates the others. When a pass ends,
// the thread takes up work handed over meanwhile (Again) or ends; a stop
// request ends the present pass at its next row.
#include "app/panes/pane_workers.h"

#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/panes/dir_watcher.h"
#include "app/panes/pane_icons.h"
#include "app/panes/pane_reader.h"
#include "app/panes/pane_rows.h"
#include "app/panes/panes.h"
#include "platform/mime.h"
#include "runtime/files.h"
#include "runtime/threads.h"
#include "toolkit/events.h"
#include "toolkit/images.h"
#include "toolkit/list.h"

#include <algorithm>

namespace {

PaneWorkerRecord TypeNameWorkers[2]; // [0] pane 5, [1] pane 10
PaneWorkerRecord IconWorkers[2];
bool WatcherHeld[2]; // StartDirWatcher asked for while held

constexpr int IconWaitStepMs = 2; // how often the icon worker looks at the type-name workers

int PaneIndex(int64_t pane) {
    return pane == GadLeftPane ? 0 : pane == GadRightPane ? 1 : -1;
}

// What one pass works on, copied from the record when it starts.
struct Pass {
    int64_t pane;
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
    pass = {r.Pane, r.FirstRow, r.Path, r.Epoch};
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
        if (r.Kind == PaneWorkerIcons && finished)
            tk_event_post(EventPaneInfoReady, WinMain, 0, 0, static_cast<intptr_t>(r.Pane));
        r.Done = 1;
        r.Running = false;
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
bool ReadRow(const Pass& pass, int64_t row, RowSeen& seen) {
    return tk_list_peek_item(pass.pane, row, &seen.name, &seen.data, &seen.tag) != 0;
}
bool OfPass(const Pass& pass, const RowSeen& seen) {
    return (seen.tag & PaneTagEpochMask) == PaneTagEpoch(pass.epoch);
}

bool TypeNamePass(PaneWorkerRecord& r, const Pass& pass) {
    RowSeen seen;
    for (int64_t row = pass.first_row;; ++row) {
        if (r.Stop.load()) return false;
        if (!ReadRow(pass, row, seen)) return true;
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
        tk_list_change_item_if(pass.pane, row, seen.name, c);
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
        if (!ReadRow(pass, row, seen)) return true;
        if ((seen.tag & PaneTagIconed) || !OfPass(pass, seen)) continue;
        TkListItemChange c = ChangeFor(pass);
        c.tag_set = PaneTagIconed;
        if (seen.name != L"..") {
            const int folder = seen.data == PaneRowFolder ? 1 : 0;
            const int type = (seen.tag & PaneTagTyped)
                                 ? PaneTagType(seen.tag)
                                 : pf_mime_lookup(pass.path + seen.name, folder);
            const int marked = Marked(pass, seen.name) ? 1 : 0;
            c.image = tk_image_handle(PaneTypeIcon(type, folder, marked));
            if (marked) c.tag_set |= PaneTagMarked;
        }
        tk_list_change_item_if(pass.pane, row, seen.name, c);
    }
}

// The icon worker starts its lookups only after the type-name workers that
// run at that moment have finished: their type numbers spare it the lookups.
bool WaitForTypeNames(PaneWorkerRecord& r) {
    for (PaneWorkerRecord& t : TypeNameWorkers) {
        while (t.Done.load() != 1) {
            if (r.Stop.load()) return false;
            rt_delay(IconWaitStepMs);
        }
    }
    return true;
}

// Hands work to the record's worker, starting a thread when none serves it.
void Hand(int64_t pane, PaneWorkerRecord& r, int64_t kind, int64_t first_row, int64_t added) {
    const PaneState* ps = PaneOf(pane);
    if (!ps) return;
    std::lock_guard guard(r.Lock);
    r.Pane = pane;
    r.Kind = kind;
    r.Path = PanePath(pane);
    r.Epoch = ps->ListingEpoch;
    r.ForAddedRows = added;
    if (r.Running) {
        r.FirstRow = r.Again ? std::min(r.FirstRow, first_row) : first_row;
        r.Again = true;
        r.Done = 0;
        return;
    }
    r.FirstRow = r.Held ? std::min(r.FirstRow, first_row) : first_row;
    r.Again = false;
    if (PaneThreadsHeld) { // nothing runs: Done stays as it is
        r.Held = true;
        return;
    }
    r.Done = 0;
    r.Held = false;
    r.Running = true;
    const RtThreadProc proc = kind == PaneWorkerIcons ? IconWorker : TypeNameWorker;
    r.Thread = rt_thread_create(proc, reinterpret_cast<intptr_t>(&r));
    if (!r.Thread) { // rows keep their extensions and generic pictures
        r.Running = false;
        r.Done = 1;
    }
}

} // namespace

bool PaneThreadsHeld = false;

void ReleasePaneThreads() {
    PaneThreadsHeld = false;
    for (int i = 0; i < 2; ++i) {
        const int64_t pane = i == 0 ? GadLeftPane : GadRightPane;
        if (WatcherHeld[i]) StartDirWatcher(pane);
        WatcherHeld[i] = false;
        for (int64_t kind : {PaneWorkerTypeNames, PaneWorkerIcons}) {
            PaneWorkerRecord& r = *PaneWorkerOf(pane, kind);
            if (r.Held) Hand(pane, r, kind, r.FirstRow, r.ForAddedRows);
        }
    }
}

PaneWorkerRecord* PaneWorkerOf(int64_t pane, int64_t kind) {
    const int i = PaneIndex(pane);
    if (i < 0) return nullptr;
    if (kind == PaneWorkerTypeNames) return &TypeNameWorkers[i];
    if (kind == PaneWorkerIcons) return &IconWorkers[i];
    return nullptr;
}

void StartPaneWorker(int64_t pane, PaneWorkerRecord& record, int64_t kind) {
    Hand(pane, record, kind, 0, 0);
}

void StartPaneWorker(int64_t pane, PaneWorkerRecord& record, int64_t kind, int64_t first_row) {
    Hand(pane, record, kind, first_row, 1);
}

void StartPaneWorkers(int64_t pane) {
    if (PaneIndex(pane) < 0) return;
    if (PaneThreadsHeld)
        WatcherHeld[PaneIndex(pane)] = true;
    else
        StartDirWatcher(pane);
    StartPaneWorker(pane, *PaneWorkerOf(pane, PaneWorkerTypeNames), PaneWorkerTypeNames);
    StartPaneWorker(pane, *PaneWorkerOf(pane, PaneWorkerIcons), PaneWorkerIcons);
}

void NudgePaneWorkers(int64_t pane) {
    for (int64_t kind : {PaneWorkerTypeNames, PaneWorkerIcons}) {
        PaneWorkerRecord* r = PaneWorkerOf(pane, kind);
        if (!r) return;
        bool running;
        int64_t added;
        {
            std::lock_guard guard(r->Lock);
            running = r->Running;
            added = r->ForAddedRows;
        }
        if (running) Hand(pane, *r, kind, 0, added);
    }
}

void StopPaneWorkers(int64_t pane) {
    for (int64_t kind : {PaneWorkerTypeNames, PaneWorkerIcons})
        if (PaneWorkerRecord* r = PaneWorkerOf(pane, kind)) r->Stop = 1;
}

int64_t PaneWorkerForAddedRows(int64_t pane) {
    PaneWorkerRecord* r = PaneWorkerOf(pane, PaneWorkerIcons);
    if (!r) return 0;
    std::lock_guard guard(r->Lock);
    return r->ForAddedRows;
}

void EndPaneThreads() {
    ForgetPaneListings();
    for (int64_t pane : {GadLeftPane, GadRightPane}) {
        StopDirWatcher(pane);
        StopPaneWorkers(pane);
    }
    for (int64_t pane : {GadLeftPane, GadRightPane})
        for (int64_t kind : {PaneWorkerTypeNames, PaneWorkerIcons}) {
            PaneWorkerRecord& r = *PaneWorkerOf(pane, kind);
            int thread;
            {
                std::lock_guard guard(r.Lock);
                r.Again = false; // no new pass: end at the next row
                thread = r.Running ? r.Thread : 0;
            }
            if (thread) rt_thread_wait(thread);
            r.Held = false;
            r.Done = 1;
        }
    WatcherHeld[0] = WatcherHeld[1] = false;
}

void TypeNameWorker(intptr_t record) {
    PaneWorkerRecord& r = *reinterpret_cast<PaneWorkerRecord*>(record);
    Serve(r, [&](const Pass& pass) { return TypeNamePass(r, pass); });
}

void IconWorker(intptr_t record) {
    PaneWorkerRecord& r = *reinterpret_cast<PaneWorkerRecord*>(record);
    Serve(r, [&](const Pass& pass) { return WaitForTypeNames(r) && IconPass(r, pass); });
}
