// List box gadget: a single-selection list of texts (with optional images)
// in a sunken frame; state = the selected index; a selection made by the
// user reports 768.
#include "toolkit/widget_kind.h"
#include "toolkit/widgets.h"

#include <QListWidget>

namespace {

QListWidget* list_of(TkGadget* g) {
    return static_cast<QListWidget*>(g->widget);
}
QListWidgetItem* row_of(TkGadget* g, int64_t row) {
    return row >= 0 && row < list_of(g)->count() ? list_of(g)->item(static_cast<int>(row))
                                                 : nullptr;
}

int64_t listbox_get_state(TkGadget* g) {
    return list_of(g)->currentRow();
}
void listbox_set_state(TkGadget* g, int64_t row) {
    list_of(g)->setCurrentRow(row_of(g, row) ? static_cast<int>(row) : -1);
}
std::wstring listbox_get_text(TkGadget* g) {
    const QListWidgetItem* item = list_of(g)->currentItem();
    return item ? tk_wstring(item->text()) : std::wstring();
}
void listbox_clear(TkGadget* g) {
    list_of(g)->clear();
}
int64_t listbox_count(TkGadget* g) {
    return list_of(g)->count();
}

int64_t listbox_add(TkGadget* g, int64_t position, const std::wstring& text, intptr_t image) {
    QListWidget* list = list_of(g);
    const int row =
        position < 0 || position > list->count() ? list->count() : static_cast<int>(position);
    list->insertItem(row, new QListWidgetItem(tk_image_icon(image), tk_qstring(text)));
    return row;
}
void listbox_remove(TkGadget* g, int64_t row) {
    if (row_of(g, row)) delete list_of(g)->takeItem(static_cast<int>(row));
}

std::wstring listbox_item_text(TkGadget* g, int64_t row, int64_t) {
    const QListWidgetItem* item = row_of(g, row);
    return item ? tk_wstring(item->text()) : std::wstring();
}
void listbox_set_item_text(TkGadget* g, int64_t row, const std::wstring& text, int64_t) {
    if (QListWidgetItem* item = row_of(g, row)) item->setText(tk_qstring(text));
}
int64_t listbox_item_state(TkGadget* g, int64_t row) {
    const QListWidgetItem* item = row_of(g, row);
    return item && item->isSelected() ? 1 : 0;
}
void listbox_set_item_state(TkGadget* g, int64_t row, int64_t bits) {
    if (!row_of(g, row)) return;
    if (bits & 1)
        list_of(g)->setCurrentRow(static_cast<int>(row));
    else
        row_of(g, row)->setSelected(false);
}
int64_t listbox_item_data(TkGadget* g, int64_t row) {
    const QListWidgetItem* item = row_of(g, row);
    return item ? item->data(Qt::UserRole).toLongLong() : 0;
}
void listbox_set_item_data(TkGadget* g, int64_t row, int64_t value) {
    if (QListWidgetItem* item = row_of(g, row))
        item->setData(Qt::UserRole, QVariant::fromValue<qlonglong>(value));
}
void listbox_set_item_image(TkGadget* g, int64_t row, intptr_t image) {
    if (QListWidgetItem* item = row_of(g, row)) item->setIcon(tk_image_icon(image));
}

const TkGadgetOps listbox_ops = [] {
    TkGadgetOps o{};
    o.get_state = listbox_get_state;
    o.set_state = listbox_set_state;
    o.get_text = listbox_get_text;
    o.clear_items = listbox_clear;
    o.count_items = listbox_count;
    o.add_item = listbox_add;
    o.remove_item = listbox_remove;
    o.get_item_text = listbox_item_text;
    o.set_item_text = listbox_set_item_text;
    o.get_item_state = listbox_item_state;
    o.set_item_state = listbox_set_item_state;
    o.get_item_data = listbox_item_data;
    o.set_item_data = listbox_set_item_data;
    o.set_item_image = listbox_set_item_image;
    o.set_color = tk_kind_set_color;
    return o;
}();

} // namespace

int64_t tk_listbox_create(int64_t number, int64_t x, int64_t y, int64_t width, int64_t height,
                          int64_t) {
    auto* list = new QListWidget;
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    QObject::connect(list, &QListWidget::currentRowChanged, list,
                     [list] { tk_kind_report(list, EventTypeChange); });
    return tk_kind_register(number, list, &listbox_ops, nullptr, x, y, width, height);
}
