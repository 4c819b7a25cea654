// Sorting a pane by column: the order of its keys, the header toggles, and a
// listing that orders names as a header click does.
#include "app/panes/name_fold.h"
#include "app/panes/pane_texts.h"
#include "pane_live_fixture.h"

namespace {

using Texts = std::vector<std::wstring>;

void AddFile(const std::wstring& name, const std::wstring& date, const std::wstring& size,
             int64_t bytes) {
    tk_list_add_item(GadLeftPane, -1, name + L"\n" + date + L"\ntxt\n" + size, 0, bytes, 0);
}

// ".." and two folders, then files in a muddled order.
void FillByHand() {
    tk_list_add_item(GadLeftPane, -1, L"..", 0, 0, 0);
    tk_list_add_item(GadLeftPane, -1, L"zordner\n\n", 0, PaneRowFolder, 0);
    tk_list_add_item(GadLeftPane, -1, L"aordner\n\n", 0, PaneRowFolder, 0);
    AddFile(L"ezra", L"01.02.2020  10:00:00", L"2 MB", 2 << 20);
    AddFile(L"Affe", L"09.12.2019  10:00:00", L"1,234 KB", 1234 * 1024);
    AddFile(L"éclair", L"10.01.2020  10:00:00", L"99 KB", 99 * 1024);
    AddFile(L"Äpfel", L"31.12.2019  23:59:59", L"500 KB", 500 * 1024);
    AddFile(L"eule", L"01.01.2021  00:00:00", L"", 0);
}

} // namespace

TEST_F(PaneLiveTest, SortOrdersByKeysWithParentAndFoldersOnTop) {
    PaneOf(GadLeftPane)->History.Paths = {L"/x/", L""};
    FillByHand();
    const Texts top = {L"..", L"zordner", L"aordner"};
    const auto sorted = [&](int64_t column, int64_t order) {
        SortPane(GadLeftPane, column, SortTypeOfColumn(column), L"", order);
        Texts names = Column(GadLeftPane, 0);
        EXPECT_EQ(Texts(names.begin(), names.begin() + 3), top);
        return Texts(names.begin() + 3, names.end());
    };
    // Äpfel as Aepfel before Affe; éclair as exclair between eule and ezra.
    EXPECT_EQ(sorted(0, 0), (Texts{L"Äpfel", L"Affe", L"eule", L"éclair", L"ezra"}));
    EXPECT_EQ(sorted(0, 1), (Texts{L"ezra", L"éclair", L"eule", L"Affe", L"Äpfel"}));
    // By the byte count: 99 KB < 500 KB < 1,234 KB < 2 MB.
    EXPECT_EQ(sorted(3, 0), (Texts{L"eule", L"éclair", L"Äpfel", L"Affe", L"ezra"}));
    EXPECT_EQ(sorted(3, 1), (Texts{L"ezra", L"Affe", L"Äpfel", L"éclair", L"eule"}));
    // By the date, not by the text of the date.
    EXPECT_EQ(sorted(1, 0), (Texts{L"Affe", L"Äpfel", L"éclair", L"ezra", L"eule"}));

    EXPECT_EQ(SizeTextBytes(L"1,234 KB"), 1234 * 1024);
    EXPECT_EQ(SizeTextBytes(L"99 KB"), 99 * 1024);
    EXPECT_EQ(SizeTextBytes(L""), 0);
    // texts no listing writes must not overflow
    EXPECT_EQ(SizeTextBytes(L"12 Zettabyte"), 12);
    EXPECT_EQ(SizeTextBytes(L"99999999999999999999999 " + std::wstring(SizeUnitNames.back())),
              INT64_MAX);
    EXPECT_EQ(SortTextKey(L"Äpfel ßÜ"), L"aepfel ssue");
}

TEST_F(PaneLiveTest, EachColumnTogglesItsOwnOrder) {
    PaneOf(GadLeftPane)->History.Paths = {L"/x/", L""};
    FillByHand();
    const auto click = [](int64_t column) {
        tk_gadget_set_data(GadLeftPane, column);
        ColumnClicked(GadLeftPane);
        const Pane& ps = *PaneOf(GadLeftPane);
        EXPECT_EQ(ps.SortColumn, column);
        EXPECT_EQ(ps.SortType, SortTypeOfColumn(column));
        return ps.SortOrder;
    };
    EXPECT_EQ(click(3), 0); // first click ascending
    EXPECT_EQ(click(3), 1); // then descending
    EXPECT_EQ(click(0), 0); // another column starts ascending
    EXPECT_EQ(click(3), 0);
    EXPECT_EQ(click(1), 0);
    EXPECT_EQ(PaneOf(GadLeftPane)->SortType, SortTypeDate);
    // The stored column and order also sort the next listing's files.
    TempDir dir;
    dir.write("gross", std::string(5000, 'x'));
    dir.write("klein", "x");
    EXPECT_EQ(click(3), 1); // descending by size
    ShowPath(GadLeftPane, Folder(dir), ShowReset);
    EXPECT_EQ(Column(GadLeftPane, 0), (Texts{L"..", L"gross", L"klein"}));
}

TEST_F(PaneLiveTest, AListingOrdersNamesAsAHeaderClickDoes) {
    TempDir dir;
    for (const char* name : {"Oz", "Öffentlich", "Ob", "Affe", "Äpfel"}) dir.write(name, "x");
    ShowPath(GadLeftPane, Folder(dir), ShowReset);
    const Texts listed = Column(GadLeftPane, 0);
    EXPECT_EQ(listed, (Texts{L"..", L"Äpfel", L"Affe", L"Ob", L"Öffentlich", L"Oz"}));
    SortPane(GadLeftPane, 0, SortTypeText, L"", 0);
    EXPECT_EQ(Column(GadLeftPane, 0), listed);
}

// Names that agree in their first eight key bytes and part only later, or
// where one is the start of another, or where a two-byte letter straddles
// the eighth byte: the listing and both header orders see the whole name.
TEST_F(PaneLiveTest, NamesThatShareALongStartSortByTheirWholeKey) {
    SetNaturalNameOrder(false); // digits by their code here: the order below
    TempDir dir;
    const Texts files = {
        L"bilder_2024",          L"bilder_2024_0002.jpg", L"Bilder_2024_0003", L"bilder_2024_001",
        L"bilder_2024_0012.jpg", L"bilder_2\u00e4",       L"bilderx\u00f8b",   L"bilderxz",
        L"bilderx\u00f8a"};
    for (const std::wstring& name : files) dir.write(rt_text_to_os(name), "x");
    ShowPath(GadLeftPane, Folder(dir), ShowReset);
    const Texts ascending = {L"..",
                             L"bilder_2024",
                             L"bilder_2024_0002.jpg",
                             L"Bilder_2024_0003",
                             L"bilder_2024_001",
                             L"bilder_2024_0012.jpg",
                             L"bilder_2\u00e4",
                             L"bilderxz",
                             L"bilderx\u00f8a",
                             L"bilderx\u00f8b"};
    EXPECT_EQ(Column(GadLeftPane, 0), ascending);
    SortPane(GadLeftPane, 0, SortTypeText, L"", 1);
    Texts descending(ascending.rbegin(), ascending.rend() - 1);
    descending.insert(descending.begin(), L"..");
    EXPECT_EQ(Column(GadLeftPane, 0), descending);
    SortPane(GadLeftPane, 0, SortTypeText, L"", 0);
    EXPECT_EQ(Column(GadLeftPane, 0), ascending);
    SetNaturalNameOrder(true);
}
