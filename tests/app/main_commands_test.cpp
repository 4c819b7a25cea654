// The commands the keys of the pane lists and the window run: Ctrl+C and
// Ctrl+X put the selected files on the clipboard (not the current name as
// text), Ctrl+U exchanges the panes' folders, Ctrl+O shows the active
// pane's folder in the other pane too.
#include "app/panes/select_pattern.h"
#include "app/shell/main_commands.h"
#include "app/shell/pane_context_menu.h"
#include "pane_fixture.h"
#include "toolkit/clipboard.h"

TEST_F(PaneTest, ClipboardKeysTakeTheSelectedFilesAndSwapExchangesTheFolders) {
    TempDir a, b;
    a.write("x.txt", "x");
    a.write("y.txt", "y");
    ShowPath(GadRightPane, Folder(b), ShowReset);
    ShowPath(GadLeftPane, Folder(a), ShowReset);
    ASSERT_EQ(App.ActivePane, GadLeftPane);
    SelectAllRows(GadLeftPane);
    int64_t cut = -1;
    RunMainCommand(MenuCopyFiles);
    EXPECT_EQ(tk_clipboard_get_files(&cut), Folder(a) + L"x.txt\n" + Folder(a) + L"y.txt");
    EXPECT_EQ(cut, 0);
    RunMainCommand(MenuCutFiles);
    tk_clipboard_get_files(&cut);
    EXPECT_EQ(cut, 1);
    PaneContext = PaneContextState{}; // as a right click leaves it, for the tests after

    EXPECT_EQ(RunMainCommand(MenuSwapPanes), 1);
    EXPECT_EQ(PanePath(GadLeftPane), Folder(b));
    EXPECT_EQ(PanePath(GadRightPane), Folder(a));
    EXPECT_EQ(App.ActivePane, GadLeftPane); // the keyboard stays on its side
    RunMainCommand(MenuSameFolder);
    EXPECT_EQ(PanePath(GadRightPane), Folder(b));
    EXPECT_EQ(App.ActivePane, GadLeftPane);
}
