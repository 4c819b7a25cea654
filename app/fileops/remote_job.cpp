// The remote file jobs: their commands (questions and checks) and their
// workers. See remote_job.h.
#include "app/fileops/remote_job.h"

#include "app/core/answers.h"
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/core/item_list.h"
#include "app/core/message_dialog.h"
#include "app/core/remote_ask.h"
#include "app/fileops/copy_job.h"
#include "app/fileops/file_work.h"
#include "app/fileops/fileops.h"
#include "app/fileops/fileops_internal.h"
#include "app/fileops/fileops_texts.h"
#include "app/fileops/job_journal.h"
#include "app/fileops/job_questions.h"
#include "app/fileops/remote_places.h"
#include "app/panes/pane.h"
#include "app/panes/pane_sides.h"
#include "platform/remote_copy.h"
#include "platform/remote_files.h"
#include "platform/remote_location.h"
#include "runtime/files.h"
#include "runtime/text.h"
#include "toolkit/events.h"
#include "toolkit/gadget_ops.h"

#include <chrono>
#include <memory>
#include <thread>

namespace {

constexpr const wchar_t* TextServerSilent = L"Der Server antwortet nicht, warte: ";
constexpr const wchar_t* TextCannotReach = L"Der Server ist nicht erreichbar:\n";

// How often the job's steering is passed on to its remote call.
constexpr int SteerIntervalMs = 20;

int64_t Ask(const std::wstring& headline, const std::wstring& text) {
    return Messages.Dialog(MessageKindQuestion, TextAttention, headline, text, MessageTwoButtons,
                           WinMain);
}

void ShowError(const std::wstring& text) {
    Messages.Dialog(MessageKindError, TextAttention, TextError, text, MessageOneButton, WinMain);
}

std::wstring WithoutSlash(std::wstring path) {
    if (path.size() > 1 && path.back() == L'/') path.pop_back();
    return path;
}

std::wstring NameOf(const std::wstring& path) {
    const std::wstring plain = WithoutSlash(path);
    return plain.substr(plain.rfind(L'/') + 1);
}

// ---- the worker's side ----

// One running job: its call, the thread that passes "Abbrechen", the end
// of the program and the control's pause on to the call, and what the
// job's questions keep (FileWork: one question at a time, the "all"
// answers), shared with the local jobs.
class Run {
  public:
    explicit Run(CopyJob& job) : job_(job), work_(job), call_(pf_remote_call_new()) {
        steer_ = std::thread([this] { Steer(); });
    }
    ~Run() {
        done_ = true;
        steer_.join();
        pf_remote_call_free(call_);
    }
    CopyJob& job() { return job_; }
    FileWork& work() { return work_; }
    PfRemoteCall* call() { return call_; }
    bool Cancelled() const {
        return job_.cancel != JobGoOn || job_.control.state == RtControlCancelled;
    }

    // Runs op until it works, fails for a reason of its own or the job is
    // cancelled; while the server does not answer, the window says so and
    // op is tried again.
    template <class Op> bool Patiently(const std::wstring& item, Op op) {
        for (;;) {
            if (Cancelled()) return false;
            if (op()) return true;
            if (pf_remote_call_status(call_) != PfRemoteNotAnswering || Cancelled()) return false;
            PublishProgress(job_, 0, static_cast<int>(job_.progress), TextServerSilent + item,
                            true);
        }
    }

    // The failure question about item after op failed: JobAnswerRetry, or
    // JobAnswerSkip (recorded) or JobAnswerStop (the job ends).
    int AskFailure(const std::wstring& item) {
        if (Cancelled()) return JobAnswerStop;
        return AskAboutFailure(work_, rt_text_to_os(item), RemoteFailureText(call_));
    }

    // Patiently, and a failure of op's own put to the user until it works,
    // is skipped or the job stops. true when op worked.
    template <class Op> bool Persistently(const std::wstring& item, Op op) {
        for (;;) {
            if (Patiently(item, op)) return true;
            if (AskFailure(item) != JobAnswerRetry) return false;
        }
    }

  private:
    void Steer() {
        while (!done_) {
            if (Cancelled()) pf_remote_call_cancel(call_);
            pf_remote_call_pause(call_, job_.control.state == RtControlPaused ? 1 : 0);
            std::this_thread::sleep_for(std::chrono::milliseconds(SteerIntervalMs));
        }
    }

    CopyJob& job_;
    FileWork work_;
    PfRemoteCall* call_;
    std::atomic<bool> done_{false};
    std::thread steer_;
};

// Both ends of a job are reachable: a remote one is mounted first.
bool Reachable(Run& run, const std::wstring& folder) {
    if (!RemotePlaceIsRemote(folder)) return true;
    return run.Persistently(folder, [&] { return RemoteMounted(run.call(), folder) != 0; });
}

// The progress of one remote file; returning 0 stops its copy.
int RemoteProgress(int64_t total, int64_t done, void* user) {
    CopyJob& job = *static_cast<CopyJob*>(user);
    if (job.cancel == JobQuitting || job.control.state == RtControlCancelled) return 0;
    const int filePercent = total > 0 ? static_cast<int>(done * (100.0 / total)) : 0;
    PublishProgress(job, filePercent, static_cast<int>(job.progress), job.currentItem, false);
    return 1;
}

// What the overwrite question shows of a file, local or remote; zeros
// when it cannot be looked at.
FileFacts FactsOf(Run& run, const std::wstring& path) {
    if (!RemotePlaceIsRemote(path)) return FileFactsOf(pf_copy_identity(rt_text_to_os(path)));
    RtDirEntry e;
    if (!pf_remote_query(run.call(), path, &e, nullptr, PfRemoteNoFollow)) return {};
    return {e.size, e.modified, 0};
}

// One file or link from source to target: copied, or moved (its source
// deleted only after the copy arrived). A target that is there is asked
// about when the copy finds it, as the local jobs ask. true when it arrived.
bool TransferFile(Run& run, const std::wstring& source, const std::wstring& target) {
    CopyJob& job = run.job();
    job.currentItem = source;
    PublishProgress(job, 0, static_cast<int>(job.progress), source, false);
    const bool move = job.operation == JobMove;
    int flags = 0;
    for (;;) {
        const bool ok = run.Patiently(source, [&] {
            return move ? pf_remote_move(run.call(), source, target, flags, RemoteProgress, &job)
                        : pf_remote_copy(run.call(), source, target, flags, RemoteProgress, &job);
        });
        if (ok) break;
        if (run.Cancelled()) return false;
        if (pf_remote_call_status(run.call()) == PfRemoteExists && !(flags & PfRemoteOverwrite)) {
            const FileFacts coming = FactsOf(run, source), there = FactsOf(run, target);
            if (AskAboutExisting(run.work(), NameOf(target), coming, there) != JobAnswerOverwrite)
                return false; // skipped, or the job stops
            flags = PfRemoteOverwrite;
            continue;
        }
        if (run.AskFailure(source) != JobAnswerRetry) return false;
    }
    job.steps.push_back({move ? StepMoved : StepCopied, source, target});
    return true;
}

// A folder and everything in it, entry by entry, into target (made first,
// or merged into when it is there). A move removes each source folder
// whose entries all arrived; one holding a skipped entry stays, as it does
// in a local move. true when everything arrived.
bool TransferFolder(Run& run, const std::wstring& source, const std::wstring& target) {
    CopyJob& job = run.job();
    if (!run.Persistently(target, [&] { return RemotePlaceMakeFolder(run.call(), target); }))
        return false;
    job.steps.push_back({StepFolderCreated, source, target});
    std::vector<RtDirEntry> entries;
    if (!run.Persistently(source, [&] { return RemotePlaceRead(run.call(), source, &entries); }))
        return false;
    bool all = true;
    for (const RtDirEntry& e : entries) {
        if (run.Cancelled()) return false;
        if (e.name == L"." || e.name == L"..") continue;
        const std::wstring from = source + L"/" + e.name, to = target + L"/" + e.name;
        const bool arrived = e.type == RtEntryFolder && !(e.attributes & RtAttrLink)
                                 ? TransferFolder(run, from, to)
                                 : TransferFile(run, from, to);
        all = all && arrived;
    }
    if (job.operation != JobMove || !all || run.Cancelled()) return all;
    bool removed = false;
    run.Persistently(source, [&] {
        removed = RemotePlaceRemoveEmpty(run.call(), source);
        // Something new in it meanwhile keeps it, without a question.
        return removed || pf_remote_call_status(run.call()) == PfRemoteOk;
    });
    if (removed) job.steps.push_back({StepFolderRemoved, source, L""});
    return removed;
}

// A selected folder of a move: one rename on one server, else entry by entry.
void MoveFolder(Run& run, const std::wstring& source, const std::wstring& target) {
    if (pf_remote_move(run.call(), source, target, 0)) {
        run.job().steps.push_back({StepMoved, source, target});
        return;
    }
    if (run.Cancelled()) return;
    TransferFolder(run, source, target);
}

} // namespace

void RemoteCopyWorker(intptr_t parameter) {
    CopyJob& job = *reinterpret_cast<CopyJob*>(parameter);
    {
        Run run(job);
        const size_t items = job.fileList.size() + job.folderList.size();
        const float step = 100.0f / static_cast<float>(items ? items : 1);
        if (Reachable(run, job.sourceFolder) && Reachable(run, job.targetFolder)) {
            JournalJobReady(job);
            for (const std::wstring& folder : job.folderList) {
                if (run.Cancelled()) break;
                const std::wstring target = job.targetFolder + NameOf(folder);
                if (job.operation == JobMove)
                    MoveFolder(run, folder, target);
                else
                    TransferFolder(run, folder, target);
                job.progress += step;
            }
            for (const std::wstring& name : job.fileList) {
                if (run.Cancelled()) break;
                TransferFile(run, job.sourceFolder + name, job.targetFolder + name);
                job.progress += step;
            }
        }
        if (run.Cancelled() && job.cancel == JobGoOn) job.cancel = JobCancelled;
    }
    job.result = job.failures == 0 ? 1 : 0; // as for a local job, a cancel is no failure
    tk_event_post(EventJobDone, job.window);
}

void RemoteDeleteWorker(intptr_t parameter) {
    CopyJob& job = *reinterpret_cast<CopyJob*>(parameter);
    {
        Run run(job);
        std::vector<std::wstring> all = job.folderList;
        for (const std::wstring& name : job.fileList) all.push_back(job.sourceFolder + name);
        const float step = 100.0f / static_cast<float>(all.empty() ? 1 : all.size());
        for (const std::wstring& path : all) {
            if (run.Cancelled()) break;
            job.currentItem = path;
            if (run.Persistently(path, [&] { return pf_remote_delete(run.call(), path) != 0; }))
                job.steps.push_back({StepDeleted, path, L""});
            job.progress += step;
            PublishProgress(job, 0, static_cast<int>(job.progress), path, false);
        }
    }
    job.result = job.failures == 0 ? 1 : 0;
    PublishProgress(job, 0, 100, L"", true);
    tk_event_post(EventJobDone, job.window);
}

namespace {

// ---- the commands' side ----

// A copy, move or delete on its way from the questions to its job.
struct RemotePlan {
    std::wstring sourceFolder, targetFolder;
    int move = 0;
    intptr_t sourcePane = 0, targetPane = 0;
    std::vector<std::wstring> names;
    // answers
    bool reached = true; // false: a server could not tell (reason)
    std::wstring reason;
    bool onItself = false; // an item would be copied onto itself or into itself
    bool full = false;     // delete: a selected folder holds anything
    std::vector<std::wstring> files, folders;
};
using Plan = std::shared_ptr<RemotePlan>;

bool Plain(const std::wstring& name) {
    return !name.empty() && name != L"." && name != L"..";
}

bool SameFolder(const std::wstring& a, const std::wstring& b) {
    return WithoutSlash(pf_remote_is_location(a) ? pf_remote_key(a) : a) ==
           WithoutSlash(pf_remote_is_location(b) ? pf_remote_key(b) : b);
}

// On the question's thread: each item's kind and whether it goes onto
// itself. Names taken in the target are asked about one by one when the
// job meets them.
void LookAtItems(RemotePlan& p, bool delete_plan) {
    PfRemoteCall* call = pf_remote_call_new();
    for (const std::wstring& folder : {p.sourceFolder, p.targetFolder})
        if (!folder.empty() && RemotePlaceIsRemote(folder) && !RemoteMounted(call, folder)) {
            p.reached = false;
            p.reason = folder + L"\n\n" + RemoteFailureText(call);
            pf_remote_call_free(call);
            return;
        }
    const bool same = !delete_plan && SameFolder(p.sourceFolder, p.targetFolder);
    for (const std::wstring& name : p.names) {
        if (!Plain(name)) continue;
        const std::wstring path = p.sourceFolder + name;
        const int kind = RemotePlaceKind(call, path);
        if (kind == PlaceUnknown) {
            p.reached = false;
            p.reason = path + L"\n\n" + RemoteFailureText(call);
            break;
        }
        if (kind == PlaceMissing) continue;
        const bool into_itself =
            kind == PlaceFolder && !delete_plan &&
            (p.targetFolder + L"/").compare(0, path.size() + 1, path + L"/") == 0;
        if (same || into_itself) {
            p.onItself = true;
            continue;
        }
        if (kind == PlaceFolder) {
            p.folders.push_back(path);
            std::vector<RtDirEntry> entries;
            if (delete_plan && RemotePlaceRead(call, path, &entries))
                for (const RtDirEntry& e : entries) p.full = p.full || Plain(e.name);
        } else {
            p.files.push_back(name);
        }
    }
    pf_remote_call_free(call);
}

intptr_t ReportOfList(int64_t list) {
    const Pane* pane = PaneOf(list);
    return pane ? PaneReport(*pane) : 0;
}

void StartCopy(RemotePlan& p) {
    CopyJob& job = NewFileJob(p.move ? JobMove : JobCopy, p.sourceFolder, p.targetFolder);
    job.sourcePane = p.sourcePane;
    job.targetPane = p.targetPane;
    job.fileList = std::move(p.files);
    job.folderList = std::move(p.folders);
    job.folderWhole.assign(job.folderList.size(), 0);
    StartFileJob(job, RemoteCopyWorker);
    tk_gadget_activate(App.ActivePane);
}

void AfterLook(const Plan& p) {
    if (!p->reached) return ShowError(TextCannotReach + p->reason);
    if (p->onItself) {
        if (p->files.empty() && p->folders.empty())
            return ShowError(p->move ? TextFileMoveOnItself : TextFileCopyOnItself);
        if (Ask(TextError, TextOtherFiles) != MessageAnswerOk) return;
    }
    if (p->files.empty() && p->folders.empty()) return;
    StartCopy(*p);
}

} // namespace

bool RemoteJobPath(const std::wstring& path) {
    return RemotePlaceIsRemote(path);
}

void RemoteCopyMoveCommand(const std::wstring& names, const std::wstring& sourceFolder,
                           const std::wstring& targetFolder, int64_t move, int64_t sourcePane,
                           int64_t targetPane) {
    if (sourceFolder.empty() || targetFolder.empty()) return;
    auto p = std::make_shared<RemotePlan>();
    p->sourceFolder = sourceFolder;
    p->targetFolder = targetFolder;
    p->move = move ? 1 : 0;
    p->sourcePane = ReportOfList(sourcePane);
    p->targetPane = ReportOfList(targetPane);
    p->names = ItemListSplit(names);
    AskAside(
        AskAnyTime, [p] { LookAtItems(*p, false); }, [p] { AfterLook(p); }, 0);
}

void RemoteDeleteCommand(const std::wstring& names, const std::wstring& folder, bool ask_full) {
    if (folder.empty()) return;
    auto p = std::make_shared<RemotePlan>();
    p->sourceFolder = folder;
    p->names = ItemListSplit(names);
    AskAside(
        AskAnyTime, [p] { LookAtItems(*p, true); },
        [p, ask_full] {
            if (!p->reached) return ShowError(TextCannotReach + p->reason);
            if (p->files.empty() && p->folders.empty()) return;
            if (ask_full && p->full &&
                Ask(TextNotEmptyHeadline, TextNotEmptyQuestion) != MessageAnswerOk)
                return;
            CopyJob& job = NewFileJob(JobDelete, p->sourceFolder, L"");
            job.fileList = std::move(p->files);
            job.folderList = std::move(p->folders);
            StartFileJob(job, RemoteDeleteWorker);
        },
        0);
}

namespace {

// Why a new folder or a rename failed, for its message.
std::wstring NameFailure(const PfRemoteCall* call) {
    const int status = pf_remote_call_status(call);
    switch (status) {
    case PfRemoteExists:
    case PfRemoteNotEmpty:
    case PfRemoteDenied: return FailureReason(pf_remote_status_errno(status));
    default: return RemoteFailureText(call);
    }
}

// Runs op on a new call, mounting location's server first.
template <class Op> bool NameCall(const std::wstring& location, std::wstring* reason, Op op) {
    PfRemoteCall* call = pf_remote_call_new();
    const bool ok = RemoteMounted(call, location) && op(call);
    if (!ok && reason) *reason = NameFailure(call);
    pf_remote_call_free(call);
    return ok;
}

} // namespace

bool RemoteMakeFolder(const std::wstring& location, std::wstring* reason) {
    return NameCall(location, reason,
                    [&](PfRemoteCall* call) { return pf_remote_make_folder(call, location); });
}

bool RemoteRename(const std::wstring& location, const std::wstring& new_name,
                  std::wstring* reason) {
    return NameCall(location, reason,
                    [&](PfRemoteCall* call) { return pf_remote_rename(call, location, new_name); });
}
