// The list gadget kind: creation, its operation table for the generic gadget
// operations, and the list-only operations of toolkit/list.h.
//
// Thread rule: the operations marked "any thread" in list.h only touch the
// model (which has its own lock); everything else asserts the main thread.
#include "toolkit/list.h"

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QThread>
#include <algorithm>
#include <cstring>

#include "toolkit/images.h"
#include "toolkit/internal.h"
#include "toolkit/list_view.h"

namespace {

bool on_main_thread() {
    return QThread::currentThread() == qApp->thread();
}

TkListView* view_of(TkGadget* g) {
    return static_cast<TkListView*>(g->kind_data);
}
TkListModel* rows_of(TkGadget* g) {
    return view_of(g)->rows;
}

// ---- the operation table ----

int64_t op_get_state(TkGadget* g) {
    return rows_of(g)->current_row();
}

void op_set_state(TkGadget* g, int64_t row) {
    if (!on_main_thread()) return;
    TkListProgram program(view_of(g));
    view_of(g)->select_only(row);
}

std::wstring op_get_text(TkGadget* g) {
    TkListModel* rows = rows_of(g);
    return rows->text(rows->current_row(), 0);
}

void op_set_text(TkGadget* g, const std::wstring& text) {
    TkListModel* rows = rows_of(g);
    rows->set_text(rows->current_row(), 0, text);
}

void op_clear_items(TkGadget* g) {
    if (!on_main_thread() || rows_of(g)->rows_held_here()) return;
    TkListProgram program(view_of(g));
    rows_of(g)->clear();
}

int64_t op_count_items(TkGadget* g) {
    return rows_of(g)->count();
}

int64_t op_add_item(TkGadget* g, int64_t position, const std::wstring& text, intptr_t image) {
    if (!on_main_thread() || rows_of(g)->rows_held_here()) return -1;
    TkListProgram program(view_of(g));
    return rows_of(g)->insert(position, text, tk_image_qimage(image));
}

void op_remove_item(TkGadget* g, int64_t row) {
    if (!on_main_thread() || rows_of(g)->rows_held_here()) return;
    TkListView* view = view_of(g);
    TkListProgram program(view);
    view->rows->remove(row);
    // The view moves its current row (and in single selection its selected
    // row) to a neighbour; the rows say where they really are.
    if (view->rows->redraw_on()) view->sync_selection();
}

std::wstring op_get_item_text(TkGadget* g, int64_t row, int64_t column) {
    return rows_of(g)->text(row, column);
}

void op_set_item_text(TkGadget* g, int64_t row, const std::wstring& text, int64_t column) {
    rows_of(g)->set_text(row, column, text);
}

int64_t op_get_item_state(TkGadget* g, int64_t row) {
    return rows_of(g)->state(row) & kTkListItemStateBits; // marks are no state of the item
}

void op_set_item_state(TkGadget* g, int64_t row, int64_t bits) {
    TkListView* view = view_of(g);
    if (!on_main_thread()) { // the view follows at the next flush
        view->rows->set_state(row, static_cast<uint32_t>(bits), kTkListItemStateBits);
        return;
    }
    TkListProgram program(view);
    view->set_row_state(row, static_cast<uint32_t>(bits));
}

int64_t op_get_item_data(TkGadget* g, int64_t row) {
    return rows_of(g)->item_data(row);
}

void op_set_item_data(TkGadget* g, int64_t row, int64_t value) {
    rows_of(g)->set_item_data(row, value);
}

void op_set_item_image(TkGadget* g, int64_t row, intptr_t image) {
    rows_of(g)->set_image(row, tk_image_qimage(image));
}

int64_t op_add_column(TkGadget* g, int64_t position, const std::wstring& title, int64_t width) {
    if (!on_main_thread()) return -1;
    TkListProgram program(view_of(g));
    return view_of(g)->add_column(position, tk_qstring(title), width);
}

// which 1 = text colour, 2 = background; -1 = the system's colour again
void op_set_color(TkGadget* g, int which, int64_t bgr) {
    if (!on_main_thread()) return;
    QWidget* w = g->widget;
    const QPalette::ColorRole role = which == 1 ? QPalette::Text : QPalette::Base;
    if (which != 1 && which != 2) return;
    QPalette p = w->palette();
    const QColor color(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
    p.setColor(role, bgr < 0 ? QApplication::palette(w).color(role) : color);
    w->setPalette(p);
}

void op_destroy(TkGadget* g) {
    view_of(g)->detach(); // the widget itself goes with its parent's deletion
    g->kind_data = nullptr;
}

const TkGadgetOps kListOps = {
    op_get_state,      op_set_state,      op_get_text,      op_set_text,        op_clear_items,
    op_count_items,    op_add_item,       op_remove_item,   op_get_item_text,   op_set_item_text,
    op_get_item_state, op_set_item_state, op_get_item_data, op_set_item_data,   op_set_item_image,
    op_add_column,     op_set_color,      nullptr /*font*/, nullptr /*resize*/, nullptr /*hide*/,
    op_destroy,
};

// The list view of a gadget number, or null when it is no list.
TkListView* list_of(int64_t gadget) {
    TkGadget* g = tk_gadget_use(gadget, "list operation");
    if (!g || g->ops != &kListOps || !g->kind_data) return nullptr;
    return view_of(g);
}

// The same for operations that change the number, order or look of rows,
// the columns or the view: main thread only; from another thread they do
// nothing, as for an absent gadget, rather than race with the view.
TkListView* main_list_of(int64_t gadget) {
    return on_main_thread() ? list_of(gadget) : nullptr;
}

} // namespace

// ---- creation and columns ----

int64_t tk_list_create(int64_t number, int x, int y, int width, int height,
                       const std::wstring& title, int64_t column_width, uint32_t flags) {
    if (!on_main_thread() || !tk_current_parent()) return 0;
    auto* view = new TkListView(flags);
    const int64_t result = tk_gadget_register(number, view, &kListOps, view, x, y, width, height);
    if (!result) {
        delete view;
        return 0;
    }
    TkGadget* g = tk_gadget_lookup(number == -1 ? result : number);
    view->attach(g);
    TkListProgram program(view);
    view->add_column(0, tk_qstring(title), column_width);
    return result;
}

int64_t tk_list_add_column(int64_t gadget, int64_t position, const std::wstring& title,
                           int64_t width) {
    TkListView* view = main_list_of(gadget);
    if (!view) return -1;
    TkListProgram program(view);
    return view->add_column(position, tk_qstring(title), width);
}

int64_t tk_list_column_count(int64_t gadget) {
    TkListView* view = main_list_of(gadget);
    return view ? view->rows->column_count() : 0;
}

int64_t tk_list_column_width(int64_t gadget, int64_t column) {
    TkListView* view = main_list_of(gadget);
    if (!view || column < 0 || column >= view->rows->column_count()) return 0;
    return view->header()->sectionSize(static_cast<int>(column));
}

void tk_list_set_column_width(int64_t gadget, int64_t column, int64_t width) {
    TkListView* view = main_list_of(gadget);
    if (!view) return;
    TkListProgram program(view);
    view->set_column_width(column, width);
}

void tk_list_set_column_align(int64_t gadget, int64_t column, int64_t align) {
    if (TkListView* view = main_list_of(gadget)) view->rows->set_column_align(column, align);
}

int64_t tk_list_column_position(int64_t gadget, int64_t column) {
    TkListView* view = main_list_of(gadget);
    if (!view || column < 0 || column >= view->rows->column_count()) return -1;
    return view->header()->visualIndex(static_cast<int>(column));
}

int64_t tk_list_column_at(int64_t gadget, int64_t position) {
    TkListView* view = main_list_of(gadget);
    if (!view || position < 0 || position >= view->rows->column_count()) return -1;
    return view->header()->logicalIndex(static_cast<int>(position));
}

void tk_list_set_header_hook(int64_t gadget, TkListHeaderHook hook) {
    if (TkListView* view = main_list_of(gadget)) view->set_header_hook(hook);
}

void tk_list_set_sort_indicator(int64_t gadget, int64_t column, int64_t order) {
    if (TkListView* view = main_list_of(gadget)) view->set_sort_indicator(column, order);
}

int64_t tk_list_sort_indicator(int64_t gadget, int64_t* order) {
    TkListView* view = main_list_of(gadget);
    if (!view) return -1;
    if (order) *order = view->sort_order();
    return view->sort_column();
}

// ---- bulk changes and order ----

void tk_list_set_redraw(int64_t gadget, int64_t on) {
    TkListView* view = main_list_of(gadget);
    if (!view) return;
    TkListProgram program(view);
    view->set_redraw(on != 0);
}

int64_t tk_list_reorder(int64_t gadget, const std::vector<int64_t>& order) {
    TkListView* view = main_list_of(gadget);
    if (!view || view->rows->rows_held_here()) return 0;
    TkListModel* rows = view->rows;
    const size_t n = static_cast<size_t>(rows->count());
    if (order.size() != n) return 0;
    std::vector<bool> seen(n);
    for (int64_t r : order) {
        if (r < 0 || static_cast<size_t>(r) >= n || seen[static_cast<size_t>(r)]) return 0;
        seen[static_cast<size_t>(r)] = true;
    }
    TkListProgram program(view);
    // Drop the view's selection first so the reorder has only the current
    // row to carry along, then rebuild it from the rows' bits.
    if (rows->redraw_on()) view->selectionModel()->clearSelection();
    rows->permute(order);
    if (rows->redraw_on()) view->sync_selection();
    return 1;
}

// ---- rows ----

int64_t tk_list_add_item(int64_t gadget, int64_t position, const std::wstring& text, intptr_t image,
                         int64_t data, uint32_t tag) {
    TkListView* view = main_list_of(gadget);
    if (!view || view->rows->rows_held_here()) return -1;
    TkListProgram program(view);
    return view->rows->insert(position, text, tk_image_qimage(image), data, tag);
}

int64_t tk_list_append_rows(int64_t gadget, std::vector<TkListNewRow>& rows) {
    TkListView* view = main_list_of(gadget);
    if (!view || view->rows->rows_held_here()) return 0;
    TkListProgram program(view);
    return view->rows->append(rows);
}

int64_t tk_list_remove_items(int64_t gadget, const std::vector<int64_t>& rows) {
    TkListView* view = main_list_of(gadget);
    if (!view || view->rows->rows_held_here()) return 0;
    TkListProgram program(view);
    const bool was_on = view->rows->redraw_on();
    if (was_on) view->set_redraw(false);
    std::vector<int64_t> sorted = rows;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    const int64_t removed = view->rows->remove_many(sorted);
    if (was_on) view->set_redraw(true);
    return removed;
}

void tk_list_set_item_mark(int64_t gadget, int64_t row, int64_t mark) {
    if (TkListView* view = list_of(gadget)) view->rows->set_mark(row, mark);
}

int64_t tk_list_item_mark(int64_t gadget, int64_t row) {
    TkListView* view = list_of(gadget);
    return view ? view->rows->mark(row) : TkListMarkNone;
}

uint32_t tk_list_item_tag(int64_t gadget, int64_t row) {
    TkListView* view = list_of(gadget);
    return view ? view->rows->tag(row) : 0;
}

void tk_list_set_item_tag(int64_t gadget, int64_t row, uint32_t tag) {
    if (TkListView* view = list_of(gadget)) view->rows->set_tag(row, tag);
}

int64_t tk_list_peek_item(int64_t gadget, int64_t row, std::wstring* name, int64_t* data,
                          uint32_t* tag) {
    TkListView* view = list_of(gadget);
    return view && view->rows->peek(row, name, data, tag) ? 1 : 0;
}

int64_t tk_list_change_item_if(int64_t gadget, int64_t row, const std::wstring& name,
                               const TkListItemChange& change) {
    TkListView* view = list_of(gadget);
    if (!view) return 0;
    const QImage* picture = change.image ? tk_image_qimage(change.image) : nullptr;
    return view->rows->change_if(row, name, change, picture) ? 1 : 0;
}

uint64_t tk_list_content_revision(int64_t gadget) {
    TkListView* view = list_of(gadget);
    return view ? view->rows->content_revision() : 0;
}

int64_t tk_list_visit_rows(int64_t gadget, TkListRowVisitor visit, intptr_t user) {
    TkListView* view = main_list_of(gadget);
    if (!view || !visit || view->rows->rows_held_here()) return 0;
    return view->rows->visit(visit, user);
}

int64_t tk_list_current_row(int64_t gadget) {
    TkListView* view = list_of(gadget);
    return view ? view->rows->current_row() : -1;
}

void tk_list_set_current_row(int64_t gadget, int64_t row) {
    TkListView* view = main_list_of(gadget);
    if (!view) return;
    TkListProgram program(view);
    view->rows->set_current_row(row);
    if (view->rows->redraw_on()) view->sync_selection();
}

int64_t tk_list_next_selected(int64_t gadget, int64_t after) {
    TkListView* view = list_of(gadget);
    return view ? view->rows->next_with_state(after, TkListItemSelected) : -1;
}

int64_t tk_list_selected_count(int64_t gadget) {
    TkListView* view = list_of(gadget);
    return view ? view->rows->count_with_state(TkListItemSelected) : 0;
}

int64_t tk_list_last_selected(int64_t gadget) {
    TkListView* view = main_list_of(gadget);
    return view ? view->last_selected() : -1;
}

intptr_t tk_list_take_rows(int64_t gadget) {
    TkListView* view = main_list_of(gadget);
    if (!view || !view->rows->redraw_on() || view->rows->rows_held_here()) return 0;
    TkListProgram program(view);
    TkListStash* stash = view->rows->take_rows();
    view->sync_selection();
    return reinterpret_cast<intptr_t>(stash);
}

void tk_list_put_rows(int64_t gadget, intptr_t rows) {
    auto* stash = reinterpret_cast<TkListStash*>(rows);
    TkListView* view = main_list_of(gadget);
    if (!stash) return;
    if (!view || !view->rows->redraw_on() || view->rows->rows_held_here()) {
        delete stash;
        return;
    }
    TkListProgram program(view);
    view->rows->put_rows(stash);
    view->sync_selection();
}

void tk_list_free_rows(intptr_t rows) {
    delete reinterpret_cast<TkListStash*>(rows);
}

int64_t tk_list_rows_held(intptr_t rows) {
    const auto* stash = reinterpret_cast<const TkListStash*>(rows);
    return stash ? static_cast<int64_t>(stash->rows.size()) : 0;
}

int64_t tk_list_rows_bytes(intptr_t rows) {
    const auto* stash = reinterpret_cast<const TkListStash*>(rows);
    if (!stash) return 0;
    constexpr size_t kHeapBlock = 16; // what the heap adds to every block
    size_t bytes = stash->rows.capacity() * sizeof(TkListRow);
    for (const TkListRow& row : stash->rows)
        if (row.text.capacity() > std::wstring().capacity())
            bytes += (row.text.capacity() + 1) * sizeof(wchar_t) + kHeapBlock;
    return static_cast<int64_t>(bytes);
}

int64_t tk_list_middle_clicked_row(int64_t gadget) {
    TkListView* view = main_list_of(gadget);
    return view ? view->middle_row() : -1;
}

void tk_list_set_item_color(int64_t gadget, int64_t row, int which, int64_t bgr) {
    TkListView* view = list_of(gadget);
    if (view && (which == 1 || which == 2)) view->rows->set_color(row, which, bgr);
}

void tk_list_set_icon_size(int64_t gadget, int64_t size) {
    TkListView* view = main_list_of(gadget);
    if (!view || size < 1 || size > 256) return;
    view->setIconSize(QSize(int(size), int(size)));
    view->rows->set_icon_size(int(size));
}

int64_t tk_list_copy_item_image(int64_t gadget, int64_t row, int64_t number) {
    TkListView* view = list_of(gadget);
    if (!view) return 0;
    const QImage picture = view->rows->image(row);
    if (picture.isNull()) return 0;
    const QImage rgba = tk_list_fit_picture(picture, view->rows->icon_size())
                            .convertToFormat(QImage::Format_RGBA8888);
    std::vector<unsigned char> pixels(static_cast<size_t>(rgba.width()) * rgba.height() * 4);
    for (int y = 0; y < rgba.height(); ++y) { // rows of a QImage may be padded
        std::memcpy(pixels.data() + static_cast<size_t>(y) * rgba.width() * 4,
                    rgba.constScanLine(y), static_cast<size_t>(rgba.width()) * 4);
    }
    return tk_image_set_pixels(number, rgba.width(), rgba.height(), pixels.data());
}

// ---- scrolling and geometry ----

int64_t tk_list_column_fit_width(int64_t gadget, int64_t column) {
    TkListView* view = main_list_of(gadget);
    if (!view || column < 0 || column >= view->rows->column_count()) return 0;
    return view->column_fit_width(static_cast<int>(column));
}

int64_t tk_list_has_vscrollbar(int64_t gadget) {
    TkListView* view = main_list_of(gadget);
    return view && view->needs_vscrollbar() ? 1 : 0;
}

int64_t tk_list_top_row(int64_t gadget) {
    TkListView* view = main_list_of(gadget);
    return view ? view->top_row() : 0;
}

int64_t tk_list_visible_rows(int64_t gadget) {
    TkListView* view = main_list_of(gadget);
    return view ? view->viewport()->height() / std::max(view->row_height(), 1) : 0;
}

int64_t tk_list_row_height(int64_t gadget) {
    TkListView* view = main_list_of(gadget);
    return view ? view->row_height() : 0;
}

void tk_list_scroll(int64_t gadget, int64_t dx, int64_t dy) {
    if (TkListView* view = main_list_of(gadget)) view->scroll_rows(dx, dy);
}

void tk_list_ensure_visible(int64_t gadget, int64_t row) {
    TkListView* view = main_list_of(gadget);
    if (!view || row < 0 || row >= view->rows->rowCount()) return;
    view->scrollTo(view->rows->index(static_cast<int>(row), 0), QAbstractItemView::EnsureVisible);
}

int64_t tk_list_item_rect(int64_t gadget, int64_t row, int64_t column, TkListRect* out,
                          int64_t screen) {
    TkListView* view = main_list_of(gadget);
    QRect r;
    if (!view || !out || !view->label_rect(row, column, &r)) return 0;
    if (screen) r.moveTopLeft(view->mapToGlobal(r.topLeft()));
    *out = TkListRect{r.x(), r.y(), r.width(), r.height()};
    return 1;
}
