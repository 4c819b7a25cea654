// CopyWorker, on the worker thread: collects the selected trees
// (copy_collect.cpp), makes the target folders, hands the files to the copy
// threads (file_worker_pool.cpp, each file in file_worker_transfer.cpp),
// then gives every folder it made the source's mode and times, now that
// its contents are written, and at the end of a move removes the source
// folders that were emptied. Collecting here, not on the main thread, keeps
// the window answering while a tree on a slow mount is walked.
//
// A failure is a question about that one file (job_questions.h); whatever
// failed, was skipped or was left by a cancel keeps its source, and so does
// every folder above it. Temporaries that killed copies left in a target
// folder are removed before anything is written there.
#include "app/core/ids.h"
#include "app/fileops/copy_job.h"
#include "app/fileops/file_work.h"
#include "app/fileops/fileops_ids.h"
#include "app/fileops/fileops_internal.h"
#include "app/fileops/job_journal.h"
#include "app/fileops/job_questions.h"
#include "runtime/error_text.h"
#include "runtime/os_path.h"
#include "runtime/replace.h"
#include "runtime/text.h"
#include "toolkit/events.h"

#include <cerrno>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>

namespace {

bool IsFolder(const WorkItem& item) {
    return S_ISDIR(item.entry.mode);
}

// One folder of the target: made private until its contents are in, or
// taken as it is when it is there already (its files are asked about).
void MakeFolder(FileWork& w, WorkItem& item) {
    for (;;) {
        PfCopyResult r;
        const int made = pf_copy_folder_create(item.target, &r);
        if (made == PfCopyDone) {
            item.state = ItemDone;
            RecordStep(w, StepFolderCreated, item.source, item.target);
            return;
        }
        if (made == PfCopyTargetExists) {
            item.state = ItemMerged;
            rt_replace_remove_stale_in(item.target);
            return;
        }
        if (AskAboutFailure(w, item.source, pf_copy_reason(r)) != JobAnswerRetry) {
            item.state = ItemKept;
            return;
        }
    }
}

void MakeFolders(FileWork& w) {
    rt_replace_remove_stale_in(rt_os_strip_slashes(rt_text_to_os(w.job.targetFolder)));
    for (WorkItem& item : w.items) {
        if (WorkStopped(w)) return;
        if (!IsFolder(item) || item.state != ItemPending) continue;
        if (!ParentReady(w, item))
            item.state = ItemBlocked;
        else
            MakeFolder(w, item);
    }
}

// Children before parents: a folder's mode may forbid writing into it.
void FinishFolders(FileWork& w) {
    for (auto it = w.items.rbegin(); it != w.items.rend(); ++it)
        if (IsFolder(*it) && it->state == ItemDone)
            pf_copy_folder_finish(it->source, it->target, it->entry);
}

// A folder of a move whose whole contents arrived. One that still holds
// anything stays: what is in it failed, was skipped, or came meanwhile.
void RemoveMovedFolders(FileWork& w) {
    std::set<int> kept; // folders holding something that stays
    for (size_t i = 0; i < w.items.size(); ++i) {
        const WorkItem& item = w.items[i];
        if (item.state != ItemDone && item.state != ItemMerged)
            for (int p = item.parent; p >= 0; p = w.items[static_cast<size_t>(p)].parent)
                kept.insert(p);
    }
    for (size_t i = w.items.size(); i-- > 0;) {
        WorkItem& item = w.items[i];
        if (!IsFolder(item) || kept.count(static_cast<int>(i)) ||
            (item.state != ItemDone && item.state != ItemMerged))
            continue;
        if (UnlinkAt(item.source, AT_REMOVEDIR)) {
            RecordStep(w, StepFolderRemoved, item.source, "");
        } else if (errno != ENOTEMPTY && errno != EEXIST && errno != ENOENT) {
            RecordFailure(w, item.source, rt_error_text(errno));
        }
    }
}

} // namespace

void CopyWorker(intptr_t parameter) {
    CopyJob& job = *reinterpret_cast<CopyJob*>(parameter);
    {
        FileWork w(job);
        if (job.verify) w.copyFlags |= PfCopyVerify;
        CollectJob(w);
        JournalJobReady(job);
        MakeFolders(w);
        if (!WorkStopped(w)) CopyFiles(w);
        FinishFolders(w);
        if (job.operation == JobMove) RemoveMovedFolders(w);
        job.result = job.failures == 0 ? 1 : 0;
        {
            std::lock_guard guard(w.recordLock);
            w.lastTotal = 100;
        }
        ShowWork(w, 100, "", true);
    }
    tk_event_post(EventJobDone, job.window);
}
