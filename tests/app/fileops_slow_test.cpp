// Copy, move and delete over a selection on a hanging mount: the window
// keeps answering while the selection is looked at and collected, and once
// the answers come the job does exactly what it would have done at once.
#include "fileops_fixture.h"
#include "slow_calls.h"

#include "app/fileops/fileops_texts.h"

namespace {

class FileopsSlowTest : public FileopsTest {
  protected:
    void SetUp() override {
        FileopsTest::SetUp();
        slow::Reset();
    }
    void TearDown() override {
        slow::ReleaseAll(); // nothing held up outlives the test
        AnswerWaitMs = saved_wait_;
        FileopsTest::TearDown();
    }
    static bool JobOver() {
        return !FileJobRunning() && !tk_window_exists(WinCopyProgress) &&
               !tk_window_exists(WinDeleteProgress) && QuestionsRunning() == 0;
    }
    // Lets the held-up calls go and runs the loop until the job has ended
    // and arrived() holds (a question's thread may end before its answer is
    // handled, so JobOver alone could hold too early).
    template <class Arrived> static bool ReleaseAndFinish(Arrived arrived) {
        slow::Released = true;
        return slow::PumpUntil([&] { return arrived() && JobOver(); }, HandleProgress);
    }
    static bool ReleaseAndFinish() {
        return ReleaseAndFinish([] { return true; });
    }
    // src holds Ordner/tief/c; a copy of "Ordner" to dst starts and is held
    // up in its worker's walk through "tief". The caller restores the calls.
    static void MakeTree(const TempDir& src) {
        Mkdir(src / "Ordner");
        Mkdir(src / "Ordner/tief");
        src.write("Ordner/tief/c", "C");
    }
    static bool StartCopyHeldInTheWalk(const TempDir& src, const TempDir& dst) {
        slow::SlowPrefix = src / "Ordner/tief";
        slow::Install();
        CopyMoveCommand(L"Ordner\n", Folder(src), Folder(dst), 0, 0, 0);
        return slow::PumpUntil([] { return slow::HeldUp.load() > 0; }, HandleProgress);
    }
    int64_t saved_wait_ = AnswerWaitMs;
};

} // namespace

// The checks before the questions hang on the source; meanwhile both panes
// are moved elsewhere. The job still copies what was selected where it was
// asked to go.
TEST_F(FileopsSlowTest, CopyWhoseSelectionHangsRunsOnceTheAnswerComes) {
    TempDir src, dst, other;
    src.write("a", "A");
    Mkdir(src / "Ordner");
    src.write("Ordner/b", "B");
    dst.write("a", "alt");
    ShowPath(GadLeftPane, Folder(src), ShowReset);
    ShowPath(GadRightPane, Folder(dst), ShowReset);

    RtSyscallsRestore restore;
    slow::SlowPrefix = src.path();
    slow::Install();
    AnswerWaitMs = 20;
    CopyMoveBetweenPanes(L"a\nOrdner\n", GadLeftPane, GadRightPane, 0);
    ASSERT_TRUE(slow::PumpUntil([] { return slow::HeldUp.load() > 0; }));
    EXPECT_LT(slow::PingMs(HandleProgress), 100.0);
    EXPECT_EQ(1u, asked.size()); // only the confirmation so far
    EXPECT_FALSE(tk_window_exists(WinCopyProgress));
    ShowPath(GadLeftPane, Folder(other), ShowReset);
    ShowPath(GadRightPane, Folder(other), ShowReset);
    const std::wstring moved = Folder(other);
    ASSERT_TRUE(slow::PumpUntil([&] { return PanePath(GadRightPane) == moved; }, HandleProgress));

    ASSERT_TRUE(ReleaseAndFinish([&] { return Exists(dst / "Ordner/b"); }));
    ASSERT_EQ(1u, asked.size());
    ASSERT_EQ(1u, jobAsked.size()); // "a" is there: asked when the worker meets it
    EXPECT_EQ(0u, jobAsked[0].find(std::wstring(TextFileExists) + L" " + TextFileOverwrite));
    EXPECT_EQ("A", dst.read("a"));
    EXPECT_EQ("B", dst.read("Ordner/b"));
    EXPECT_FALSE(Exists(other / "a"));
    EXPECT_TRUE(boxes.empty());
}

// The walk through a selected folder hangs in the worker: the progress
// window is open and comes up, the loop answers, and the copy completes
// afterwards; a second walk that hangs can be stopped with "Abbrechen",
// copying nothing.
TEST_F(FileopsSlowTest, CollectionThatHangsKeepsTheLoopAnsweringAndCanBeCancelled) {
    TempDir src, dst;
    MakeTree(src);
    src.write("Ordner/d", "D");

    RtSyscallsRestore restore;
    ASSERT_TRUE(StartCopyHeldInTheWalk(src, dst));
    EXPECT_TRUE(tk_window_exists(WinCopyProgress));
    EXPECT_LT(slow::PingMs(HandleProgress), 100.0);
    // a job that takes its time comes on the screen
    EXPECT_TRUE(
        slow::PumpUntil([] { return tk_window_visible(WinCopyProgress) == 1; }, HandleProgress));
    ASSERT_TRUE(ReleaseAndFinish());
    EXPECT_EQ("C", dst.read("Ordner/tief/c"));
    EXPECT_EQ("D", dst.read("Ordner/d"));
    EXPECT_TRUE(boxes.empty());

    TempDir dst2;
    slow::Reset();
    ASSERT_TRUE(StartCopyHeldInTheWalk(src, dst2));
    tk_event_post(EventGadget, WinCopyProgress, GadCancel);
    ASSERT_TRUE(slow::PumpUntil(
        [] {
            const CopyJob* job = FileJobOfWindow(WinCopyProgress);
            return job && job->cancel.load() == JobCancelled;
        },
        HandleProgress));
    ASSERT_TRUE(ReleaseAndFinish());
    EXPECT_FALSE(Exists(dst2 / "Ordner/d"));
    EXPECT_FALSE(Exists(dst2 / "Ordner/tief/c"));
}

// The end of the program waits for a worker only so long: one held up in
// the system is given up on, and once it goes on it stops at its next step.
TEST_F(FileopsSlowTest, TheEndGivesUpOnAWorkerHeldUpInTheSystem) {
    TempDir src, dst;
    MakeTree(src);

    RtSyscallsRestore restore;
    ASSERT_TRUE(StartCopyHeldInTheWalk(src, dst));
    EXPECT_FALSE(EndFileJobs(100));
    ASSERT_TRUE(ReleaseAndFinish());
    EXPECT_TRUE(EndFileJobs(0));
    EXPECT_FALSE(Exists(dst / "Ordner/tief/c"));
}

// The test for a non-empty folder hangs: the second question waits for it,
// the loop answers, and then both items go.
TEST_F(FileopsSlowTest, DeleteWhoseFolderTestHangsAsksAndDeletesAfterwards) {
    TempDir t;
    Mkdir(t / "voll");
    t.write("voll/x", "x");
    t.write("f", "f");

    RtSyscallsRestore restore;
    slow::SlowPrefix = t / "voll";
    slow::Install();
    AnswerWaitMs = 20;
    DeleteRequest(L"voll\nf\n", Folder(t));
    ASSERT_TRUE(slow::PumpUntil([] { return slow::HeldUp.load() > 0; }, HandleProgress));
    EXPECT_LT(slow::PingMs(HandleProgress), 100.0);
    EXPECT_EQ(1u, asked.size());
    EXPECT_FALSE(tk_window_exists(WinDeleteProgress));
    EXPECT_TRUE(Exists(t / "f"));

    ASSERT_TRUE(ReleaseAndFinish([&] { return !Exists(t / "f"); }));
    ASSERT_EQ(2u, asked.size());
    EXPECT_EQ(std::wstring(TextNotEmptyHeadline) + L"|" + TextNotEmptyQuestion, asked[1]);
    EXPECT_FALSE(Exists(t / "voll"));
    EXPECT_FALSE(Exists(t / "f"));
    EXPECT_TRUE(boxes.empty());
}

// "Ok" of the new-folder and rename windows on a hanging folder: the window
// stays open and the loop answers, a second "Ok" meanwhile does nothing,
// and the answer then closes the window with the change made once.
TEST_F(FileopsSlowTest, NewFolderAndRenameOnAHangingFolderFinishAfterwards) {
    TempDir t;
    t.write("a.txt", "a");
    ShowPath(GadLeftPane, Folder(t), ShowReset);
    auto handle = [](int32_t code) {
        if (tk_event_window() == WinNewFolder) NewFolderEvents(code);
        if (tk_event_window() == WinRename) RenameEvents(code);
    };

    RtSyscallsRestore restore;
    slow::Install();
    AnswerWaitMs = 20;
    OpenNewFolderDialog(0, 0, 320, 70);
    tk_gadget_set_text(GadNewFolderName, L"Neu");
    slow::SlowPrefix = t / "Neu";
    for (int i = 0; i < 2; ++i) tk_event_post(EventGadget, WinNewFolder, GadNewFolderOk);
    ASSERT_TRUE(slow::PumpUntil([] { return slow::HeldUp.load() > 0; }, handle));
    EXPECT_LT(slow::PingMs(handle), 100.0);
    EXPECT_TRUE(tk_window_exists(WinNewFolder));
    slow::Released = true;
    ASSERT_TRUE(slow::PumpUntil([] { return !tk_window_exists(WinNewFolder); }, handle));
    EXPECT_TRUE(Exists(t / "Neu"));
    EXPECT_TRUE(boxes.empty()); // the second "Ok" did not try again

    slow::Reset();
    ShowPath(GadLeftPane, L"", ShowRefresh);
    tk_list_set_current_row(GadLeftPane, RowOf(GadLeftPane, L"a.txt"));
    StartInlineRename(GadLeftPane);
    tk_gadget_set_text(GadRenameName, L"b.txt");
    slow::SlowPrefix = t / "a.txt";
    tk_event_post(EventGadget, WinRename, GadRenameOk);
    ASSERT_TRUE(slow::PumpUntil([] { return slow::HeldUp.load() > 0; }, handle));
    EXPECT_LT(slow::PingMs(handle), 100.0);
    EXPECT_TRUE(tk_window_exists(WinRename));
    slow::Released = true;
    ASSERT_TRUE(slow::PumpUntil([] { return !tk_window_exists(WinRename); }, handle));
    EXPECT_EQ("a", t.read("b.txt"));
    EXPECT_FALSE(Exists(t / "a.txt"));
}
