// The bridge from a mount's questions on a worker thread to the dialogs on
// the main thread, and the mount-then-retry of remote reads: see
// remote_ask.h.
#include "app/core/remote_ask.h"

#include "app/core/ids.h"
#include "platform/remote_files.h"
#include "platform/remote_location.h"
#include "runtime/files.h"
#include "toolkit/events.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

RemoteLoginFn RemoteLoginDialog = nullptr;
RemoteQuestionFn RemoteQuestionDialog = nullptr;

namespace {

// One question on its way to the main thread and back.
struct Pending {
    std::function<int()> ask; // runs on the main thread
    int answer = 0;
    bool done = false;
};

std::mutex Lock;
std::condition_variable Answered;
std::deque<std::shared_ptr<Pending>> Queue; // under Lock
bool Open = false;                          // under Lock: questions reach the dialogs
bool Answering = false;                     // main thread: a dialog is up
// Typed locations holding a password, by their server's key (under Lock).
std::map<std::wstring, std::wstring> Typed;

// The bound callback: answers every question that came, one dialog at a
// time (a question arriving while a dialog is up waits for the loop below).
void AnswerQuestions() {
    if (Answering) return;
    Answering = true;
    for (;;) {
        std::shared_ptr<Pending> p;
        {
            std::lock_guard guard(Lock);
            if (Queue.empty()) break;
            p = Queue.front();
            Queue.pop_front();
        }
        const int answer = p->ask();
        std::lock_guard guard(Lock);
        p->answer = answer;
        p->done = true;
        Answered.notify_all();
    }
    Answering = false;
}

// Worker: asks on the main thread and waits for the answer; 0 when nobody
// can answer.
int AskOnMain(std::function<int()> ask) {
    auto p = std::make_shared<Pending>();
    p->ask = std::move(ask);
    std::unique_lock guard(Lock);
    if (!Open) return 0;
    Queue.push_back(p);
    guard.unlock();
    tk_event_post(EventRemoteAsk, WinMain);
    guard.lock();
    Answered.wait(guard, [&] { return p->done || !Open; });
    return p->done ? p->answer : 0;
}

int Login(PfRemoteLogin* login, void*) {
    return AskOnMain([login] { return RemoteLoginDialog ? RemoteLoginDialog(login) : 0; });
}

int Question(const std::wstring& message, const std::vector<std::wstring>& choices, int* choice,
             void*) {
    return AskOnMain(
        [&] { return RemoteQuestionDialog ? RemoteQuestionDialog(message, choices, choice) : 0; });
}

const PfRemoteAsk Table = [] {
    PfRemoteAsk t;
    t.login = Login;
    t.question = Question;
    return t;
}();

} // namespace

void InstallRemoteAsk() {
    tk_event_bind(EventRemoteAsk, AnswerQuestions);
    std::lock_guard guard(Lock);
    Open = true;
}

void EndRemoteAsk() {
    std::lock_guard guard(Lock);
    Open = false;
    Queue.clear();
    Answered.notify_all();
}

const PfRemoteAsk* RemoteAskTable() {
    return &Table;
}

void RemoteRememberTyped(const std::wstring& typed) {
    PfRemoteLocation parsed;
    if (!pf_remote_parse(typed, &parsed) || parsed.password.empty()) return;
    std::lock_guard guard(Lock);
    Typed[pf_remote_key(pf_remote_root(typed))] = typed;
}

int RemoteMounted(PfRemoteCall* call, const std::wstring& location, bool ask) {
    if (!ask) return pf_remote_mount(call, location, nullptr);
    std::wstring typed = location;
    {
        std::lock_guard guard(Lock);
        auto at = Typed.find(pf_remote_key(pf_remote_root(location)));
        if (at != Typed.end()) {
            typed = std::move(at->second);
            Typed.erase(at);
        }
    }
    return pf_remote_mount(call, typed, RemoteAskTable());
}

int RemoteReadFolder(PfRemoteCall* call, const std::wstring& folder,
                     std::vector<RtDirEntry>* entries, bool ask) {
    if (pf_remote_dir_read(call, folder, entries)) return 1;
    if (pf_remote_call_status(call) != PfRemoteNotMounted) return 0;
    return RemoteMounted(call, folder, ask) && pf_remote_dir_read(call, folder, entries);
}

std::wstring RemoteFailureText(const PfRemoteCall* call) {
    std::wstring text = pf_remote_status_reason(pf_remote_call_status(call));
    const std::wstring words = pf_remote_call_message(call);
    if (!words.empty() && words != text) text += L" (" + words + L")";
    return text;
}
