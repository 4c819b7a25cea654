// Selecting by pattern, all, inverted and with Insert, and the selection
// line that counts the result.
#include "app/panes/select_pattern.h"
#include "app/panes/selection_line.h"
#include "app/shell/main_commands.h"
#include "habits_fixture.h"
#include "toolkit/readback.h"

using Names = std::vector<std::wstring>;

TEST(SelectPatterns, SeveralPatternsCaseIgnoredWildcardsWholeNames) {
    const auto p = ParsePatterns(L" *.JPG ; ;b?.txt;Exact");
    ASSERT_EQ(p.size(), 3u);
    EXPECT_TRUE(PatternsMatch(p, L"Urlaub.jpg"));
    EXPECT_TRUE(PatternsMatch(p, L"FOTO.JpG"));
    EXPECT_TRUE(PatternsMatch(p, L"b1.txt"));
    EXPECT_FALSE(PatternsMatch(p, L"b12.txt"));
    EXPECT_TRUE(PatternsMatch(p, L"exact"));
    EXPECT_FALSE(PatternsMatch(p, L"exactly"));
    EXPECT_FALSE(PatternsMatch(p, L"jpg"));
    EXPECT_TRUE(PatternsMatch(ParsePatterns(L"ÄRGER*"), L"ärger und mehr"));
    EXPECT_TRUE(PatternsMatch(ParsePatterns(L"*a*a*a*a*a*b"), std::wstring(5000, L'a') + L"b"));
    EXPECT_TRUE(ParsePatterns(L" ; ").empty());
    EXPECT_TRUE(PatternsMatch(ParsePatterns(L"*.*"), L"Makefile")); // the offered pattern: all
}

TEST_F(HabitsTest, PatternSelectsFilesOnlyUnlessFoldersAskedAndNeverTheParent) {
    Fill(GadLeftPane, {L"docs/", L"a.txt:10", L"b.TXT:20", L"c.jpg:5"});
    tk_list_set_current_row(GadLeftPane, 4);
    EXPECT_EQ(SelectByPattern(GadLeftPane, L"*.txt", true, false), 2);
    EXPECT_EQ(Selected(GadLeftPane), (Names{L"a.txt", L"b.TXT"}));
    EXPECT_EQ(Current(GadLeftPane), L"c.jpg"); // selecting leaves the cursor alone
    SelectByPattern(GadLeftPane, L"*", true, true);
    EXPECT_EQ(Selected(GadLeftPane), (Names{L"docs", L"a.txt", L"b.TXT", L"c.jpg"}));
    SelectByPattern(GadLeftPane, L"*.txt;d*", false, true);
    EXPECT_EQ(Selected(GadLeftPane), (Names{L"c.jpg"}));
}

// Ctrl+"+" opens "Auswahl erweitern" also where "+" takes Shift.
TEST_F(HabitsTest, CtrlPlusWithOrWithoutShiftAsksForThePattern) {
    for (const int64_t shift : {int64_t{0}, int64_t{TkShortcutShift}}) {
        EXPECT_EQ(PaneListKey(GadLeftPane, TkShortcutControl | shift | KeyPlus, L""), 1);
        EXPECT_EQ(tk_window_title(WinSelectPattern), L"Auswahl erweitern");
        tk_window_press_escape(WinSelectPattern);
        tk_event_wait_timeout(0);
        tk_window_close(WinSelectPattern);
        tk_window_disable(WinMain, 0);
    }
}

TEST_F(HabitsTest, ARowSelectedOnlyByTheCursorGivesWayToThePatternButAPickStays) {
    Fill(GadLeftPane, {L"docs/", L"a.txt:1", L"c.jpg:1"});
    tk_gadget_set_state(GadLeftPane, 1); // the cursor on "docs" selects it
    SelectByPattern(GadLeftPane, L"*.txt", true, false);
    EXPECT_EQ(Selected(GadLeftPane), (Names{L"a.txt"}));
    SelectByPattern(GadLeftPane, L"*.jpg", true, false);
    EXPECT_EQ(Selected(GadLeftPane), (Names{L"a.txt", L"c.jpg"}));
}

TEST_F(HabitsTest, InsertPicksRowByRowAllAndInvertLeaveTheParentOut) {
    Fill(GadLeftPane, {L"docs/", L"a.txt:1", L"b.txt:1"});
    tk_gadget_set_state(GadLeftPane, 0); // ".." under the cursor
    ToggleCurrentRow(GadLeftPane);       // ".." is not picked, the cursor moves on
    EXPECT_TRUE(Selected(GadLeftPane).empty());
    ToggleCurrentRow(GadLeftPane);
    ToggleCurrentRow(GadLeftPane);
    EXPECT_EQ(Selected(GadLeftPane), (Names{L"docs", L"a.txt"}));
    EXPECT_EQ(Current(GadLeftPane), L"b.txt");
    ToggleCurrentRow(GadLeftPane); // the last row: picked, the cursor stays
    tk_list_set_current_row(GadLeftPane, 2);
    ToggleCurrentRow(GadLeftPane); // a picked row is let go again
    EXPECT_EQ(Selected(GadLeftPane), (Names{L"docs", L"b.txt"}));
    InvertSelection(GadLeftPane);
    EXPECT_EQ(Selected(GadLeftPane), (Names{L"a.txt"}));
    SelectAllRows(GadLeftPane);
    EXPECT_EQ(Selected(GadLeftPane), (Names{L"docs", L"a.txt", L"b.txt"}));
}

TEST(SelectionLine, GermanNumbersSizesAndFoldersApart) {
    EXPECT_EQ(GermanCount(1204), L"1.204");
    EXPECT_EQ(GermanSize(512), L"512 Byte");
    EXPECT_EQ(GermanSize(4718592), L"4,5 MB");
    EXPECT_EQ(GermanSize(2254857830), L"2,1 GB");
    EXPECT_EQ(GermanSize(1048575), L"1,0 MB"); // not "1.024,0 KB"
    SelectionCounts c{1204, 12, 2254857830, 3, 0, 4718592};
    EXPECT_EQ(SelectionLineText(c), L"3 von 1.204 Dateien, 4,5 MB von 2,1 GB, 0 von 12 Ordnern "
                                    L"ausgewählt");
    c.Folders = 0;
    EXPECT_EQ(SelectionLineText(c), L"3 von 1.204 Dateien, 4,5 MB von 2,1 GB ausgewählt");
    EXPECT_EQ(SelectionLineText({1, 1, 10, 0, 0, 0}), L"1 Datei, 10 Byte, 1 Ordner");
}

TEST_F(HabitsTest, SelectionLineCountsMeasuredFoldersAndShowsAtOnce) {
    Fill(GadLeftPane, {L"big/ 2,048 KB", L"new/", L"a.txt:1024", L"b.txt:3072"});
    SelectByPattern(GadLeftPane, L"*", true, true);
    EXPECT_EQ(tk_gadget_get_text(GadLeftSelectionLine),
              L"2 von 2 Dateien, 2,0 MB von 2,0 MB, 2 von 2 Ordnern ausgewählt");
    SelectByPattern(GadLeftPane, L"*", false, true);
    EXPECT_EQ(tk_gadget_get_text(GadLeftSelectionLine), L"2 Dateien, 2,0 MB, 2 Ordner");
    tk_gadget_set_item_text(GadLeftPane, 2, L"2,048 KB", 3); // Space measured "new"
    UpdateSelectionLine(GadLeftPane);
    EXPECT_EQ(tk_gadget_get_text(GadLeftSelectionLine), L"2 Dateien, 4,0 MB, 2 Ordner");
}
