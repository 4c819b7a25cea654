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
#include "platform/file_copy.h"
#include "runtime/file_checks.h"
#include "runtime/files.h"
#include "toolkit/events.h"

#include <cmath>

namespace {

int FileCount() {
    return Job.fileList.empty() ? 1 : static_cast<int>(Job.fileList.size());
}

int TotalPercent(int filePercent) {
    return static_cast<int>(std::nearbyint(filePercent / FileCount() + Job.progress));
}

// The selected folders copied file by file: their files join the file list.
void CollectSelectedFolders() {
    for (size_t k = 0; k < Job.folderList.size() && Job.cancel == JobGoOn; ++k)
        if (!Job.folderWhole[k]) CollectFolder(Job.folderList[k] + L"/", Job.targetFolder);
}

// Selected folders of a move that can be taken over whole: one rename each.
// A folder whose rename fails is collected here instead, and its files join
// the file list.
void MoveWholeFolders() {
    for (size_t k = 0; k < Job.folderWhole.size(); ++k) {
        if (!Job.folderWhole[k]) continue;
        const std::wstring& folder = Job.folderList[k];
        const std::wstring target = Job.targetFolder + rt_path_name(folder);
        if (rt_file_rename(folder, target)) continue;
        Job.folderWhole[k] = 0;
        CollectFolder(folder + L"/", Job.targetFolder);
    }
}

// One element: 1 when it arrived (and, for a move, left its source).
int TransferOne(const std::wstring& element) {
    const std::wstring source = JobSourceOf(element);
    const std::wstring target = JobTargetOf(element);
    if (Job.move && rt_file_rename(source, target)) return 1;
    if (!pf_file_copy(source, target, CopyProgress, nullptr)) return 0;
    // The copy is complete; only now may the source go.
    if (Job.move && !rt_file_delete(source, RtDeleteForce)) return 0;
    return 1;
}

// The emptied source folders of a move, children before parents. A folder
// still holding something (a file that failed, or arrived meanwhile) stays.
void RemoveMovedFolders() {
    for (auto it = Job.sourceFolders.rbegin(); it != Job.sourceFolders.rend(); ++it)
        if (rt_dir_remove_empty(*it) == 0) ++Job.failures;
}

} // namespace

int CopyProgress(int64_t total, int64_t done, void* /*user*/) {
    if (Job.cancel == JobQuitting) return 0;
    const int filePercent = total > 0 ? static_cast<int>(done * (100.0 / total)) : 0;
    PublishProgress(filePercent, TotalPercent(filePercent), Job.currentItem, false);
    return 1;
}

void CopyWorker(intptr_t /*parameter*/) {
    rt_mutex_lock(Job.mutex);
    CollectSelectedFolders();
    if (Job.move && Job.cancel == JobGoOn) MoveWholeFolders();
    const float step = 100.0f / static_cast<float>(FileCount());
    bool cancelled = Job.cancel != JobGoOn;
    for (const std::wstring& element : Job.fileList) {
        if (cancelled) break;
        Job.currentItem = element;
        PublishProgress(0, TotalPercent(0), element, false);
        if (!TransferOne(element) && Job.cancel != JobQuitting) ++Job.failures;
        Job.progress += step;
        if (Job.cancel != JobGoOn) {
            cancelled = true;
            break;
        }
    }
    if (Job.move && !cancelled) RemoveMovedFolders();
    Job.result = Job.failures == 0 ? 1 : 0;
    Job.cancel = JobGoOn;
    rt_mutex_unlock(Job.mutex);
    Job.fileList.clear();
    Job.folderList.clear();
    tk_event_post(Job.doneEvent, WinCopyProgress);
}
