// Push button, image button (optionally a toggle) and check box. A click by
// the user reports type 0; states set by the program report nothing.
#include "toolkit/widget_kind.h"
#include "toolkit/widgets.h"

#include <QCheckBox>
#include <QPushButton>
#include <QToolButton>

namespace {

QAbstractButton* button_of(TkGadget* g) {
    return static_cast<QAbstractButton*>(g->widget);
}

int64_t button_get_state(TkGadget* g) {
    return button_of(g)->isChecked() ? 1 : 0;
}
void button_set_state(TkGadget* g, int64_t value) {
    if (button_of(g)->isCheckable()) button_of(g)->setChecked(value != 0);
}
std::wstring button_get_text(TkGadget* g) {
    return tk_wstring(button_of(g)->text());
}
void button_set_text(TkGadget* g, const std::wstring& text) {
    button_of(g)->setText(tk_qstring(text));
}
void button_set_image(TkGadget* g, int64_t, intptr_t image) {
    button_of(g)->setIcon(tk_image_icon(image));
}

const TkGadgetOps button_ops = [] {
    TkGadgetOps o{};
    o.get_state = button_get_state;
    o.set_state = button_set_state;
    o.get_text = button_get_text;
    o.set_text = button_set_text;
    o.set_color = tk_kind_set_color;
    return o;
}();

const TkGadgetOps image_button_ops = [] {
    TkGadgetOps o{};
    o.get_state = button_get_state;
    o.set_state = button_set_state;
    o.set_item_image = button_set_image;
    o.set_color = tk_kind_set_color;
    return o;
}();

bool is_toggle(int64_t flags) {
    return (flags & TkButtonToggle) == TkButtonToggle;
}

void report_clicks(QAbstractButton* button) {
    QObject::connect(button, &QAbstractButton::clicked, button,
                     [button] { tk_kind_report(button, EventTypeLeftClick); });
}

} // namespace

int64_t tk_button_create(int64_t number, int64_t x, int64_t y, int64_t width, int64_t height,
                         const std::wstring& text, int64_t flags) {
    auto* button = new QPushButton(tk_qstring(text));
    button->setCheckable(is_toggle(flags));
    button->setAutoDefault(false); // Return belongs to the window's shortcuts
    report_clicks(button);
    return tk_kind_register(number, button, &button_ops, nullptr, x, y, width, height);
}

int64_t tk_image_button_create(int64_t number, int64_t x, int64_t y, int64_t width, int64_t height,
                               intptr_t image, int64_t flags) {
    auto* button = new QToolButton;
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setCheckable(is_toggle(flags));
    const QImage* picture = tk_image_qimage(image);
    if (picture) {
        button->setIcon(tk_image_icon(image)); // a copy: the image may be freed later
        button->setIconSize(picture->size());
    }
    report_clicks(button);
    // A right click reports type 1, for a context menu of the button.
    button->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(button, &QWidget::customContextMenuRequested, button,
                     [button] { tk_kind_report(button, EventTypeRightClick); });
    return tk_kind_register(number, button, &image_button_ops, nullptr, x, y, width, height);
}

int64_t tk_checkbox_create(int64_t number, int64_t x, int64_t y, int64_t width, int64_t height,
                           const std::wstring& text, int64_t) {
    auto* box = new QCheckBox(tk_qstring(text));
    report_clicks(box);
    return tk_kind_register(number, box, &button_ops, nullptr, x, y, width, height);
}
