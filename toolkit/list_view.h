// The list gadget's widget: a QTreeView showing a TkListModel as a flat
// report list, turning the user's mouse, keyboard and header actions into
// toolkit events and header-hook calls, and keeping the rows' selection bits
// and the view's selection in step. Main thread only, except `rows`, which
// is fixed at construction and may be read by any thread.
//
// Program changes run inside a TkListProgram scope: while one is open the
// view's selection and current-row notifications are neither recorded nor
// reported, and afterwards the caller rebuilds the view's selection from the
// rows (sync_selection) where the change could have moved it.
#pragma once

#include <QStyledItemDelegate>
#include <QTreeView>
#include <cstdint>

#include "toolkit/list.h"
#include "toolkit/list_model.h"

struct TkGadget;

class TkListView : public QTreeView {
    Q_OBJECT

  public:
    explicit TkListView(uint32_t flags);

    TkListModel* const rows; // the row store; owned by this view
    const uint32_t flags;    // TkList… creation flags

    void attach(TkGadget* gadget) { gadget_ = gadget; }
    void detach(); // the gadget is going: report nothing from now on

    // ---- program side (callers hold a TkListProgram) ----
    // Makes the view's selection and current row those of the rows.
    void sync_selection();
    // Selects one row only (-1: none) and makes it current.
    void select_only(int64_t row);
    // Program change of one row's state bits, main thread.
    void set_row_state(int64_t row, uint32_t bits);
    void set_redraw(bool on);
    int64_t add_column(int64_t position, const QString& title, int64_t width);
    void set_column_width(int64_t column, int64_t width);
    void set_header_hook(TkListHeaderHook hook) { hook_ = hook; }
    // The header's sort arrow, which only the program moves (-1: none).
    void set_sort_indicator(int64_t column, int64_t order);
    int64_t sort_column() const { return sort_column_; }
    int64_t sort_order() const { return sort_order_; }
    int64_t last_selected() const { return last_selected_; }
    int64_t middle_row() const { return middle_row_; }

    // ---- geometry ----
    bool needs_vscrollbar();
    int row_height();
    void scroll_rows(int64_t dx, int64_t dy);
    int64_t top_row();
    bool label_rect(int64_t row, int64_t column, QRect* out);
    int column_fit_width(int column);

    int program_depth = 0; // open TkListProgram scopes

  protected:
    void dataChanged(const QModelIndex& top_left, const QModelIndex& bottom_right,
                     const QList<int>& roles) override;
    void selectionChanged(const QItemSelection& selected,
                          const QItemSelection& deselected) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void startDrag(Qt::DropActions actions) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void report(int64_t type);
    void clicked(int64_t type);
    void set_last_selected(int64_t row);
    void on_section_clicked(int column);
    void on_section_resized(int column, int old_width, int new_width);
    void on_user_checked(int row);

    struct FitWidth {
        uint64_t texts = UINT64_MAX; // the column's revision it was measured at
        QFont font;                  // and the list font
        int width = 0;
        bool asked = false; // asked for before: measured again with any other column
    };
    bool fit_fresh(int column) const;
    void measure_fit_widths(const std::vector<int64_t>& columns);
    std::vector<FitWidth> fit_widths_;  // by column: tk_list_column_fit_width
    TkGadget* gadget_ = nullptr;        // null until attached and after detach
    TkListHeaderHook hook_ = nullptr;   // header clicks and user resizes
    int64_t sort_column_ = -1;          // column with the sort arrow, -1 = none
    int64_t sort_order_ = 0;            // TkListSortAscending / TkListSortDescending
    int64_t last_selected_ = -1;        // "ZV_LastSelected"
    bool reported_since_press_ = false; // a 768 went out since the last press
    int64_t middle_row_ = -1;           // row of the last middle click
    bool double_clicked_ = false;       // the next release ends a double click
};

// Holds the view in "program change" mode for its lifetime.
struct TkListProgram {
    explicit TkListProgram(TkListView* view) : view_(view) { ++view_->program_depth; }
    ~TkListProgram() { --view_->program_depth; }
    TkListProgram(const TkListProgram&) = delete;
    TkListProgram& operator=(const TkListProgram&) = delete;

  private:
    TkListView* view_;
};

// The colour of a selection in a list without the focus: the palette's
// inactive highlight, or a faded highlight where both are the same.
QColor tk_list_muted_highlight(const QPalette& palette);

// Paints cells: the selection only in column 0 unless whole-row selection is
// on; while the list has no focus, muted when it is always shown, else not
// at all.
class TkListDelegate : public QStyledItemDelegate {
  public:
    TkListDelegate(TkListView* view) : QStyledItemDelegate(view), view_(view) {}
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    // A cell whose text the column cuts shows it whole as a tooltip.
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
    void init_option(QStyleOptionViewItem* option, const QModelIndex& index) const {
        initStyleOption(option, index);
    }

  private:
    // The link arrow over the picture of a marked row's first cell.
    void paint_mark(QPainter* painter, const QStyleOptionViewItem& option,
                    const QModelIndex& index) const;
    TkListView* view_;
};
