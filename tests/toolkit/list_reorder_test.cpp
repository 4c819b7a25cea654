// Putting a list's rows in the program's order, and a visit of the rows,
// which must not let its visitor change what it walks.
#include "list_fixture.h"

#include <set>

namespace {

int64_t original_place(int64_t row) {
    return std::stoll(tk_gadget_get_item_text(kList, row, 0).substr(1));
}

// Row i goes to place (i * 7) % count: a permutation for counts not divisible by 7.
std::vector<int64_t> scattered_order(int64_t count) {
    std::vector<int64_t> order(static_cast<size_t>(count));
    for (int64_t i = 0; i < count; ++i) order[static_cast<size_t>((i * 7) % count)] = i;
    return order;
}

TEST_F(ListTest, ReorderMovesSelectionDataAndCurrentRowAndRefusesBadOrders) {
    add_rows(50);
    for (int64_t row : {3, 10, 11, 40}) tk_gadget_set_item_state(kList, row, TkListItemSelected);
    tk_gadget_set_item_data(kList, 10, -2);
    tk_list_set_current_row(kList, 11);
    settle();
    EXPECT_EQ(tk_list_reorder(kList, {0, 1, 2}), 0);
    std::vector<int64_t> twice = scattered_order(50);
    twice[1] = twice[0];
    EXPECT_EQ(tk_list_reorder(kList, twice), 0);
    EXPECT_EQ(original_place(1), 1) << "a refused order moved rows";
    ASSERT_EQ(tk_list_reorder(kList, scattered_order(50)), 1);

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
    EXPECT_TRUE(g_list_events.empty());
}

TEST_F(ListTest, ReorderWithRedrawOffShowsAtRedrawOn) {
    add_rows(20);
    tk_list_set_redraw(kList, 0);
    tk_gadget_add_item(kList, 20, L"r20");
    tk_gadget_set_item_state(kList, 20, TkListItemSelected);
    std::vector<int64_t> order = scattered_order(20);
    order.insert(order.begin(), 20); // the new row first
    ASSERT_EQ(tk_list_reorder(kList, order), 1);
    tk_list_set_redraw(kList, 1);
    EXPECT_EQ(list_view()->model()->rowCount(), 21);
    EXPECT_EQ(list_view()->model()->index(0, 0).data().toString(), QString("r20"));
    EXPECT_TRUE(list_view()->selectionModel()->isRowSelected(0, {}));
}

// A visitor that adds, removes, reorders or visits the rows it walks would
// pull them from under the walk, or wait for the lock its own thread holds.
void meddle(int64_t row, const wchar_t*, size_t, int64_t, uint32_t, intptr_t refused) {
    auto* count = reinterpret_cast<int*>(refused);
    auto nothing = [](int64_t, const wchar_t*, size_t, int64_t, uint32_t, intptr_t) {};
    *count += tk_list_visit_rows(kList, nothing, 0) == 0;
    *count += tk_list_reorder(kList, scattered_order(tk_gadget_count_items(kList))) == 0;
    *count += tk_gadget_add_item(kList, -1, L"neu") == -1;
    std::vector<TkListNewRow> more(1);
    more[0].text = L"neu";
    *count += tk_list_append_rows(kList, more) == 0;
    *count += tk_list_remove_items(kList, {row}) == 0;
    *count += tk_list_take_rows(kList) == 0;
    tk_gadget_remove_item(kList, row);
    tk_gadget_clear_items(kList);
    EXPECT_EQ(original_place(row), row) << "reading rows from a visitor";
}

TEST_F(ListTest, VisitorCannotChangeTheRowsItWalks) {
    add_rows(3);
    int refused = 0;
    EXPECT_EQ(tk_list_visit_rows(kList, meddle, reinterpret_cast<intptr_t>(&refused)), 3);
    EXPECT_EQ(refused, 3 * 6);
    ASSERT_EQ(tk_gadget_count_items(kList), 3);
    for (int64_t row = 0; row < 3; ++row) EXPECT_EQ(original_place(row), row);
}

} // namespace
