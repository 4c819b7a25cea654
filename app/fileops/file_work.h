// FileWork: what one copy, move or delete job's worker keeps while it runs,
// beside the job's record: the entries it works through, the answers that
// hold for the rest of the job ("Alle überspringen", "Alle überschreiben"),
// and the procedures its files share (file_work.cpp). Built and destroyed
// on the worker; the copy threads of the job share it.
#pragma once

#include "platform/copy.h"
#include "runtime/tree.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

struct CopyJob;
struct JobStep;

// States of WorkItem::state.
enum : int {
    ItemPending = 0,
    ItemDone = 1,    // copied or moved; a folder: created
    ItemMerged = 2,  // a folder that was there already and takes the contents
    ItemKept = 3,    // the source stays: failed, skipped or cancelled
    ItemBlocked = 4, // the folder it goes into could not be made
};

// One entry of a selected tree, as collected.
struct WorkItem {
    std::string source, target; // whole paths, OS bytes
    RtTreeEntry entry;          // what the walk found
    int parent = -1;            // index of the folder item it lies in; -1 for a selected one
    int state = ItemPending;    // written by the one thread that handles it
};

struct FileWork {
    explicit FileWork(CopyJob& j) : job(j) {}
    CopyJob& job;
    int copyFlags = 0;                    // PfCopy… flags for every file
    PfCopyLinks links;                    // hard links among the copied files
    std::vector<WorkItem> items;          // folders before what they hold
    std::atomic<bool> crossDevice{false}; // a rename met another file system: copy at once
    std::atomic<int64_t> settled{0};      // bytes of files done without the engine, or given up

    // One question at a time per job, and the answers that hold for the rest.
    std::mutex askLock;
    bool skipFailures = false;
    bool skipExisting = false;
    bool overwriteAll = false;

    std::mutex recordLock; // steps, failures and progress of the job
    int lastTotal = 0;
};

// True once the job is to start nothing more (cancelled, "Abbrechen",
// quitting): the file on its way is finished or rolled back by the engine.
bool WorkStopped(const FileWork& w);
// Ends the job: the engine stops at once, the files on their way roll back.
void StopWork(FileWork& w);

// The failure question about path (OS bytes) for reason: JobAnswerRetry,
// JobAnswerSkip (also for "Alle überspringen", which holds from then on) or
// JobAnswerStop (the job is stopped). A skipped failure is recorded.
int AskAboutFailure(FileWork& w, const std::string& path, const std::wstring& reason);
// The overwrite question for an item whose target exists as `there`:
// JobAnswerOverwrite (also for "Alle überschreiben"), JobAnswerSkip or
// JobAnswerStop.
int AskAboutTarget(FileWork& w, const WorkItem& item, const PfCopyIdentity& there);
// One side of that question: bytes, and the modification time as a date
// value (local wall time, runtime/files.h) with its nanoseconds.
struct FileFacts {
    int64_t size = 0;
    int64_t date = 0;
    int64_t nsec = 0;
};
// The facts of a local file as the copy engine saw it.
FileFacts FileFactsOf(const PfCopyIdentity& file);
// The same question about any two files (a remote job's): name is the
// target's, coming the file that would replace what is there.
int AskAboutExisting(FileWork& w, const std::wstring& name, const FileFacts& coming,
                     const FileFacts& there);

// The folder item lies in can take it: made, merged, or the target folder.
bool ParentReady(const FileWork& w, const WorkItem& item);

// Records a failed item and its reason (any thread of the job).
void RecordFailure(FileWork& w, const std::string& path, const std::wstring& reason);
// Records one thing the job did, also for the history (any thread).
void RecordStep(FileWork& w, int kind, const std::string& source, const std::string& target);
// Publishes the figures of the job; `now` as for PublishProgress.
void ShowWork(FileWork& w, int filePercent, const std::string& item, bool now);

// Renames and removes at paths of any length (runtime/at_path.h); false
// with errno set. flags as for renameat2 and unlinkat.
bool RenameAt(const std::string& from, const std::string& to, unsigned flags);
bool UnlinkAt(const std::string& path, int flags);
