// What the undo history keeps per file job while it runs, shared by the job
// hooks (job_journal.cpp), the undo and redo jobs (undo_job.cpp) and the
// move to the trash (undo_trash.cpp).
//
// A record is made on the main thread before the worker starts and freed on
// the main thread after it ended; in between only the worker uses it, so the
// record itself needs no lock (the table of records has one).
#pragma once

#include "runtime/journal.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

struct CopyJob;

struct JournalRecord {
    RtJournalStep step;                 // id, kind, text; 0 id: nothing is recorded
    std::vector<RtJournalItem> planned; // what the job set out to do, state begun
    std::vector<RtJournalItem> done;    // what it did so far, in order
    int64_t lastWriteMs = 0;            // steady clock of the last write, worker only
    // Planned items with the identity the command took, by their path: a
    // rename keeps it, so a move within one file system needs no new look.
    std::unordered_map<std::wstring, size_t> plannedAt;
    // Parallel to planned: 1 once the item is among done, so that the writes
    // while the job runs leave it out (the undo would skip it anyway).
    std::vector<char> plannedDone;
    int renamesKeep = -1; // whether this job's moves keep the identity; -1 not known yet
    // The begun step is written on a thread of its own while the worker
    // collects; every other use of the record waits for it (JournalBegun).
    std::mutex beginLock;
    std::condition_variable beginEnded;
    bool begun = true; // false while that write is on its way
    // undo and redo jobs
    int64_t target = 0;                // the step undone or redone
    int64_t claim = 0;                 // its claim on the step (UndoHistoryClaim)
    std::vector<std::wstring> refused; // "<path> – <reason>" of each item left as it was
    std::vector<std::wstring> folders; // folders whose panes show a change
};

// The record of job, null when it has none. Any thread.
JournalRecord* JournalRecordOf(const CopyJob& job);
// A new record for job (replacing one it had). Main thread.
JournalRecord& JournalRecordNew(const CopyJob& job);
void JournalRecordFree(const CopyJob& job);

// Waits until the record's begun step has been written. Any thread.
void JournalBegun(JournalRecord& record);

// Worker: one thing the job did; written to the journal with the items
// before it once the last write is JournalBatchMs old.
void JournalJobItem(JournalRecord& record, RtJournalItem item);
// Worker: what the job sets out to do, with identities the start could not
// take; written (and flushed) before the worker touches anything.
void JournalJobPlan(JournalRecord& record, std::vector<RtJournalItem> planned);

// How old the last write of a running job may become before the next item
// writes again. A kill loses at most the items of this span; their planned
// counterparts are still in the journal. Tests set 0 to write every item.
extern int64_t JournalBatchMs;

// The end of an undo or redo job: its list of refusals and the panes; its
// claim on the step ends. Main.
void UndoJobEnded(CopyJob& job, JournalRecord& record);
