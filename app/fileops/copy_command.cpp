// CopyMoveCommand and its checks: the confirmation, refusing a copy or move
// onto itself, the one overwrite question, then the progress window and the
// worker, which collects the files of the selected folders before it copies.
//
// The main thread asks and decides; every look at the file system before the
// job starts is a question answered on a thread of its own (AskAside), so a
// selection or target on a hanging mount leaves the window answering. What
// the command needs (names, folders, panes) is taken when it is called and
// travels in a CopyPlan; the job's record is made only when the worker
// starts, and only if no other job began meanwhile: one job at a time is
// this command's rule.
#include "app/core/answers.h"
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/core/item_list.h"
#include "app/core/message_dialog.h"
#include "app/fileops/copy_job.h"
#include "app/fileops/fileops.h"
#include "app/fileops/fileops_internal.h"
#include "app/fileops/fileops_texts.h"
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

// Values of CopyPlan::conflict.
enum : int { NoConflict = 0, FolderConflict = 1, FileConflict = 2 };

// What the overwrite question decided.
enum class Overwrite { NotAsked, GoOn, Abandon };

// One command on its way to a job. Taken on the main thread; the questions
// fill in the rest on their threads, the deliveries read it on the main one.
struct CopyPlan {
    std::wstring sourceFolder, targetFolder;
    int move = 0;
    intptr_t sourcePane = 0, targetPane = 0; // PaneReport, 0 for none
    std::vector<std::wstring> names;
    // answers
    Refusal refusal;
    std::vector<std::wstring> fileList, folderList;
    std::vector<uint8_t> folderWhole;
    std::vector<RtIdentity> fileIdentities;
    int conflict = NoConflict;
};
using Plan = std::shared_ptr<CopyPlan>;

int64_t Ask(const std::wstring& headline, const std::wstring& text) {
    return Messages.Dialog(MessageKindQuestion, TextAttention, headline, text, MessageTwoButtons,
                           WinMain);
}

void ShowError(const std::wstring& text) {
    Messages.Dialog(MessageKindError, TextAttention, TextError, text, MessageOneButton, WinMain);
}

bool Confirmed(const std::wstring& targetFolder, int64_t move) {
    const std::wstring question = move ? TextMoveQuestion : TextCopyQuestion;
    return Ask(move ? TextMoveHeadline : TextCopyHeadline,
               question + L'\r' + targetFolder + TextQuestionEnd) == MessageAnswerOk;
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
    const bool sameFolder = rt_path_same_entry(p.sourceFolder, p.targetFolder);
    for (const std::wstring& name : p.names)
        if (!name.empty() && name != L"." && name != L"..") Classify(p, name, sameFolder);
}

// The first accepted item whose name is taken in the target: what is on
// disk decides, not what a pane happens to show. On the question's thread.
int FirstConflict(const CopyPlan& p) {
    for (const std::wstring& folder : p.folderList)
        if (rt_path_exists(p.targetFolder + rt_path_name(folder))) return FolderConflict;
    for (const std::wstring& name : p.fileList)
        if (rt_path_exists(p.targetFolder + name)) return FileConflict;
    return NoConflict;
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

// One question for the first conflict.
Overwrite OverwriteAnswer(const CopyPlan& p) {
    if (p.conflict == NoConflict) return Overwrite::NotAsked;
    const bool folder = p.conflict == FolderConflict;
    return Ask(folder ? TextFolderExists : TextFileExists,
               folder ? TextFolderOverwrite : TextFileOverwrite) == MessageAnswerOk
               ? Overwrite::GoOn
               : Overwrite::Abandon;
}

void StartCopyJob(CopyPlan& p) {
    // A job may have started while the questions were out.
    if (FileJobRunning()) return;
    CopyJob& job = NewFileJob(p.move ? JobMove : JobCopy, p.sourceFolder, p.targetFolder);
    job.sourcePane = p.sourcePane;
    job.targetPane = p.targetPane;
    job.fileList = std::move(p.fileList);
    job.folderList = std::move(p.folderList);
    job.folderWhole = std::move(p.folderWhole);
    job.fileIdentities = std::move(p.fileIdentities);
    // The target pane's watcher reports even when the file system says
    // nothing (a network folder).
    if (Pane* target = PaneOfReport(job.targetPane)) MarkPaneChanged(*target);
    StartFileJob(job, CopyWorker);
    tk_gadget_activate(App.ActivePane);
}

void AfterOverwriteCheck(const Plan& p) {
    if (OverwriteAnswer(*p) == Overwrite::Abandon) return;
    StartCopyJob(*p);
}

void AfterClassified(const Plan& p) {
    if (!GoOnAfterRefusal(*p)) return;
    AskAside(
        AskAnyTime, [p] { p->conflict = FirstConflict(*p); }, [p] { AfterOverwriteCheck(p); });
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
    if (!Confirmed(targetFolder, move)) return;
    if (FileJobRunning()) return;
    auto p = std::make_shared<CopyPlan>();
    p->sourceFolder = sourceFolder;
    p->targetFolder = targetFolder;
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
