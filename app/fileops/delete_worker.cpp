// DeleteWorker, on the worker thread: the selected files one by one, the
// selected folders with everything in them through rt_tree_delete, which
// works relative to open folders (any depth), never opens what it removes
// (FIFOs, sockets and devices included) and never follows a link out of
// the tree. Pause and cancel act before the next entry. A failure is a
// question about that entry (job_questions.h); what is skipped stays, and
// so does every folder holding it, each failure listed for the job's end.
#include "app/core/ids.h"
#include "app/fileops/copy_job.h"
#include "app/fileops/file_work.h"
#include "app/fileops/fileops_internal.h"
#include "app/fileops/job_questions.h"
#include "runtime/error_text.h"
#include "runtime/text.h"
#include "runtime/tree.h"
#include "toolkit/events.h"

#include <cerrno>
#include <sys/stat.h>

namespace {

int DeleteFailed(const std::string& path, int error, void* user) {
    FileWork& w = *static_cast<FileWork*>(user);
    const int answer = AskAboutFailure(w, path, rt_error_text(error));
    if (answer == JobAnswerRetry) return RtTreeRetry;
    return answer == JobAnswerStop ? RtTreeStop : RtTreeSkip;
}

// A selected file, link or special file. A name that has become a folder
// since the questions stays with all it holds: nobody was asked about it.
void DeleteFile(FileWork& w, const std::string& path) {
    for (;;) {
        if (UnlinkAt(path, 0)) {
            RecordStep(w, StepDeleted, path, "");
            return;
        }
        if (errno == ENOENT) return; // gone already
        if (AskAboutFailure(w, path, rt_error_text(errno)) != JobAnswerRetry) return;
    }
}

void DeleteFolder(FileWork& w, const std::string& folder) {
    if (rt_tree_delete(folder, RtTreeForce, &w.job.control, DeleteFailed, &w) == RtTreeComplete)
        RecordStep(w, StepDeleted, folder, "");
}

void Report(CopyJob& job, size_t done, size_t count, const std::wstring& item) {
    PublishProgress(job, 0, count ? static_cast<int>(done * 100 / count) : 100, item, false);
}

} // namespace

void DeleteWorker(intptr_t parameter) {
    CopyJob& job = *reinterpret_cast<CopyJob*>(parameter);
    {
        FileWork w(job);
        // The bar counts the selected files; a folder goes as one.
        const size_t count = job.fileList.size();
        size_t done = 0;
        for (const std::wstring& name : job.fileList) {
            if (WorkStopped(w)) break;
            DeleteFile(w, rt_text_to_os(ListedSource(job, name)));
            Report(job, ++done, count, name);
        }
        for (const std::wstring& folder : job.folderList) {
            if (WorkStopped(w)) break;
            DeleteFolder(w, rt_text_to_os(folder));
        }
        job.result = job.failures == 0 ? 1 : 0;
    }
    PublishProgress(job, 0, 100, L"", true);
    tk_event_post(EventJobDone, job.window);
    tk_event_post(EventDirChanged, WinMain);
}
