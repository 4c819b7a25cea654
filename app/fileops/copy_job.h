// CopyJob: the record one copy, move or delete job lives in, from its
// command to the end of its progress window.
//
// A command (copy_command.cpp, delete_command.cpp) builds the record with
// NewFileJob and fills in its inputs: the operation, the source folder and
// the items, the target folder, the panes the items come from and go to, the
// devices it touches. StartFileJob hands it to the queue (job_queue.h),
// which opens its progress window at once and starts the worker with the
// record as its parameter when the job's turn comes; the worker reads
// nothing but its record. From then on the main thread writes nothing but
// `cancel` and `control` until the worker has ended; the worker owns every
// other field meanwhile. What the progress window shows travels through
// `view`, under its own lock, and through the live counts of `control`: the
// worker fills them, the main thread copies them into the gadgets when the
// worker's EventJobProgress arrives (gadgets are main thread only). The
// worker's last act is posting EventJobDone to the job's window, whose
// handler reports and frees the record (EndFileJob); nothing on the main
// thread ever waits for a worker while the program runs.
//
// Several records exist at once, each with its own window, thread and
// control. `steps` says, once the worker has ended, what the job did, item
// by item, for whoever keeps a journal of it.
#pragma once

#include "runtime/control.h"
#include "runtime/identity.h"
#include "runtime/threads.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

// Values of CopyJob::operation.
enum : int {
    JobCopy = 0,
    JobMove = 1,
    JobDelete = 2,
    JobTrash = 3, // into the desktop's trash (undo_trash.cpp)
    JobUndo = 4,  // a step of the undo history undone (undo_job.h)
    JobRedo = 5,  // and redone
};

// Values of CopyJob::cancel.
enum : int {
    JobGoOn = 0,
    JobCancelled = 1, // "Abbrechen": the current file is finished, then the job stops
    JobQuitting = 2,  // the program ends: the current file is rolled back at once
};

// Kinds of JobStep.
enum : int {
    StepCopied = 0,        // source copied to target
    StepMoved = 1,         // source moved to target (a rename, or a copy and a delete)
    StepFolderCreated = 2, // target made as the counterpart of the source folder
    StepFolderRemoved = 3, // the emptied source folder of a move removed (no target)
    StepDeleted = 4,       // source deleted, a folder with everything in it (no target)
};

// One thing a job did: full paths, a folder without "/" at its end.
struct JobStep {
    int kind = StepCopied;
    std::wstring source;
    std::wstring target;
};

// A file or folder the job could not handle, and why (German, for the list
// at the job's end and for "Erneut versuchen").
struct JobFailure {
    std::wstring path;   // full path of the source (of the item, for a delete)
    std::wstring reason; // e.g. "Kein Speicherplatz"
};

// What the progress window shows next. Worker writes, main thread reads;
// both under `lock`.
struct JobView {
    std::mutex lock;
    int filePercent = 0;    // 0-100, the current file
    int totalPercent = 0;   // 0-100, the whole job
    std::wstring current;   // the current item, already cut to its shown length
    bool posted = false;    // an EventJobProgress is on its way
    int64_t lastPostMs = 0; // steady clock of the last post, worker only
};

struct CopyJob {
    // ---- inputs: the command fills them before the start, nobody changes them after ----
    int operation = JobCopy;              // JobCopy … JobRedo
    std::wstring sourceFolder;            // ends in "/"
    std::wstring targetFolder;            // ends in "/"; empty for a delete
    intptr_t sourcePane = 0;              // PaneReport of the pane the items come from, 0 none
    intptr_t targetPane = 0;              // PaneReport of the pane they go to, 0 none
    std::vector<std::wstring> fileList;   // bare names; the worker adds full paths below
                                          // a selected folder
    std::vector<std::wstring> folderList; // full paths of the selected folders, no "/" at the end
    // Parallel to folderList: 1 when a move takes the folder over by one
    // rename instead of collecting its files (same file system, no target).
    std::vector<uint8_t> folderWhole;
    // st_dev of the source and target folders: jobs that share a device
    // wait for each other (job_queue.h). Empty: shares none.
    std::vector<uint64_t> devices;
    // A single selected file copied or moved under a new name (typed in the
    // question); empty: every item keeps its name.
    std::wstring targetName;
    // Parallel to fileList as the command first found it (or empty): what
    // each entry was, for the undo history, which so needs no look of its own.
    std::vector<RtIdentity> fileIdentities;
    int64_t window = 0; // its progress window (OpenProgressWindow)
    // "Kopien prüfen": every copy is read back from the disk and compared.
    bool verify = false;

    // ---- the worker's while it runs; the main thread's once it has ended ----
    int result = 0;           // 1 when the job did everything it was asked
    int failures = 0;         // files or folders the job could not handle
    float progress = 0;       // percent of the finished files
    std::wstring currentItem; // the file-list element being processed
    // Every folder collected below the selected ones, parents first: a move
    // removes them, children first, once they are empty.
    std::vector<std::wstring> sourceFolders;
    std::vector<JobStep> steps;          // what the job did, in order
    std::vector<JobFailure> failedItems; // every item that failed, skipped ones not included
    int64_t bytesTotal = 0;             // bytes the job will copy, once collected
    // Bytes of files skipped or failed: the time left is reckoned without
    // them. Worker adds, main thread reads.
    std::atomic<int64_t> bytesSkipped{0};

    // ---- shared ----
    std::atomic<int> cancel{JobGoOn}; // main writes, worker reads (Job…)
    RtControl control; // pause/resume/cancel for the engine; bytes and items done
    int thread = 0;                   // a thread started for the worker (main), 0 = none
    // True from the worker's start until it has returned; the pool thread
    // clears it as its last touch of the record and posts EventJobGone
    // (StartFileWorker).
    std::atomic<bool> working{false};
    int64_t queueId = 0;   // its entry in the queue (job_queue.h); main, before the start
    bool doneSeen = false; // main: EventJobDone came, the end waits for EventJobGone
    JobView view;
};

// The source of a fileList element: a bare name lies in the source folder;
// a full path (a retry of failed files from folders below it) stands as is.
inline std::wstring ListedSource(const CopyJob& job, const std::wstring& element) {
    return element.find(L'/') == std::wstring::npos ? job.sourceFolder + element : element;
}

// A new record, kept until EndFileJob. Main thread.
CopyJob& NewFileJob(int operation, const std::wstring& sourceFolder,
                    const std::wstring& targetFolder);
// Hands the job to the queue (QueueFileJob), which starts worker(job) when
// its turn comes. Main thread.
void StartFileJob(CopyJob& job, RtThreadProc worker);
// Starts worker(job) now, on a thread of the workers' pool (one that ended
// its last job, or a new one); without a thread nothing was done and the job
// ends as failed. The queue's; main thread.
void StartFileWorker(CopyJob& job, RtThreadProc worker);
// The job whose progress window is window; null for none. Main thread.
CopyJob* FileJobOfWindow(int64_t window);
// Frees the record; its worker has ended or never started. Main thread.
void EndFileJob(CopyJob& job);
// True while the worker of any job runs (tests, the end of the program).
bool FileJobRunning();
// Worker: stores new progress figures and lets the progress window know,
// at most every few tens of milliseconds unless `now` is set. While the job
// is paused ("Anhalten") it returns only once resumed or cancelled, so a
// worker that reports between files and chunks pauses there too.
void PublishProgress(CopyJob& job, int filePercent, int totalPercent, const std::wstring& item,
                     bool now);

// Test seam: called on the worker with the job and the figures of every
// PublishProgress, throttled or not. Null normally.
using ProgressObserverFn = void (*)(CopyJob& job, int filePercent, int totalPercent,
                                    const std::wstring& item);
extern ProgressObserverFn ProgressObserver;
