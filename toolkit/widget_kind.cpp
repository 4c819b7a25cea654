// Shared gadget-kind helpers (see widget_kind.h) and gadget tooltips.
#include "toolkit/widget_kind.h"
#include "toolkit/gadget_ops.h"
#include "toolkit/widgets.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QPalette>
#include <QWidget>

namespace {

int clamp_int(int64_t v) {
    return static_cast<int>(std::clamp<int64_t>(v, -1000000, 1000000));
}

// Turns focus events of a gadget's widget (and of an inner editor) into
// gadget events; a move between the two is no change of focus.
class FocusWatch : public QObject {
  public:
    explicit FocusWatch(QWidget* gadget) : QObject(gadget), gadget_(gadget) {}

    bool eventFilter(QObject*, QEvent* event) override {
        const auto type = event->type();
        if (type != QEvent::FocusIn && type != QEvent::FocusOut) return false;
        if (static_cast<QFocusEvent*>(event)->reason() == Qt::PopupFocusReason) return false;
        if (type == QEvent::FocusIn && !inside_) {
            inside_ = true;
            tk_kind_report(gadget_, EventTypeFocus);
        } else if (type == QEvent::FocusOut && inside_ && !holds(QApplication::focusWidget())) {
            inside_ = false;
            tk_kind_report(gadget_, EventTypeLostFocus);
        }
        return false;
    }

  private:
    bool holds(const QWidget* w) const { return w && (w == gadget_ || gadget_->isAncestorOf(w)); }

    QWidget* gadget_; // the filter is its child, so it never outlives it
    bool inside_ = false;
};

} // namespace

int64_t tk_kind_register(int64_t number, QWidget* widget, const TkGadgetOps* ops, void* kind_data,
                         int64_t x, int64_t y, int64_t width, int64_t height) {
    // Without a window to put it in, the gadget table frees widget and kind data.
    return tk_gadget_register(number, widget, ops, kind_data, clamp_int(x), clamp_int(y),
                              clamp_int(width), clamp_int(height));
}

void tk_kind_report(const QWidget* w, int64_t type) {
    const TkGadget* g = tk_gadget_of_widget(w);
    if (g && g->widget == w) tk_event_generate(EventGadget, g->number, g->window, type);
}

TkGadget* tk_kind_gadget(int64_t number, const TkGadgetOps* ops) {
    TkGadget* g = tk_gadget_use(number, "gadget kind operation");
    return g && g->ops == ops ? g : nullptr;
}

void tk_kind_set_color(TkGadget* g, int which, int64_t bgr) {
    static constexpr QPalette::ColorRole text_roles[] = {QPalette::WindowText, QPalette::Text,
                                                         QPalette::ButtonText};
    static constexpr QPalette::ColorRole back_roles[] = {QPalette::Window, QPalette::Base,
                                                         QPalette::Button};
    QWidget* w = g->widget;
    QPalette palette = w->palette();
    const QPalette system = QApplication::palette(w);
    for (auto role : which == TkColorFront ? text_roles : back_roles)
        palette.setColor(role, bgr == -1 ? system.color(role) : tk_color_from_bgr(bgr));
    w->setPalette(palette);
    if (which == TkColorBack) w->setAutoFillBackground(bgr != -1);
}

void tk_kind_watch_focus(QWidget* gadget_widget, QWidget* editor) {
    auto* watch = new FocusWatch(gadget_widget);
    gadget_widget->installEventFilter(watch);
    if (editor) editor->installEventFilter(watch);
}

void tk_gadget_tooltip(int64_t gadget, const std::wstring& text) {
    if (TkGadget* g = tk_gadget_use(gadget, "tk_gadget_tooltip"))
        g->widget->setToolTip(tk_qstring(text));
}

int64_t tk_kind_window_of_handle(intptr_t handle) {
    if (handle == 0) return -1;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (reinterpret_cast<intptr_t>(w) == handle) return tk_window_of_widget(w);
    return -1;
}
