// Folder watching: changes are seen, time-outs pass, a wake or close from
// another thread ends a wait at once, the folder's own removal reports.
#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "platform/dir_watch.h"
#include "runtime/text.h"
#include "test_support.h"

namespace {

std::wstring w(const std::string& s) {
    return rt_text_from_os(s);
}

} // namespace

TEST(DirWatch, ReportsNameChangesThenTimesOut) {
    TempDir t;
    t.write("alt.txt", "x");
    const int64_t h = pf_watch_open(w(t.path()));
    ASSERT_NE(0, h);
    EXPECT_EQ(0, pf_watch_wait(h, 20)); // nothing yet

    t.write("neu.txt", "hello"); // create + close-after-write: one report
    EXPECT_EQ(1, pf_watch_wait(h, 2000));
    EXPECT_EQ(0, pf_watch_wait(h, 20)); // the burst was taken in full

    ASSERT_EQ(0, rename((t / "alt.txt").c_str(), (t / "umbenannt.txt").c_str()));
    EXPECT_EQ(1, pf_watch_wait(h, 2000));
    ASSERT_EQ(0, chmod((t / "neu.txt").c_str(), 0600));
    EXPECT_EQ(1, pf_watch_wait(h, 2000));
    ASSERT_EQ(0, unlink((t / "neu.txt").c_str()));
    EXPECT_EQ(1, pf_watch_wait(h, 2000));
    pf_watch_close(h);
}

TEST(DirWatch, WakeFromAnotherThreadIsImmediate) {
    TempDir t;
    const int64_t h = pf_watch_open(w(t.path()));
    ASSERT_NE(0, h);
    std::thread waker([h] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        pf_watch_wake(h);
    });
    EXPECT_EQ(-1, pf_watch_wait(h, 10000)); // -1: woken, not timed out
    waker.join();

    pf_watch_wake(h); // a wake before the wait ends the next wait
    EXPECT_EQ(-1, pf_watch_wait(h, 10000));
    EXPECT_EQ(0, pf_watch_wait(h, 10)); // and only that one
    pf_watch_close(h);
}

TEST(DirWatch, CloseWhileWaitingEndsTheWait) {
    TempDir t;
    const int64_t h = pf_watch_open(w(t.path()));
    ASSERT_NE(0, h);
    int result = 0;
    std::thread watcher([&] { result = pf_watch_wait(h, -1); });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    pf_watch_close(h);
    watcher.join();
    EXPECT_EQ(-1, result);               // a wait without limit ended: the close woke it
    EXPECT_EQ(-1, pf_watch_wait(h, 10)); // a closed handle stays unknown
    pf_watch_close(h);                   // closing twice is harmless
}

TEST(DirWatch, FolderRemovalReports) {
    TempDir t;
    ASSERT_EQ(0, mkdir((t / "sub").c_str(), 0700));
    const int64_t h = pf_watch_open(w(t / "sub"));
    ASSERT_NE(0, h);
    ASSERT_EQ(0, rmdir((t / "sub").c_str()));
    EXPECT_EQ(1, pf_watch_wait(h, 2000));
    pf_watch_close(h);

    ASSERT_EQ(0, mkdir((t / "zwei").c_str(), 0700));
    const int64_t moved = pf_watch_open(w(t / "zwei"));
    ASSERT_NE(0, moved);
    ASSERT_EQ(0, rename((t / "zwei").c_str(), (t / "drei").c_str()));
    EXPECT_EQ(1, pf_watch_wait(moved, 2000));
    pf_watch_close(moved);
}

TEST(DirWatch, UnwatchableFolders) {
    TempDir t;
    t.write("datei", "x");
    EXPECT_EQ(0, pf_watch_open(w(t / "fehlt")));
    EXPECT_EQ(0, pf_watch_open(w(t / "datei"))); // not a folder
    EXPECT_EQ(-1, pf_watch_wait(0, 10));
    pf_watch_wake(0);
    pf_watch_close(0);
}
