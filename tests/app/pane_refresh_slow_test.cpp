// A watcher's refresh of a folder whose enumeration hangs: the pane keeps
// its rows and the loop answers, reports meanwhile start no second reader,
// the answer then adds the new rows, and an answer for a folder the pane has
// left is dropped. A watcher whose own first look at its folder hangs is
// stopped without waiting for it.
#include "pane_fixture.h"
#include "slow_calls.h"

#include "app/panes/dir_watcher.h"
#include "app/panes/pane_location.h"
#include "app/panes/pane_reader.h"
#include "app/panes/pane_refresh.h"
#include "runtime/threads.h"

namespace {

using Texts = std::vector<std::wstring>;

class PaneRefreshSlowTest : public PaneTest {
  protected:
    void SetUp() override {
        PaneTest::SetUp();
        slow::Reset();
    }
    void TearDown() override {
        slow::ReleaseAll();
        rt_sys = rt_syscalls_real();
        AnswerWaitMs = saved_wait_;
        PaneTest::TearDown();
    }
    int64_t saved_wait_ = AnswerWaitMs;
};

} // namespace

TEST_F(PaneRefreshSlowTest, AHangingRefreshKeepsTheRowsAndAddsThemWhenItAnswers) {
    TempDir dir, other;
    dir.write("alt.txt", "a");
    other.write("anders.txt", "o");
    ShowPath(GadLeftPane, Folder(dir), ShowReset);
    dir.write("neu.txt", "n");

    RtSyscallsRestore restore;
    slow::SlowPrefix = dir.path();
    slow::Install();
    AnswerWaitMs = 20;
    EXPECT_EQ(RefreshPaneEntries(GadLeftPane), 0);
    ASSERT_TRUE(slow::PumpUntil([] { return slow::HeldUp.load() > 0; }));
    EXPECT_LT(slow::PingMs(), 100.0);
    EXPECT_EQ(Column(GadLeftPane, 0), (Texts{L"..", L"alt.txt"}));
    EXPECT_EQ(RefreshPaneEntries(GadLeftPane), 0); // a second report meanwhile
    EXPECT_EQ(QuestionsRunning(), 1);

    slow::Released = true;
    ASSERT_TRUE(slow::PumpUntil(
        [] { return QuestionsRunning() == 0 && RowOf(GadLeftPane, L"neu.txt") >= 0; }));
    for (int i = 0; i < 10; ++i) tk_event_wait_timeout(5);
    EXPECT_EQ(Column(GadLeftPane, 0), (Texts{L"..", L"alt.txt", L"neu.txt"}));

    // The pane goes elsewhere while a refresh hangs: its answer never lands.
    slow::Reset();
    slow::SlowPrefix = dir.path();
    dir.write("spaet.txt", "s");
    RefreshPaneEntries(GadLeftPane);
    ASSERT_TRUE(slow::PumpUntil([] { return slow::HeldUp.load() > 0; }));
    const std::wstring elsewhere = Folder(other);
    ShowPath(GadLeftPane, elsewhere, ShowReset);
    ASSERT_TRUE(slow::PumpUntil([] { return PaneListingPending(GadLeftPane) == 0; }));
    slow::Released = true;
    ASSERT_TRUE(slow::PumpUntil([] { return QuestionsRunning() == 0; }));
    for (int i = 0; i < 10; ++i) tk_event_wait_timeout(5);
    EXPECT_EQ(PanePath(GadLeftPane), elsewhere);
    EXPECT_EQ(Column(GadLeftPane, 0), (Texts{L"..", L"anders.txt"}));
    EXPECT_TRUE(messages.empty());
}

// Every listing of another folder stops the pane's watcher; one that hangs
// in its first look at a folder on a dead mount held the window up with it.
TEST_F(PaneRefreshSlowTest, AWatcherHangingOnItsFolderIsStoppedWithoutWaitingForIt) {
    TempDir dir;
    SetPaneLocation(GadLeftPane, Folder(dir));
    RtSyscallsRestore restore;
    slow::SlowPrefix = dir.path();
    slow::Install();
    Pane& pane = *PaneOf(GadLeftPane);
    StartDirWatcher(pane);
    const int thread = pane.Watcher.Thread;
    ASSERT_TRUE(slow::PumpUntil([] { return slow::HeldUp.load() > 0; }));
    StopDirWatcher(pane);
    EXPECT_EQ(pane.Watcher.Thread, 0);
    EXPECT_TRUE(rt_thread_is_running(thread)) << "the stop waited for the hanging watcher";
    // Let go, the stopped watcher ends and reports nothing.
    slow::Released = true;
    ASSERT_NE(rt_thread_wait(thread), 0);
    bool reported = false;
    for (int i = 0; i < 20; ++i) reported = reported || tk_event_wait_timeout(0) == EventDirChanged;
    EXPECT_FALSE(reported);
}
