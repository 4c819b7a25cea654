// The one rule of the questions asked off the main thread: an answer is
// delivered while every topic it was asked on stands where it stood, and a
// topic waits while a question asked on it has not come back.
#include "app/core/answers.h"
#include "toolkit/events.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

TEST(Answers, OnlyAnswersWhoseTopicsStoodAreDelivered) {
    tk_init();
    std::promise<void> release;
    const std::shared_future<void> released = release.get_future().share();
    const auto work = [released] { released.wait(); };
    std::vector<std::string> got;
    AskTopic a, b;
    AskAside(
        a, work, [&] { got.push_back("a1"); }, 0);
    AskAsideLatest(
        a, work, [&] { got.push_back("a2"); }, 0); // supersedes a1
    AskAside(
        {&a, &b}, work, [&] { got.push_back("ab"); }, 0);
    b.MoveOn(); // drops ab
    {
        AskTopic gone;
        AskAside(
            gone, work, [&] { got.push_back("gone"); }, 0);
    } // a topic destroyed drops its answers
    AnswerLater(b, [&] { got.push_back("later"); });
    EXPECT_TRUE(a.Waiting());
    release.set_value();
    while (QuestionsRunning() > 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    DeliverAnswers();
    EXPECT_EQ(got, (std::vector<std::string>{"a2", "later"}));
    EXPECT_FALSE(a.Waiting());
    EXPECT_FALSE(b.Waiting());
}
