// Folder watchers and the refresh they trigger: one report per burst, the
// changed flag, a prompt stop, rows of new entries like a listing's, a shown
// folder that vanishes.
#include "pane_live_fixture.h"

#include <cstdio>
#include <sys/stat.h>

TEST_F(PaneLiveTest, ABurstOfChangesGivesOneReportAndBothRowsRight) {
    TempDir dir;
    dir.write("alt.txt", "a");
    dir.write("weg.txt", "w");
    ShowPath(GadLeftPane, Folder(dir), ShowReset);
    ASSERT_TRUE(WaitReady(GadLeftPane));
    rt_delay(50); // the watcher has its notification set up
    dir.write("neu.txt", "n");
    ASSERT_EQ(unlink((dir / "weg.txt").c_str()), 0);
    ASSERT_EQ(rename((dir / "alt.txt").c_str(), (dir / "umbenannt.txt").c_str()), 0);
    intptr_t data = 0;
    ASSERT_TRUE(WaitFor(EventDirChanged, &data, 5000));
    EXPECT_EQ(data, PaneReport(*PaneOf(GadLeftPane)));
    PaneDirReport(data);
    EXPECT_FALSE(WaitFor(EventDirChanged, nullptr, 1000)); // one report for the burst
    // The new rows are at the end until their icons are in; then sorted.
    EXPECT_EQ(Column(GadLeftPane, 0).size(), 3u);
    EXPECT_EQ(RowOf(GadLeftPane, L"weg.txt"), -1);
    EXPECT_EQ(RowOf(GadLeftPane, L"alt.txt"), -1);
    ASSERT_TRUE(WaitReady(GadLeftPane));
    EXPECT_EQ(Column(GadLeftPane, 0),
              (std::vector<std::wstring>{L"..", L"neu.txt", L"umbenannt.txt"}));
    EXPECT_EQ(TypeOf(GadLeftPane, L"neu.txt"), L"Einfaches Textdokument");
}

TEST_F(PaneLiveTest, TheChangedFlagForcesAReportAndAStopIsPrompt) {
    TempDir dir;
    ShowPath(GadLeftPane, Folder(dir), ShowReset);
    rt_delay(30);
    MarkPaneChanged(GadLeftPane);
    intptr_t data = 0;
    ASSERT_TRUE(WaitFor(EventDirChanged, &data, 5000));
    EXPECT_EQ(data, PaneReport(*PaneOf(GadLeftPane)));
    // Stopping wakes the watcher's wait: the thread ends at once.
    const int thread = PaneOf(GadLeftPane)->Watcher.Thread;
    StopDirWatcher(GadLeftPane);
    EXPECT_EQ(PaneOf(GadLeftPane)->Watcher.Thread, 0);
    EXPECT_NE(rt_thread_wait(thread), 0);
}

TEST_F(PaneLiveTest, RowsOfNewEntriesLookLikeRowsOfAListing) {
    TempDir dir;
    App.settings.FileSizeUnit = 0; // Byte, not the KB of a bare refresh
    ShowPath(GadLeftPane, Folder(dir), ShowReset);
    dir.write("neu.bin", std::string(1500, 'x'));
    mkdir((dir / "ordner").c_str(), 0755);
    ASSERT_EQ(AddNewEntries(GadLeftPane, PanePath(GadLeftPane)), 1);
    EXPECT_EQ(AddNewEntries(GadLeftPane, PanePath(GadLeftPane)), 0); // nothing new
    const std::wstring added[] = {
        tk_gadget_get_item_text(GadLeftPane, RowOf(GadLeftPane, L"neu.bin"), 1),
        tk_gadget_get_item_text(GadLeftPane, RowOf(GadLeftPane, L"neu.bin"), 3)};
    const std::wstring folder_size =
        tk_gadget_get_item_text(GadLeftPane, RowOf(GadLeftPane, L"ordner"), 3);
    EXPECT_EQ(tk_gadget_get_item_data(GadLeftPane, RowOf(GadLeftPane, L"ordner")), PaneRowFolder);
    EXPECT_EQ(tk_gadget_get_item_data(GadLeftPane, RowOf(GadLeftPane, L"neu.bin")), 1500);
    ShowPath(GadLeftPane, L"", ShowRefresh);
    EXPECT_EQ(tk_gadget_get_item_text(GadLeftPane, RowOf(GadLeftPane, L"neu.bin"), 1), added[0]);
    EXPECT_EQ(added[1], L"1,500 Byte");
    EXPECT_EQ(folder_size, L"");
    EXPECT_EQ(tk_gadget_get_item_text(GadLeftPane, RowOf(GadLeftPane, L"ordner"), 3), L"");
    // Removing: only what the folder no longer holds.
    ASSERT_EQ(unlink((dir / "neu.bin").c_str()), 0);
    EXPECT_EQ(RemoveVanishedEntries(GadLeftPane, PanePath(GadLeftPane)), 1);
    EXPECT_EQ(Column(GadLeftPane, 0), (std::vector<std::wstring>{L"..", L"ordner"}));
    EXPECT_EQ(RemoveVanishedEntries(GadLeftPane, Folder(dir) + L"fehlt/"), 0);
}

TEST_F(PaneLiveTest, AShownFolderThatVanishesGivesWayToItsNearestAncestor) {
    TempDir dir;
    ASSERT_EQ(mkdir((dir / "a").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((dir / "a/b").c_str(), 0755), 0);
    ShowPath(GadLeftPane, Folder(dir) + L"a/b/", ShowReset);
    ShowPath(GadRightPane, Folder(dir), ShowReset); // the right pane is active
    ASSERT_EQ(rmdir((dir / "a/b").c_str()), 0);
    ASSERT_EQ(rmdir((dir / "a").c_str()), 0);
    RefreshPaneEntries(GadLeftPane);
    EXPECT_EQ(PanePath(GadLeftPane), Folder(dir));
    EXPECT_EQ(App.ActivePane, GadRightPane);
    EXPECT_TRUE(messages.empty());
}

// A file written after the listing: its row gets the new size and date in
// place, the pane sorted by size moves it, and no row is added.
TEST_F(PaneLiveTest, AWrittenFileIsUpdatedInPlaceAndResorted) {
    TempDir dir;
    App.settings.FileSizeUnit = 0;
    dir.write("gross.bin", std::string(5000, 'x'));
    dir.write("klein.bin", "k");
    ShowPath(GadLeftPane, Folder(dir), ShowReset);
    ASSERT_TRUE(WaitReady(GadLeftPane));
    SortPane(GadLeftPane, ColSize, SortTypeOfColumn(ColSize), L"", 0); // smallest first
    PaneOf(GadLeftPane)->SortColumn = ColSize;
    ASSERT_EQ(Column(GadLeftPane, 0),
              (std::vector<std::wstring>{L"..", L"klein.bin", L"gross.bin"}));
    const std::wstring old_date = tk_gadget_get_item_text(GadLeftPane, 1, ColDate);
    dir.write("klein.bin", std::string(9000, 'k'));
    struct timespec times[2] = {{0, UTIME_OMIT}, {946684800, 0}}; // 1 January 2000
    ASSERT_EQ(utimensat(AT_FDCWD, (dir / "klein.bin").c_str(), times, 0), 0);
    RefreshPaneEntries(GadLeftPane);
    EXPECT_EQ(Column(GadLeftPane, 0),
              (std::vector<std::wstring>{L"..", L"gross.bin", L"klein.bin"}));
    const int64_t row = RowOf(GadLeftPane, L"klein.bin");
    EXPECT_EQ(tk_gadget_get_item_text(GadLeftPane, row, ColSize), L"9,000 Byte");
    EXPECT_EQ(tk_gadget_get_item_data(GadLeftPane, row), 9000);
    EXPECT_NE(tk_gadget_get_item_text(GadLeftPane, row, ColDate), old_date);
}
