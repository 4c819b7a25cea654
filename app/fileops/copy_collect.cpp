// Collecting the files of selected folders and creating their counterparts
// in the target, and where a file-list element goes. Each entry is looked at
// once, by the enumeration; symbolic links are never entered.
#include "app/fileops/copy_job.h"
#include "app/fileops/fileops_internal.h"
#include "app/fileops/job_journal.h"
#include "runtime/files.h"

namespace {

// The part of a path below the job's source folder: only a leading source
// folder is taken off, so a sub-folder that happens to repeat the source
// folder's text keeps its place.
std::wstring BelowSource(const CopyJob& job, const std::wstring& path) {
    const std::wstring& source = job.sourceFolder;
    if (path.size() >= source.size() && path.compare(0, source.size(), source) == 0)
        return path.substr(source.size());
    return path;
}

std::wstring WithoutSlash(std::wstring path) {
    if (path.size() > 1 && path.back() == L'/') path.pop_back();
    return path;
}

} // namespace

std::wstring JobSourceOf(const CopyJob& job, const std::wstring& element) {
    return element.find(L'/') == std::wstring::npos ? job.sourceFolder + element : element;
}

std::wstring JobTargetOf(const CopyJob& job, const std::wstring& element) {
    return job.targetFolder + BelowSource(job, element);
}

int64_t CreateTargetFolder(CopyJob& job, const std::wstring& folder) {
    const std::wstring target = job.targetFolder + BelowSource(job, folder);
    if (rt_dir_create(target)) {
        job.steps.push_back({StepFolderCreated, WithoutSlash(folder), WithoutSlash(target)});
        JournalJobStep(job, job.steps.back());
        return 1;
    }
    return rt_file_size(target) == RtSizeFolder ? 1 : 0;
}

void CollectFolder(CopyJob& job, const std::wstring& folder) {
    if (job.targetFolder.empty()) return;
    job.sourceFolders.push_back(folder);
    CreateTargetFolder(job, folder);
    const int number = rt_dir_examine(-1, folder, L"*.*");
    if (!number) return;
    std::vector<std::wstring> subfolders;
    // A collection hanging on a slow mount can still be cancelled.
    while (job.cancel == JobGoOn && rt_dir_next(number)) {
        std::wstring name = rt_dir_entry_name(number);
        if (name == L"." || name == L"..") continue;
        const bool link = rt_dir_entry_attributes(number) & RtAttrLink;
        if (!link && rt_dir_entry_type(number) == RtEntryFolder)
            subfolders.push_back(std::move(name));
        else
            job.fileList.push_back(folder + name);
    }
    // One enumeration open at a time, however deep the tree.
    rt_dir_finish(number);
    for (const std::wstring& name : subfolders)
        if (job.cancel == JobGoOn) CollectFolder(job, folder + name + L"/");
}
