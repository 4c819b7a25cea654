// One file, link or special file of a copy or move, with its questions: a
// move within one file system is a rename that never replaces anything;
// otherwise the engine copies into a hidden temporary and gives it the name
// only while the name is free, or holds exactly the file the user agreed to
// replace. So a target that appears while the job runs is asked about when
// it is met, never replaced unseen. A move deletes its source only after
// the copy is complete (and verified, with "Kopien prüfen"); a source whose
// copy failed, was skipped or cancelled stays.
#include "app/fileops/copy_job.h"
#include "app/fileops/file_work.h"
#include "app/fileops/fileops_internal.h"
#include "app/fileops/job_questions.h"
#include "runtime/error_text.h"
#include "runtime/syscalls.h"

#include <cerrno>
#include <linux/fs.h>
#include <sys/stat.h>

namespace {

struct FileProgress {
    FileWork* work;
    const std::string* item;
};

int OnChunk(int64_t total, int64_t done, void* user) {
    auto& p = *static_cast<FileProgress*>(user);
    // Quitting rolls the file back at once; "Abbrechen" lets it finish.
    if (p.work->job.cancel == JobQuitting) return 0;
    ShowWork(*p.work, total > 0 ? static_cast<int>(done * 100 / total) : 0, *p.item, false);
    return 1;
}

// A rename that refuses an existing target, also where the file system
// cannot refuse by itself (a look first is the best it allows there).
bool RenameFree(const std::string& from, const std::string& to) {
    if (RenameAt(from, to, RENAME_NOREPLACE)) return true;
    if (errno != EINVAL) return false;
    struct stat st;
    if (rt_sys.lstat(to.c_str(), &st) == 0) {
        errno = EEXIST;
        return false;
    }
    return RenameAt(from, to, 0);
}

bool InFreshFolder(const FileWork& w, const WorkItem& item) {
    return item.parent >= 0 && w.items[static_cast<size_t>(item.parent)].state == ItemDone;
}

// Values of the steps below.
enum Next { Arrived, GoCopy, GaveUp };

// A move within one file system. GoCopy when the rename cannot do it
// (another file system, a name that is taken: the copy asks about it).
Next TryRename(FileWork& w, WorkItem& item) {
    for (;;) {
        if (RenameFree(item.source, item.target)) {
            RecordStep(w, StepMoved, item.source, item.target);
            return Arrived;
        }
        const int error = errno;
        if (error == EXDEV) w.crossDevice = true;
        if (error == EXDEV || error == EEXIST || error == ENOTEMPTY) return GoCopy;
        if (AskAboutFailure(w, item.source, rt_error_text(error)) != JobAnswerRetry) return GaveUp;
    }
}

// The copy into the target, asking about a target that is there.
Next CopyIn(FileWork& w, WorkItem& item) {
    FileProgress progress{&w, &item.source};
    PfCopyOptions o;
    o.flags = w.copyFlags;
    o.links = &w.links;
    o.progress = OnChunk;
    o.user = &progress;
    // Asked before the bytes go, so that a large file is not copied twice;
    // the engine still refuses whatever stands there by the time it is done
    // unless it is the very file the user agreed to. A file going into a
    // folder this job made needs no look first: that folder was empty, and
    // what appeared in it since is refused by the engine and asked about.
    bool ask = !InFreshFolder(w, item);
    for (;;) {
        if (ask) {
            const PfCopyIdentity there = pf_copy_identity(item.target);
            o.replace = there.exists ? PfReplaceExactly : PfReplaceNever;
            o.agreed = there;
            if (there.exists && AskAboutTarget(w, item, there) != JobAnswerOverwrite) return GaveUp;
            ask = false;
        }
        PfCopyResult r;
        switch (pf_copy_entry(item.source, item.target, o, &w.job.control, &r)) {
        case PfCopyDone: return Arrived;
        case PfCopyCancelled: return GaveUp;
        case PfCopyTargetExists:
        case PfCopyTargetChanged: ask = true; continue; // something new stands there
        default:
            if (AskAboutFailure(w, item.source, pf_copy_reason(r)) != JobAnswerRetry) return GaveUp;
        }
    }
}

// The source of a completed copy of a move.
bool RemoveSource(FileWork& w, WorkItem& item) {
    for (;;) {
        if (UnlinkAt(item.source, 0) || errno == ENOENT) return true;
        if (AskAboutFailure(w, item.source, rt_error_text(errno)) != JobAnswerRetry) return false;
    }
}

} // namespace

void TransferItem(FileWork& w, WorkItem& item) {
    const bool move = w.job.operation == JobMove;
    const int64_t bytes = S_ISREG(item.entry.mode) ? item.entry.size : 0;
    item.state = ItemKept;
    // Queued before a cancel: it is not started any more.
    if (WorkStopped(w)) {
        w.settled += bytes;
        return;
    }
    ShowWork(w, 0, item.source, false);
    if (move && !w.crossDevice) {
        const Next renamed = TryRename(w, item);
        if (renamed != GoCopy) {
            // Renamed or given up: no bytes went through the engine.
            w.settled += bytes;
            if (renamed == Arrived) item.state = ItemDone;
            return;
        }
    }
    if (CopyIn(w, item) != Arrived) {
        w.settled += bytes;
        return;
    }
    if (move && RemoveSource(w, item)) {
        item.state = ItemDone;
        RecordStep(w, StepMoved, item.source, item.target);
        return;
    }
    // A copy, or a move whose source could not go: the copy stays all the same.
    item.state = move ? ItemKept : ItemDone;
    RecordStep(w, StepCopied, item.source, item.target);
}
