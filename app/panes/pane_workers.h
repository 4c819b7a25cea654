// A pane's background workers: the type-name worker writes the German type
// name into column "Typ", the icon worker replaces the generic pictures by the
// icons of the rows' types (a red "!" on hidden entries) and posts
// EventPaneInfoReady (data = PaneReport of the pane) when every row has its
// icon.
//
// Threads: each pane has a type-name and an icon worker, each with its
// record below (Pane::TypeNames, Pane::Icons). The main thread starts them
// after a listing (StartPaneWorkers) and after rows were appended
// (StartPaneWorker for added rows), and asks them to stop before the list is
// re-read; it never waits for them, except briefly at shutdown (EndPaneThreads). A
// worker that is still running when new work comes is handed that work
// instead of being started twice: it takes it up as soon as its present pass
// ends, so no row keeps its extension and generic picture for good.
//
// Workers address rows by index while the main thread sorts, filters and
// removes rows, so they read each row's name, item data and tag from the row
// itself and change a row only while it still holds that name and belongs to
// the listing they work for (tk_list_change_item_if, tag epoch of
// pane_rows.h). That conditional write is the workers' whole guard against
// stale work: they change rows in place under the list's lock, so there is
// no answer to drop on the main thread. A row done is marked in its tag and
// skipped by later passes.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

struct Pane;

enum : int64_t {
    PaneWorkerTypeNames = 0, // kind of StartPaneWorker
    PaneWorkerIcons = 1,
};

struct PaneWorkerRecord {
    int64_t Kind = 0;             // PaneWorkerTypeNames / PaneWorkerIcons (main)
    std::atomic<int64_t> Stop{0}; // main sets 1: end the present pass at the next row
    std::atomic<int64_t> Done{1}; // 1 once the work handed over is done (see SetWorkerDone)
    int Thread = 0;               // rt_thread number of the last thread started, 0 = none

    // Under Lock: the work the next pass does, and the hand-over to a worker
    // that is still running. The main thread writes, the worker copies them
    // when a pass starts.
    std::mutex Lock;
    bool Running = false;     // a thread serves this record
    bool Again = false;       // new work came while it ran
    int64_t List = 0;         // the list gadget the rows are in
    intptr_t Report = 0;      // PaneReport of the pane, the data of its EventPaneInfoReady
    int64_t FirstRow = 0;     // first row the next pass looks at
    int64_t ForAddedRows = 0; // 1: the work is rows AddNewEntries appended
    std::wstring Path;        // the folder of the rows, ending in "/"
    uint32_t Epoch = 0;       // listing the rows belong to (tag epoch bits)
    bool Held = false;        // work recorded while PaneThreadsHeld (main)
    // The program ends: the worker no longer touches the list or the
    // toolkit, which are being freed, even when it comes back from a call
    // that hung (EndPaneThreads). New work clears it.
    bool ListsGone = false;
    std::condition_variable Ended; // notified under Lock once Running is false
};

// Test seam: while true, starting a worker or watcher only records the work,
// and ReleasePaneThreads starts what was recorded. The program never holds.
extern bool PaneThreadsHeld;
void ReleasePaneThreads();

// The record of the pane's worker of a kind.
PaneWorkerRecord& WorkerOf(Pane& pane, int64_t kind);

// Starts (or hands to the running worker) the work of kind for all rows of
// the pane.
void StartPaneWorker(Pane& pane, int64_t kind);
// The same for the rows appended from first_row on by AddNewEntries.
void StartPaneWorker(Pane& pane, int64_t kind, int64_t first_row);
// After a listing: the folder watcher, then the type-name and icon workers.
void StartPaneWorkers(Pane& pane);
// Rows moved while the workers may be running (sort, removal): a running
// worker looks at every row once more; idle workers are left alone.
void NudgePaneWorkers(Pane& pane);
// Asks the pane's type-name and icon workers to stop; does not wait.
void StopPaneWorkers(Pane& pane);
void StopPaneWorkers(int64_t list);
// 1 when the pane's icon worker's last work was rows appended by the watcher.
int64_t PaneWorkerForAddedRows(Pane& pane);
// Shutdown: stops every worker and watcher of every pane and waits a moment
// for them to end. A worker hanging on a dead mount is not waited for: it is
// left to the end of the process, barred from the lists and the toolkit
// first, so it touches no gadget that is being freed (watchers touch none:
// see dir_watcher.h).
void EndPaneThreads();

// The workers' procedures (parameter: the record), on their own threads.
void TypeNameWorker(intptr_t record);
void IconWorker(intptr_t record);
