// CopyMoveCommand and its checks: the confirmation, refusing a copy or move
// onto itself, then the progress window and the worker, which collects the
// files of the selected folders before it copies and asks about each
// existing target when it meets it.
//
// The main thread asks and decides; every look at the file system before the
// job starts is a question answered on a thread of its own (AskAside), so a
// selection or target on a hanging mount leaves the window answering. What
// the command needs (names, folders, panes) is taken when it is called and
// travels in a CopyPlan; the job's record is made once the questions are
// answered and goes to the queue, which starts it when its devices are free.
// The question shows the target in a field: a typed folder is the target, a
// typed new name of a single file its new name (target_question.h).
#include "app/core/answers.h"
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/core/item_list.h"
#include "app/core/message_dialog.h"
#include "app/fileops/copy_job.h"
#include "app/fileops/fileops.h"
#include "app/fileops/fileops_internal.h"
#include "app/fileops/fileops_texts.h"
#include "app/fileops/job_queue.h"
#include "app/fileops/target_question.h"
#include "app/fileops/remote_job.h"
#include "app/panes/pane.h"
#include "app/panes/pane_changed.h"
#include "app/panes/pane_sides.h"
#include "app/panes/panes.h"
#include "runtime/file_checks.h"
#include "runtime/files.h"
#include "toolkit/events.h"
#include "toolkit/gadget_ops.h"

#include <memory>

namespace {

struct Refusal {
    bool refused = false;
    bool folderAmongRefused = false;
    bool sameFolder = false;
};

// One command on its way to a job. Taken on the main thread; the questions
// fill in the rest on their threads, the deliveries read it on the main one.
struct CopyPlan {
    std::wstring sourceFolder, targetFolder;
    std::wstring typed;      // the target as the user left it in the question
    std::wstring targetName; // a new name for the one file, else empty
    int move = 0;
    intptr_t sourcePane = 0, targetPane = 0; // PaneReport, 0 for none
    std::vector<std::wstring> names;
    // answers
    Refusal refusal;
    std::vector<std::wstring> fileList, folderList;
    std::vector<uint8_t> folderWhole;
    std::vector<uint64_t> devices;
    std::wstring targetError; // the typed target is refused: why
    std::vector<RtIdentity> fileIdentities;
};
using Plan = std::shared_ptr<CopyPlan>;

int64_t Ask(const std::wstring& headline, const std::wstring& text) {
    return Messages.Dialog(MessageKindQuestion, TextAttention, headline, text, MessageTwoButtons,
                           WinMain);
}

void ShowError(const std::wstring& text) {
    Messages.Dialog(MessageKindError, TextAttention, TextError, text, MessageOneButton, WinMain);
}

// The question with the target in its field; false for no. target becomes
// what the user left in the field.
bool Confirmed(std::wstring& target, int64_t move) {
    std::wstring question = move ? TextMoveQuestion : TextCopyQuestion;
    while (!question.empty() && question.back() == L' ') question.pop_back();
    return AskTarget(move ? TextMoveHeadline : TextCopyHeadline, question, target, WinMain) ==
           MessageAnswerOk;
}

// Where the typed target leads, looked at on the question's thread. The
// target the command was given is taken as it is.
void ResolveTarget(CopyPlan& p) {
    if (p.typed == p.targetFolder) return;
    const bool oneFile =
        p.names.size() == 1 && rt_path_kind(p.sourceFolder + p.names[0]) != PathFolder;
    const TypedTarget t = ResolveTypedTarget(p.typed, p.sourceFolder, oneFile);
    p.targetFolder = t.folder;
    p.targetError = t.error;
    if (!t.name.empty() && t.name != p.names[0]) p.targetName = t.name;
}

// Sorts one selected item into the plan, or marks why it is refused. Only a
// folder of its own (not a link to one) is entered. The folders are compared
// as the real folders, so a link in a pane's path cannot hide that source
// and target are one. On the question's thread.
void Classify(CopyPlan& p, const std::wstring& name, bool sameFolder) {
    const std::wstring path = p.sourceFolder + name;
    // The one look at the entry tells its kind and what the undo will check.
    RtIdentity identity;
    rt_identity_take(path, &identity);
    const bool folder = identity.kind == RtIdFolder;
    Refusal& r = p.refusal;
    if (folder && rt_path_inside(path, p.targetFolder)) {
        r.refused = r.folderAmongRefused = true;
    } else if (sameFolder) {
        r.refused = r.sameFolder = true;
        if (rt_file_size(path) == RtSizeFolder) r.folderAmongRefused = true;
    } else if (!folder) {
        p.fileList.push_back(name);
        p.fileIdentities.push_back(identity);
    } else {
        p.folderList.push_back(path);
        // A move within one file system into a folder that has no such entry
        // yet takes the folder over whole by one rename.
        const bool whole = p.move && !rt_path_exists(p.targetFolder + name) &&
                           rt_path_same_device(path, p.targetFolder);
        p.folderWhole.push_back(whole ? 1 : 0);
    }
}

void ClassifyAll(CopyPlan& p) {
    ResolveTarget(p);
    if (p.targetFolder.empty()) return;
    // A copy under a new name may stay in its folder.
    const bool sameFolder =
        p.targetName.empty() && rt_path_same_entry(p.sourceFolder, p.targetFolder);
    for (const std::wstring& name : p.names)
        if (!name.empty() && name != L"." && name != L"..") Classify(p, name, sameFolder);
    p.devices = JobDevices(p.sourceFolder, p.targetFolder);
}

const wchar_t* RefusalText(const Refusal& r, int64_t move) {
    if (r.folderAmongRefused) {
        if (!r.sameFolder) return TextFolderIntoItself;
        return move ? TextFolderMoveSameFolder : TextFolderCopyOnItself;
    }
    return r.sameFolder && move ? TextFileMoveOnItself : TextFileCopyOnItself;
}

// After a refusal: go on with the accepted folders if the user agrees.
bool GoOnAfterRefusal(const CopyPlan& p) {
    if (!p.refusal.refused) return true;
    if (!p.folderList.empty()) return Ask(TextError, TextOtherFiles) == MessageAnswerOk;
    ShowError(RefusalText(p.refusal, p.move));
    return false;
}

void StartCopyJob(CopyPlan& p) {
    CopyJob& job = NewFileJob(p.move ? JobMove : JobCopy, p.sourceFolder, p.targetFolder);
    job.sourcePane = p.sourcePane;
    job.targetPane = p.targetPane;
    job.fileList = std::move(p.fileList);
    job.folderList = std::move(p.folderList);
    job.folderWhole = std::move(p.folderWhole);
    job.devices = std::move(p.devices);
    job.targetName = p.targetName;
    job.fileIdentities = std::move(p.fileIdentities);
    // The target pane's watcher reports even when the file system says
    // nothing (a network folder).
    if (Pane* target = PaneOfReport(job.targetPane)) MarkPaneChanged(*target);
    StartFileJob(job, CopyWorker);
    tk_gadget_activate(App.ActivePane);
}

void AfterClassified(const Plan& p) {
    if (!p->targetError.empty()) {
        ShowError(p->targetError);
        return;
    }
    // Existing targets are asked about one by one when the worker meets them.
    if (GoOnAfterRefusal(*p)) StartCopyJob(*p);
}

// PaneReport of the pane list shows, 0 for none.
intptr_t ReportOfList(int64_t list) {
    const Pane* pane = PaneOf(list);
    return pane ? PaneReport(*pane) : 0;
}

// The bare names of the dropped paths that lie directly in from. Files from
// other folders (possible in drops from other programs) are left out, since
// a bare name would name a different file in the source folder.
std::wstring NamesIn(const std::vector<std::wstring>& paths, const std::wstring& from) {
    std::wstring names;
    for (const std::wstring& path : paths)
        if (path.size() > from.size() && path.compare(0, from.size(), from) == 0 &&
            path.find(L'/', from.size()) == std::wstring::npos)
            names += path.substr(from.size()) + L'\n';
    return names;
}

} // namespace

void CopyMoveCommand(const std::wstring& names, const std::wstring& sourceFolder,
                     const std::wstring& targetFolder, int64_t move, int64_t sourcePane,
                     int64_t targetPane) {
    std::wstring typed = targetFolder;
    if (!Confirmed(typed, move)) return;
    if (RemoteJobPath(sourceFolder) || RemoteJobPath(typed))
        return RemoteCopyMoveCommand(names, sourceFolder, typed, move, sourcePane, targetPane);
    auto p = std::make_shared<CopyPlan>();
    p->sourceFolder = sourceFolder;
    p->targetFolder = targetFolder;
    p->typed = typed;
    p->move = move ? 1 : 0;
    p->sourcePane = ReportOfList(sourcePane);
    p->targetPane = ReportOfList(targetPane);
    p->names = ItemListSplit(names);
    AskAside(
        AskAnyTime, [p] { ClassifyAll(*p); }, [p] { AfterClassified(p); });
}

void CopyMoveBetweenPanes(const std::wstring& names, int64_t source, int64_t target, int64_t move) {
    CopyMoveCommand(names, PanePath(source), PanePath(target), move, source, target);
}

void DropOntoPane(int64_t pane, int64_t action, const std::wstring& files,
                  const std::wstring& selected) {
    const std::wstring folder = PanePath(pane);
    if (folder.empty() || (action != TkDropCopy && action != TkDropMove)) return;
    const std::vector<std::wstring> paths = ItemListSplit(files + L'\n');
    if (paths.empty()) return;
    // The ".." row is selected in a freshly listed pane: a drop onto that
    // pane goes into its folder, not into the parent. Whether the selected
    // row is a folder is asked off the main thread.
    const bool row = !selected.empty() && selected != L"..";
    auto into_row = std::make_shared<bool>(false);
    AskAside(
        AskAnyTime,
        [into_row, row, path = folder + selected] {
            *into_row = row && rt_file_size(path) == RtSizeFolder;
        },
        [into_row, paths, folder, selected, action, pane] {
            const std::wstring target = *into_row ? folder + selected + L"/" : folder;
            // The folder of the first file is the source.
            const std::wstring from = rt_path_folder(paths[0]);
            if (from.empty() || from == target) return;
            // A drop onto a folder row goes into no pane's folder.
            CopyMoveCommand(NamesIn(paths, from), from, target, action == TkDropMove ? 1 : 0,
                            ListShowingFolder(from), *into_row ? 0 : pane);
        });
}
