// Return and Escape as dialog keys, in every toolkit window: Return presses
// the focused button (else the default button), Escape the cancel button.
// The key filter of shortcuts.cpp asks here before it looks the key up in
// the window's shortcut table, so a dialog's Return shortcut ("OK") can no
// longer override the button the user moved the keyboard to ("Abbruch").
// Main thread only.
#include "toolkit/core_internal.h"
#include "toolkit/windows.h"

#include <QPushButton>
#include <QToolButton>
#include <array>

namespace {

constexpr int64_t kReturn = 13;
constexpr int64_t kEscape = 27;

// Texts that make a button the cancel button when none is named.
constexpr std::array<const char*, 2> kCancelTexts = {"Abbruch", "Abbrechen"};

// A push button gadget of window w that is on the screen with it.
QPushButton* button_of(const TkWindow* w, int64_t gadget) {
    const TkGadget* g = gadget == -1 ? nullptr : tk_gadget_lookup(gadget);
    auto* button = g && g->window == w->number ? qobject_cast<QPushButton*>(g->widget) : nullptr;
    return button && button->isVisibleTo(w->widget) ? button : nullptr;
}

QPushButton* enabled(QPushButton* button) {
    return button && button->isEnabled() ? button : nullptr;
}

// The window's push button gadgets on the screen, disabled ones included:
// a disabled "Abbruch" must not leave "OK" as the only button.
std::vector<QPushButton*> buttons_of(const TkWindow* w) {
    std::vector<QPushButton*> found;
    for (QPushButton* b : w->widget->findChildren<QPushButton*>()) {
        const TkGadget* g = tk_gadget_of_widget(b);
        if (g && g->widget == b && button_of(w, g->number)) found.push_back(b);
    }
    return found;
}

QPushButton* cancel_button(const TkWindow* w) {
    if (w->cancel_button != -1) return enabled(button_of(w, w->cancel_button));
    const std::vector<QPushButton*> buttons = buttons_of(w);
    for (QPushButton* b : buttons) {
        const QString text = QString(b->text()).remove(QLatin1Char('&')).trimmed();
        for (const char* cancel : kCancelTexts)
            if (text == QLatin1String(cancel)) return enabled(b);
    }
    return buttons.size() == 1 ? enabled(buttons.front()) : nullptr;
}

// The focused widget when it is a button gadget (a push or image button).
QAbstractButton* focused_button(QWidget* focus) {
    const TkGadget* g = tk_gadget_of_widget(focus);
    if (!g || g->widget != focus) return nullptr;
    if (!qobject_cast<QPushButton*>(focus) && !qobject_cast<QToolButton*>(focus)) return nullptr;
    return static_cast<QAbstractButton*>(focus);
}

bool press(QAbstractButton* button) {
    if (!button) return false;
    button->click(); // reports EventGadget as a mouse click does
    return true;
}

} // namespace

bool tk_dialog_key(TkWindow* w, QWidget* focus, int64_t shortcut, bool has_entry) {
    if (shortcut == kReturn) {
        if (QAbstractButton* b = focused_button(focus); b && b->isEnabled()) return press(b);
        return press(enabled(button_of(w, w->default_button)));
    }
    if (shortcut == kEscape && !has_entry) return press(cancel_button(w));
    return false;
}

namespace {

// Checks that gadget is a push button of the window (or -1).
bool names_button(const TkWindow* w, int64_t gadget) {
    if (gadget == -1) return true;
    const TkGadget* g = tk_gadget_lookup(gadget);
    return g && g->window == w->number && qobject_cast<QPushButton*>(g->widget);
}

} // namespace

int64_t tk_window_set_default_button(int64_t number, int64_t gadget) {
    TkWindow* w = tk_window_record(number);
    if (!w || !names_button(w, gadget)) return 0;
    if (const TkGadget* old =
            w->default_button == -1 ? nullptr : tk_gadget_lookup(w->default_button))
        if (auto* b = qobject_cast<QPushButton*>(old->widget)) b->setDefault(false);
    w->default_button = gadget;
    if (gadget != -1) static_cast<QPushButton*>(tk_gadget_lookup(gadget)->widget)->setDefault(true);
    return 1;
}

int64_t tk_window_set_cancel_button(int64_t number, int64_t gadget) {
    TkWindow* w = tk_window_record(number);
    if (!w || !names_button(w, gadget)) return 0;
    w->cancel_button = gadget;
    return 1;
}
