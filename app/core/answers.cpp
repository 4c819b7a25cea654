// Questions asked off the main thread: see answers.h.
#include "app/core/answers.h"

#include "app/core/ids.h"
#include "runtime/threads.h"
#include "toolkit/events.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>
#include <vector>

// Main thread only.
struct AskTopicState {
    uint64_t generation = 0; // moved on this often
    int64_t waiting = 0;     // questions asked on it that have not come back
};

struct AskTopicAccess {
    static const std::shared_ptr<AskTopicState>& Of(const AskTopic& t) { return t.state_; }
};

AskTopic::AskTopic() : state_(std::make_shared<AskTopicState>()) {}
AskTopic::~AskTopic() {
    MoveOn();
}
AskTopic::AskTopic(const AskTopic&) : AskTopic() {}
AskTopic& AskTopic::operator=(const AskTopic& other) {
    if (this != &other) {
        MoveOn();
        state_ = std::make_shared<AskTopicState>();
    }
    return *this;
}
void AskTopic::MoveOn() {
    ++state_->generation;
}
bool AskTopic::Waiting() const {
    return state_->waiting > 0;
}

AskTopic AskAnyTime;
int64_t AnswerWaitMs = 25;

namespace {

// A topic as it stood when the question was asked.
struct AskedOn {
    std::shared_ptr<AskTopicState> topic;
    uint64_t generation = 0;
};

struct Question {
    AskWork work;
    AskDeliver deliver;
    std::vector<AskedOn> topics; // main thread
    bool done = false;           // under Lock
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
    tk_event_post(EventAnswerReady, WinMain);
    Running--;
}

std::shared_ptr<Question> NewQuestion(std::initializer_list<AskTopic*> topics, AskDeliver deliver) {
    tk_event_bind(EventAnswerReady, DeliverAnswers);
    auto q = std::make_shared<Question>();
    q->deliver = std::move(deliver);
    for (AskTopic* t : topics) {
        const std::shared_ptr<AskTopicState>& state = AskTopicAccess::Of(*t);
        state->waiting++;
        q->topics.push_back({state, state->generation});
    }
    return q;
}

// The question has come back: it no longer keeps its topics waiting.
void Leave(Question& q) {
    for (AskedOn& on : q.topics) on.topic->waiting--;
}

bool Wanted(const Question& q) {
    return std::all_of(q.topics.begin(), q.topics.end(),
                       [](const AskedOn& on) { return on.topic->generation == on.generation; });
}

void Deliver(Question& q, bool in_place) {
    if (!Wanted(q)) return;
    const bool outer = InPlace;
    InPlace = in_place;
    q.deliver();
    InPlace = outer;
}

// Takes q out of the questions to deliver; false when it was forgotten.
bool Take(const std::shared_ptr<Question>& q) {
    auto it = std::find(Asked.begin(), Asked.end(), q);
    if (it == Asked.end()) return false;
    Asked.erase(it);
    return true;
}

} // namespace

void AskAside(std::initializer_list<AskTopic*> topics, AskWork work, AskDeliver deliver,
              int64_t wait_ms) {
    std::shared_ptr<Question> q = NewQuestion(topics, std::move(deliver));
    q->work = std::move(work);
    {
        std::lock_guard guard(Lock);
        Asked.push_back(q);
    }
    Running++;
    auto* holder = new std::shared_ptr<Question>(q);
    if (!rt_thread_create(Answer, reinterpret_cast<intptr_t>(holder)))
        Answer(reinterpret_cast<intptr_t>(holder)); // no thread: answer in place
    // No wait means the answer always comes through the loop, even when the
    // thread was quicker than this one: callers rely on that to paint first.
    if (wait_ms <= 0) return;
    std::unique_lock guard(Lock);
    if (!Answered.wait_for(guard, std::chrono::milliseconds(wait_ms), [&] { return q->done; }))
        return;
    if (!Take(q)) return;
    guard.unlock();
    Leave(*q);
    Deliver(*q, true);
}

void AskAside(AskTopic& topic, AskWork work, AskDeliver deliver, int64_t wait_ms) {
    AskAside({&topic}, std::move(work), std::move(deliver), wait_ms);
}

void AskAsideLatest(AskTopic& topic, AskWork work, AskDeliver deliver, int64_t wait_ms) {
    topic.MoveOn();
    AskAside({&topic}, std::move(work), std::move(deliver), wait_ms);
}

void AnswerLater(AskTopic& topic, AskDeliver deliver) {
    std::shared_ptr<Question> q = NewQuestion({&topic}, std::move(deliver));
    q->done = true;
    {
        std::lock_guard guard(Lock);
        Asked.push_back(q);
    }
    tk_event_post(EventAnswerReady, WinMain);
}

bool AnswerInPlace() {
    return InPlace;
}

void DeliverAnswers() {
    std::vector<std::shared_ptr<Question>> ready;
    {
        std::lock_guard guard(Lock);
        for (const auto& q : Asked)
            if (q->done) ready.push_back(q);
        std::erase_if(Asked, [](const auto& q) { return q->done; });
    }
    // Each one is looked at just before its delivery: an earlier delivery
    // may have moved its topic on.
    for (const auto& q : ready) {
        Leave(*q);
        Deliver(*q, false);
    }
}

void ForgetAnswers() {
    std::vector<std::shared_ptr<Question>> forgotten;
    {
        std::lock_guard guard(Lock);
        forgotten.swap(Asked);
    }
    for (const auto& q : forgotten) Leave(*q);
}

int64_t QuestionsRunning() {
    return Running.load();
}
