// Sorting a list in place by the program's comparison of row indices.
#include "list_fixture.h"

#include <algorithm>
#include <random>
#include <set>
#include <string_view>

namespace {

// Compares column 1 (a number) of two rows through the row operations.
int by_number(int64_t a, int64_t b, intptr_t gadget) {
    const int64_t x = std::stoll(tk_gadget_get_item_text(gadget, a, 1));
    const int64_t y = std::stoll(tk_gadget_get_item_text(gadget, b, 1));
    return x < y ? -1 : (x > y ? 1 : 0);
}

// Each row's name is "r<i>" with its place before the sort and its key in
// column 1: keys 0..4 repeat, so many rows compare equal.
void add_keyed_rows(int64_t count) {
    for (int64_t i = 0; i < count; ++i) {
        tk_gadget_add_item(kList, -1,
                           L"r" + std::to_wstring(i) + L"\n" + std::to_wstring((i * 7) % 5));
    }
}

int64_t original_place(int64_t row) {
    return std::stoll(tk_gadget_get_item_text(kList, row, 0).substr(1));
}

TEST_F(ListTest, SortGivesTheAskedOrderAndKeepsEqualRowsInTheirOrder) {
    add_keyed_rows(1000);
    ASSERT_EQ(tk_list_sort(kList, by_number, kList), 1);
    for (int64_t row = 1; row < 1000; ++row) {
        const int c = by_number(row - 1, row, kList);
        ASSERT_LE(c, 0) << "row " << row;
        if (c == 0) {
            ASSERT_LT(original_place(row - 1), original_place(row)) << "row " << row;
        }
    }
    settle();
    EXPECT_EQ(list_view()->model()->index(0, 0).data().toString(),
              tk_qstring(tk_gadget_get_item_text(kList, 0, 0)));
    EXPECT_TRUE(g_list_events.empty());
}

TEST_F(ListTest, SelectionCheckDataAndCurrentRowMoveWithTheirRows) {
    add_keyed_rows(50);
    for (int64_t row : {3, 10, 11, 40}) tk_gadget_set_item_state(kList, row, TkListItemSelected);
    tk_gadget_set_item_data(kList, 10, -2);
    tk_list_set_current_row(kList, 11);
    settle();
    ASSERT_EQ(tk_list_sort(kList, by_number, kList), 1);

    std::set<int64_t> selected;
    for (int64_t row = tk_list_next_selected(kList, -1); row >= 0;
         row = tk_list_next_selected(kList, row)) {
        selected.insert(original_place(row));
        EXPECT_TRUE(list_view()->selectionModel()->isRowSelected(static_cast<int>(row), {}));
    }
    EXPECT_EQ(selected, (std::set<int64_t>{3, 10, 11, 40}));
    EXPECT_EQ(list_view()->selectionModel()->selectedRows().size(), 4);
    const int64_t current = tk_list_current_row(kList);
    EXPECT_EQ(original_place(current), 11);
    EXPECT_EQ(list_view()->currentIndex().row(), current);
    for (int64_t row = 0; row < 50; ++row) {
        EXPECT_EQ(tk_gadget_get_item_data(kList, row), original_place(row) == 10 ? -2 : 0);
    }
}

// A comparison that contradicts itself (as two ".." rows that each claim to
// go first) must not break the list: every row is still there once.
int contradicting(int64_t, int64_t, intptr_t state) {
    auto* rng = reinterpret_cast<std::mt19937*>(state);
    return static_cast<int>((*rng)() % 3) - 1;
}

TEST_F(ListTest, ContradictingComparisonStillGivesEveryRowOnce) {
    add_keyed_rows(3000);
    std::mt19937 rng(7);
    ASSERT_EQ(tk_list_sort(kList, contradicting, reinterpret_cast<intptr_t>(&rng)), 1);
    std::vector<int64_t> places;
    for (int64_t row = 0; row < 3000; ++row) places.push_back(original_place(row));
    std::sort(places.begin(), places.end());
    for (int64_t i = 0; i < 3000; ++i) ASSERT_EQ(places[static_cast<size_t>(i)], i);
}

// As the panes compare: ".." first, rows marked -2 (folders) next, then the
// rest by column 1; cells read in place, the key column without a lookup.
std::wstring_view cell(int64_t row, int64_t column) {
    size_t length = 0;
    const wchar_t* text = tk_list_sort_text(row, column, &length);
    return {text, length};
}

int pane_like(int64_t a, int64_t b, intptr_t) {
    if (cell(a, 0) == L"..") return -1;
    if (cell(b, 0) == L"..") return 1;
    const bool folder_a = tk_list_sort_item_data(a) == -2,
               folder_b = tk_list_sort_item_data(b) == -2;
    if (folder_a || folder_b) return folder_a && folder_b ? 0 : (folder_a ? -1 : 1);
    return cell(a, 1).compare(cell(b, 1));
}

TEST_F(ListTest, ComparisonReadsCellsInPlace) {
    for (const wchar_t* row : {L"c\nb", L"dir1\n", L"a\nc", L"..", L"dir2\n", L"b\na", L"x"}) {
        tk_gadget_add_item(kList, -1, row);
    }
    tk_gadget_set_item_data(kList, 1, -2);
    tk_gadget_set_item_data(kList, 4, -2);
    ASSERT_EQ(tk_list_sort(kList, pane_like, 0, 1), 1);
    std::vector<std::wstring> names;
    for (int64_t row = 0; row < 7; ++row) names.push_back(tk_gadget_get_item_text(kList, row, 0));
    // "x" has no column 1: an absent cell reads as empty and goes first
    EXPECT_EQ(names, (std::vector<std::wstring>{L"..", L"dir1", L"dir2", L"x", L"b", L"c", L"a"}));
    size_t length = 7;
    EXPECT_EQ(tk_list_sort_text(0, 0, &length), nullptr); // outside a comparison
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(tk_list_sort_item_data(1), 0);
}

// A comparison that changes the rows it compares must not leave the sort
// reading freed text; the rows all stay.
int rewriting(int64_t a, int64_t b, intptr_t gadget) {
    const std::wstring_view x = cell(a, 1);
    tk_gadget_set_item_text(gadget, a, std::wstring(200, L'z'), 1); // the cell moves
    return x.compare(cell(b, 1));
}

TEST_F(ListTest, ComparisonThatChangesRowsStaysSafe) {
    add_keyed_rows(200);
    ASSERT_EQ(tk_list_sort(kList, rewriting, kList, 1), 1);
    ASSERT_EQ(tk_list_sort(kList, rewriting, kList, -1), 1);
    std::set<int64_t> places;
    for (int64_t row = 0; row < 200; ++row) places.insert(original_place(row));
    EXPECT_EQ(places.size(), 200u);
}

// The pane sorts while its row operations are also reachable: a comparison
// that asks for another sort is refused rather than nested.
int nesting(int64_t a, int64_t b, intptr_t gadget) {
    EXPECT_EQ(tk_list_sort(gadget, by_number, gadget), 0);
    return by_number(a, b, gadget);
}

TEST_F(ListTest, SortDuringSortIsRefusedAndRedrawOffSortShowsAtRedrawOn) {
    add_keyed_rows(20);
    EXPECT_EQ(tk_list_sort(kList, nesting, kList), 1);
    EXPECT_EQ(tk_list_sort(kList, nullptr, 0), 0);
    EXPECT_EQ(tk_list_sort(999, by_number, 999), 0);

    tk_list_set_redraw(kList, 0);
    tk_gadget_add_item(kList, 0, L"first\n-1");
    tk_gadget_set_item_state(kList, 0, TkListItemSelected);
    ASSERT_EQ(tk_list_sort(kList, by_number, kList), 1);
    tk_list_set_redraw(kList, 1);
    EXPECT_EQ(list_view()->model()->rowCount(), 21);
    EXPECT_EQ(list_view()->model()->index(0, 0).data().toString(), QString("first"));
    EXPECT_TRUE(list_view()->selectionModel()->isRowSelected(0, {}));
}

} // namespace
