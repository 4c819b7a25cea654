// CopyWorker and CopyProgress, on the worker thread: collects the files of
// the selected folders (creating their counterparts in the target), copies
// (or moves) them one by one, reports progress, and at the end of a move
// removes the source folders that were emptied. Collecting here, not on the
// main thread, keeps the window answering while a tree on a slow mount is
// walked, and lets "Abbrechen" stop that walk too.
//
// A move first tries a rename, which within one file system is instant and
// cannot lose data; it falls back to copy and delete when the rename fails
// (another file system, an existing target). A source is deleted only after
// its copy succeeded; a cancel is honoured between files ("Abbrechen") or,
// when the program quits, at once by rolling the current copy back.
#include "app/core/ids.h"
#include "app/fileops/copy_job.h"
#include "app/fileops/fileops_ids.h"
#include "app/fileops/fileops_internal.h"
#include "app/fileops/job_journal.h"
#include "platform/file_copy.h"
#include "runtime/file_checks.h"
#include "runtime/files.h"
#include "toolkit/events.h"

#include <cmath>

namespace {

int FileCount(const CopyJob& job) {
    return job.fileList.empty() ? 1 : static_cast<int>(job.fileList.size());
}

int TotalPercent(const CopyJob& job, int filePercent) {
    return static_cast<int>(std::nearbyint(filePercent / FileCount(job) + job.progress));
}

bool Moves(const CopyJob& job) {
    return job.operation == JobMove;
}

// The selected folders copied file by file: their files join the file list.
void CollectSelectedFolders(CopyJob& job) {
    for (size_t k = 0; k < job.folderList.size() && job.cancel == JobGoOn; ++k)
        if (!job.folderWhole[k]) CollectFolder(job, job.folderList[k] + L"/");
}

// Selected folders of a move that can be taken over whole: one rename each.
// A folder whose rename fails is collected here instead, and its files join
// the file list.
void MoveWholeFolders(CopyJob& job) {
    for (size_t k = 0; k < job.folderWhole.size(); ++k) {
        if (!job.folderWhole[k]) continue;
        const std::wstring& folder = job.folderList[k];
        const std::wstring target = job.targetFolder + rt_path_name(folder);
        if (rt_file_rename(folder, target)) {
            job.steps.push_back({StepMoved, folder, target});
            JournalJobStep(job, job.steps.back());
            continue;
        }
        job.folderWhole[k] = 0;
        CollectFolder(job, folder + L"/");
    }
}

// One element: 1 when it arrived (and, for a move, left its source).
int TransferOne(CopyJob& job, const std::wstring& element) {
    const std::wstring source = JobSourceOf(job, element);
    const std::wstring target = JobTargetOf(job, element);
    if (Moves(job) && rt_file_rename(source, target)) {
        job.steps.push_back({StepMoved, source, target});
        JournalJobStep(job, job.steps.back());
        return 1;
    }
    if (!pf_file_copy(source, target, CopyProgress, &job)) return 0;
    // The copy is complete; only now may the source go.
    if (!Moves(job)) {
        job.steps.push_back({StepCopied, source, target});
        JournalJobStep(job, job.steps.back());
        return 1;
    }
    if (!rt_file_delete(source, RtDeleteForce)) {
        job.steps.push_back({StepCopied, source, target});
        JournalJobStep(job, job.steps.back());
        return 0;
    }
    job.steps.push_back({StepMoved, source, target});
    JournalJobStep(job, job.steps.back());
    return 1;
}

// The emptied source folders of a move, children before parents. A folder
// still holding something (a file that failed, or arrived meanwhile) stays.
void RemoveMovedFolders(CopyJob& job) {
    for (auto it = job.sourceFolders.rbegin(); it != job.sourceFolders.rend(); ++it) {
        if (rt_dir_remove_empty(*it) == 0)
            ++job.failures;
        else
            job.steps.push_back({StepFolderRemoved, it->substr(0, it->size() - 1), L""});
    }
}

} // namespace

int CopyProgress(int64_t total, int64_t done, void* user) {
    CopyJob& job = *static_cast<CopyJob*>(user);
    if (job.cancel == JobQuitting) return 0;
    const int filePercent = total > 0 ? static_cast<int>(done * (100.0 / total)) : 0;
    PublishProgress(job, filePercent, TotalPercent(job, filePercent), job.currentItem, false);
    return 1;
}

void CopyWorker(intptr_t parameter) {
    CopyJob& job = *reinterpret_cast<CopyJob*>(parameter);
    CollectSelectedFolders(job);
    if (Moves(job) && job.cancel == JobGoOn) MoveWholeFolders(job);
    const float step = 100.0f / static_cast<float>(FileCount(job));
    bool cancelled = job.cancel != JobGoOn;
    for (const std::wstring& element : job.fileList) {
        if (cancelled) break;
        job.currentItem = element;
        PublishProgress(job, 0, TotalPercent(job, 0), element, false);
        if (!TransferOne(job, element) && job.cancel != JobQuitting) ++job.failures;
        job.progress += step;
        if (job.cancel != JobGoOn) {
            cancelled = true;
            break;
        }
    }
    if (Moves(job) && !cancelled) RemoveMovedFolders(job);
    job.result = job.failures == 0 ? 1 : 0;
    tk_event_post(EventJobDone, job.window);
}
