// The pane filter: narrowing by name from the snapshot, the empty filter,
// a filter that matches nothing, and never rows of another folder.
#include "app/shell/main_window.h"
#include "pane_live_fixture.h"

namespace {
using Texts = std::vector<std::wstring>;

void Type(int64_t pane, const std::wstring& text) {
    tk_gadget_set_text(PaneFilterBox(pane), text);
    ApplyPaneFilter(pane);
}
} // namespace

TEST_F(PaneLiveTest, TheFilterNarrowsRowsFromTheSnapshot) {
    TempDir dir;
    for (const char* name : {"Bericht.txt", "bild.png", "Notiz.TXT", "xyz"}) dir.write(name, "x");
    ShowPath(GadLeftPane, Folder(dir), ShowReset);
    ASSERT_TRUE(WaitReady(GadLeftPane));
    const Texts all = Column(GadLeftPane, 0);
    const Texts types = Column(GadLeftPane, 2);

    Type(GadLeftPane, L"txt"); // case-insensitive, anywhere in the name
    EXPECT_EQ(Column(GadLeftPane, 0), (Texts{L"Bericht.txt", L"Notiz.TXT"}));
    EXPECT_EQ(TypeOf(GadLeftPane, L"Bericht.txt"), L"Einfaches Textdokument");
    EXPECT_TRUE(TagOf(GadLeftPane, L"Bericht.txt") & PaneTagIconed);
    Type(GadLeftPane, L"B");
    EXPECT_EQ(Column(GadLeftPane, 0), (Texts{L"Bericht.txt", L"bild.png"}));
    Type(GadLeftPane, L"nichts"); // ".." is filtered like any row
    EXPECT_TRUE(Column(GadLeftPane, 0).empty());
    Type(GadLeftPane, L""); // every row again, in snapshot order, decorated
    EXPECT_EQ(Column(GadLeftPane, 0), all);
    EXPECT_EQ(Column(GadLeftPane, 2), types);
}

TEST_F(PaneLiveTest, TheFilterNeverShowsRowsOfAnotherFolder) {
    TempDir one, two;
    one.write("alt_a", "x");
    two.write("neu_a", "x");
    two.write("neu_b", "x");
    ShowPath(GadLeftPane, Folder(one), ShowReset);
    ASSERT_TRUE(WaitReady(GadLeftPane));
    ShowPath(GadLeftPane, Folder(two), ShowReset); // no report yet: the snapshot is stale
    Type(GadLeftPane, L"_a");
    EXPECT_EQ(Column(GadLeftPane, 0), (Texts{L"neu_a"}));
    // While narrowed, a watcher report refreshes the whole folder.
    two.write("neu_c_a", "x");
    PaneDirReport(PaneReport(*PaneOf(GadLeftPane)));
    EXPECT_EQ(Column(GadLeftPane, 0), (Texts{L"neu_a", L"neu_c_a"}));
    Type(GadLeftPane, L"");
    EXPECT_EQ(Column(GadLeftPane, 0), (Texts{L"..", L"neu_a", L"neu_b", L"neu_c_a"}));
    // The report of the workers empties the box and keeps every row.
    Type(GadLeftPane, L"b");
    ASSERT_TRUE(WaitReady(GadLeftPane));
    EXPECT_EQ(tk_gadget_get_text(GadLeftFilter), L"");
    EXPECT_EQ(Column(GadLeftPane, 0).size(), 4u);
}

TEST_F(PaneLiveTest, AFolderEnteredFromANarrowedListShowsItsOwnRows) {
    TempDir one, two;
    one.write("alt_a", "x");
    one.write("alt_b", "x");
    two.write("neu", "x");
    ShowPath(GadLeftPane, Folder(one), ShowReset);
    ASSERT_TRUE(WaitReady(GadLeftPane));
    Type(GadLeftPane, L"_a");
    ASSERT_EQ(Column(GadLeftPane, 0), (Texts{L"alt_a"}));
    ShowPath(GadLeftPane, Folder(two), ShowReset); // entered while narrowed
    ASSERT_TRUE(WaitReady(GadLeftPane));
    EXPECT_EQ(Column(GadLeftPane, 0), (Texts{L"..", L"neu"}));
    Type(GadLeftPane, L"");
    EXPECT_EQ(Column(GadLeftPane, 0), (Texts{L"..", L"neu"}));
}

TEST_F(PaneLiveTest, RefillingTheFilterEntriesKeepsTheTypedFilterWithItsRows) {
    TempDir dir;
    for (const char* name : {"alt_a", "alt_b"}) dir.write(name, "x");
    ShowPath(GadLeftPane, Folder(dir), ShowReset);
    ASSERT_TRUE(WaitReady(GadLeftPane));
    Type(GadLeftPane, L"_a");
    App.settings.ListFilter = L"|*.txt|*.cpp"; // as the settings dialog's Ok leaves it
    FillFilterBoxes();
    EXPECT_EQ(tk_gadget_count_items(GadLeftFilter), 2);
    EXPECT_EQ(tk_gadget_get_text(GadLeftFilter), L"_a");
    EXPECT_EQ(Column(GadLeftPane, 0), (Texts{L"alt_a"}));
    Type(GadLeftPane, L"");
    EXPECT_EQ(Column(GadLeftPane, 0), (Texts{L"..", L"alt_a", L"alt_b"}));
}

// "Anehmen" in the settings refills the filter boxes: the rows keep following
// what each box says, never narrowed under an emptied box.
TEST_F(PaneLiveTest, RefilledFilterBoxesAndTheirRowsAgree) {
    TempDir dir;
    for (const char* name : {"a.txt", "b.png"}) dir.write(name, "x");
    ShowPath(GadLeftPane, Folder(dir), ShowReset);
    ASSERT_TRUE(WaitReady(GadLeftPane));
    const Texts all = Column(GadLeftPane, 0);
    Type(GadLeftPane, L"txt");
    App.settings.ListFilter = L"|*.png";
    FillFilterBoxes();
    EXPECT_EQ(tk_gadget_get_text(GadLeftFilter), L"txt");
    EXPECT_EQ(Column(GadLeftPane, 0), (Texts{L"a.txt"}));
    tk_gadget_set_text(GadLeftFilter, L""); // a refill that empties the edit line
    FillFilterBoxes();
    EXPECT_EQ(Column(GadLeftPane, 0), all);
    App.settings.ListFilter.clear();
}
