// What a file job tells the undo history, and when.
//
// A job that moves, copies or trashes files is one step of the history. The
// step is written before the job touches anything (JournalJobStarting), each
// item is added as it is done (JournalJobStep, on the worker; the journal
// writes them in batches, so a kill loses at most the items since the last
// batch and the next start still knows which files had moved), and the step
// is closed when the job ends (JournalJobEnded). A permanent delete is not
// undoable; its steps are not recorded. Until the history is built these are
// no-ops; callers call them regardless.
#pragma once

struct CopyJob;
struct JobStep;

// Main thread, before the worker starts: writes the planned step.
void JournalJobStarting(CopyJob& job);
// Worker: before its first change. The step is written while the worker
// collects; this waits until it is on the disk.
void JournalJobReady(CopyJob& job);
// Worker: records one thing the job did. Cheap; may be called per file.
void JournalJobStep(CopyJob& job, const JobStep& step);
// Main thread, after the worker ended and before the record is freed.
void JournalJobEnded(CopyJob& job);
// Main thread: a job dropped from the queue before it started.
void JournalJobDropped(CopyJob& job);
