// Delete, new folder and rename: the questions, progress, cancel, failure
// reports, links inside deleted folders, and the names the dialogs refuse.
#include "fileops_fixture.h"

#include "app/fileops/fileops_texts.h"

#include <cerrno>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int unlink_refused(int, const char*, int) {
    errno = EACCES;
    return -1;
}
// A folder that takes no change: what a read-only folder or disk answers.
int g_rename_error = 0;
int rename_refused(int, const char*, int, const char*, unsigned) {
    errno = g_rename_error;
    return -1;
}
int rename_refused_plain(const char*, const char*) {
    errno = g_rename_error;
    return -1;
}
void CancelNow(CopyJob& job, int, int, const std::wstring&) {
    job.cancel = JobCancelled;
}

} // namespace

TEST_F(FileopsTest, DeleteAsksTwiceForFullFoldersAndKeepsAllOnAbort) {
    TempDir t;
    Mkdir(t / "voll");
    t.write("voll/.versteckt", "x");
    Mkdir(t / "leer");
    answers = {6, 7};
    DeleteRequest(L"voll\nleer\n", Folder(t));
    RunJob();
    ASSERT_EQ(2u, asked.size());
    EXPECT_EQ(std::wstring(TextNotEmptyHeadline) + L"|" + TextNotEmptyQuestion, asked[1]);
    EXPECT_TRUE(Exists(t / "voll/.versteckt"));
    EXPECT_TRUE(Exists(t / "leer"));

    asked.clear();
    DeleteRequest(L"leer\n", Folder(t)); // only empty folders: one question
    RunJob();
    EXPECT_EQ(1u, asked.size());
    EXPECT_FALSE(Exists(t / "leer"));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(FileopsTest, DeleteCountsFilesAndRemovesLinksNotTheirTargets) {
    TempDir t, outside;
    outside.write("bleibt", "wichtig");
    for (const char* n : {"1", "2", "3", "4"}) t.write(n, n);
    ASSERT_EQ(0, chmod((t / "2").c_str(), 0444)); // read-only goes too
    Mkdir(t / "ordner");
    ASSERT_EQ(0, symlink(outside.path().c_str(), (t / "ordner/link").c_str()));
    ASSERT_EQ(0, symlink(outside.path().c_str(), (t / "direkt").c_str()));
    ProgressObserver = Totals;
    DeleteCommand(L"1\n2\n3\n4\nordner\ndirekt\n", Folder(t));
    RunJob();
    // four files and the link: 20 per item, then 100 at the end
    EXPECT_EQ((std::vector<int>{20, 40, 60, 80, 100, 100}), totals);
    for (const char* n : {"1", "2", "3", "4", "ordner", "direkt"}) EXPECT_FALSE(Exists(t / n)) << n;
    EXPECT_EQ("wichtig", outside.read("bleibt"));
    EXPECT_TRUE(boxes.empty());
}

// F8 looks at the selection once, while it asks: the bar counts the files
// only, and a file that has turned into a full folder by the time the job
// runs keeps what it holds, since nobody was asked about that.
TEST_F(FileopsTest, DeleteRequestCountsFilesAndSparesAFileThatBecameAFolder) {
    TempDir t;
    for (const char* n : {"1", "2", "3", "4"}) t.write(n, n);
    Mkdir(t / "voll");
    t.write("voll/x", "x");
    static std::string turned;
    turned = t / "4";
    Messages.Dialog = [](int64_t kind, const std::wstring& title, const std::wstring& headline,
                         const std::wstring& text, int64_t buttons, int64_t owner) -> int64_t {
        if (headline == TextNotEmptyHeadline && unlink(turned.c_str()) == 0 &&
            mkdir(turned.c_str(), 0755) == 0)
            std::ofstream(turned + "/inhalt") << "bleibt";
        return Script(kind, title, headline, text, buttons, owner);
    };
    ProgressObserver = Totals;
    DeleteRequest(L"1\n2\n3\n4\nvoll\n", Folder(t));
    RunJob();
    ASSERT_EQ(2u, asked.size());
    EXPECT_EQ((std::vector<int>{25, 50, 75, 100, 100}), totals);
    for (const char* n : {"1", "2", "3", "voll"}) EXPECT_FALSE(Exists(t / n)) << n;
    EXPECT_EQ("bleibt", t.read("4/inhalt"));
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"Delete...|Löschen nicht erfolgreich", boxes[0]);
}

TEST_F(FileopsTest, CancelledDeleteLeavesFoldersAndRemainingFiles) {
    TempDir t;
    for (const char* n : {"1", "2"}) t.write(n, n);
    Mkdir(t / "ordner");
    ProgressObserver = CancelNow;
    DeleteCommand(L"1\n2\nordner\n", Folder(t));
    RunJob();
    EXPECT_FALSE(Exists(t / "1"));
    EXPECT_TRUE(Exists(t / "2"));
    EXPECT_TRUE(Exists(t / "ordner"));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(FileopsTest, DeleteThatLeavesSomethingSaysSo) {
    TempDir t;
    Mkdir(t / "ordner");
    t.write("ordner/f", "f");
    rt_sys.unlinkat = unlink_refused;
    DeleteCommand(L"ordner\n", Folder(t));
    RunJob();
    EXPECT_TRUE(Exists(t / "ordner/f"));
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"Delete...|Löschen nicht erfolgreich", boxes[0]);
}

TEST_F(FileopsTest, NewFolderTwiceAndRefusedNames) {
    TempDir t;
    ShowPath(GadLeftPane, Folder(t), ShowReset);
    OpenNewFolderDialog(0, 0, 320, 70);
    ASSERT_TRUE(tk_window_exists(WinNewFolder));
    tk_gadget_set_text(GadNewFolderName, L"Neu");
    tk_event_post(EventMenu, WinNewFolder, MenuDialogReturn); // Return acts as "Ok"
    for (int i = 0; i < 50 && tk_window_exists(WinNewFolder); ++i) {
        const int32_t v = tk_event_wait_timeout(20);
        if (tk_event_window() == WinNewFolder) NewFolderEvents(v);
    }
    EXPECT_TRUE(Exists(t / "Neu"));
    EXPECT_FALSE(tk_window_exists(WinNewFolder));
    OpenNewFolderDialog(0, 0, 320, 70);
    for (const wchar_t* name : {L"Neu", L"a/b", L".", L"..", L"   "}) {
        boxes.clear();
        tk_gadget_set_text(GadNewFolderName, name);
        PressOk(WinNewFolder, GadNewFolderOk, NewFolderEvents);
        ASSERT_EQ(1u, boxes.size()) << name;
        // the old headline, then the path and the reason
        EXPECT_EQ(boxes[0].find(L"Error !|Verzeichnis konnte nicht erstellt werden !\n"), 0u);
        if (std::wstring(name) == L"Neu") {
            EXPECT_NE(boxes[0].find(L"bereits"), std::wstring::npos) << boxes[0];
        }
        EXPECT_TRUE(tk_window_exists(WinNewFolder)) << "the dialog stays for another name";
    }
    EXPECT_FALSE(Exists(t / "a"));
    tk_gadget_set_text(GadNewFolderName, L"Mit Blank  ");
    PressOk(WinNewFolder, GadNewFolderOk, NewFolderEvents);
    EXPECT_TRUE(Exists(t / "Mit Blank"));
    EXPECT_FALSE(tk_window_exists(WinNewFolder));
}

TEST_F(FileopsTest, RenameKeepsTheWindowForNamesItCannotTake) {
    TempDir t;
    t.write("a.txt", "a");
    t.write("b.txt", "b");
    ShowPath(GadLeftPane, Folder(t), ShowReset);
    ShowPath(GadLeftPane, L"", ShowRefresh);
    tk_list_set_current_row(GadLeftPane, RowOf(GadLeftPane, L"a.txt"));
    StartInlineRename(GadLeftPane);
    ASSERT_TRUE(tk_window_exists(WinRename));
    EXPECT_EQ(L"a.txt", tk_gadget_get_text(GadRenameName));
    // Each refusal says which entry and why.
    const std::pair<const wchar_t*, const wchar_t*> refused[] = {{L"b.txt", L"bereits"},
                                                                 {L"../a.txt", L"„/“"},
                                                                 {L"..", L"kein erlaubter Name"},
                                                                 {L"", L"kein Name"}};
    for (const auto& [name, reason] : refused) {
        boxes.clear();
        tk_gadget_set_text(GadRenameName, name);
        PressOk(WinRename, GadRenameOk, RenameEvents);
        EXPECT_TRUE(tk_window_exists(WinRename)) << name;
        ASSERT_EQ(1u, boxes.size()) << name;
        EXPECT_NE(boxes[0].find(L"a.txt"), std::wstring::npos) << boxes[0];
        EXPECT_NE(boxes[0].find(reason), std::wstring::npos) << boxes[0];
    }
    // A folder that cannot be written to says so, also on a read-only disk.
    rt_sys.renameat2 = rename_refused;
    rt_sys.rename = rename_refused_plain;
    for (const auto& [error, reason] : {std::pair{EACCES, L"Keine Schreibrechte"},
                                        std::pair{EROFS, L"schreibgeschützten Datenträger"}}) {
        boxes.clear();
        g_rename_error = error;
        tk_gadget_set_text(GadRenameName, L"c.txt");
        PressOk(WinRename, GadRenameOk, RenameEvents);
        EXPECT_TRUE(tk_window_exists(WinRename)) << error;
        ASSERT_EQ(1u, boxes.size()) << error;
        EXPECT_NE(boxes[0].find(reason), std::wstring::npos) << boxes[0];
    }
    rt_sys = rt_syscalls_real();
    EXPECT_EQ("a", t.read("a.txt"));
    EXPECT_EQ("b", t.read("b.txt"));
    tk_gadget_set_text(GadRenameName, L"c.txt");
    PressOk(WinRename, GadRenameOk, RenameEvents);
    EXPECT_EQ("a", t.read("c.txt"));
    EXPECT_EQ(-1, RowOf(GadLeftPane, L"a.txt"));
    EXPECT_FALSE(tk_window_exists(WinRename));
}
