// CopyJob: the one record a copy, move or delete job lives in.
//
// Only one job runs at a time. The main thread prepares the record (command
// procedures), then starts the worker and from then on writes nothing but
// `cancel` until the worker has ended (rt_thread_is_running on `thread`).
// The worker holds `mutex` for its whole run and owns every other field
// meanwhile. What the progress window shows travels through `view`, under
// its own lock: the worker fills it, the main thread copies it into the
// gadgets when the worker's EventJobProgress arrives (gadgets are main
// thread only). The worker's last act is posting EventJobDone.
#pragma once

#include "runtime/threads.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

// Values of CopyJob::cancel.
enum : int {
    JobGoOn = 0,
    JobCancelled = 1, // "Abbrechen": the current file is finished, then the job stops
    JobQuitting = 2,  // the program ends: the current file is rolled back at once
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
    RtMutex* mutex = nullptr;             // created by each command; held by the worker
    std::wstring sourceFolder;            // ends in "/"; written by the command only
    int64_t sourcePane = 0;               // 5 or 10, set by the main window
    std::wstring targetFolder;            // ends in "/"; empty for a delete
    int64_t targetPane = 0;               // 5 or 10, set by the main window
    int32_t doneEvent = 0;                // what the worker posts at its end (EventJobDone)
    int64_t window = 0;                   // the progress window the worker reports to
    int result = 0;                       // worker: 1 when the job did everything it was asked
    float progress = 0;                   // worker: percent of the finished files
    std::wstring currentItem;             // worker: the file-list element being processed
    std::atomic<int> cancel{JobGoOn};     // main writes, worker reads and clears (Job…)
    int thread = 0;                       // the running worker, 0 = none yet
    int move = 0;                         // 1 move, 0 copy
    std::vector<std::wstring> fileList;   // bare names, or full paths below a selected folder
    std::vector<std::wstring> folderList; // full paths of the selected folders, no "/" at the end
    // Parallel to folderList: 1 when a move takes the folder over by one
    // rename instead of collecting its files (same file system, no target).
    std::vector<uint8_t> folderWhole;
    // Every folder collected below the selected ones, parents first: a move
    // removes them, children first, once they are empty.
    std::vector<std::wstring> sourceFolders;
    int failures = 0; // worker: files or folders the job could not handle
    JobView view;
};

// The lines of an item list, each without its line feed (a last line
// without one is no item).
std::vector<std::wstring> ItemListSplit(const std::wstring& list);

// The single job record of the program.
extern CopyJob Job;

// 1 while a worker runs: a new command then does nothing.
bool FileJobRunning();
// Prepares Job for a new job: a fresh mutex, the lists emptied, the counters
// and the cancel flag cleared. Main thread, no worker running.
void ResetJob(const std::wstring& sourceFolder, const std::wstring& targetFolder, int move);
// Worker: stores new progress figures and lets the progress window know,
// at most every few tens of milliseconds unless `now` is set.
void PublishProgress(int filePercent, int totalPercent, const std::wstring& item, bool now);

// Test seam: called on the worker with the figures of every PublishProgress,
// throttled or not. Null normally.
using ProgressObserverFn = void (*)(int filePercent, int totalPercent, const std::wstring& item);
extern ProgressObserverFn ProgressObserver;
