// FillPane through ShowPath on real folders: order of rows, columns,
// hidden and system filtering, the modification date.
#include "app/panes/pane_filter.h"
#include "app/panes/pane_sort.h"
#include "app/panes/size_text.h"
#include "pane_fixture.h"

#include <ctime>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

namespace {

using Texts = std::vector<std::wstring>;

// Sets the modification time of a file to a local wall-clock moment.
void SetModified(const std::string& path, int year, int month, int day, int hour, int minute,
                 int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    utimbuf times{std::mktime(&t), std::mktime(&t)};
    ASSERT_EQ(utime(path.c_str(), &times), 0);
}

// Folders "beta", "Alpha", "gamma"; files of 3, 2048 and 1 bytes.
void MakeMixedTree(const TempDir& dir) {
    for (const char* d : {"beta", "Alpha", "gamma"}) mkdir((dir / d).c_str(), 0755);
    dir.write("b.txt", "abc");
    dir.write("A.log", std::string(2048, 'x'));
    dir.write("c.dat", "z");
}

} // namespace

TEST_F(PaneTest, ListsParentThenFoldersThenFilesInSortOrder) {
    TempDir dir;
    MakeMixedTree(dir);
    ASSERT_EQ(ShowPath(GadLeftPane, Folder(dir), ShowReset), 0);
    EXPECT_EQ(Column(GadLeftPane, 0),
              (Texts{L"..", L"Alpha", L"beta", L"gamma", L"A.log", L"b.txt", L"c.dat"}));
    // Folder rows have no date, type or size; file rows all three.
    EXPECT_EQ(tk_gadget_get_item_text(GadLeftPane, 1, 2), L"");
    EXPECT_EQ(tk_gadget_get_item_text(GadLeftPane, 1, 3), L"");
    EXPECT_EQ(tk_gadget_get_item_text(GadLeftPane, 4, 2), L"log");
    EXPECT_EQ(tk_gadget_get_item_text(GadLeftPane, 4, 3), L"2,048 Byte");
    EXPECT_EQ(tk_gadget_get_text(GadLeftPath), Folder(dir));
    EXPECT_EQ(App.ActivePane, GadLeftPane);

    // Files by size, descending, in KB: the folders keep their A-Z order.
    PaneOf(GadLeftPane)->SortColumn = 3;
    PaneOf(GadLeftPane)->SortOrder = 1;
    App.settings.FileSizeUnit = 1;
    ShowPath(GadLeftPane, L"", ShowRefresh);
    EXPECT_EQ(Column(GadLeftPane, 0),
              (Texts{L"..", L"Alpha", L"beta", L"gamma", L"A.log", L"b.txt", L"c.dat"}));
    // a few bytes are never "0 KB"
    EXPECT_EQ(Column(GadLeftPane, 3), (Texts{L"", L"", L"", L"", L"2 KB", L"1 KB", L"1 KB"}));

    // By type, ascending: dat, log, txt.
    PaneOf(GadLeftPane)->SortColumn = 2;
    PaneOf(GadLeftPane)->SortOrder = 0;
    ShowPath(GadLeftPane, L"", ShowRefresh);
    EXPECT_EQ(Column(GadLeftPane, 0),
              (Texts{L"..", L"Alpha", L"beta", L"gamma", L"c.dat", L"A.log", L"b.txt"}));
}

// A link's row carries the link mark, in a listing and after the filter
// rebuilt the rows; the header's arrow follows the sort.
TEST_F(PaneTest, LinksAreMarkedAndTheSortColumnShowsItsArrow) {
    TempDir dir;
    dir.write("ziel.txt", "z");
    ASSERT_EQ(symlink("ziel.txt", (dir / "verweis").c_str()), 0);
    ShowPath(GadLeftPane, Folder(dir), ShowReset);
    EXPECT_EQ(tk_list_item_mark(GadLeftPane, RowOf(GadLeftPane, L"verweis")), TkListMarkLink);
    EXPECT_EQ(tk_list_item_mark(GadLeftPane, RowOf(GadLeftPane, L"ziel.txt")), TkListMarkNone);
    TakeRowSnapshot(*PaneOf(GadLeftPane));
    tk_gadget_set_text(PaneFilterBox(GadLeftPane), L"ver");
    ApplyPaneFilter(GadLeftPane);
    EXPECT_EQ(tk_list_item_mark(GadLeftPane, RowOf(GadLeftPane, L"verweis")), TkListMarkLink);
    int64_t order = -1;
    EXPECT_EQ(tk_list_sort_indicator(GadLeftPane, &order), ColName);
    EXPECT_EQ(order, TkListSortAscending);
    SortPane(GadLeftPane, ColSize, SortTypeOfColumn(ColSize), L"", 1);
    EXPECT_EQ(tk_list_sort_indicator(GadLeftPane, &order), ColSize);
    EXPECT_EQ(order, TkListSortDescending);
}

TEST_F(PaneTest, HiddenAndSystemEntriesFollowTheSettings) {
    TempDir dir;
    dir.write(".hidden", "h");
    dir.write("plain", "p");
    mkdir((dir / ".hdir").c_str(), 0755);
    ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0644), 0);   // system
    ASSERT_EQ(mkfifo((dir / ".hpipe").c_str(), 0644), 0); // hidden and system
    struct Case {
        int hidden, system;
        Texts rows;
    };
    const Case cases[] = {
        {0, 0, {L"..", L"plain"}},
        {1, 0, {L"..", L".hdir", L".hidden", L"plain"}},
        {0, 1, {L"..", L"pipe", L"plain"}},
        {1, 1, {L"..", L".hdir", L".hidden", L".hpipe", L"pipe", L"plain"}},
    };
    ShowPath(GadRightPane, Folder(dir), ShowReset);
    for (const Case& c : cases) {
        App.settings.ShowHidden = c.hidden;
        App.settings.ShowSystem = c.system;
        ShowPath(GadRightPane, L"", ShowRefresh);
        EXPECT_EQ(Column(GadRightPane, 0), c.rows)
            << "hidden " << c.hidden << " system " << c.system;
    }
}

TEST_F(PaneTest, DateColumnShowsAndSortsByModificationTime) {
    TempDir dir;
    dir.write("older-written-later", "1");
    dir.write("newer", "2");
    SetModified(dir / "older-written-later", 2001, 2, 3, 4, 5, 6);
    SetModified(dir / "newer", 2020, 12, 31, 23, 59, 58);
    PaneOf(GadLeftPane)->SortColumn = 1;
    ShowPath(GadLeftPane, Folder(dir), ShowReset);
    EXPECT_EQ(Column(GadLeftPane, 0), (Texts{L"..", L"older-written-later", L"newer"}));
    EXPECT_EQ(Column(GadLeftPane, 1),
              (Texts{L"", L"03.02.2001  04:05:06", L"31.12.2020  23:59:58"}));
}

// A folder large enough that two threads make its rows gives the rows one
// thread would: every file's texts, in name order.
TEST_F(PaneTest, ALargeFolderListsEveryRowAsASmallOneWould) {
    TempDir dir;
    constexpr int kFiles = 6000; // above the count from which rows are made by two threads
    App.settings.FileSizeUnit = 0;
    for (int i = 0; i < kFiles; ++i) {
        std::string name = "d"; // names sort as their numbers: five digits
        name += std::to_string(100000 + i).substr(1) + (i % 3 ? ".txt" : "");
        dir.write(name, std::string(static_cast<size_t>(i % 7), 'x'));
    }
    ShowPath(GadLeftPane, Folder(dir), ShowReset);
    ASSERT_EQ(tk_gadget_count_items(GadLeftPane), kFiles + 1);
    for (int i = 0; i < kFiles; ++i) {
        const int64_t row = i + 1;
        std::wstring name = L"d" + std::to_wstring(100000 + i).substr(1);
        if (i % 3) name += L".txt";
        ASSERT_EQ(tk_gadget_get_item_text(GadLeftPane, row, 0), name);
        EXPECT_EQ(tk_gadget_get_item_text(GadLeftPane, row, 2), i % 3 ? L"txt" : L"");
        EXPECT_EQ(tk_gadget_get_item_text(GadLeftPane, row, 3), FormatSize(i % 7, 0, 0));
        EXPECT_EQ(tk_gadget_get_item_text(GadLeftPane, row, 1).size(), 20u);
        EXPECT_EQ(tk_gadget_get_item_data(GadLeftPane, row), i % 7);
    }
}
