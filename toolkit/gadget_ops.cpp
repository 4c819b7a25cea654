// Generic gadget and item operations: look the gadget up, run the kind's
// operation under suspension (a change made for the program reports
// nothing), fall back to the widget for hide, resize and font. The item
// operations touch only the kind, never a widget, so a thread-safe kind
// (the list) can be driven from worker threads through them.
#include "toolkit/gadget_ops.h"
#include "toolkit/core_internal.h"

#include <QApplication>
#include <QFontMetrics>
#include <algorithm>
#include <source_location>

namespace {

// Runs fn(gadget) on the gadget under number inside a suspension scope;
// returns fn's result, or the empty value for an absent gadget (reported in
// debug builds under the name of the calling operation).
template <class R, class Fn>
R with_gadget(int64_t number, R absent, Fn fn,
              const std::source_location& caller = std::source_location::current()) {
    TkGadget* g = tk_gadget_use(number, caller.function_name());
    if (!g) return absent;
    TkSuspend quiet;
    return fn(g);
}

template <class Fn>
int64_t act(int64_t number, Fn fn,
            const std::source_location& caller = std::source_location::current()) {
    return with_gadget<int64_t>(
        number, 0,
        [&](TkGadget* g) {
            fn(g);
            return int64_t{1};
        },
        caller);
}

} // namespace

int64_t tk_gadget_exists(int64_t gadget) {
    return tk_gadget_lookup(gadget) ? 1 : 0;
}

intptr_t tk_gadget_handle(int64_t gadget) {
    return reinterpret_cast<intptr_t>(tk_gadget_lookup(gadget));
}

int64_t tk_gadget_free(int64_t gadget) {
    if (!tk_gadget_lookup(gadget)) return 0;
    tk_gadget_destroy(gadget);
    return 1;
}

// ---- text, state, data ----

int64_t tk_gadget_set_text(int64_t gadget, const std::wstring& text) {
    return act(gadget, [&](TkGadget* g) {
        if (g->ops->set_text) g->ops->set_text(g, text);
    });
}

std::wstring tk_gadget_get_text(int64_t gadget) {
    return with_gadget<std::wstring>(gadget, {}, [](TkGadget* g) {
        return g->ops->get_text ? g->ops->get_text(g) : std::wstring();
    });
}

int64_t tk_gadget_set_state(int64_t gadget, int64_t value) {
    return act(gadget, [&](TkGadget* g) {
        if (g->ops->set_state) g->ops->set_state(g, value);
    });
}

int64_t tk_gadget_get_state(int64_t gadget) {
    return with_gadget<int64_t>(
        gadget, 0, [](TkGadget* g) { return g->ops->get_state ? g->ops->get_state(g) : 0; });
}

int64_t tk_gadget_set_data(int64_t gadget, int64_t value) {
    return act(gadget, [&](TkGadget* g) { g->data = value; });
}

int64_t tk_gadget_get_data(int64_t gadget) {
    return with_gadget<int64_t>(gadget, 0, [](TkGadget* g) { return g->data; });
}

// ---- focus, visibility, geometry ----

int64_t tk_gadget_activate(int64_t gadget) {
    TkGadget* g =
        tk_gadget_use(gadget, "tk_gadget_activate"); // no suspension: focus events are wanted
    if (!g) return 0;
    g->widget->setFocus(Qt::OtherFocusReason);
    return 1;
}

int64_t tk_gadget_active() {
    QWidget* focus = QApplication::focusWidget();
    if (!focus && !QApplication::activeWindow()) {
        // No window is active (yet, or on a platform without activation):
        // the focus widget of the window of the current event.
        QWidget* window = tk_window_widget(tk_event_window());
        focus = window ? window->focusWidget() : nullptr;
    }
    TkGadget* g = tk_gadget_of_widget(focus);
    return g ? g->number : -1;
}

int64_t tk_gadget_hide(int64_t gadget, int64_t flag) {
    return act(gadget, [&](TkGadget* g) {
        if (g->ops->hide)
            g->ops->hide(g, flag != 0);
        else
            g->widget->setVisible(flag == 0);
    });
}

int64_t tk_gadget_disable(int64_t gadget, int64_t flag) {
    return act(gadget, [&](TkGadget* g) { g->widget->setEnabled(flag == 0); });
}

int64_t tk_gadget_resize(int64_t gadget, int64_t x, int64_t y, int64_t width, int64_t height) {
    return act(gadget, [&](TkGadget* g) {
        const QRect r = g->widget->geometry();
        auto pick = [](int64_t asked, int current) {
            return asked == TkKeep ? current : static_cast<int>(asked);
        };
        const int nx = pick(x, r.x()), ny = pick(y, r.y());
        const int nw = std::max(0, pick(width, r.width()));
        const int nh = std::max(0, pick(height, r.height()));
        if (g->ops->resize)
            g->ops->resize(g, nx, ny, nw, nh);
        else
            g->widget->setGeometry(nx, ny, nw, nh);
    });
}

int64_t tk_gadget_width(int64_t gadget) {
    TkGadget* g = tk_gadget_use(gadget, "tk_gadget_width");
    return g ? g->widget->width() : 0;
}

int64_t tk_gadget_height(int64_t gadget) {
    TkGadget* g = tk_gadget_use(gadget, "tk_gadget_height");
    return g ? g->widget->height() : 0;
}

int64_t tk_gadget_text_width(int64_t gadget) {
    TkGadget* g = tk_gadget_lookup(gadget);
    if (!g) return 0;
    const QFontMetrics metrics(g->widget->font());
    int widest = 0;
    for (const QString& line : QString::fromStdWString(g->ops->get_text(g)).split(u'\n'))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

int64_t tk_gadget_set_color(int64_t gadget, int64_t which, int64_t color) {
    if (which != TkColorFront && which != TkColorBack) return 0;
    return act(gadget, [&](TkGadget* g) {
        (which == TkColorFront ? g->front_color : g->back_color) = color;
        if (g->ops->set_color) g->ops->set_color(g, static_cast<int>(which), color);
    });
}

int64_t tk_gadget_set_font(int64_t gadget, intptr_t font) {
    if (gadget == -1) {
        tk_set_default_gadget_font(font);
        return 1;
    }
    return act(gadget, [&](TkGadget* g) {
        const QFont f = tk_font_qfont(font);
        if (g->ops->set_font)
            g->ops->set_font(g, f);
        else
            g->widget->setFont(f);
    });
}

// ---- bound callbacks ----

int64_t tk_gadget_bind(int64_t gadget, TkCallback callback, int64_t type) {
    TkGadget* g = tk_gadget_use(gadget, "tk_gadget_bind");
    if (!g) return 0;
    return tk_event_bind(EventGadget, callback, g->window, gadget, type);
}

int64_t tk_gadget_unbind(int64_t gadget, TkCallback callback) {
    return tk_event_unbind_object(EventGadget, callback, gadget);
}

// ---- items ----

int64_t tk_gadget_add_item(int64_t gadget, int64_t position, const std::wstring& text,
                           intptr_t image) {
    return with_gadget<int64_t>(gadget, 0, [&](TkGadget* g) {
        return g->ops->add_item ? g->ops->add_item(g, position, text, image) : 0;
    });
}

int64_t tk_gadget_remove_item(int64_t gadget, int64_t row) {
    return act(gadget, [&](TkGadget* g) {
        if (g->ops->remove_item) g->ops->remove_item(g, row);
    });
}

int64_t tk_gadget_clear_items(int64_t gadget) {
    return act(gadget, [](TkGadget* g) {
        if (g->ops->clear_items) g->ops->clear_items(g);
    });
}

int64_t tk_gadget_count_items(int64_t gadget) {
    return with_gadget<int64_t>(
        gadget, 0, [](TkGadget* g) { return g->ops->count_items ? g->ops->count_items(g) : 0; });
}

std::wstring tk_gadget_get_item_text(int64_t gadget, int64_t row, int64_t column) {
    return with_gadget<std::wstring>(gadget, {}, [&](TkGadget* g) {
        return g->ops->get_item_text ? g->ops->get_item_text(g, row, column) : std::wstring();
    });
}

int64_t tk_gadget_set_item_text(int64_t gadget, int64_t row, const std::wstring& text,
                                int64_t column) {
    return act(gadget, [&](TkGadget* g) {
        if (g->ops->set_item_text) g->ops->set_item_text(g, row, text, column);
    });
}

int64_t tk_gadget_get_item_state(int64_t gadget, int64_t row) {
    return with_gadget<int64_t>(gadget, 0, [&](TkGadget* g) {
        return g->ops->get_item_state ? g->ops->get_item_state(g, row) : 0;
    });
}

int64_t tk_gadget_set_item_state(int64_t gadget, int64_t row, int64_t bits) {
    return act(gadget, [&](TkGadget* g) {
        if (g->ops->set_item_state) g->ops->set_item_state(g, row, bits);
    });
}

int64_t tk_gadget_get_item_data(int64_t gadget, int64_t row) {
    return with_gadget<int64_t>(gadget, 0, [&](TkGadget* g) {
        return g->ops->get_item_data ? g->ops->get_item_data(g, row) : 0;
    });
}

int64_t tk_gadget_set_item_data(int64_t gadget, int64_t row, int64_t value) {
    return act(gadget, [&](TkGadget* g) {
        if (g->ops->set_item_data) g->ops->set_item_data(g, row, value);
    });
}

int64_t tk_gadget_set_item_image(int64_t gadget, int64_t row, intptr_t image) {
    return act(gadget, [&](TkGadget* g) {
        if (g->ops->set_item_image) g->ops->set_item_image(g, row, image);
    });
}
