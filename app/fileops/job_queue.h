// The queue of file jobs: every copy, move and delete, whatever asked for
// it (F5, F6, F8, a drop, "Einfügen", the context menu, "Erneut
// versuchen"), is a job record (copy_job.h) handed to FileJobQueue. No
// request is ever dropped because another job runs.
//
// A job starts at once when fewer than JobsAtOnce jobs run and none of the
// running ones uses a device (file system) it uses; otherwise it waits, and
// its progress window says "Wartet …". Waiting jobs start in the order they
// were asked for (which the user may change in "Aufträge"); a later job on
// free devices may pass an earlier one that waits for a busy device. A paused
// job counts as running: it holds its devices.
//
// Every job since the program started keeps an entry (QueuedJob) after its
// record is gone, for the "Aufträge" window: what it does, its state, its
// share done and speed at the end. Entries and records belong to the main
// thread; the workers see their record only.
#pragma once

#include "runtime/threads.h"

#include <cstdint>
#include <string>
#include <vector>

struct CopyJob;

// At most this many jobs run at a time.
constexpr size_t JobsAtOnce = 3;

// States of a queued job, in the order of JobStateNames.
enum class JobState { Waiting, Running, Paused, Finished, Failed, Cancelled };

// ---- scheduling, pure ----
struct QueueSlot {
    JobState state = JobState::Waiting;
    std::vector<uint64_t> devices; // the devices of the job's source and target
};
// Indexes of the waiting slots that start now, in order; slots are in the
// order of the queue.
std::vector<size_t> JobsToStart(const std::vector<QueueSlot>& slots, size_t most = JobsAtOnce);

// The devices a job on these folders uses (target empty for a delete), for
// CopyJob::devices. Looks at the file system: not on the main thread.
std::vector<uint64_t> JobDevices(const std::wstring& source, const std::wstring& target);

// ---- the queue, main thread ----
struct QueuedJob {
    int64_t id = 0;                // 1, 2, … in the order asked for
    CopyJob* job = nullptr;        // the record while it exists, then null
    RtThreadProc worker = nullptr; // started with the record as parameter
    JobState state = JobState::Waiting;
    std::wstring what; // operation, first names, target ("Kopieren: a, b nach /x/")
    int percent = 0;   // share done, as last seen
    double speed = 0;  // bytes per second, as last seen
};

// Queues the job and starts it when it may (see above). Its progress window
// opens at once. The record stays the queue's until FileJobEnded.
void QueueFileJob(CopyJob& job, RtThreadProc worker);
// The job's worker has ended (its EventJobDone was handled): the entry
// takes the job's outcome, the record is freed, waiting jobs may start.
void FileJobEnded(CopyJob& job);
// Every entry since the start, in queue order (waiting ones by their place).
const std::vector<QueuedJob>& QueuedJobs();
// The entry of a record, null for none.
QueuedJob* QueuedJobOf(const CopyJob& job);
QueuedJob* QueuedJobById(int64_t id);
// Jobs that are waiting, running or paused.
size_t FileJobsActive();

// Steering, by entry id; each does nothing where it does not apply.
void PauseFileJob(int64_t id);
void ResumeFileJob(int64_t id);
// A waiting job is dropped before it starts (its window closes, nothing was
// touched); a running one stops as "Abbrechen" does.
void CancelFileJob(int64_t id);
// Moves a waiting job one place earlier (delta -1) or later (+1) among the
// waiting jobs.
void MoveWaitingJob(int64_t id, int delta);
// The program ends: every waiting job is dropped and every running one
// cancelled. Asks nothing and waits for nothing (EndFileJobs waits).
void CancelAllFileJobs();

// Called whenever an entry changed (state, place, figures): the "Aufträge"
// window follows. Null until that window is built.
extern void (*QueueChanged)();
// Test seam: forget every entry (no job may exist).
void ResetJobQueue();
