// Read-back and user-like actions for tests: see readback.h.
#include "toolkit/readback.h"
#include "toolkit/core_internal.h"
#include "toolkit/gadget_ops.h"
#include "toolkit/images.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QTimer>

namespace {

QWidget* widget_of(int64_t gadget) {
    TkGadget* g = tk_gadget_lookup(gadget);
    return g ? g->widget : nullptr;
}

} // namespace

int64_t tk_gadget_x(int64_t gadget) {
    QWidget* w = widget_of(gadget);
    return w ? w->x() : 0;
}

int64_t tk_gadget_y(int64_t gadget) {
    QWidget* w = widget_of(gadget);
    return w ? w->y() : 0;
}

std::wstring tk_gadget_get_tooltip(int64_t gadget) {
    QWidget* w = widget_of(gadget);
    return w ? tk_wstring(w->toolTip()) : std::wstring();
}

int64_t tk_gadget_enabled(int64_t gadget) {
    QWidget* w = widget_of(gadget);
    return w && w->isEnabled() ? 1 : 0;
}

int64_t tk_gadget_font_flags(int64_t gadget) {
    QWidget* w = widget_of(gadget);
    if (!w) return 0;
    const QFont f = w->font();
    int64_t flags = 0;
    if (f.bold()) flags |= TkFontBold;
    if (f.italic()) flags |= TkFontItalic;
    if (f.underline()) flags |= TkFontUnderline;
    if (f.strikeOut()) flags |= TkFontStrikeOut;
    return flags;
}

int64_t tk_gadget_hidden(int64_t gadget) {
    QWidget* w = widget_of(gadget);
    return w && w->isHidden() ? 1 : 0;
}

int64_t tk_button_picture(int64_t gadget, int64_t image, int64_t width, int64_t height) {
    auto* button = qobject_cast<QAbstractButton*>(widget_of(gadget));
    if (!button || button->icon().isNull() || width <= 0 || height <= 0) return 0;
    const QImage shown = button->icon()
                             .pixmap(QSize(static_cast<int>(width), static_cast<int>(height)))
                             .toImage()
                             .convertToFormat(QImage::Format_RGBA8888)
                             .scaled(static_cast<int>(width), static_cast<int>(height));
    std::vector<unsigned char> rgba;
    rgba.reserve(static_cast<size_t>(width * height * 4));
    for (int y = 0; y < shown.height(); ++y) {
        const uchar* line = shown.constScanLine(y);
        rgba.insert(rgba.end(), line, line + shown.width() * 4);
    }
    return tk_image_set_pixels(image, width, height, rgba.data());
}

int64_t tk_button_click(int64_t gadget) {
    auto* button = qobject_cast<QAbstractButton*>(widget_of(gadget));
    if (!button) return 0;
    button->click();
    return 1;
}

std::vector<int64_t> tk_window_gadgets(int64_t window) {
    std::vector<int64_t> numbers;
    QWidget* top = tk_window_widget(window);
    if (!top) return numbers;
    for (QWidget* w : top->findChildren<QWidget*>()) {
        TkGadget* g = tk_gadget_of_widget(w);
        if (g && g->widget == w && g->window == window) numbers.push_back(g->number);
    }
    return numbers;
}

int64_t tk_window_gadget_with_text(int64_t window, const std::wstring& text) {
    for (int64_t g : tk_window_gadgets(window))
        if (tk_gadget_get_text(g) == text) return g;
    return 0;
}

int64_t tk_window_active() {
    QWidget* active = QApplication::activeWindow();
    return active ? tk_window_of_widget(active) : -1;
}

int64_t tk_window_make_active(int64_t window) {
    QWidget* w = tk_window_widget(window);
    if (!w) return 0;
    QApplication::setActiveWindow(w);
    return 1;
}

std::wstring tk_window_title(int64_t window) {
    QWidget* w = tk_window_widget(window);
    return w ? tk_wstring(w->windowTitle()) : std::wstring();
}

int64_t tk_window_enabled(int64_t window) {
    QWidget* w = tk_window_widget(window);
    return w && w->isEnabled() ? 1 : 0;
}

int64_t tk_window_click_close_box(int64_t window) {
    QWidget* w = tk_window_widget(window);
    if (!w) return 0;
    w->close();
    return 1;
}

namespace {

// A key pressed where the window system delivers it: the window's focused
// gadget, else the window (also while the window is not the active one,
// which the offscreen platform never makes it).
int64_t press_key(int64_t window, Qt::Key key, const QString& text) {
    QWidget* w = tk_window_widget(window);
    if (!w) return 0;
    QWidget* target = w->focusWidget() ? w->focusWidget() : w;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    return 1;
}

} // namespace

int64_t tk_window_press_return(int64_t window) {
    return press_key(window, Qt::Key_Return, QStringLiteral("\r"));
}

int64_t tk_window_press_escape(int64_t window) {
    return press_key(window, Qt::Key_Escape, QStringLiteral("\x1b"));
}

void tk_call_until(int64_t interval, std::function<bool()> fn) {
    auto* timer = new QTimer;
    timer->setInterval(static_cast<int>(interval));
    QObject::connect(timer, &QTimer::timeout, [timer, fn = std::move(fn)] {
        if (!fn()) return;
        timer->stop();
        timer->deleteLater();
    });
    timer->start();
}
