// Thread numbers, running state, waiting, recursive mutexes and delays.
#include <gtest/gtest.h>

#include "runtime/threads.h"

#include <atomic>
#include <chrono>
#include <cstdlib>

namespace {

void do_nothing(intptr_t) {}

// Runs until the flag it points at is set.
void run_until_released(intptr_t flag) {
    auto* release = reinterpret_cast<std::atomic<bool>*>(flag);
    while (!*release) rt_delay(1);
}

void store_parameter_late(intptr_t slot) {
    rt_delay(50);
    *reinterpret_cast<std::atomic<intptr_t>*>(slot) = slot;
}

} // namespace

TEST(ThreadsDeathTest, NumbersStartAtOneAndAreNeverReused) {
    // a fresh process, so that no other test has handed out numbers yet
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const int first = rt_thread_create(do_nothing, 0);
            rt_thread_wait(first);
            const int second = rt_thread_create(do_nothing, 0);
            std::exit(first == 1 && second == 2 ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

TEST(Threads, RunningStateAndWaiting) {
    std::atomic<bool> release{false};
    const int t = rt_thread_create(run_until_released, reinterpret_cast<intptr_t>(&release));
    ASSERT_GT(t, 0);
    EXPECT_EQ(rt_thread_is_running(t), 1);
    release = true;
    EXPECT_EQ(rt_thread_wait(t), 1);
    EXPECT_EQ(rt_thread_is_running(t), 0);
    // once pruned from the table, the number still reads as ended
    const int next = rt_thread_create(do_nothing, 0);
    EXPECT_EQ(next, t + 1);
    EXPECT_EQ(rt_thread_wait(next), 1);
    EXPECT_EQ(rt_thread_wait(t), 1);
    EXPECT_EQ(rt_thread_is_running(0), 0);
    EXPECT_EQ(rt_thread_wait(0), 0);
    EXPECT_EQ(rt_thread_wait(next + 1000), 0);
    EXPECT_EQ(rt_thread_create(nullptr, 0), 0);
}

TEST(Threads, WaitBlocksUntilTheProcedureHasReturned) {
    std::atomic<intptr_t> slot{0};
    const intptr_t param = reinterpret_cast<intptr_t>(&slot);
    const int t = rt_thread_create(store_parameter_late, param);
    ASSERT_EQ(rt_thread_wait(t), 1);
    EXPECT_EQ(slot.load(), param); // the parameter arrived and the work is done
}

namespace {

struct Shared {
    RtMutex* mutex;
    long counter = 0;
};

void count_under_lock(intptr_t p) {
    auto* s = reinterpret_cast<Shared*>(p);
    for (int i = 0; i < 20000; ++i) {
        rt_mutex_lock(s->mutex);
        rt_mutex_lock(s->mutex); // recursive: the owner may lock again
        const long seen = s->counter;
        s->counter = seen + 1;
        rt_mutex_unlock(s->mutex);
        rt_mutex_unlock(s->mutex);
    }
}

} // namespace

TEST(Threads, RecursiveMutexExcludesOtherThreads) {
    Shared s{rt_mutex_create()};
    const intptr_t p = reinterpret_cast<intptr_t>(&s);
    const int a = rt_thread_create(count_under_lock, p);
    const int b = rt_thread_create(count_under_lock, p);
    rt_thread_wait(a);
    rt_thread_wait(b);
    EXPECT_EQ(s.counter, 40000);
    rt_mutex_free(s.mutex);
    rt_mutex_lock(nullptr); // ignored
    rt_mutex_unlock(nullptr);
    rt_mutex_free(nullptr);
}

TEST(Threads, DelaySleepsAtLeastTheTimeGiven) {
    const auto start = std::chrono::steady_clock::now();
    rt_delay(30);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
    rt_delay(0);
    rt_delay(-5);
}
