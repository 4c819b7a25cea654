// Delete: the two questions on the main thread, and DeleteWorker on the
// worker thread. Files go one by one, folders with everything in them; links
// are removed as links and never followed, so nothing outside the selection
// is touched. Whatever could not be deleted is counted and reported at the
// end.
//
// Nothing here looks at the file system on the main thread: whether a
// selected folder holds anything is a question answered on a thread of its
// own (PaneAsk), and the worker itself tells the selected folders from the
// files before it deletes, so a selection on a hanging mount leaves the
// window answering.
#include "app/core/ids.h"
#include "app/fileops/copy_job.h"
#include "app/fileops/fileops.h"
#include "app/fileops/fileops_internal.h"
#include "app/fileops/fileops_texts.h"
#include "app/fileops/message_dialog.h"
#include "app/panes/pane_answers.h"
#include "runtime/file_checks.h"
#include "runtime/files.h"
#include "toolkit/events.h"

#include <cmath>
#include <memory>

namespace {

int64_t Ask(const std::wstring& headline, const std::wstring& text) {
    return FileopsMessage(MessageKindQuestion, TextAttention, headline, text, MessageTwoButtons,
                          WinMain);
}

bool Deletable(const std::wstring& name) {
    return !name.empty() && name != L"." && name != L"..";
}

// A folder of its own (not a link to one) that lists anything.
bool HasContent(const std::wstring& path) {
    if (rt_path_kind(path) != PathFolder) return false;
    const int number = rt_dir_examine(-1, path + L"/", L"*.*");
    if (!number) return false;
    bool found = false;
    while (!found && rt_dir_next(number)) {
        const std::wstring name = rt_dir_entry_name(number);
        found = name != L"." && name != L"..";
    }
    rt_dir_finish(number);
    return found;
}

// Splits the selected names the command left in the file list: folders of
// their own go to the folder list as full paths, everything else (files,
// links) stays a bare name.
void SortSelection() {
    std::vector<std::wstring> names;
    names.swap(Job.fileList);
    for (std::wstring& name : names) {
        const std::wstring path = Job.sourceFolder + name;
        if (rt_path_kind(path) == PathFolder)
            Job.folderList.push_back(path);
        else
            Job.fileList.push_back(std::move(name));
    }
}

// Deletes the selected files; false when a cancel stopped the job.
bool DeleteFiles() {
    const float step = 100.0f / static_cast<float>(Job.fileList.size());
    for (const std::wstring& name : Job.fileList) {
        Job.currentItem = name;
        const std::wstring path = Job.sourceFolder + name;
        if (!rt_file_delete(path, RtDeleteForce) && rt_path_exists(path)) ++Job.failures;
        Job.progress += step;
        PublishProgress(0, static_cast<int>(Job.progress), name, false);
        if (Job.cancel != JobGoOn) return false;
    }
    return true;
}

bool DeleteFolders() {
    for (const std::wstring& folder : Job.folderList) {
        Job.currentItem = folder;
        if (!rt_dir_delete(folder, L"", RtDeleteRecursive | RtDeleteForce)) ++Job.failures;
        if (Job.cancel != JobGoOn) return false;
    }
    return true;
}

} // namespace

int64_t FolderHasContent(const std::wstring& folder, const std::wstring& names) {
    for (const std::wstring& name : ItemListSplit(names))
        if (Deletable(name) && HasContent(folder + name)) return 1;
    return 0;
}

void DeleteRequest(const std::wstring& names, const std::wstring& folder) {
    if (Ask(TextDeleteHeadline, TextDeleteQuestion) != MessageAnswerOk) return;
    auto full = std::make_shared<bool>(false);
    PaneAsk([full, names, folder] { *full = FolderHasContent(folder, names) != 0; },
            [full, names, folder] {
                if (*full && Ask(TextNotEmptyHeadline, TextNotEmptyQuestion) != MessageAnswerOk)
                    return;
                DeleteCommand(names, folder);
            });
}

void DeleteCommand(const std::wstring& names, const std::wstring& folder) {
    if (FileJobRunning()) return;
    ResetJob(folder, L"", 0);
    // The worker sorts them into files and folders.
    for (const std::wstring& name : ItemListSplit(names))
        if (Deletable(name)) Job.fileList.push_back(name);
    OpenProgressWindow(1);
    Job.thread = rt_thread_create(DeleteWorker, 0);
    if (!Job.thread) {
        Job.failures = 1;
        tk_event_post(EventJobDone, WinDeleteProgress);
    }
}

void DeleteWorker(intptr_t /*parameter*/) {
    rt_mutex_lock(Job.mutex);
    SortSelection();
    if (Job.cancel == JobGoOn && DeleteFiles()) DeleteFolders();
    Job.result = Job.failures == 0 ? 1 : 0;
    Job.cancel = JobGoOn;
    rt_mutex_unlock(Job.mutex);
    PublishProgress(0, 100, L"", true);
    Job.fileList.clear();
    Job.folderList.clear();
    tk_event_post(Job.doneEvent, WinDeleteProgress);
    tk_event_post(EventDirChanged, WinMain);
}
