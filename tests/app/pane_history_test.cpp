// The navigation history and ShowPath's modes: push, pop, replace, reset,
// re-selection of the remembered row, refresh, and a folder that cannot be
// opened.
#include "pane_fixture.h"

#include "app/panes/pane_location.h"

#include "runtime/syscalls.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

using Texts = std::vector<std::wstring>;

// chmod 000 does not stop root: refuse to open folders named "locked" as the
// kernel would for anyone else.
int OpenRefusingLocked(const char* path, int flags, mode_t mode) {
    const char* name = std::strstr(path, "/locked");
    if ((flags & O_DIRECTORY) && name && (name[7] == 0 || name[7] == '/')) {
        errno = EACCES;
        return -1;
    }
    return rt_syscalls_real().open(path, flags, mode);
}

} // namespace

TEST_F(PaneTest, HistoryOperationsKeepTheSpareSlot) {
    PaneHistory h;
    ResetHistory(h, L"/a/");
    EXPECT_EQ(h.Paths, (Texts{L"/a/", L""}));
    EXPECT_EQ(HistoryFolder(h), L"/a/");
    PushHistory(h, L"/a/b/", 3);
    PushHistory(h, L"/a/b/c/", 5);
    EXPECT_EQ(HistoryFolder(h), L"/a/b/c/");
    EXPECT_EQ(h.Paths.size(), h.Selections.size());
    ReplaceHistoryTop(h, L"/x/");
    EXPECT_EQ(HistoryFolder(h), L"/x/");
    EXPECT_TRUE(PopHistory(h));
    EXPECT_EQ(HistoryFolder(h), L"/a/b/");
    EXPECT_EQ(h.Selections.back(), 5); // the row left in /a/b/, selected again
    EXPECT_TRUE(PopHistory(h));
    EXPECT_TRUE(PopHistory(h));
    EXPECT_FALSE(PopHistory(h)); // never below one element
    EXPECT_EQ(HistoryFolder(h), L"/a/");
    // Unknown panes are left alone.
    EXPECT_EQ(PanePath(7), L"");
    EXPECT_EQ(ShowPath(7, L"/z/", ShowReset), 0);
}

TEST_F(PaneTest, GoingBackUpReselectsTheRowThatWasLeft) {
    TempDir dir;
    for (const char* d : {"a", "b", "c", "c/inner"}) mkdir((dir / d).c_str(), 0755);
    ShowPath(GadLeftPane, Folder(dir), ShowReset);
    Open(GadLeftPane, L"c"); // row 3
    EXPECT_EQ(PanePath(GadLeftPane), Folder(dir) + L"c/");
    EXPECT_EQ(Column(GadLeftPane, 0), (Texts{L"..", L"inner"}));
    Open(GadLeftPane, L"inner");
    Open(GadLeftPane, L"..");
    EXPECT_EQ(PanePath(GadLeftPane), Folder(dir) + L"c/");
    EXPECT_EQ(tk_list_current_row(GadLeftPane), 1);
    Open(GadLeftPane, L"..");
    EXPECT_EQ(PanePath(GadLeftPane), Folder(dir));
    EXPECT_EQ(tk_list_current_row(GadLeftPane), 3);
    EXPECT_EQ(tk_gadget_get_item_state(GadLeftPane, 3) & TkListItemSelected, TkListItemSelected);
    EXPECT_EQ(tk_gadget_get_text(GadLeftPath), Folder(dir));
}

TEST_F(PaneTest, ShowingTheCurrentFolderAgainDoesNothingUnlessRefreshed) {
    TempDir dir;
    dir.write("one", "1");
    dir.write("two", "2");
    ShowPath(GadLeftPane, Folder(dir), ShowReset);
    PaneOf(GadLeftPane)->History.Selections.back() = 2; // the row to select after the next listing
    dir.write("three", "3");
    EXPECT_EQ(ShowPath(GadLeftPane, Folder(dir), ShowPush), 1);
    EXPECT_EQ(PaneOf(GadLeftPane)->History.Paths.size(), 2u);
    EXPECT_EQ(Column(GadLeftPane, 0), (Texts{L"..", L"one", L"two"}));
    // ShowNoFill only activates the pane.
    App.ActivePane = GadRightPane;
    EXPECT_EQ(ShowPath(GadLeftPane, L"", ShowNoFill), 0);
    EXPECT_EQ(App.ActivePane, GadLeftPane);
    EXPECT_EQ(Column(GadLeftPane, 0), (Texts{L"..", L"one", L"two"}));

    EXPECT_EQ(ShowPath(GadLeftPane, Folder(dir), ShowRefresh), 0);
    EXPECT_EQ(Column(GadLeftPane, 0), (Texts{L"..", L"one", L"three", L"two"}));
    EXPECT_EQ(tk_list_current_row(GadLeftPane), 2);
}

TEST_F(PaneTest, FolderThatCannotBeOpenedKeepsTheShownFolder) {
    RtSyscallsRestore restore;
    rt_sys.open = OpenRefusingLocked;
    TempDir top;
    mkdir((top / "dir").c_str(), 0755);
    mkdir((top / "dir/locked").c_str(), 0755);
    top.write("dir/file", "f");
    const std::wstring folder = Folder(top) + L"dir/";
    ShowPath(GadRightPane, folder, ShowReset);
    chmod((top / "dir/locked").c_str(), 0);
    const Texts rows = Column(GadRightPane, 0);

    Open(GadRightPane, L"locked");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], L"Error !|Kann das angebene Verzeichnis nicht öffnen:\n" + folder +
                               L"locked/\n\nEventuell keine Rechte !");
    EXPECT_EQ(Column(GadRightPane, 0), rows);
    EXPECT_EQ(PanePath(GadRightPane), folder);
    EXPECT_EQ(tk_gadget_get_text(GadRightPath), folder);

    // A re-rooted location that fails to list goes back to the shown folder
    // too, so the path field and PanePath name the rows the user sees.
    SetPaneLocation(GadRightPane, folder + L"locked/");
    ShowPath(GadRightPane, L"", ShowRefresh);
    EXPECT_EQ(messages.size(), 2u);
    EXPECT_EQ(PanePath(GadRightPane), folder);
    EXPECT_EQ(tk_gadget_get_text(GadRightPath), folder);
    EXPECT_EQ(Column(GadRightPane, 0), rows);
    // ... and ".." still walks up from there.
    Open(GadRightPane, L"..");
    EXPECT_EQ(PanePath(GadRightPane), Folder(top));
    EXPECT_EQ(Column(GadRightPane, 0), (Texts{L"..", L"dir"}));
}

// Callers pass elements of the pane's own history (the settings loader, the
// drive bar); the history operations must not read them after moving them.
TEST_F(PaneTest, HistoryOperationsTakeTheirOwnElements) {
    PaneHistory h;
    ResetHistory(h, L"/a/");
    for (const wchar_t* p : {L"/a/b/", L"/a/b/c/", L"/a/b/c/d/", L"/a/b/c/d/e/"})
        PushHistory(h, p, 0);
    h.Paths.shrink_to_fit();
    PushHistory(h, h.Paths[0], 0); // grows, and so moves the elements
    EXPECT_EQ(HistoryFolder(h), L"/a/");
    ReplaceHistoryTop(h, h.Paths[2]);
    EXPECT_EQ(HistoryFolder(h), L"/a/b/c/");
    ResetHistory(h, h.Paths[3]);
    EXPECT_EQ(h.Paths, (std::vector<std::wstring>{L"/a/b/c/d/", L""}));
}
