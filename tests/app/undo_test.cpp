// The undo history of file operations: each kind of step undone and redone
// through the real commands and jobs, the identity checks that keep an undo
// from touching what the user changed, the journal after a kill at each
// point of a move, and the menu's texts.
#include "fileops_fixture.h"

#include "app/core/app_state.h"
#include "app/fileops/job_journal.h"
#include "app/fileops/undo_history.h"
#include "app/fileops/undo_internal.h"
#include "app/fileops/undo_job.h"
#include "app/fileops/undo_trash.h"
#include "app/shell/undo_menu.h"
#include "runtime/files.h"
#include "toolkit/menus.h"

#include <QAction>
#include <QMenuBar>

#include <atomic>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <unistd.h>

namespace {

class UndoTest : public FileopsTest {
  protected:
    TempDir home;     // the journal and the trash
    TempDir src, dst; // where the operations happen
    std::string savedDataHome;

    void SetUp() override {
        FileopsTest::SetUp();
        if (const char* d = std::getenv("XDG_DATA_HOME")) savedDataHome = d;
        setenv("XDG_DATA_HOME", (home / "data").c_str(), 1);
        UndoHistoryOpen(Folder(home) + L"Undo/");
    }
    void TearDown() override {
        holding = false;
        FileopsTest::TearDown();
        UndoHistoryClose();
        JournalBatchMs = 500;
        App.settings.TrashOnDelete = 0;
        if (savedDataHome.empty())
            unsetenv("XDG_DATA_HOME");
        else
            setenv("XDG_DATA_HOME", savedDataHome.c_str(), 1);
    }
    // A restart: the history as the next start reads it from disk.
    void Restart() {
        UndoHistoryClose();
        UndoHistoryOpen(Folder(home) + L"Undo/");
    }
    void Undo() {
        UndoCommand();
        RunJob();
    }
    void Redo() {
        RedoCommand();
        RunJob();
    }
    // Every entry below root with its contents ("/" for a folder).
    static std::map<std::string, std::string> Tree(const std::string& root) {
        std::map<std::string, std::string> tree;
        std::vector<std::string> todo{""};
        while (!todo.empty()) {
            const std::string rel = todo.back();
            todo.pop_back();
            DIR* d = opendir((root + rel).c_str());
            while (dirent* e = d ? readdir(d) : nullptr) {
                const std::string name = e->d_name;
                if (name == "." || name == "..") continue;
                const std::string path = rel + "/" + name;
                struct stat st;
                lstat((root + path).c_str(), &st);
                if (S_ISDIR(st.st_mode)) todo.push_back(path);
                tree[path] = S_ISDIR(st.st_mode) ? "/" : ReadFile(root + path);
            }
            if (d) closedir(d);
        }
        return tree;
    }
    // A copy held in its first report until `holding` is cleared: a job
    // that keeps the devices of src and dst busy, as a long copy does.
    static inline std::atomic<bool> holding{false};
    void StartHeldCopy() {
        src.write("lang", "l");
        holding = true;
        ProgressObserver = [](CopyJob& job, int, int, const std::wstring&) {
            while (job.operation == JobCopy && holding) rt_delay(1);
        };
        CopyMoveCommand(L"lang\n", Folder(src), Folder(dst), 0, 0, 0);
        for (int i = 0; i < 20000 && !FileJobRunning(); ++i) {
            DeliverAnswers();
            HandleProgress(tk_event_wait_timeout(1));
        }
        ASSERT_TRUE(FileJobRunning());
    }
    // Delivers the answers asked aside by the commands so far.
    static void Settle() {
        for (int i = 0; i < 20000 && QuestionsRunning() > 0; ++i) rt_delay(1);
        DeliverAnswers();
    }
    // The list at the end of the last undo, empty when none was shown.
    std::wstring Refused() const {
        if (asked.empty() || asked.back().find(L"Nicht ") != 0) return L"";
        return asked.back().substr(asked.back().find(L'|') + 1);
    }
};

TEST_F(UndoTest, MoveOfATreeIsUndoneByteForByteAndRedone) {
    Mkdir(src / "whole");
    src.write("whole/a.txt", "eins");
    Mkdir(src / "merged");
    Mkdir(src / "merged/tief");
    Mkdir(src / "merged/leer"); // no file brings it back: its own item does
    src.write("merged/tief/b.txt", "zwei");
    src.write("c.txt", std::string(100000, 'c'));
    Mkdir(dst / "merged"); // taken over file by file, not by one rename
    dst.write("stays.txt", "da");
    const auto before = Tree(src.path()), target_before = Tree(dst.path());

    Copy(L"whole\nmerged\nc.txt\n", Folder(src), Folder(dst), 1);
    ASSERT_EQ("zwei", ReadFile(dst / "merged/tief/b.txt"));
    ASSERT_FALSE(Exists(src / "merged"));
    EXPECT_EQ(L"Verschieben „c.txt“ und 2 weitere", UndoCandidate().text);

    Undo();
    EXPECT_EQ(before, Tree(src.path()));
    EXPECT_EQ(target_before, Tree(dst.path()));
    EXPECT_EQ(0, UndoCandidate().id);

    Redo();
    EXPECT_EQ("eins", ReadFile(dst / "whole/a.txt"));
    EXPECT_EQ("zwei", ReadFile(dst / "merged/tief/b.txt"));
    EXPECT_FALSE(Exists(src / "c.txt"));
    EXPECT_FALSE(Exists(src / "merged")) << "the emptied folders go, as in the move itself";
    EXPECT_EQ(0, RedoCandidate().id);
    Undo();
    EXPECT_EQ(before, Tree(src.path()));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(UndoTest, RenameAndNewFolderAreUndoneAndANewStepEndsTheRedo) {
    src.write("a.txt", "a");
    ASSERT_TRUE(JournalRename(Folder(src) + L"a.txt", Folder(src) + L"b.txt"));
    ASSERT_TRUE(JournalNewFolder(Folder(src) + L"neu"));
    EXPECT_EQ(L"Neues Verzeichnis „neu“", UndoCandidate().text);

    Undo(); // the folder, still empty, goes
    EXPECT_FALSE(Exists(src / "neu"));
    Undo(); // the old name comes back
    EXPECT_EQ("a", ReadFile(src / "a.txt"));
    EXPECT_EQ(L"Umbenennen „a.txt“", RedoCandidate().text);
    Redo();
    EXPECT_TRUE(Exists(src / "b.txt"));

    // A folder that holds something by now stays, with the reason.
    ASSERT_TRUE(JournalNewFolder(Folder(src) + L"voll"));
    src.write("voll/x", "x");
    EXPECT_EQ(0, RedoCandidate().id) << "a new step makes the undone ones unreachable";
    Undo();
    EXPECT_TRUE(Exists(src / "voll/x"));
    EXPECT_NE(std::wstring::npos,
              Refused().find(L"Nicht rückgängig gemacht: " + Folder(src) + L"voll"));
    // a failed rename leaves no step
    const int64_t id = UndoCandidate().id;
    EXPECT_FALSE(JournalRename(Folder(src) + L"fehlt", Folder(src) + L"x"));
    EXPECT_EQ(id, UndoCandidate().id);
}

TEST_F(UndoTest, MovedBackOnlyWhatIsStillTheFileMovedAndWhosePlaceIsFree) {
    for (const char* n : {"same", "changed", "taken"}) src.write(n, n);
    Copy(L"same\nchanged\ntaken\n", Folder(src), Folder(dst), 1);
    dst.write("changed", "changed, and longer now");
    src.write("taken", "a new file at the old place");

    Undo();
    EXPECT_EQ("same", ReadFile(src / "same"));
    EXPECT_EQ("changed, and longer now", ReadFile(dst / "changed"));
    EXPECT_FALSE(Exists(src / "changed"));
    EXPECT_EQ("a new file at the old place", ReadFile(src / "taken"));
    EXPECT_EQ("taken", ReadFile(dst / "taken"));
    const std::wstring list = Refused();
    EXPECT_NE(std::wstring::npos,
              list.find(L"Nicht rückgängig gemacht: " + Folder(dst) + L"changed"));
    EXPECT_NE(std::wstring::npos,
              list.find(L"Nicht rückgängig gemacht: " + Folder(dst) + L"taken"));
}

TEST_F(UndoTest, CopiesGoToTheTrashOnlyWhileAsCopiedAndComeBackOnRedo) {
    src.write("kept", "kept");
    src.write("edited", "edited");
    Copy(L"kept\nedited\n", Folder(src), Folder(dst), 0);
    dst.write("edited", "the user's work since");

    Undo();
    EXPECT_FALSE(Exists(dst / "kept"));
    EXPECT_TRUE(Exists(home / "data/Trash/files/kept"));
    EXPECT_EQ("the user's work since", ReadFile(dst / "edited"));
    EXPECT_EQ("kept", ReadFile(src / "kept"));
    EXPECT_NE(std::wstring::npos, Refused().find(Folder(dst) + L"edited"));

    Redo();
    EXPECT_EQ("kept", ReadFile(dst / "kept"));
    EXPECT_FALSE(Exists(home / "data/Trash/files/kept"));
}

TEST_F(UndoTest, TrashedEntriesComeBackThroughTheirRecordsAlsoAfterARestart) {
    src.write("a.txt", "a");
    Mkdir(src / "ordner");
    src.write("ordner/b.txt", "b");
    App.settings.TrashOnDelete = 1;
    DeleteOrTrash(L"a.txt\nordner\n", Folder(src));
    RunJob();
    ASSERT_FALSE(Exists(src / "a.txt"));
    ASSERT_TRUE(Exists(home / "data/Trash/info/a.txt.trashinfo"));
    EXPECT_TRUE(asked.empty()) << "into the trash without the delete's questions";

    Restart();
    Undo();
    EXPECT_EQ("a", ReadFile(src / "a.txt"));
    EXPECT_EQ("b", ReadFile(src / "ordner/b.txt"));
    EXPECT_FALSE(Exists(home / "data/Trash/info/a.txt.trashinfo"));
    Redo();
    EXPECT_FALSE(Exists(src / "ordner"));
    EXPECT_TRUE(asked.empty());
}

// A move killed after any number of its renames: the next start undoes
// exactly the files that had moved, and touches nothing else.
TEST_F(UndoTest, AfterAKillTheNextStartUndoesExactlyWhatHadMoved) {
    const std::vector<std::wstring> names = {L"1", L"2", L"3"};
    for (size_t killed_after = 0; killed_after <= names.size(); ++killed_after) {
        SCOPED_TRACE(killed_after);
        for (const std::wstring& n : names) src.write(rt_text_to_os(n), rt_text_to_os(n));
        JournalBatchMs = 0; // each item reaches the disk before the next
        CopyJob& job = NewFileJob(JobMove, Folder(src), Folder(dst));
        job.fileList = names;
        JournalJobStarting(job);
        for (size_t i = 0; i < killed_after; ++i) {
            const JobStep step{StepMoved, Folder(src) + names[i], Folder(dst) + names[i]};
            ASSERT_TRUE(rt_file_rename(step.source, step.target));
            JournalJobStep(job, step);
        }
        JournalRecordFree(job); // the process ends here: no end is written
        EndFileJob(job);
        Restart();
        if (killed_after == 0) {
            EXPECT_EQ(1u, rt_journal_list(&UndoJournal()).size());
        }
        Undo();
        EXPECT_EQ(L"", Refused());
        for (const std::wstring& n : names) EXPECT_TRUE(Exists(src / rt_text_to_os(n)));
        EXPECT_TRUE(Tree(dst.path()).empty());
        asked.clear();
    }

    // Items the last write did not reach: what stands at their new place
    // cannot be told from the user's own, so it stays and is named.
    JournalBatchMs = 1000000;
    // "1" moves, then the program is killed before the journal hears more.
    const auto move_one_and_kill = [&](CopyJob& j) {
        JournalJobStarting(j);
        ASSERT_TRUE(rt_file_rename(Folder(src) + L"1", Folder(dst) + L"1"));
        JournalJobStep(j, {StepMoved, Folder(src) + L"1", Folder(dst) + L"1"});
        JournalRecordFree(j);
        EndFileJob(j);
        Restart();
    };
    CopyJob& job = NewFileJob(JobMove, Folder(src), Folder(dst));
    job.fileList = {L"1", L"2"};
    move_one_and_kill(job);
    Undo();
    EXPECT_TRUE(Exists(dst / "1"));
    EXPECT_TRUE(Exists(src / "2"));
    EXPECT_NE(std::wstring::npos, Refused().find(Folder(dst) + L"1"));

    // With the identities the command took, the same items are found exactly.
    ASSERT_TRUE(rt_file_rename(Folder(dst) + L"1", Folder(src) + L"1"));
    CopyJob& known = NewFileJob(JobMove, Folder(src), Folder(dst));
    known.fileList = {L"1", L"2"};
    known.fileIdentities.resize(2);
    for (size_t i = 0; i < 2; ++i)
        rt_identity_take(Folder(src) + known.fileList[i], &known.fileIdentities[i]);
    move_one_and_kill(known);
    asked.clear();
    Undo();
    EXPECT_EQ(L"", Refused());
    EXPECT_EQ("1", ReadFile(src / "1"));
    EXPECT_TRUE(Tree(dst.path()).empty());
}

TEST_F(UndoTest, ACancelledMoveUndoesThePartThatHappened) {
    for (const char* n : {"1", "2", "3"}) src.write(n, n);
    ProgressObserver = [](CopyJob& job, int, int, const std::wstring&) {
        job.cancel = JobCancelled;
    };
    Copy(L"1\n2\n3\n", Folder(src), Folder(dst), 1);
    ProgressObserver = nullptr;
    ASSERT_TRUE(Exists(dst / "1"));
    ASSERT_TRUE(Exists(src / "2"));
    Undo();
    EXPECT_EQ(L"", Refused());
    EXPECT_TRUE(Tree(dst.path()).empty());
    for (const char* n : {"1", "2", "3"}) EXPECT_EQ(n, ReadFile(src / n));
}

TEST_F(UndoTest, UndosAskedWhileAJobRunsWaitAndTakeTheStepsInOrder) {
    src.write("a", "a");
    src.write("c", "c");
    ASSERT_TRUE(JournalRename(Folder(src) + L"a", Folder(src) + L"b"));
    ASSERT_TRUE(JournalRename(Folder(src) + L"c", Folder(src) + L"d"));
    StartHeldCopy();
    UndoCommand();
    Settle();
    EXPECT_EQ(L"Umbenennen „a“", UndoCandidate().text) << "the next Ctrl+Z takes the older step";
    UndoCommand();
    Settle();
    EXPECT_EQ(0, UndoCandidate().id);
    RedoCommand();
    Settle();
    EXPECT_EQ(L"Umbenennen „c“", RedoCandidate().text);
    // A waiting redo dropped from the queue leaves the undo's claim.
    ASSERT_EQ(JobState::Waiting, QueuedJobs().back().state);
    CancelFileJob(QueuedJobs().back().id);
    EXPECT_EQ(L"Umbenennen „a“", RedoCandidate().text);
    RedoCommand();
    Settle();
    size_t waiting = 0;
    for (const QueuedJob& e : QueuedJobs()) waiting += e.state == JobState::Waiting;
    EXPECT_EQ(3u, waiting);
    EXPECT_TRUE(Exists(src / "b") && Exists(src / "d")) << "nothing is undone while the copy runs";

    holding = false;
    RunJob();
    EXPECT_EQ("l", ReadFile(dst / "lang"));
    EXPECT_EQ("c", ReadFile(src / "c"));
    EXPECT_FALSE(Exists(src / "d"));
    EXPECT_EQ("a", ReadFile(src / "b")) << "undone, then redone";
    EXPECT_FALSE(Exists(src / "a"));
    EXPECT_EQ(L"", Refused());
}

TEST_F(UndoTest, AFailedItemIsAskedAboutAndWhatAStopLeftStaysUndoable) {
    for (const char* n : {"1", "2", "3"}) src.write(n, n);
    Copy(L"1\n2\n3\n", Folder(src), Folder(dst), 1);
    const int64_t step = UndoCandidate().id;
    ProgressObserver = [](CopyJob& job, int, int, const std::wstring&) {
        rt_control_cancel(&job.control);
    };
    Undo(); // cancelled before its first item
    ProgressObserver = nullptr;
    EXPECT_TRUE(Exists(dst / "3"));
    EXPECT_EQ(step, UndoCandidate().id);

    rt_sys.renameat2 = [](int a, const char* from, int b, const char* to, unsigned flags) {
        if (std::string(from).ends_with("/2")) return errno = EIO, -1;
        return rt_syscalls_real().renameat2(a, from, b, to, flags);
    };
    jobAnswers = {JobAnswerRetry, JobAnswerStop};
    Undo(); // newest first: "3" goes back, "2" fails twice, then the job stops
    ASSERT_EQ(2u, jobAsked.size());
    EXPECT_EQ(0u, jobAsked[0].find(Folder(dst) + L"2|"));
    EXPECT_TRUE(Exists(src / "3"));
    EXPECT_TRUE(Exists(dst / "1"));
    EXPECT_EQ(step, UndoCandidate().id);
    jobAnswers = {JobAnswerSkip};
    Undo();
    EXPECT_EQ(3u, jobAsked.size());
    EXPECT_TRUE(Exists(src / "1"));
    EXPECT_NE(std::wstring::npos,
              Refused().find(L"Nicht rückgängig gemacht: " + Folder(dst) + L"2"));
    EXPECT_EQ(step, UndoCandidate().id) << "the skipped item is still to undo";

    rt_sys = rt_syscalls_real();
    Undo();
    for (const char* n : {"1", "2", "3"}) EXPECT_EQ(n, ReadFile(src / n));
    EXPECT_TRUE(Tree(dst.path()).empty());
    EXPECT_NE(step, UndoCandidate().id);
}

TEST_F(UndoTest, MenuNamesTheNextStepsAndGreysWhenThereIsNone) {
    tk_menu_create(MenuMain, tk_window_handle(WinMain));
    tk_menu_title(L"Befehle");
    AddUndoMenuItems();
    const auto item = [](const char* lead) -> QAction* {
        auto* bar = reinterpret_cast<QMenuBar*>(tk_menu_handle(MenuMain));
        for (QAction* a : bar->findChildren<QAction*>())
            if (a->text().startsWith(QString::fromUtf8(lead))) return a;
        return nullptr;
    };
    ASSERT_NE(nullptr, item("Rückgängig"));
    EXPECT_FALSE(item("Rückgängig")->isEnabled());
    EXPECT_FALSE(item("Wiederholen")->isEnabled());

    src.write("a&b.txt", "a");
    JournalRename(Folder(src) + L"a&b.txt", Folder(src) + L"c.txt");
    RefreshUndoMenu();
    EXPECT_EQ(QString::fromUtf8("Rückgängig: Umbenennen „a&&b.txt“\tCtrl+Z"),
              item("Rückgängig")->text());
    EXPECT_TRUE(item("Rückgängig")->isEnabled());
    Undo();
    RefreshUndoMenu();
    EXPECT_FALSE(item("Rückgängig")->isEnabled());
    EXPECT_TRUE(item("Wiederholen: Umbenennen")->isEnabled());
    tk_menu_free(MenuMain);
}

} // namespace
