// List gadget: rows by index, the events user actions report (and program
// changes do not), redraw off/on, the header hook, geometry queries.
#include "list_fixture.h"

#include <QKeyEvent>
#include <array>

#include "toolkit/images.h"
#include "toolkit/list_view.h"

namespace {

TEST_F(ListTest, RowsAreReadAndWrittenByIndexAndColumn) {
    tk_gadget_add_item(kList, -1, L"a\n1\nTxt\n5 KB");
    tk_gadget_add_item(kList, -1, L"c");
    EXPECT_EQ(tk_gadget_add_item(kList, 1, L"b\n2"), 1); // inserted between
    ASSERT_EQ(tk_gadget_count_items(kList), 3);
    EXPECT_EQ(tk_gadget_get_item_text(kList, 0, 3), L"5 KB");
    EXPECT_EQ(tk_gadget_get_item_text(kList, 1, 0), L"b");
    EXPECT_EQ(tk_gadget_get_item_text(kList, 1, 3), L""); // column it never had
    EXPECT_EQ(tk_gadget_get_item_text(kList, 3, 0), L""); // row that does not exist
    EXPECT_EQ(tk_gadget_get_item_text(kList, -1, 0), L"");

    tk_gadget_set_item_text(kList, 2, L"9 KB", 3); // fills the missing columns
    EXPECT_EQ(tk_gadget_get_item_text(kList, 2, 3), L"9 KB");
    EXPECT_EQ(tk_gadget_get_item_text(kList, 2, 0), L"c");
    tk_gadget_set_item_text(kList, 0, L"", 1);
    EXPECT_EQ(tk_gadget_get_item_text(kList, 0, 1), L"");
    EXPECT_EQ(tk_gadget_get_item_text(kList, 0, 2), L"Txt");
    tk_gadget_set_item_text(kList, 7, L"x", 0); // out of range: nothing
    tk_gadget_set_item_data(kList, 1, -2);
    tk_gadget_set_item_data(kList, 9, 5);
    EXPECT_EQ(tk_gadget_get_item_data(kList, 1), -2);
    EXPECT_EQ(tk_gadget_get_item_data(kList, 9), 0);

    tk_gadget_remove_item(kList, 0);
    EXPECT_EQ(tk_gadget_get_item_text(kList, 0, 0), L"b");
    EXPECT_EQ(tk_gadget_get_item_data(kList, 0), -2);
    settle();
    EXPECT_EQ(list_view()->model()->rowCount(), 2);
    EXPECT_EQ(list_view()->model()->index(1, 3).data().toString(), QString("9 KB"));
    tk_gadget_clear_items(kList);
    EXPECT_EQ(tk_gadget_count_items(kList), 0);
    EXPECT_EQ(list_view()->model()->rowCount(), 0);
}

TEST_F(ListTest, NamesWithEscapedBytesSurviveTheView) {
    const std::wstring odd = std::wstring(L"a") + wchar_t(0xDC0A) + L"b\xFC";
    tk_gadget_add_item(kList, -1, odd + L"\nx");
    EXPECT_EQ(tk_gadget_get_item_text(kList, 0, 0), odd);
    settle();
    EXPECT_EQ(tk_wstring(list_view()->model()->index(0, 0).data().toString()), odd);
}

TEST_F(ListTest, RowPicturesAreCopiesDrawnAtTheIconSize) {
    const int64_t big = tk_image_create(-1, 32, 32, 32, 0x0000FF); // red
    tk_gadget_add_item(kList, -1, L"f", tk_image_handle(big));
    tk_gadget_add_item(kList, -1, L"g");
    tk_image_free(big); // the row keeps its own copy
    settle();
    const QVariant shown = list_view()->model()->index(0, 0).data(Qt::DecorationRole);
    ASSERT_TRUE(shown.canConvert<QPixmap>());
    EXPECT_EQ(shown.value<QPixmap>().size(), QSize(16, 16));
    EXPECT_FALSE(list_view()->model()->index(1, 0).data(Qt::DecorationRole).isValid());

    const int64_t copy = tk_list_copy_item_image(kList, 0, -1);
    ASSERT_NE(copy, 0);
    EXPECT_EQ(tk_image_width(copy), 16);
    EXPECT_EQ(tk_image_pixel(copy, 8, 8), 0xFFFF0000u);
    EXPECT_EQ(tk_list_copy_item_image(kList, 1, -1), 0); // no picture
    tk_image_free(copy);
}

// Rows name their pictures by a place in the list's table. Thousands of
// pictures set one after another (each freed by the program at once) are
// not all kept, yet every row still shows the last one it was given, and
// rows that share a picture keep it when one of them changes.
TEST_F(ListTest, ManyPicturesComeAndGoAndEachRowKeepsItsLast) {
    const auto argb = [](uint32_t bgr) {
        return 0xFF000000u | (bgr & 0xFFu) << 16 | (bgr & 0xFF00u) | (bgr >> 16 & 0xFFu);
    };
    const auto shown = [](int64_t row) {
        const int64_t copy = tk_list_copy_item_image(kList, row, -1);
        const uint32_t pixel = copy ? tk_image_pixel(copy, 8, 8) : 0;
        if (copy) tk_image_free(copy);
        return pixel;
    };
    for (int r = 0; r < 4; ++r) tk_gadget_add_item(kList, -1, L"r" + std::to_wstring(r));
    const int64_t shared = tk_image_create(-1, 16, 16, 32, 0x123456);
    tk_gadget_set_item_image(kList, 3, tk_image_handle(shared));
    for (uint32_t i = 1; i <= 3000; ++i) {
        const int64_t picture = tk_image_create(-1, 16, 16, 32, i);
        tk_gadget_set_item_image(kList, (i - 1) % 3, tk_image_handle(picture));
        tk_image_free(picture);
        if (i == 1500) tk_gadget_set_item_image(kList, 2, tk_image_handle(shared));
    }
    for (int64_t r = 0; r < 3; ++r) EXPECT_EQ(shown(r), argb(2998 + static_cast<uint32_t>(r)));
    EXPECT_EQ(shown(3), argb(0x123456));
    tk_gadget_remove_item(kList, 0);
    tk_gadget_set_item_image(kList, 0, 0);
    EXPECT_EQ(shown(0), 0u);
    EXPECT_EQ(shown(1), argb(3000));
    EXPECT_EQ(shown(2), argb(0x123456));
    tk_image_free(shared);
}

TEST_F(ListTest, StateCurrentRowAndTextFollowTheProgram) {
    add_rows(5);
    EXPECT_EQ(tk_gadget_get_state(kList), -1);
    EXPECT_EQ(tk_gadget_get_text(kList), L""); // no current row
    tk_gadget_set_item_state(kList, 3, TkListItemSelected);
    EXPECT_EQ(tk_list_current_row(kList), 3); // selecting makes it current
    EXPECT_EQ(tk_gadget_get_text(kList), L"r3");
    tk_gadget_set_item_state(kList, 1, TkListItemSelected);
    EXPECT_EQ(tk_list_selected_count(kList), 2); // several rows selectable
    EXPECT_EQ(tk_list_next_selected(kList, -1), 1);
    EXPECT_EQ(tk_list_next_selected(kList, 1), 3);
    EXPECT_EQ(tk_list_next_selected(kList, 3), -1);
    EXPECT_TRUE(list_view()->selectionModel()->isRowSelected(3, {}));
    EXPECT_EQ(list_view()->currentIndex().row(), 1);

    tk_gadget_set_state(kList, 4); // one row selected, current
    EXPECT_EQ(tk_list_selected_count(kList), 1);
    EXPECT_EQ(tk_gadget_get_item_state(kList, 4), TkListItemSelected);
    EXPECT_EQ(list_view()->selectionModel()->selectedRows().size(), 1);
    tk_gadget_set_item_state(kList, 4, 0);
    EXPECT_FALSE(list_view()->selectionModel()->hasSelection());
    EXPECT_TRUE(g_list_events.empty()); // the program's changes report nothing
}

TEST_F(ListTest, SingleSelectionKeepsOneRow) {
    TearDown();
    open(0);
    add_rows(4);
    tk_gadget_set_item_state(kList, 0, TkListItemSelected);
    tk_gadget_set_item_state(kList, 2, TkListItemSelected);
    EXPECT_EQ(tk_list_selected_count(kList), 1);
    EXPECT_EQ(tk_gadget_get_item_state(kList, 2), TkListItemSelected);
}

// ---- user actions ----

// Picks made one by one survive the cursor's walk; a lone selection under
// the cursor follows it.
TEST_F(ListTest, PlainCursorKeysKeepPickedRowsAndMoveALoneSelection) {
    add_rows(6);
    settle();
    auto press = [](Qt::Key key) {
        QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(list_view(), &e);
    };
    tk_gadget_set_state(kList, 1); // one row, under the cursor
    press(Qt::Key_Down);
    EXPECT_EQ(tk_list_current_row(kList), 2);
    EXPECT_EQ(tk_list_selected_count(kList), 1);
    EXPECT_EQ(tk_gadget_get_item_state(kList, 2), TkListItemSelected);

    tk_gadget_set_item_state(kList, 4, TkListItemSelected); // two picked rows
    tk_list_set_current_row(kList, 3);
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Home, Qt::Key_End, Qt::Key_PageUp, Qt::Key_Up})
        press(key);
    EXPECT_EQ(tk_list_selected_count(kList), 2);
    EXPECT_EQ(tk_list_next_selected(kList, -1), 2);
    EXPECT_EQ(tk_list_next_selected(kList, 2), 4);
}

TEST_F(ListTest, ClickOnARowReportsChangeThenLeftClick) {
    add_rows(3);
    settle();
    click(list_view()->viewport(), row_point(1));
    EXPECT_EQ(g_list_events, (std::vector<int64_t>{EventTypeChange, EventTypeLeftClick}));
    EXPECT_EQ(tk_gadget_get_item_state(kList, 1), TkListItemSelected);
    EXPECT_EQ(tk_list_current_row(kList), 1);
    EXPECT_EQ(tk_list_last_selected(kList), 1);
    EXPECT_EQ(list_view()->property("ZV_LastSelected").toLongLong(), 1);
}

TEST_F(ListTest, ClickOnEmptySpaceAfterASelectionIsOneChangeAndNoClick) {
    add_rows(3);
    settle();
    QWidget* port = list_view()->viewport();
    click(port, row_point(0));
    g_list_events.clear();
    click(port, QPoint(20, port->height() - 5));
    EXPECT_EQ(g_list_events, std::vector<int64_t>{EventTypeChange});
    EXPECT_EQ(tk_list_selected_count(kList), 0);
    EXPECT_EQ(tk_list_last_selected(kList), -1);
    g_list_events.clear();
    click(port, QPoint(20, port->height() - 5)); // nothing was selected: silence
    EXPECT_TRUE(g_list_events.empty());

    // A selection the program cleared is still a change when a click finds
    // nothing selected while a last selected row is remembered.
    click(port, row_point(2));
    tk_gadget_set_item_state(kList, 2, 0);
    g_list_events.clear();
    click(port, QPoint(20, port->height() - 5));
    EXPECT_EQ(g_list_events, std::vector<int64_t>{EventTypeChange});
}

TEST_F(ListTest, RightAndDoubleClicksReportTheirTypes) {
    add_rows(3);
    settle();
    QWidget* port = list_view()->viewport();
    click(port, row_point(2), Qt::RightButton);
    EXPECT_EQ(g_list_events, (std::vector<int64_t>{EventTypeChange, EventTypeRightClick}));
    EXPECT_EQ(tk_gadget_get_item_state(kList, 2), TkListItemSelected);
    g_list_events.clear();
    double_click(port, row_point(2));
    EXPECT_EQ(g_list_events, (std::vector<int64_t>{EventTypeLeftClick, EventTypeLeftDoubleClick}));
    g_list_events.clear();
    double_click(port, row_point(2), Qt::RightButton);
    EXPECT_EQ(g_list_events,
              (std::vector<int64_t>{EventTypeRightClick, EventTypeRightDoubleClick}));
    g_list_events.clear();
    double_click(port, QPoint(20, port->height() - 5)); // empty space still double-clicks
    EXPECT_EQ(g_list_events.back(), EventTypeLeftDoubleClick);
}

TEST_F(ListTest, DraggingSelectedRowsReportsDragStart) {
    add_rows(3);
    settle();
    QWidget* port = list_view()->viewport();
    const QPoint at = row_point(1);
    click(port, at);
    g_list_events.clear();
    mouse(port, QEvent::MouseButtonPress, at, Qt::LeftButton);
    const QPoint far = at + QPoint(0, 3 * QApplication::startDragDistance());
    QMouseEvent move(QEvent::MouseMove, QPointF(at + QPoint(1, 1)), QPointF(port->mapToGlobal(at)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(port, &move);
    QMouseEvent away(QEvent::MouseMove, QPointF(far), QPointF(port->mapToGlobal(far)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(port, &away);
    EXPECT_EQ(std::count(g_list_events.begin(), g_list_events.end(), EventTypeDragStart), 1);
    EXPECT_EQ(tk_list_selected_count(kList), 1); // the drag did not select more
}

TEST_F(ListTest, CheckBoxClicksChangeTheRowStateAndReport) {
    TearDown();
    open(TkListCheckBoxes);
    add_rows(2);
    settle();
    QTreeView* v = list_view();
    QStyleOptionViewItem option;
    option.initFrom(v);
    option.rect = v->visualRect(v->model()->index(1, 0));
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QRect box = v->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, v);
    click(v->viewport(), box.center());
    EXPECT_EQ(tk_gadget_get_item_state(kList, 1) & TkListItemChecked, TkListItemChecked);
    EXPECT_NE(std::count(g_list_events.begin(), g_list_events.end(), EventTypeChange), 0);
    tk_gadget_set_item_state(kList, 1, 0); // the program clears it
    settle();
    EXPECT_EQ(v->model()->index(1, 0).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
}

// ---- redraw off and on ----

TEST_F(ListTest, RedrawOffStoresRowsAndRedrawOnShowsThemKeepingSelection) {
    add_rows(5);
    tk_gadget_set_item_state(kList, 3, TkListItemSelected); // "r3", current
    settle();
    tk_list_set_redraw(kList, 0);
    tk_gadget_remove_item(kList, 0);
    add_rows(1000, L"n");
    EXPECT_EQ(tk_gadget_count_items(kList), 1004);
    EXPECT_EQ(list_view()->model()->rowCount(), 5); // the view was not told yet
    EXPECT_EQ(tk_list_current_row(kList), 2);
    tk_list_set_redraw(kList, 1);
    EXPECT_EQ(list_view()->model()->rowCount(), 1004);
    EXPECT_EQ(list_view()->currentIndex().row(), 2);
    const QModelIndexList selected = list_view()->selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0].data().toString(), QString("r3"));
    EXPECT_EQ(list_view()->model()->index(1003, 0).data().toString(), QString("n999"));
    EXPECT_TRUE(g_list_events.empty());

    // Clear and refill under redraw off: what the rows say is what shows.
    tk_list_set_redraw(kList, 0);
    tk_gadget_clear_items(kList);
    add_rows(3, L"z");
    tk_gadget_set_item_state(kList, 1, TkListItemSelected);
    tk_list_set_redraw(kList, 1);
    EXPECT_EQ(list_view()->model()->rowCount(), 3);
    EXPECT_EQ(list_view()->model()->index(0, 0).data().toString(), QString("z0"));
    EXPECT_EQ(list_view()->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(list_view()->currentIndex().row(), 1);
}

// A large list cleared gives its old rows back over the next loop turns; the
// new rows are there at once, clears that follow each other queue up, and
// a list closed before the old rows are all given back takes them along.
TEST_F(ListTest, ClearedRowsOfALargeListGoAwayWhileTheNewOnesShow) {
    add_rows(9000, L"a");
    tk_gadget_clear_items(kList);
    add_rows(9000, L"b");
    EXPECT_EQ(tk_gadget_count_items(kList), 9000);
    EXPECT_EQ(tk_gadget_get_item_text(kList, 8999, 0), L"b8999");
    QCoreApplication::processEvents(); // one turn: part of the "a" rows
    tk_gadget_clear_items(kList);
    add_rows(2, L"c");
    settle();
    EXPECT_EQ(list_view()->model()->rowCount(), 2);
    EXPECT_EQ(list_view()->model()->index(1, 0).data().toString(), QString("c1"));
    add_rows(9000, L"d");
    tk_gadget_clear_items(kList);
    tk_window_close(kListWindow); // with old rows still to give back
    settle();
    open(TkListMultiSelect | TkListFullRowSelect);
    EXPECT_EQ(tk_gadget_count_items(kList), 0);
}

// Rows built elsewhere go in at once, shown with redraw on or kept until
// redraw on, texts taken over as they are; the few pictures they share are
// still each row's own copy.
TEST_F(ListTest, AppendedRowsArriveWholeWithTheirPicturesDataAndTags) {
    add_rows(2);
    settle();
    const int64_t red = tk_image_create(-1, 16, 16, 32, 0x0000FF);
    std::vector<TkListNewRow> rows(3);
    rows[0] = {L"a\n1", tk_image_handle(red), -2, 7};
    rows[1] = {L"b\n2", tk_image_handle(red), 5, 0};
    rows[2] = {L"c", 0, 0, 1};
    EXPECT_EQ(tk_list_append_rows(kList, rows), 3);
    tk_image_free(red);
    EXPECT_TRUE(rows[0].text.empty()); // taken over
    ASSERT_EQ(tk_gadget_count_items(kList), 5);
    EXPECT_EQ(list_view()->model()->rowCount(), 5);
    EXPECT_EQ(tk_gadget_get_item_text(kList, 3, 1), L"2");
    EXPECT_EQ(tk_gadget_get_item_data(kList, 2), -2);
    EXPECT_EQ(tk_list_item_tag(kList, 2), 7u);
    EXPECT_EQ(tk_list_item_tag(kList, 4), 1u);
    const int64_t copy = tk_list_copy_item_image(kList, 3, -1);
    ASSERT_NE(copy, 0);
    EXPECT_EQ(tk_image_pixel(copy, 8, 8), 0xFFFF0000u);
    tk_image_free(copy);
    EXPECT_EQ(tk_list_copy_item_image(kList, 4, -1), 0);

    tk_list_set_redraw(kList, 0);
    std::vector<TkListNewRow> more(1000);
    for (size_t i = 0; i < more.size(); ++i) more[i].text = L"n" + std::to_wstring(i);
    EXPECT_EQ(tk_list_append_rows(kList, more), 1000);
    EXPECT_EQ(list_view()->model()->rowCount(), 5); // not told yet
    tk_list_set_redraw(kList, 1);
    EXPECT_EQ(list_view()->model()->rowCount(), 1005);
    EXPECT_EQ(list_view()->model()->index(1004, 0).data().toString(), QString("n999"));
    std::vector<TkListNewRow> none;
    EXPECT_EQ(tk_list_append_rows(kList, none), 0);
    EXPECT_EQ(tk_list_append_rows(kList + 99, more), 0); // no such list
    EXPECT_TRUE(g_list_events.empty());
}

// Keys kept for one list are never taken for another: a list made again
// under the same number, with the same rows, shows other revisions; a
// picture or a tag leaves the revision alone, a text does not.
TEST_F(ListTest, ContentRevisionsAreNeverSharedBetweenLists) {
    add_rows(3);
    const uint64_t first = tk_list_content_revision(kList);
    tk_list_set_item_tag(kList, 0, 9);
    EXPECT_EQ(tk_list_content_revision(kList), first);
    tk_gadget_set_item_text(kList, 0, L"neu", 0);
    EXPECT_NE(tk_list_content_revision(kList), first);
    const uint64_t before = tk_list_content_revision(kList);
    ASSERT_NE(tk_list_create(kList, 0, 0, 500, 300, L"Name", 150, 0), 0);
    EXPECT_NE(tk_list_content_revision(kList), first);
    add_rows(3);
    EXPECT_NE(tk_list_content_revision(kList), before);
    EXPECT_NE(tk_list_content_revision(kList), first);
}

// ---- header ----

std::vector<std::array<int64_t, 4>> g_hook_calls;
void header_hook(int64_t gadget, int64_t kind, int64_t column, int64_t width) {
    g_hook_calls.push_back({gadget, kind, column, width});
}

TEST_F(ListTest, HeaderHookSeesUserResizesAndClicksButNotProgramWidths) {
    g_hook_calls.clear();
    tk_list_set_header_hook(kList, header_hook);
    tk_list_set_column_width(kList, 1, 140);
    EXPECT_EQ(tk_list_column_width(kList, 1), 140);
    EXPECT_TRUE(g_hook_calls.empty());

    QHeaderView* h = list_view()->header();
    QWidget* port = h->viewport();
    const int edge = h->sectionViewportPosition(0) + h->sectionSize(0) - 1;
    const int y = h->height() / 2;
    mouse(port, QEvent::MouseButtonPress, QPoint(edge, y), Qt::LeftButton);
    QMouseEvent drag(QEvent::MouseMove, QPointF(edge + 30, y),
                     QPointF(port->mapToGlobal(QPoint(edge + 30, y))), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(port, &drag);
    mouse(port, QEvent::MouseButtonRelease, QPoint(edge + 30, y), Qt::LeftButton);
    ASSERT_FALSE(g_hook_calls.empty());
    EXPECT_EQ(g_hook_calls.back()[0], kList);
    EXPECT_EQ(g_hook_calls.back()[1], TkListHeaderResize);
    EXPECT_EQ(g_hook_calls.back()[2], 0);
    EXPECT_EQ(g_hook_calls.back()[3], tk_list_column_width(kList, 0));
    EXPECT_EQ(tk_list_column_width(kList, 0), 180);

    g_hook_calls.clear();
    click(port, QPoint(h->sectionViewportPosition(2) + 10, y));
    ASSERT_EQ(g_hook_calls.size(), 1u);
    EXPECT_EQ(g_hook_calls[0][1], TkListHeaderClick);
    EXPECT_EQ(g_hook_calls[0][2], 2);
}

TEST_F(ListTest, ColumnsAlignAndReport) {
    EXPECT_EQ(tk_list_column_count(kList), 4);
    EXPECT_EQ(tk_list_column_width(kList, 0), 150);
    EXPECT_EQ(tk_list_column_width(kList, 9), 0);
    tk_list_set_column_align(kList, 3, TkListAlignRight);
    tk_gadget_add_item(kList, -1, L"a\nb\nc\nd");
    const auto align = list_view()->model()->index(0, 3).data(Qt::TextAlignmentRole);
    EXPECT_TRUE(align.value<Qt::Alignment>() & Qt::AlignRight);
    EXPECT_EQ(tk_list_column_position(kList, 2), 2);
    EXPECT_EQ(tk_list_column_at(kList, 1), 1);
    EXPECT_EQ(tk_list_column_count(999), 0); // no such gadget
}

// ---- geometry ----

TEST_F(ListTest, ScrollBarScrollingAndRowRectangles) {
    add_rows(3);
    EXPECT_EQ(tk_list_has_vscrollbar(kList), 0);
    const int64_t picture = tk_image_create(-1, 16, 16);
    for (int i = 0; i < 300; ++i) tk_gadget_add_item(kList, -1, L"m", tk_image_handle(picture));
    EXPECT_EQ(tk_list_has_vscrollbar(kList), 1); // known before any repaint
    const int64_t h = tk_list_row_height(kList);
    ASSERT_GT(h, 0);
    TkListRect r3, r4;
    ASSERT_EQ(tk_list_item_rect(kList, 3, 0, &r3), 1);
    ASSERT_EQ(tk_list_item_rect(kList, 4, 0, &r4), 1);
    EXPECT_EQ(r4.y - r3.y, h);
    EXPECT_EQ(r3.height, h);
    EXPECT_GT(r3.x, 16); // the label starts after the picture
    EXPECT_EQ(tk_list_item_rect(kList, 999, 0, &r4), 0);

    tk_list_scroll(kList, 0, 10 * h);
    EXPECT_EQ(tk_list_top_row(kList), 10);
    tk_list_ensure_visible(kList, 200);
    const int64_t top = tk_list_top_row(kList);
    EXPECT_LE(top, 200);
    EXPECT_GT(top + tk_list_visible_rows(kList), 200);
    TkListRect r200;
    ASSERT_EQ(tk_list_item_rect(kList, 200, 0, &r200), 1);
    EXPECT_EQ(r200.y - r3.y, (200 - 3 - top) * h); // r3 was taken unscrolled
    tk_image_free(picture);
}

} // namespace

namespace {

// The colour in the middle of row 0, near its right end where no text is.
QColor row_colour(int64_t gadget) {
    QTreeView* v = list_view(gadget);
    const QRect r = v->visualRect(v->model()->index(0, 3));
    const QImage shot = v->viewport()->grab().toImage();
    return shot.pixelColor(r.right() - 3, r.center().y());
}

TEST_F(ListTest, OnlyTheListWithTheFocusShowsItsSelectionStrongly) {
    constexpr int64_t other = 6;
    constexpr uint32_t flags = TkListMultiSelect | TkListFullRowSelect | TkListShowSelectionAlways;
    tk_window_close(kListWindow);
    open(flags);
    ASSERT_NE(tk_list_create(other, 0, 310, 500, 80, L"Name", 150, flags), 0);
    for (const wchar_t* title : {L"Datum", L"Typ", L"Größe"})
        tk_list_add_column(other, -1, title, 100);
    for (int64_t g : {kList, other}) {
        tk_gadget_add_item(g, -1, L"a\n1\nTxt\n5");
        tk_gadget_add_item(g, -1, L"b\n1\nTxt\n5");
        tk_gadget_set_item_state(g, 0, TkListItemSelected);
    }
    reinterpret_cast<QWidget*>(tk_window_handle(kListWindow))->show();
    list_view(kList)->setFocus();
    ASSERT_TRUE(wait_flushed());
    const QPalette palette = list_view(kList)->palette();
    const QColor strong = row_colour(kList);
    const QColor muted = row_colour(other);
    EXPECT_NE(strong, muted);
    EXPECT_EQ(muted, tk_list_muted_highlight(palette));
    // the focus moves: the colours change places
    list_view(other)->setFocus();
    settle();
    EXPECT_EQ(row_colour(other), strong);
    EXPECT_EQ(row_colour(kList), muted);
}

} // namespace
