// Questions asked off the main thread, and the one rule by which an answer
// that is no longer wanted is dropped.
//
// Anything that may block on the file system (a stat, a listing, the free
// space of a volume, a program start on a hanging mount) is asked here: the
// work runs on a thread of its own and the answer is delivered on the main
// thread. The main thread waits for it at most wait_ms: an answer that comes
// in time is delivered before AskAside returns, so a local folder behaves as
// if it had been read in place; a later one is delivered when its event
// (EventAnswerReady, handled by a bound callback, so also inside modal
// loops) arrives. Nothing polls: the question's thread wakes the main loop
// through the toolkit's event post.
//
// The staleness rule: a question is asked on one or more topics, records of
// the asker such as a pane's rows, its listing or a menu. Its answer is
// delivered only while every topic still stands where it stood when the
// question was asked. The asker moves a topic on (MoveOn) when answers asked
// before would act on something that is gone, or asks with AskAsideLatest,
// which moves the topic on first so that only the newest answer counts. The
// delivery of a dropped answer never runs. A topic that is destroyed or
// assigned anew moves on.
//
// The work runs on its own thread and must touch neither App nor the
// toolkit; it hands its result to the delivery through what both closures
// share (a shared_ptr). Topics and deliveries belong to the main thread.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>

using AskWork = std::function<void()>;    // on the question's thread
using AskDeliver = std::function<void()>; // on the main thread, with the answer

struct AskTopicState;

// What answers are for. Main thread only. A copy is a topic of its own.
class AskTopic {
  public:
    AskTopic();
    ~AskTopic();
    AskTopic(const AskTopic&);
    AskTopic& operator=(const AskTopic&);
    // Answers to questions asked on the topic so far are dropped.
    void MoveOn();
    // True while a question asked on it has not come back (delivered or
    // dropped): "one at a time" for an asker that must not pile up threads.
    bool Waiting() const;

  private:
    friend struct AskTopicAccess;
    std::shared_ptr<AskTopicState> state_;
};

// A topic nobody moves on: for answers that are wanted whenever they come.
extern AskTopic AskAnyTime;

// How long the main thread waits for an answer before going on (ms).
extern int64_t AnswerWaitMs;

// Starts work on a new thread and delivers its answer as described above,
// waiting wait_ms (AnswerWaitMs when not given) for it; with 0 the answer
// always comes through the loop. Main thread.
void AskAside(AskTopic& topic, AskWork work, AskDeliver deliver, int64_t wait_ms = AnswerWaitMs);
void AskAside(std::initializer_list<AskTopic*> topics, AskWork work, AskDeliver deliver,
              int64_t wait_ms = AnswerWaitMs);
// The same after moving the topic on: a newer question supersedes this one.
void AskAsideLatest(AskTopic& topic, AskWork work, AskDeliver deliver,
                    int64_t wait_ms = AnswerWaitMs);
// Runs deliver in a later turn of the main loop, in order with the answers,
// while topic stands where it stands now (work that need not hold up the
// present turn). Main thread.
void AnswerLater(AskTopic& topic, AskDeliver deliver);
// True while AskAside delivers an answer that came in time, before it returns.
bool AnswerInPlace();
// Delivers every answer that has come; the event's callback does this too.
void DeliverAnswers();
// Drops every answer not yet delivered: its delivery never runs. Threads
// still working are left to end by themselves. Main thread (shutdown, tests).
void ForgetAnswers();
// Number of question threads still working (tests wait for them).
int64_t QuestionsRunning();
