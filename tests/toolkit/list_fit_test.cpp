// Column widths that show whole texts, and the tooltip of a cut cell.
#include <QHelpEvent>
#include <QToolTip>

#include "list_fixture.h"

namespace {

int text_width(const QString& text) {
    return QFontMetrics(list_view()->font()).horizontalAdvance(text);
}

TEST_F(ListTest, FitWidthCoversTheWidestCellAndTheHeadingAndFollowsChanges) {
    tk_gadget_add_item(kList, -1, L"a\n01.01.2026 10:00\nTyp\n1 Byte");
    tk_gadget_add_item(kList, -1, L"b\n01.01.2026 10:00\nTyp\n5,000,000,000 Byte");
    const int64_t size_fit = tk_list_column_fit_width(kList, 3);
    EXPECT_GT(size_fit, text_width(QStringLiteral("5,000,000,000 Byte")));
    // a shorter text column still needs room for its heading
    EXPECT_GE(tk_list_column_fit_width(kList, 2), list_view()->header()->sectionSizeHint(2));

    // a wider row widens the fit; a changed cell is seen too
    tk_gadget_add_item(kList, -1, L"c\n01.01.2026 10:00\nTyp\n5,000,000,000,000 Byte");
    const int64_t wider = tk_list_column_fit_width(kList, 3);
    EXPECT_GT(wider, size_fit);
    tk_gadget_set_item_text(kList, 2, L"1 Byte", 3);
    EXPECT_EQ(tk_list_column_fit_width(kList, 3), size_fit);

    EXPECT_EQ(tk_list_column_fit_width(kList, 9), 0);
    EXPECT_EQ(tk_list_column_fit_width(999, 0), 0);
}

// After new rows, the columns asked for before are measured together: each
// still gets its own widest cell, and a column changed since (the type
// column, as a worker writes it) is measured again on its own.
TEST_F(ListTest, ColumnsMeasuredTogetherEachGetTheirOwnWidth) {
    tk_gadget_add_item(kList, -1, L"a\n01.01.2026 10:00\nTyp\n1 Byte");
    tk_list_column_fit_width(kList, 1);
    tk_list_column_fit_width(kList, 3);
    tk_gadget_add_item(kList, -1, L"b\n01.01.2026 10:00:00 Uhr\nTyp\n5,000,000 Byte");
    const int64_t date = tk_list_column_fit_width(kList, 1); // measures 1 and 3
    EXPECT_GT(date, text_width(QStringLiteral("01.01.2026 10:00:00 Uhr")));
    const int64_t size = tk_list_column_fit_width(kList, 3);
    EXPECT_GT(size, text_width(QStringLiteral("5,000,000 Byte")));
    EXPECT_LT(size, date);
    tk_gadget_set_item_text(kList, 0, L"Einfaches Textdokument mit langem Namen", 2);
    EXPECT_GT(tk_list_column_fit_width(kList, 2),
              text_width(QStringLiteral("Einfaches Textdokument mit langem Namen")));
    EXPECT_EQ(tk_list_column_fit_width(kList, 1), date);
    EXPECT_EQ(tk_list_column_fit_width(kList, 3), size);
}

TEST_F(ListTest, OnlyACutCellShowsItsWholeTextAsTooltip) {
    tk_gadget_add_item(kList, -1, L"kurz\nx\ny\nz");
    tk_gadget_add_item(kList, -1,
                       L"ein sehr langer Name, der nie in die Spalte passt.txt\nx\ny\nz");
    tk_list_set_column_width(kList, 0, 60);
    settle();
    QTreeView* v = list_view();
    auto tooltip_at = [&](int64_t row) {
        const QPoint at = row_point(row);
        QHelpEvent e(QEvent::ToolTip, at, v->viewport()->mapToGlobal(at));
        QApplication::sendEvent(v->viewport(), &e);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_EQ(tooltip_at(0), QString());
    EXPECT_EQ(tooltip_at(1),
              QStringLiteral("ein sehr langer Name, der nie in die Spalte passt.txt"));
}

} // namespace
