// The questions of the workers, handed to the main thread and back: see
// job_questions.h.
#include "app/fileops/job_questions.h"

#include "app/core/ids.h"
#include "app/fileops/copy_job.h"
#include "toolkit/events.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

JobQuestionFn JobQuestionDialog = JobQuestionWindow;

namespace {

struct Pending {
    int kind = JobAskFailure;
    std::wstring headline, text;
    int answer = -1; // under Lock
};

std::mutex Lock;
std::condition_variable Answered;
std::deque<std::shared_ptr<Pending>> Waiting; // not yet shown, oldest first
bool Showing = false;                         // main thread: a question is on screen

// A cancelled or quitting job needs no answer any more.
bool Stopped(const CopyJob& job) {
    return job.cancel == JobQuitting || job.control.state == RtControlCancelled;
}

} // namespace

int JobAsk(CopyJob& job, int kind, const std::wstring& headline, const std::wstring& text) {
    if (Stopped(job)) return JobAnswerStop;
    auto q = std::make_shared<Pending>();
    q->kind = kind;
    q->headline = headline;
    q->text = text;
    std::unique_lock guard(Lock);
    Waiting.push_back(q);
    tk_event_bind(EventJobQuestion, ShowJobQuestions);
    tk_event_post(EventJobQuestion, WinMain);
    // The answer and a cancel (WakeJobQuestions) both signal Answered.
    Answered.wait(guard, [&] { return q->answer >= 0 || Stopped(job); });
    // A cancel meanwhile is the answer, whatever the window said.
    if (!Stopped(job)) return q->answer;
    std::erase(Waiting, q); // not shown yet: it never will be
    return JobAnswerStop;
}

void ShowJobQuestions() {
    // The window waits in a loop of its own, where this handler runs again:
    // the next question comes when this one is answered.
    if (Showing) return;
    Showing = true;
    for (;;) {
        std::shared_ptr<Pending> q;
        {
            std::lock_guard guard(Lock);
            if (Waiting.empty()) break;
            q = Waiting.front();
            Waiting.pop_front();
        }
        const int answer = JobQuestionDialog(q->kind, q->headline, q->text);
        {
            std::lock_guard guard(Lock);
            q->answer = answer;
        }
        Answered.notify_all();
    }
    Showing = false;
}

void WakeJobQuestions() {
    // Under the lock: a worker between its look at the job and its wait
    // cannot miss the signal.
    std::lock_guard guard(Lock);
    Answered.notify_all();
}
