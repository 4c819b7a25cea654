// What the list shows beside its texts: the sort arrow in the header, which
// only the program moves, and the link mark over a row's picture.
#include "list_fixture.h"

#include "toolkit/images.h"

namespace {

using ListMarksTest = ListTest;

TEST_F(ListMarksTest, SortArrowStaysWhereTheProgramPutsIt) {
    QHeaderView* h = list_view()->header();
    tk_list_set_sort_indicator(kList, 1, TkListSortDescending);
    EXPECT_TRUE(h->isSortIndicatorShown());
    EXPECT_EQ(h->sortIndicatorSection(), 1);
    EXPECT_EQ(h->sortIndicatorOrder(), Qt::DescendingOrder);

    click(h->viewport(), QPoint(h->sectionViewportPosition(2) + 10, h->height() / 2));
    int64_t order = -1;
    EXPECT_EQ(tk_list_sort_indicator(kList, &order), 1) << "a header click moved the arrow";
    EXPECT_EQ(h->sortIndicatorSection(), 1);
    EXPECT_EQ(order, TkListSortDescending);

    tk_list_set_sort_indicator(kList, -1, TkListSortAscending);
    EXPECT_FALSE(h->isSortIndicatorShown());
    EXPECT_EQ(tk_list_sort_indicator(kList, nullptr), -1);
}

// The picture column of a row as the list paints it.
QImage picture_cell(int64_t row) {
    QTreeView* v = list_view();
    QRect cell = v->visualRect(v->model()->index(static_cast<int>(row), 0));
    cell.setWidth(24);
    return v->viewport()->grab(cell).toImage();
}

TEST_F(ListMarksTest, LinkMarkIsDrawnOverThePictureAndMovesWithItsRow) {
    const int64_t green = tk_image_create(-1, 16, 16, 32, 0x00FF00);
    std::vector<TkListNewRow> rows(3);
    const wchar_t* names[] = {L"c", L"b", L"a"};
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i].text = names[i];
        rows[i].image = tk_image_handle(green);
    }
    rows[0].mark = TkListMarkLink; // "c", marked as it is added
    tk_list_append_rows(kList, rows);
    tk_list_set_item_mark(kList, 1, TkListMarkLink); // "b"
    tk_list_set_item_mark(kList, 1, TkListMarkNone);
    tk_list_set_item_mark(kList, 2, TkListMarkLink); // "a"
    ASSERT_EQ(tk_list_reorder(kList, {2, 1, 0}), 1); // a b c
    ASSERT_TRUE(wait_flushed());

    EXPECT_EQ(tk_list_item_mark(kList, 0), TkListMarkLink);
    EXPECT_EQ(tk_list_item_mark(kList, 1), TkListMarkNone);
    EXPECT_EQ(tk_list_item_mark(kList, 2), TkListMarkLink);
    EXPECT_EQ(tk_gadget_get_item_state(kList, 0), 0) << "a mark is no item state";
    EXPECT_EQ(picture_cell(0), picture_cell(2));
    EXPECT_NE(picture_cell(0), picture_cell(1)) << "no mark drawn";
    tk_image_free(green);
}

} // namespace
