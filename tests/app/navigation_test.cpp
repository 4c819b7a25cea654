// Opening entries, shortcuts and links, typed paths, drive buttons and
// folder sizes.
#include "pane_fixture.h"

#include "app/panes/pane_location.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

using Texts = std::vector<std::wstring>;

void Link(const std::string& target, const std::string& link) {
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
}

// Runs the main loop until the posted gadget event has been taken (its bound
// callbacks run as it is generated).
void DeliverGadgetEvent(int64_t gadget) {
    tk_event_post(EventGadget, WinMain, gadget, 0);
    for (int i = 0; i < 100; i++) {
        if (tk_event_wait_timeout(20) == EventGadget && tk_event_gadget() == gadget) return;
    }
    FAIL() << "event not delivered";
}

} // namespace

TEST_F(PaneTest, FilesOfAnySizeGoToTheDesktop) {
    TempDir dir;
    dir.write("empty.txt", "");
    dir.write("blinker.txt", "text");
    ShowPath(GadLeftPane, Folder(dir), ShowReset);
    Open(GadLeftPane, L"empty.txt");
    Open(GadLeftPane, L"blinker.txt");
    EXPECT_EQ(opened, (Texts{Folder(dir) + L"empty.txt|" + Folder(dir),
                             Folder(dir) + L"blinker.txt|" + Folder(dir)}));
    EXPECT_EQ(PanePath(GadLeftPane), Folder(dir));
}

TEST_F(PaneTest, NoCurrentRowOpensNothing) {
    TempDir dir;
    ShowPath(GadLeftPane, Folder(dir), ShowReset);
    tk_gadget_set_item_state(GadLeftPane, 0, 0);
    tk_list_set_current_row(GadLeftPane, -1);
    OpenSelectedEntry(GadLeftPane);
    EXPECT_EQ(PanePath(GadLeftPane), Folder(dir));
    EXPECT_EQ(PaneOf(GadLeftPane)->History.Paths.size(), 2u);
    EXPECT_TRUE(opened.empty());
}

TEST_F(PaneTest, LinksAndShortcuts) {
    TempDir dir, elsewhere;
    mkdir((elsewhere / "target").c_str(), 0755);
    mkdir((elsewhere / "target/deep").c_str(), 0755);
    elsewhere.write("file.txt", "x");
    Link(elsewhere / "target", dir / "linked");
    Link(elsewhere / "file.txt", dir / "filelink");
    Link(dir / "missing", dir / "broken");
    dir.write("ordner.desktop", "[Desktop Entry]\nType=Link\nName=Ordner\nURL=file://" +
                                    elsewhere.path() + "/target/deep\n");
    ShowPath(GadLeftPane, Folder(dir), ShowReset);

    // A linked folder is entered by its logical path.
    Open(GadLeftPane, L"linked");
    EXPECT_EQ(PanePath(GadLeftPane), Folder(dir) + L"linked/");
    EXPECT_EQ(Column(GadLeftPane, 0), (Texts{L"..", L"deep"}));
    Open(GadLeftPane, L"..");
    EXPECT_EQ(PanePath(GadLeftPane), Folder(dir));

    // Links to files and broken links are opened as themselves.
    Open(GadLeftPane, L"filelink");
    Open(GadLeftPane, L"broken");
    EXPECT_EQ(opened, (Texts{Folder(dir) + L"filelink|" + Folder(dir),
                             Folder(dir) + L"broken|" + Folder(dir)}));

    // A shortcut to a folder re-roots the pane: ".." walks the target's ancestors.
    Open(GadLeftPane, L"ordner.desktop");
    const std::wstring deep = Folder(elsewhere) + L"target/deep/";
    EXPECT_EQ(PanePath(GadLeftPane), deep);
    EXPECT_EQ(PaneOf(GadLeftPane)->History.Paths.front(), deep);
    Open(GadLeftPane, L"..");
    EXPECT_EQ(PanePath(GadLeftPane), Folder(elsewhere) + L"target/");

    EXPECT_EQ(ResolveShortcut(W(dir / "nothing")), std::wstring(261, L' '));
}

TEST_F(PaneTest, ParentOfAFolderShownWithoutHistory) {
    TempDir dir;
    mkdir((dir / "mount").c_str(), 0755);
    ShowPath(GadRightPane, Folder(dir) + L"mount/", ShowReset); // as a drive button does
    Open(GadRightPane, L"..");
    EXPECT_EQ(PanePath(GadRightPane), Folder(dir));
    EXPECT_EQ(Column(GadRightPane, 0), (Texts{L"..", L"mount"}));
}

TEST_F(PaneTest, TypedPaths) {
    TempDir dir;
    mkdir((dir / "sub").c_str(), 0755);
    ShowPath(GadRightPane, Folder(dir), ShowReset);

    tk_gadget_set_text(GadRightPath, W(dir / "sub"));
    OpenTypedPath(GadRightPane);
    EXPECT_EQ(PanePath(GadRightPane), Folder(dir) + L"sub/");
    EXPECT_EQ(tk_gadget_get_text(GadRightPath), Folder(dir) + L"sub/");
    EXPECT_EQ(PaneOf(GadRightPane)->History.Paths[1], L"/");
    EXPECT_TRUE(messages.empty());

    tk_gadget_set_text(GadRightPath, W(dir / "gibts-nicht"));
    OpenTypedPath(GadRightPane);
    EXPECT_EQ(messages, (Texts{L"Error !|Das angegebene Verzeichnis Exsitiert nicht !\n" +
                               W(dir / "gibts-nicht")}));
    EXPECT_EQ(tk_gadget_get_text(GadRightPath), Folder(dir) + L"sub/");
    EXPECT_EQ(PanePath(GadRightPane), Folder(dir) + L"sub/");
}

TEST_F(PaneTest, DriveButtonShowsItsMountPoint) {
    TempDir dir;
    mkdir((dir / "stick").c_str(), 0755);
    mkdir((dir / "gone").c_str(), 0755);
    ShowPath(GadRightPane, Folder(dir), ShowReset);
    const intptr_t picture = tk_image_handle(ImgFile);
    auto button = [&](const std::string& name, const std::wstring& label) {
        DriveButtonRecord b;
        b.Gadget = tk_image_button_create(-1, 0, 0, 30, 20, picture, TkButtonToggle);
        tk_gadget_set_data(b.Gadget, 1);
        tk_gadget_bind(b.Gadget, DriveButtonClicked);
        b.Drive.Root = W(dir / name) + L"/";
        b.Drive.Label = label;
        return b;
    };
    App.RightDriveButtons = {button("stick", L"Stick"), button("gone", L"Weg"),
                             DriveButtonRecord{}};
    rmdir((dir / "gone").c_str());

    DeliverGadgetEvent(App.RightDriveButtons[0].Gadget);
    EXPECT_EQ(PanePath(GadRightPane), Folder(dir) + L"stick/");
    EXPECT_EQ(PaneOf(GadRightPane)->History.Paths.size(), 2u);
    EXPECT_EQ(tk_gadget_get_state(App.RightDriveButtons[0].Gadget), 1);
    EXPECT_EQ(tk_gadget_get_text(GadRightDiskInfo).rfind(L"Stick ", 0), 0u);

    DeliverGadgetEvent(App.RightDriveButtons[1].Gadget);
    EXPECT_EQ(messages, (Texts{L"Fehler !|Kann das angegebene Verzeichnis nicht öffnen:\n" +
                               Folder(dir) + L"gone/"}));
    EXPECT_EQ(PanePath(GadRightPane), Folder(dir) + L"stick/");
    EXPECT_EQ(tk_gadget_get_state(App.RightDriveButtons[0].Gadget), 0);
    EXPECT_EQ(tk_gadget_get_state(App.RightDriveButtons[1].Gadget), 0);
}

TEST_F(PaneTest, FolderSizeNeverFollowsLinks) {
    TempDir dir, big;
    big.write("huge", std::string(1 << 20, 'x'));
    mkdir((dir / "tree").c_str(), 0755);
    mkdir((dir / "tree/nested").c_str(), 0755);
    dir.write("tree/a", std::string(1000, 'a'));
    dir.write("tree/nested/b", std::string(3000, 'b'));
    Link(big.path(), dir / "tree/to-big");
    Link(big / "huge", dir / "tree/to-huge");
    Link(dir / "tree", dir / "tree/nested/loop");
    EXPECT_EQ(FolderSize(W(dir / "tree"), FolderSizeWithSubfolders), 4000);
    EXPECT_EQ(FolderSize(W(dir / "tree") + L"/", FolderSizeFilesOnly), 1000);
    EXPECT_EQ(FolderSize(W(dir / "tree/a"), FolderSizeWithSubfolders), FolderSizeFilesOnly);
    EXPECT_EQ(FolderSize(W(dir / "tree/to-big"), FolderSizeWithSubfolders), FolderSizeFilesOnly);
    EXPECT_EQ(FolderSize(W(dir / "nothing"), FolderSizeWithSubfolders), FolderSizeFilesOnly);

    // Space: each selected folder row gets its own size in KB; files keep theirs.
    dir.write("loose", std::string(5000, 'l'));
    ShowPath(GadLeftPane, Folder(dir), ShowReset);
    tk_gadget_set_item_state(GadLeftPane, RowOf(GadLeftPane, L"tree"), TkListItemSelected);
    tk_gadget_set_item_state(GadLeftPane, RowOf(GadLeftPane, L"loose"), TkListItemSelected);
    ShowFolderSizeOfSelection(GadLeftPane);
    EXPECT_EQ(tk_gadget_get_item_text(GadLeftPane, RowOf(GadLeftPane, L"tree"), 3), L"4 KB");
    EXPECT_EQ(tk_gadget_get_item_text(GadLeftPane, RowOf(GadLeftPane, L"loose"), 3), L"5,000 Byte");
}

TEST_F(PaneTest, GoingUpFromDeletedFoldersEndsInTheNearestExistingOne) {
    TempDir dir;
    ASSERT_EQ(system(("mkdir -p '" + dir / "a/b/c" + "'").c_str()), 0);
    ShowPath(GadLeftPane, Folder(dir), ShowReset);
    Open(GadLeftPane, L"a");
    Open(GadLeftPane, L"b");
    Open(GadLeftPane, L"c");
    ASSERT_EQ(PanePath(GadLeftPane), Folder(dir) + L"a/b/c/");
    ASSERT_EQ(system(("rm -r '" + dir / "a/b" + "'").c_str()), 0); // c and its parent b
    Open(GadLeftPane, L"..");
    EXPECT_TRUE(messages.empty()) << (messages.empty() ? "" : rt_text_to_os(messages[0]));
    EXPECT_EQ(PanePath(GadLeftPane), Folder(dir) + L"a/");
    EXPECT_EQ(tk_gadget_get_text(GadLeftPath), Folder(dir) + L"a/");
    EXPECT_EQ(Column(GadLeftPane, 0), (Texts{L".."}));
    Open(GadLeftPane, L".."); // and on up from there as usual
    EXPECT_EQ(PanePath(GadLeftPane), Folder(dir));
    // the same for a pane whose history holds no earlier folder
    ASSERT_EQ(system(("mkdir -p '" + dir / "x/y" + "'").c_str()), 0);
    ShowPath(GadRightPane, Folder(dir) + L"x/y/", ShowReset);
    ASSERT_EQ(system(("rm -r '" + dir / "x" + "'").c_str()), 0);
    Open(GadRightPane, L"..");
    EXPECT_EQ(PanePath(GadRightPane), Folder(dir));
    EXPECT_TRUE(messages.empty());
}

TEST_F(PaneTest, FolderThatCannotBeEnteredSaysSo) {
    TempDir dir;
    mkdir((dir / "weg").c_str(), 0755);
    mkdir((dir / "loop").c_str(), 0755);
    Link(".", dir / "loop/self"); // self/self/self/... ends in too many links
    ShowPath(GadLeftPane, Folder(dir), ShowReset);
    rmdir((dir / "weg").c_str()); // deleted after it was listed
    Open(GadLeftPane, L"weg");
    EXPECT_EQ(messages, (Texts{L"Error !|Kann das angebene Verzeichnis nicht öffnen:\n" +
                               Folder(dir) + L"weg/\n\nEventuell keine Rechte !"}));
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(PanePath(GadLeftPane), Folder(dir));

    messages.clear();
    Open(GadLeftPane, L"loop");
    int depth = 0;
    while (messages.empty() && depth++ < 100) Open(GadLeftPane, L"self");
    ASSERT_EQ(messages.size(), 1u) << "the link loop never stopped";
    EXPECT_EQ(messages[0].find(L"Error !|Kann das angebene Verzeichnis nicht öffnen:\n"), 0u);
    EXPECT_TRUE(opened.empty());
    EXPECT_NE(PanePath(GadLeftPane).find(L"/self/"), std::wstring::npos);
}

TEST_F(PaneTest, BackspaceGoesUpLikeTheParentRow) {
    TempDir dir;
    mkdir((dir / "sub").c_str(), 0755);
    ShowPath(GadLeftPane, Folder(dir), ShowReset);
    Open(GadLeftPane, L"sub");
    OpenParentFolder(GadLeftPane);
    EXPECT_EQ(PanePath(GadLeftPane), Folder(dir));
    EXPECT_EQ(tk_gadget_get_text(GadLeftPane), L"sub"); // the row it came from
    ShowPath(GadLeftPane, L"/", ShowReset);             // a root lists no "..": nothing happens
    OpenParentFolder(GadLeftPane);
    EXPECT_EQ(PanePath(GadLeftPane), L"/");
}
