// The list gadget's view: see list_view.h.
#include "toolkit/list_view.h"

#include <QApplication>
#include <QHash>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QToolTip>
#include <cmath>

#include "toolkit/events.h"
#include "toolkit/internal.h"

TkListView::TkListView(uint32_t list_flags)
    : rows(new TkListModel(this, list_flags & TkListCheckBoxes)), flags(list_flags) {
    setModel(rows);
    setItemDelegate(new TkListDelegate(this));
    setUniformRowHeights(true);           // row geometry without asking every row
    setVerticalScrollMode(ScrollPerItem); // the scroll position counts rows
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setAllColumnsShowFocus(flags & TkListFullRowSelect);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(flags & TkListMultiSelect ? ExtendedSelection : SingleSelection);
    setEditTriggers(NoEditTriggers);
    setDragEnabled(true); // startDrag reports the drag; the program performs it
    setIconSize(QSize(rows->icon_size(), rows->icon_size()));
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    QHeaderView* h = header();
    h->setStretchLastSection(false);
    h->setSectionsClickable(true);
    h->setSectionsMovable(flags & TkListReorderableColumns);
    h->setSectionResizeMode(QHeaderView::Interactive);
    h->setHighlightSections(false);
    connect(h, &QHeaderView::sectionClicked, this, &TkListView::on_section_clicked);
    connect(h, &QHeaderView::sectionResized, this, &TkListView::on_section_resized);
    connect(rows, &TkListModel::userChecked, this, &TkListView::on_user_checked);
    connect(rows, &TkListModel::selectionDirty, this, [this] {
        TkListProgram program(this);
        sync_selection();
    });
}

void TkListView::detach() {
    gadget_ = nullptr;
    hook_ = nullptr;
}

// ---- reporting ----

void TkListView::report(int64_t type) {
    if (gadget_) tk_event_generate(EventGadget, gadget_->number, gadget_->window, type);
}

void TkListView::set_last_selected(int64_t row) {
    last_selected_ = row;
    setProperty("ZV_LastSelected", QVariant::fromValue<qlonglong>(row));
}

// Qt measures every row of a changed span again and finds its rectangle on
// screen one row at a time; for a worker's span of 100,000 rows that costs
// tens of ms per flush. Rows here are uniform (the first row gives their
// height) and only the visible ones need a repaint, so the span is cut to
// what is on screen first.
void TkListView::dataChanged(const QModelIndex& top_left, const QModelIndex& bottom_right,
                             const QList<int>& roles) {
    if (top_left.row() == 0) {
        QTreeView::dataChanged(top_left, top_left.siblingAtColumn(bottom_right.column()), roles);
    }
    const int first = verticalScrollBar()->value(); // rows, as the list scrolls per row
    const int height = std::max(rowHeight(rows->index(first, 0)), 1);
    const int last = first + viewport()->height() / height + 1;
    const int lo = std::max(top_left.row(), first);
    const int hi = std::min(bottom_right.row(), last);
    if (lo <= hi)
        QAbstractItemView::dataChanged(top_left.siblingAtRow(lo), bottom_right.siblingAtRow(hi),
                                       roles);
}

void TkListView::selectionChanged(const QItemSelection& selected,
                                  const QItemSelection& deselected) {
    QTreeView::selectionChanged(selected, deselected); // repaints
    if (program_depth > 0 || !rows->redraw_on()) return;
    for (const QItemSelectionRange& r : deselected) {
        rows->set_state_range(r.top(), r.bottom(), 0, TkListItemSelected);
    }
    int64_t newest = -1;
    for (const QItemSelectionRange& r : selected) {
        rows->set_state_range(r.top(), r.bottom(), TkListItemSelected, TkListItemSelected);
        newest = std::max<int64_t>(newest, r.bottom());
    }
    const QModelIndex current = currentIndex();
    if (current.isValid() && selected.contains(current)) newest = current.row();
    if (newest >= 0) set_last_selected(newest);
    reported_since_press_ = true;
    report(EventTypeChange);
}

void TkListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTreeView::currentChanged(current, previous);
    if (program_depth > 0 || !rows->redraw_on()) return;
    rows->set_current_row(current.isValid() ? current.row() : -1);
}

// Rows picked one by one (Insert, Ctrl+click) stay picked while the cursor
// walks: a plain arrow, page, Home or End key then moves the cursor only.
// While the selection is no more than the row under the cursor, it follows
// the cursor as it always did.
QItemSelectionModel::SelectionFlags TkListView::selectionCommand(const QModelIndex& index,
                                                                 const QEvent* event) const {
    const auto flags = QTreeView::selectionCommand(index, event);
    if (!event || event->type() != QEvent::KeyPress || selectionMode() != ExtendedSelection ||
        !(flags & QItemSelectionModel::Clear))
        return flags;
    const QItemSelection picked = selectionModel()->selection();
    const int current = currentIndex().row();
    const bool only_current =
        picked.size() == 1 && picked.front().top() == current && picked.front().bottom() == current;
    if (picked.isEmpty() || only_current) return flags;
    return QItemSelectionModel::NoUpdate;
}

void TkListView::on_user_checked(int) {
    if (program_depth == 0) report(EventTypeChange);
}

// ---- mouse ----

void TkListView::mousePressEvent(QMouseEvent* event) {
    reported_since_press_ = false;
    // A middle click acts on the row under the pointer and leaves the
    // selection and the current row alone.
    if (event->button() == Qt::MiddleButton) return;
    QTreeView::mousePressEvent(event);
}

void TkListView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton) {
        const QModelIndex under = indexAt(event->position().toPoint());
        middle_row_ = under.isValid() ? under.row() : -1;
        if (middle_row_ >= 0) report(EventTypeMiddleClick);
        return;
    }
    QTreeView::mouseReleaseEvent(event); // may clear the selection (empty space)
    const bool ends_double = double_clicked_;
    double_clicked_ = false;
    if (ends_double) return;
    if (event->button() == Qt::LeftButton) clicked(EventTypeLeftClick);
    if (event->button() == Qt::RightButton) clicked(EventTypeRightClick);
}

// A click that leaves nothing selected after a row had been selected is a
// selection change (reported once) and no left click.
void TkListView::clicked(int64_t type) {
    const bool any = selectionModel()->hasSelection();
    if (!any && last_selected_ != -1) {
        set_last_selected(-1);
        if (!reported_since_press_) report(EventTypeChange);
    }
    if (type == EventTypeRightClick || any) report(type);
}

void TkListView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeView::mouseDoubleClickEvent(event);
    double_clicked_ = true;
    if (event->button() == Qt::LeftButton) report(EventTypeLeftDoubleClick);
    if (event->button() == Qt::RightButton) report(EventTypeRightDoubleClick);
}

void TkListView::contextMenuEvent(QContextMenuEvent* event) {
    event->accept(); // the right click event is the program's cue for a menu
}

void TkListView::startDrag(Qt::DropActions) {
    report(EventTypeDragStart); // the program answers with its own drag of the rows
}

// Without the focus the selection is muted (or hidden without "selection
// always shown"), so a focus change must repaint the rows.
void TkListView::focusInEvent(QFocusEvent* event) {
    QTreeView::focusInEvent(event);
    viewport()->update();
}

void TkListView::focusOutEvent(QFocusEvent* event) {
    QTreeView::focusOutEvent(event);
    viewport()->update();
}

// ---- header ----

void TkListView::set_sort_indicator(int64_t column, int64_t order) {
    const bool shown = column >= 0 && column < rows->columnCount();
    sort_column_ = shown ? column : -1;
    sort_order_ = order == TkListSortDescending ? TkListSortDescending : TkListSortAscending;
    QHeaderView* h = header();
    const QSignalBlocker quiet(h);
    h->setSortIndicatorShown(shown);
    h->setSortIndicator(shown ? static_cast<int>(column) : -1, sort_order_ == TkListSortDescending
                                                                   ? Qt::DescendingOrder
                                                                   : Qt::AscendingOrder);
}

void TkListView::on_section_clicked(int column) {
    // The header moved its arrow to the clicked column; it stays where the
    // program put it until the program has sorted.
    if (header()->isSortIndicatorShown()) set_sort_indicator(sort_column_, sort_order_);
    if (hook_ && gadget_) {
        hook_(gadget_->number, TkListHeaderClick, column, header()->sectionSize(column));
    }
}

void TkListView::on_section_resized(int column, int, int new_width) {
    if (program_depth > 0 || !hook_ || !gadget_) return; // the program's own widths
    hook_(gadget_->number, TkListHeaderResize, column, new_width);
}

int64_t TkListView::add_column(int64_t position, const QString& title, int64_t width) {
    const int64_t column = rows->insert_column(position, title);
    set_column_width(column, width);
    return column;
}

void TkListView::set_column_width(int64_t column, int64_t width) {
    if (column < 0 || column >= rows->column_count()) return;
    header()->resizeSection(static_cast<int>(column),
                            static_cast<int>(std::max<int64_t>(width, 0)));
}

// ---- program side ----

void TkListView::sync_selection() {
    const int n = rows->rowCount();
    const int last_column = rows->columnCount() - 1;
    QItemSelectionModel* model = selectionModel();
    if (last_column < 0) return;
    QItemSelection selection;
    for (auto [first, last] : rows->selected_ranges(n)) {
        selection.append(
            QItemSelectionRange(rows->index(first, 0), rows->index(last, last_column)));
    }
    if (!selection.isEmpty() || model->hasSelection()) {
        model->select(selection, QItemSelectionModel::ClearAndSelect);
    }
    const int64_t current = rows->current_row();
    const QModelIndex index =
        current >= 0 && current < n ? rows->index(int(current), 0) : QModelIndex();
    if (model->currentIndex() != index)
        model->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

void TkListView::select_only(int64_t row) {
    const bool valid = row >= 0 && row < rows->count();
    rows->clear_state_except(valid ? row : -1, TkListItemSelected);
    if (valid) rows->set_state(row, TkListItemSelected, TkListItemSelected);
    rows->set_current_row(valid ? row : -1);
    if (rows->redraw_on()) sync_selection();
}

// Selecting a row also makes it the current row, so that the next arrow key
// moves on from it and not from the top. Only this row's entry in the view's
// selection changes; a full rebuild per call would make selecting many rows
// quadratic (which is also why many rows are best selected under redraw off).
void TkListView::set_row_state(int64_t row, uint32_t bits) {
    if (row < 0 || row >= rows->count()) return;
    const bool select = bits & TkListItemSelected;
    const bool single = selectionMode() == SingleSelection;
    if (select && single) rows->clear_state_except(row, TkListItemSelected);
    rows->set_state(row, bits, kTkListItemStateBits);
    if (select) rows->set_current_row(row);
    if (!rows->redraw_on()) return;
    QItemSelectionModel* model = selectionModel();
    const QModelIndex first = rows->index(int(row), 0);
    const QItemSelection one(first, rows->index(int(row), rows->columnCount() - 1));
    if (select) {
        model->select(one,
                      single ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::Select);
        model->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    } else if (model->isRowSelected(int(row), {})) {
        model->select(one, QItemSelectionModel::Deselect);
    }
}

void TkListView::set_redraw(bool on) {
    if (!on) {
        rows->set_redraw(false);
        setUpdatesEnabled(false);
        return;
    }
    if (rows->set_redraw(true)) sync_selection();
    setUpdatesEnabled(true);
}

// ---- geometry ----

bool TkListView::needs_vscrollbar() {
    executeDelayedItemsLayout();
    updateGeometries();
    const QScrollBar* bar = verticalScrollBar();
    return bar->maximum() > bar->minimum();
}

int TkListView::row_height() {
    if (rows->rowCount() > 0) {
        executeDelayedItemsLayout();
        return rowHeight(rows->index(0, 0));
    }
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.text = QStringLiteral("Xg");
    option.features |= QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasDecoration;
    option.decorationSize = iconSize();
    return style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this).height();
}

// Vertically the list scrolls by whole rows: dy pixels round to rows.
void TkListView::scroll_rows(int64_t dx, int64_t dy) {
    executeDelayedItemsLayout();
    const int h = std::max(row_height(), 1);
    QScrollBar* v = verticalScrollBar();
    v->setValue(v->value() + static_cast<int>(std::lround(double(dy) / h)));
    QScrollBar* hb = horizontalScrollBar();
    hb->setValue(hb->value() + static_cast<int>(dx));
}

int64_t TkListView::top_row() {
    executeDelayedItemsLayout();
    return verticalScrollBar()->value(); // rows, as the list scrolls per row
}

bool TkListView::label_rect(int64_t row, int64_t column, QRect* out) {
    if (row < 0 || row >= rows->rowCount() || column < 0 || column >= rows->columnCount()) {
        return false;
    }
    executeDelayedItemsLayout();
    const QModelIndex index = rows->index(int(row), int(column));
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    static_cast<TkListDelegate*>(itemDelegate())->init_option(&option, index);
    QRect r = column == 0 ? style()->subElementRect(QStyle::SE_ItemViewItemText, &option, this)
                          : option.rect;
    r.moveTopLeft(viewport()->mapTo(this, r.topLeft()));
    *out = r;
    return true;
}

bool TkListView::fit_fresh(int column) const {
    const FitWidth& fit = fit_widths_[static_cast<size_t>(column)];
    return fit.texts == rows->column_revision(column) && fit.font == font();
}

// Measures the columns in one pass over the rows.
void TkListView::measure_fit_widths(const std::vector<int64_t>& columns) {
    // Item views keep one focus-frame margin plus a pixel on each side of a text.
    const int margin = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
    const QFontMetrics metrics(font());
    const auto longest = rows->longest_texts(columns, 8);
    for (size_t i = 0; i < columns.size(); ++i) {
        const int column = static_cast<int>(columns[i]);
        const int icon = column == 0 ? rows->icon_size() + margin : 0;
        int widest = 0;
        for (const std::wstring& text : longest[i])
            widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdWString(text)));
        FitWidth& fit = fit_widths_[static_cast<size_t>(column)];
        fit.texts = rows->column_revision(column);
        fit.font = font();
        fit.width = std::max(header()->sectionSizeHint(column), widest + margin + icon);
    }
}

int TkListView::column_fit_width(int column) {
    if (fit_widths_.size() < static_cast<size_t>(rows->columnCount()))
        fit_widths_.resize(static_cast<size_t>(rows->columnCount()));
    FitWidth& fit = fit_widths_[static_cast<size_t>(column)];
    fit.asked = true;
    // Workers writing type names or a sort leave the other columns' widths.
    if (fit_fresh(column)) return fit.width;
    // A new listing changes every column: the others asked for before are
    // measured in the same pass, as they will be asked for next.
    std::vector<int64_t> stale;
    for (int c = 0; c < rows->columnCount(); ++c)
        if (fit_widths_[static_cast<size_t>(c)].asked && !fit_fresh(c)) stale.push_back(c);
    measure_fit_widths(stale);
    return fit.width;
}

// ---- painting ----

QColor tk_list_muted_highlight(const QPalette& palette) {
    const QColor strong = palette.color(QPalette::Active, QPalette::Highlight);
    const QColor inactive = palette.color(QPalette::Inactive, QPalette::Highlight);
    if (inactive != strong) return inactive;
    // a style without its own inactive colour: the highlight faded into the base
    const QColor base = palette.color(QPalette::Active, QPalette::Base);
    return QColor((strong.red() + 2 * base.red()) / 3, (strong.green() + 2 * base.green()) / 3,
                  (strong.blue() + 2 * base.blue()) / 3);
}

void TkListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
    QStyleOptionViewItem o = option;
    const bool whole_row = view_->flags & TkListFullRowSelect;
    const bool always = view_->flags & TkListShowSelectionAlways;
    // The window's focus, not the desktop's: of two lists only the one the
    // keys go to paints its selection strongly, also while another program
    // is in front.
    const bool focused = view_->window()->focusWidget() == view_;
    if ((!whole_row && index.column() != 0) || (!always && !focused)) {
        o.state &= ~QStyle::State_Selected;
    } else if (!focused && (o.state & QStyle::State_Selected)) {
        const QColor muted = tk_list_muted_highlight(o.palette);
        for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
            o.palette.setColor(g, QPalette::Highlight, muted);
            o.palette.setColor(g, QPalette::HighlightedText, o.palette.color(g, QPalette::Text));
        }
    }
    QStyledItemDelegate::paint(painter, o, index);
    if (index.column() == 0 && view_->rows->mark(index.row()) == TkListMarkLink)
        paint_mark(painter, o, index);
}

namespace {

// The link arrow at size x size pixels: a white square with a dark frame
// and an arrow bending up to the right, drawn once per size.
QPixmap link_mark(int size) {
    static QHash<int, QPixmap> made;
    auto found = made.constFind(size);
    if (found != made.constEnd()) return *found;
    QPixmap mark(size, size);
    mark.fill(Qt::transparent);
    QPainter p(&mark);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    p.setPen(QPen(QColor(64, 64, 64), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(0.5, 0.5, s - 1, s - 1));
    QPen arrow(Qt::black, std::max(1.0, s / 8));
    arrow.setCapStyle(Qt::RoundCap);
    p.setPen(arrow);
    QPainterPath bend(QPointF(s * 0.25, s * 0.8));
    bend.quadTo(QPointF(s * 0.25, s * 0.3), QPointF(s * 0.72, s * 0.3));
    p.setBrush(Qt::NoBrush);
    p.drawPath(bend);
    p.setBrush(Qt::black);
    p.drawPolygon(QPolygonF(
        {QPointF(s * 0.55, s * 0.12), QPointF(s * 0.85, s * 0.3), QPointF(s * 0.55, s * 0.48)}));
    p.end();
    made.insert(size, mark);
    return mark;
}

} // namespace

void TkListDelegate::paint_mark(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    QStyleOptionViewItem o = option;
    initStyleOption(&o, index);
    if (!(o.features & QStyleOptionViewItem::HasDecoration)) return;
    const QRect picture =
        view_->style()->subElementRect(QStyle::SE_ItemViewItemDecoration, &o, view_);
    const int size = std::max(6, picture.height() / 2);
    painter->drawPixmap(picture.left(), picture.bottom() + 1 - size, link_mark(size));
}

bool TkListDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                               const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    QStyleOptionViewItem o = option;
    initStyleOption(&o, index);
    const QRect text_rect = view->style()->subElementRect(QStyle::SE_ItemViewItemText, &o, view);
    const int margin =
        2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
    if (o.fontMetrics.horizontalAdvance(o.text) > text_rect.width() - margin)
        QToolTip::showText(event->globalPos(), o.text, view, option.rect);
    else
        QToolTip::hideText();
    return true;
}
