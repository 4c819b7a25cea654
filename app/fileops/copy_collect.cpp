// Collecting what a copy or move will do: every selected item and, for a
// folder, everything below it, walked with rt_tree_collect (relative to
// open folders, so depth and path length do not matter; links are entries,
// never entered), each entry with its source and target path. A folder that
// cannot be listed is asked about like any failure; when skipped it stays a
// failure of the job and nothing of it is copied or moved.
//
// A move tries a selected folder first as one rename; what the rename takes
// over needs no collecting.
#include "app/fileops/copy_job.h"
#include "app/fileops/file_work.h"
#include "app/fileops/fileops_internal.h"
#include "app/fileops/job_questions.h"
#include "runtime/error_text.h"
#include "runtime/text.h"

#include <cerrno>
#include <linux/fs.h>
#include <map>
#include <sys/stat.h>

namespace {

std::string Os(const std::wstring& path) {
    return rt_text_to_os(path);
}

std::string NameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The walk's failure function: a folder that cannot be listed.
int CollectFailed(const std::string& path, int error, void* user) {
    FileWork& w = *static_cast<FileWork*>(user);
    const int answer = AskAboutFailure(w, path, rt_error_text(error));
    if (answer == JobAnswerRetry) return RtTreeRetry;
    return answer == JobAnswerStop ? RtTreeStop : RtTreeSkip;
}

// Appends the entries of one selected item that goes to `target`.
void CollectOne(FileWork& w, const std::string& root, const std::string& target) {
    std::vector<RtTreeEntry> found;
    rt_tree_collect(root, &found, &w.job.control, CollectFailed, &w);
    std::map<std::string, int> folders; // entry path -> item index
    for (RtTreeEntry& e : found) {
        WorkItem item;
        item.source = e.path.empty() ? root : root + "/" + e.path;
        item.target = e.path.empty() ? target : target + "/" + e.path;
        const size_t slash = e.path.rfind('/');
        if (!e.path.empty()) {
            auto parent = folders.find(slash == std::string::npos ? "" : e.path.substr(0, slash));
            if (parent != folders.end()) item.parent = parent->second;
        }
        // Skipped when it could not be listed: it stays, and is a failure.
        if (e.error) item.state = ItemKept;
        if (S_ISDIR(e.mode)) folders[e.path] = static_cast<int>(w.items.size());
        if (S_ISREG(e.mode)) w.job.bytesTotal += e.size;
        item.entry = std::move(e);
        w.items.push_back(std::move(item));
    }
}

// A selected folder of a move taken over by one rename into a free name.
bool MovedWhole(FileWork& w, const std::string& folder, const std::string& into) {
    const std::string target = into + NameOf(folder);
    if (!RenameAt(folder, target, RENAME_NOREPLACE)) return false;
    RecordStep(w, StepMoved, folder, target);
    return true;
}

} // namespace

void CollectJob(FileWork& w) {
    CopyJob& job = w.job;
    const std::string into = Os(job.targetFolder);
    // Only a job of one selected file may give it a new name.
    const std::string renamed = job.targetName.empty() ? "" : into + Os(job.targetName);
    for (const std::wstring& name : job.fileList) {
        if (WorkStopped(w)) return;
        const std::string root = Os(ListedSource(job, name));
        CollectOne(w, root, renamed.empty() ? into + NameOf(root) : renamed);
    }
    for (size_t k = 0; k < job.folderList.size(); ++k) {
        if (WorkStopped(w)) return;
        const std::string folder = Os(job.folderList[k]);
        const bool whole =
            job.operation == JobMove && k < job.folderWhole.size() && job.folderWhole[k];
        if (!whole || !MovedWhole(w, folder, into)) CollectOne(w, folder, into + NameOf(folder));
    }
}
