// CopyMoveCommand and its checks, on the main thread: the confirmation,
// refusing a copy or move onto itself, the one overwrite question, the
// collection of selected folders, then the progress window and the worker.
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/fileops/copy_job.h"
#include "app/fileops/fileops.h"
#include "app/fileops/fileops_internal.h"
#include "app/fileops/fileops_texts.h"
#include "app/fileops/message_dialog.h"
#include "app/panes/pane_changed.h"
#include "app/panes/panes.h"
#include "runtime/file_checks.h"
#include "runtime/files.h"
#include "toolkit/busy.h"
#include "toolkit/events.h"
#include "toolkit/gadget_ops.h"

namespace {

struct Refusal {
    bool refused = false;
    bool folderAmongRefused = false;
    bool sameFolder = false;
};

int64_t Ask(const std::wstring& headline, const std::wstring& text) {
    return FileopsMessage(MessageKindQuestion, TextAttention, headline, text, MessageTwoButtons,
                          WinMain);
}

void ShowError(const std::wstring& text) {
    FileopsMessage(MessageKindError, TextAttention, TextError, text, MessageOneButton, WinMain);
}

bool Confirmed(const std::wstring& targetFolder, int64_t move) {
    const std::wstring question = move ? TextMoveQuestion : TextCopyQuestion;
    return Ask(move ? TextMoveHeadline : TextCopyHeadline,
               question + L'\r' + targetFolder + TextQuestionEnd) == MessageAnswerOk;
}

// A folder of its own, not a link to one: only such a folder is entered.
bool IsRealFolder(const std::wstring& path) {
    return rt_path_kind(path) == PathFolder;
}

// Sorts one selected item into the job, or marks why it is refused. The
// folders are compared as the real folders, so a link in a pane's path
// cannot hide that source and target are one.
void Classify(const std::wstring& name, bool sameFolder, Refusal& r) {
    const std::wstring path = Job.sourceFolder + name;
    const bool folder = IsRealFolder(path);
    if (folder && rt_path_inside(path, Job.targetFolder)) {
        r.refused = r.folderAmongRefused = true;
    } else if (sameFolder) {
        r.refused = r.sameFolder = true;
        if (rt_file_size(path) == RtSizeFolder) r.folderAmongRefused = true;
    } else if (!folder) {
        Job.fileList.push_back(name);
    } else {
        Job.folderList.push_back(path);
        // A move within one file system into a folder that has no such entry
        // yet takes the folder over whole by one rename.
        const bool whole = Job.move && !rt_path_exists(Job.targetFolder + name) &&
                           rt_path_same_device(path, Job.targetFolder);
        Job.folderWhole.push_back(whole ? 1 : 0);
    }
}

const wchar_t* RefusalText(const Refusal& r, int64_t move) {
    if (r.folderAmongRefused) {
        if (!r.sameFolder) return TextFolderIntoItself;
        return move ? TextFolderMoveSameFolder : TextFolderCopyOnItself;
    }
    return r.sameFolder && move ? TextFileMoveOnItself : TextFileCopyOnItself;
}

// After a refusal: go on with the accepted folders if the user agrees.
bool GoOnAfterRefusal(const Refusal& r, int64_t move) {
    if (!r.refused) return true;
    if (!Job.folderList.empty()) return Ask(TextError, TextOtherFiles) == MessageAnswerOk;
    ShowError(RefusalText(r, move));
    return false;
}

// Collects the selected folders that are copied file by file; the main
// window shows the busy cursor meanwhile.
void CollectSelectedFolders() {
    tk_busy_cursor(1);
    for (size_t k = 0; k < Job.folderList.size(); ++k)
        if (!Job.folderWhole[k]) CollectFolder(Job.folderList[k] + L"/", Job.targetFolder);
    tk_busy_cursor(0);
}

} // namespace

int64_t CheckOverwrite() {
    // What is on disk decides, not what a pane happens to show.
    for (const std::wstring& folder : Job.folderList) {
        const std::wstring name = rt_path_name(folder);
        if (rt_path_exists(Job.targetFolder + name))
            return Ask(TextFolderExists, TextFolderOverwrite) == MessageAnswerOk ? 6 : 7;
    }
    for (const std::wstring& element : Job.fileList)
        if (rt_path_exists(JobTargetOf(element)))
            return Ask(TextFileExists, TextFileOverwrite) == MessageAnswerOk ? 6 : 7;
    return 0;
}

void CopyMoveCommand(const std::wstring& names, const std::wstring& sourceFolder,
                     const std::wstring& targetFolder, int64_t move) {
    if (!Confirmed(targetFolder, move)) return;
    if (FileJobRunning()) return;
    ResetJob(sourceFolder, targetFolder, move ? 1 : 0);
    const bool sameFolder = rt_path_same_entry(sourceFolder, targetFolder);
    Refusal r;
    for (const std::wstring& name : ItemListSplit(names))
        if (!name.empty() && name != L"." && name != L"..") Classify(name, sameFolder, r);
    if (!GoOnAfterRefusal(r, move)) return;
    if (CheckOverwrite() == 7) return;
    CollectSelectedFolders();
    OpenProgressWindow(0);
    MarkPaneChanged(Job.targetPane);
    Job.thread = rt_thread_create(CopyWorker, 0);
    if (!Job.thread) {
        // No worker: nothing was copied, and the window must not wait for one.
        Job.result = 0;
        Job.failures = 1;
        tk_event_post(EventJobDone, WinCopyProgress);
    }
    tk_gadget_activate(App.ActivePane);
}

void CopyMoveBetweenPanes(const std::wstring& names, int64_t source, int64_t target, int64_t move) {
    Job.sourcePane = source;
    Job.targetPane = target;
    CopyMoveCommand(names, PanePath(source), PanePath(target), move);
}

void DropOntoPane(int64_t pane, int64_t action, const std::wstring& files,
                  const std::wstring& selected) {
    std::wstring target = PanePath(pane);
    if (target.empty() || (action != TkDropCopy && action != TkDropMove)) return;
    if (!selected.empty() && rt_file_size(target + selected) == RtSizeFolder)
        target += selected + L"/";
    // The folder of the first file is the source; files from other folders
    // (possible in drops from other programs) are left out, since a bare
    // name would name a different file in the source folder.
    const std::vector<std::wstring> paths = ItemListSplit(files + L'\n');
    if (paths.empty()) return;
    const std::wstring from = rt_path_folder(paths[0]);
    if (from.empty() || from == target) return;
    std::wstring names;
    for (const std::wstring& path : paths)
        if (path.size() > from.size() && path.compare(0, from.size(), from) == 0 &&
            path.find(L'/', from.size()) == std::wstring::npos)
            names += path.substr(from.size()) + L'\n';
    CopyMoveCommand(names, from, target, action == TkDropMove ? 1 : 0);
}
