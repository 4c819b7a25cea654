// Combo box gadget: a drop-down list, optionally with a typed text (flag 2)
// and entry images (0x10000000). Like the native box it keeps no entry
// selected until one is chosen, even when entries are added to an empty box,
// and it neither completes nor inserts typed texts on its own.
#include "toolkit/widget_kind.h"
#include "toolkit/widgets.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

QComboBox* combo_of(TkGadget* g) {
    return static_cast<QComboBox*>(g->widget);
}

bool has_row(QComboBox* box, int64_t row) {
    return row >= 0 && row < box->count();
}

int64_t combo_get_state(TkGadget* g) {
    return combo_of(g)->currentIndex();
}
void combo_set_state(TkGadget* g, int64_t index) {
    QComboBox* box = combo_of(g);
    box->setCurrentIndex(has_row(box, index) ? static_cast<int>(index) : -1);
}

std::wstring combo_get_text(TkGadget* g) {
    return tk_wstring(combo_of(g)->currentText());
}
void combo_set_text(TkGadget* g, const std::wstring& text) {
    QComboBox* box = combo_of(g);
    if (box->isEditable())
        box->setEditText(tk_qstring(text));
    else
        box->setCurrentIndex(box->findText(tk_qstring(text), Qt::MatchFixedString));
}

void combo_clear(TkGadget* g) {
    combo_of(g)->clear();
    if (combo_of(g)->isEditable()) combo_of(g)->clearEditText();
}
int64_t combo_count(TkGadget* g) {
    return combo_of(g)->count();
}

int64_t combo_add(TkGadget* g, int64_t position, const std::wstring& text, intptr_t image) {
    QComboBox* box = combo_of(g);
    const int row =
        position < 0 || position > box->count() ? box->count() : static_cast<int>(position);
    const bool none_selected = box->currentIndex() < 0;
    const QString typed = box->currentText();
    box->insertItem(row, tk_image_icon(image), tk_qstring(text));
    if (none_selected) { // Qt selects the first entry of an empty box; the native box does not
        box->setCurrentIndex(-1);
        if (box->isEditable()) box->setEditText(typed);
    }
    return row;
}

void combo_remove(TkGadget* g, int64_t row) {
    if (has_row(combo_of(g), row)) combo_of(g)->removeItem(static_cast<int>(row));
}

std::wstring combo_item_text(TkGadget* g, int64_t row, int64_t) {
    return has_row(combo_of(g), row) ? tk_wstring(combo_of(g)->itemText(static_cast<int>(row)))
                                     : std::wstring();
}
void combo_set_item_text(TkGadget* g, int64_t row, const std::wstring& text, int64_t) {
    if (has_row(combo_of(g), row))
        combo_of(g)->setItemText(static_cast<int>(row), tk_qstring(text));
}

int64_t combo_item_state(TkGadget* g, int64_t row) {
    return has_row(combo_of(g), row) && combo_of(g)->currentIndex() == row ? 1 : 0;
}
void combo_set_item_state(TkGadget* g, int64_t row, int64_t bits) {
    QComboBox* box = combo_of(g);
    if (!has_row(box, row)) return;
    if (bits & 1)
        box->setCurrentIndex(static_cast<int>(row));
    else if (box->currentIndex() == row)
        box->setCurrentIndex(-1);
}

int64_t combo_item_data(TkGadget* g, int64_t row) {
    return has_row(combo_of(g), row) ? combo_of(g)->itemData(static_cast<int>(row)).toLongLong()
                                     : 0;
}
void combo_set_item_data(TkGadget* g, int64_t row, int64_t value) {
    if (has_row(combo_of(g), row))
        combo_of(g)->setItemData(static_cast<int>(row), QVariant::fromValue<qlonglong>(value));
}
void combo_set_item_image(TkGadget* g, int64_t row, intptr_t image) {
    if (has_row(combo_of(g), row))
        combo_of(g)->setItemIcon(static_cast<int>(row), tk_image_icon(image));
}

const TkGadgetOps combo_ops = [] {
    TkGadgetOps o{};
    o.get_state = combo_get_state;
    o.set_state = combo_set_state;
    o.get_text = combo_get_text;
    o.set_text = combo_set_text;
    o.clear_items = combo_clear;
    o.count_items = combo_count;
    o.add_item = combo_add;
    o.remove_item = combo_remove;
    o.get_item_text = combo_item_text;
    o.set_item_text = combo_set_item_text;
    o.get_item_state = combo_item_state;
    o.set_item_state = combo_set_item_state;
    o.get_item_data = combo_item_data;
    o.set_item_data = combo_set_item_data;
    o.set_item_image = combo_set_item_image;
    o.set_color = tk_kind_set_color;
    return o;
}();

void report_changes(QComboBox* box) {
    QObject::connect(box, &QComboBox::currentIndexChanged, box,
                     [box] { tk_kind_report(box, EventTypeChange); });
    if (QLineEdit* editor = box->lineEdit())
        QObject::connect(editor, &QLineEdit::textEdited, box,
                         [box] { tk_kind_report(box, EventTypeChange); });
}

} // namespace

int64_t tk_combo_create(int64_t number, int64_t x, int64_t y, int64_t width, int64_t height,
                        int64_t flags) {
    auto* box = new QComboBox;
    if (flags & TkComboEditable) {
        box->setEditable(true);
        box->setCompleter(nullptr);
        box->setInsertPolicy(QComboBox::NoInsert);
    }
    if (!(flags & TkComboImage)) box->setIconSize(QSize(0, 0));
    box->setMaxVisibleItems(30);
    report_changes(box);
    tk_kind_watch_focus(box, box->lineEdit());
    return tk_kind_register(number, box, &combo_ops, nullptr, x, y, width, height);
}
