// Questions asked off the main thread: see pane_answers.h.
#include "app/panes/pane_answers.h"

#include "app/core/ids.h"
#include "runtime/threads.h"
#include "toolkit/events.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

namespace {

struct Question {
    PaneWork work;
    PaneDeliver deliver;
    bool done = false; // under Lock
};

std::mutex Lock;
std::condition_variable Answered;
std::vector<std::shared_ptr<Question>> Asked; // not yet delivered, oldest first
std::atomic<int64_t> Running{0};
bool InPlace = false; // main thread

void Answer(intptr_t parameter) {
    auto* holder = reinterpret_cast<std::shared_ptr<Question>*>(parameter);
    std::shared_ptr<Question> q = std::move(*holder);
    delete holder;
    q->work();
    {
        std::lock_guard guard(Lock);
        q->done = true;
    }
    Answered.notify_all();
    tk_event_post(EventPaneAnswer, WinMain);
    Running--;
}

// Takes q out of the questions to deliver; false when it was forgotten.
bool Take(const std::shared_ptr<Question>& q) {
    auto it = std::find(Asked.begin(), Asked.end(), q);
    if (it == Asked.end()) return false;
    Asked.erase(it);
    return true;
}

} // namespace

int64_t PaneAnswerWaitMs = 25;
int64_t PaneStartWaitMs = 0;

void PaneAsk(PaneWork work, PaneDeliver deliver, int64_t wait_ms) {
    tk_event_bind(EventPaneAnswer, DeliverPaneAnswers);
    auto q = std::make_shared<Question>();
    q->work = std::move(work);
    q->deliver = std::move(deliver);
    {
        std::lock_guard guard(Lock);
        Asked.push_back(q);
    }
    Running++;
    auto* holder = new std::shared_ptr<Question>(q);
    if (!rt_thread_create(Answer, reinterpret_cast<intptr_t>(holder))) {
        Answer(reinterpret_cast<intptr_t>(holder)); // no thread: answer in place
    }
    std::unique_lock guard(Lock);
    if (!Answered.wait_for(guard, std::chrono::milliseconds(wait_ms), [&] { return q->done; }))
        return;
    if (!Take(q)) return;
    guard.unlock();
    const bool outer = InPlace;
    InPlace = true;
    q->deliver();
    InPlace = outer;
}

void PaneLater(PaneDeliver deliver) {
    tk_event_bind(EventPaneAnswer, DeliverPaneAnswers);
    auto q = std::make_shared<Question>();
    q->deliver = std::move(deliver);
    q->done = true;
    {
        std::lock_guard guard(Lock);
        Asked.push_back(q);
    }
    tk_event_post(EventPaneAnswer, WinMain);
}

bool PaneAnswerInPlace() {
    return InPlace;
}

void DeliverPaneAnswers() {
    std::vector<std::shared_ptr<Question>> ready;
    {
        std::lock_guard guard(Lock);
        for (const auto& q : Asked)
            if (q->done) ready.push_back(q);
        std::erase_if(Asked, [](const auto& q) { return q->done; });
    }
    const bool outer = InPlace;
    InPlace = false;
    for (const auto& q : ready) q->deliver();
    InPlace = outer;
}

void ForgetPaneAnswers() {
    std::lock_guard guard(Lock);
    Asked.clear();
}

int64_t PaneQuestionsRunning() {
    return Running.load();
}
