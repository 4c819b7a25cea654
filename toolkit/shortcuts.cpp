// Keyboard shortcuts: per-window tables of (virtual-key code | modifier
// bits) -> item id, consulted by one application-wide key filter before the
// focused gadget sees the key, the way accelerators work. A shortcut becomes
// EventMenu; Tab and Shift+Tab (built-in items 64001 / 64002) move the focus.
// Return and Escape first get their dialog meaning (dialog_keys.cpp): the
// focused button, the default and the cancel button. While a menu is open
// the command keys still work: the menu closes and the key acts.
//
// Exception: a focused, editable text field keeps the plain keys that type
// or edit text (printable keys and Space, Delete, Backspace; Return only in
// a multi-line field) and its own undo and redo (Ctrl+Z, Ctrl+Shift+Z,
// Ctrl+Y), so Space in the command line types a blank while it
// is a shortcut elsewhere. QShortcut is not used: it loses keys a focused
// QLineEdit claims, and tables here change at run time.
#include "toolkit/core_internal.h"
#include "toolkit/list_keys.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <algorithm>
#include <array>
#include <iterator>

namespace {

// ---- Qt key -> virtual-key code ----

struct KeyCode {
    int qt;
    int vk;
};
// Key_Plus and Key_Minus here are "+" and "-" of the main block (Ctrl+"+").
constexpr std::array<KeyCode, 25> kKeys = {{
    {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9},       {Qt::Key_Backtab, 9},      {Qt::Key_Return, 13},
    {Qt::Key_Enter, 13},    {Qt::Key_Pause, 19},    {Qt::Key_CapsLock, 20},    {Qt::Key_Escape, 27},
    {Qt::Key_Space, 32},    {Qt::Key_PageUp, 33},   {Qt::Key_PageDown, 34},    {Qt::Key_End, 35},
    {Qt::Key_Home, 36},     {Qt::Key_Left, 37},     {Qt::Key_Up, 38},          {Qt::Key_Right, 39},
    {Qt::Key_Down, 40},     {Qt::Key_Print, 44},    {Qt::Key_Insert, 45},      {Qt::Key_Delete, 46},
    {Qt::Key_Menu, 93},     {Qt::Key_NumLock, 144}, {Qt::Key_ScrollLock, 145}, {Qt::Key_Plus, 187},
    {Qt::Key_Minus, 189},
}};
// Keys of the numeric keypad that have codes of their own.
constexpr std::array<KeyCode, 5> kKeypad = {{
    {Qt::Key_Asterisk, 106},
    {Qt::Key_Plus, 107},
    {Qt::Key_Minus, 109},
    {Qt::Key_Period, 110},
    {Qt::Key_Slash, 111},
}};

int virtual_key(const QKeyEvent* e) {
    const int key = e->key();
    const bool keypad = e->modifiers() & Qt::KeypadModifier;
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return (keypad ? 96 : 48) + (key - Qt::Key_0);
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return 65 + (key - Qt::Key_A);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) return 112 + (key - Qt::Key_F1);
    if (keypad)
        for (const KeyCode& k : kKeypad)
            if (k.qt == key) return k.vk;
    for (const KeyCode& k : kKeys)
        if (k.qt == key) return k.vk;
    return 0;
}

int64_t shortcut_of(const QKeyEvent* e) {
    const int vk = virtual_key(e);
    if (!vk) return 0;
    int64_t s = vk;
    const Qt::KeyboardModifiers m = e->modifiers();
    if ((m & Qt::ShiftModifier) || e->key() == Qt::Key_Backtab) s |= TkShortcutShift;
    if (m & Qt::ControlModifier) s |= TkShortcutControl;
    if (m & Qt::AltModifier) s |= TkShortcutAlt;
    return s;
}

// ---- the text-field exception ----

bool is_multi_line(const QWidget* w) {
    for (; w; w = w->parentWidget()) {
        if (auto* t = qobject_cast<const QTextEdit*>(w)) return !t->isReadOnly();
        if (auto* t = qobject_cast<const QPlainTextEdit*>(w)) return !t->isReadOnly();
        if (w->isWindow()) break;
    }
    return false;
}

bool is_text_field(const QWidget* w) {
    if (auto* e = qobject_cast<const QLineEdit*>(w)) return !e->isReadOnly();
    if (auto* c = qobject_cast<const QComboBox*>(w)) return c->isEditable();
    if (auto* s = qobject_cast<const QAbstractSpinBox*>(w)) return !s->isReadOnly();
    return is_multi_line(w);
}

// Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y: a text field's own undo and redo.
bool is_text_undo(const QKeyEvent* e) {
    const Qt::KeyboardModifiers mods =
        e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (mods != Qt::ControlModifier) return false;
    return e->key() == Qt::Key_Z ||
           (e->key() == Qt::Key_Y && !(e->modifiers() & Qt::ShiftModifier));
}

bool field_keeps(const QWidget* focus, const QKeyEvent* e) {
    if (!is_text_field(focus)) return false;
    if (is_text_undo(e)) return true;
    if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    switch (e->key()) {
    case Qt::Key_Delete:
    case Qt::Key_Backspace: return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: return is_multi_line(focus);
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return false;
    default: break;
    }
    const QString text = e->text();
    return !text.isEmpty() && text.at(0).isPrint();
}

// ---- focus movement (the built-in Tab entries) ----

bool takes_tab_focus(const QWidget* w, const QWidget* window) {
    return w->window() == window && (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy() &&
           w->isEnabled() && w->isVisibleTo(window);
}

void move_focus(QWidget* window, bool forward) {
    QWidget* start = window->focusWidget() ? window->focusWidget() : window;
    QWidget* w = start;
    for (int guard = 0; guard < 100000; ++guard) { // the chain is a ring; the guard is a fuse
        w = forward ? w->nextInFocusChain() : w->previousInFocusChain();
        if (!w || w == start) return;
        if (takes_tab_focus(w, window)) {
            w->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

// ---- the filter ----

// The window an open menu belongs to: the active one, unless the window
// system made the menu itself active; then the window of the bar or menu it
// opened from.
QWidget* menu_owner() {
    QWidget* owner = QApplication::activeWindow();
    if (!owner || owner->windowType() == Qt::Popup) owner = QApplication::activePopupWidget();
    for (int guard = 0; guard < 16 && owner && owner->windowType() == Qt::Popup; ++guard)
        owner = owner->parentWidget() ? owner->parentWidget()->window() : nullptr;
    return owner;
}

// Keys that act past an open menu: function keys but F10 (which has the
// bar), Ctrl keys, Insert, Delete and the number pad's "*", "+" and "-".
// Letters, arrows, Return, Escape, Space and Alt keys walk or choose in it.
bool passes_open_menu(int64_t shortcut) {
    // key codes of the table above
    constexpr int64_t F1 = 112, F10 = 121, F24 = 135;
    constexpr int64_t Passing[] = {45 /* Insert */, 46 /* Delete */, 106 /* Num * */,
                                   107 /* Num + */, 109 /* Num - */};
    const int64_t key = shortcut & 0xFFFF;
    if (!key) return false;
    if (shortcut & TkShortcutControl) return true;
    if (key >= F1 && key <= F24) return key != F10;
    return std::find(std::begin(Passing), std::end(Passing), key) != std::end(Passing);
}

const TkShortcutEntry* find_entry(const TkWindow* w, int64_t shortcut) {
    for (const TkShortcutEntry& e : w->shortcuts)
        if (e.shortcut == shortcut) return &e;
    return nullptr;
}

// Acts on a key only where it is first delivered (the focus widget, or the
// window when nothing has the focus), not again while it travels up to
// the parents.
bool first_receiver(const QWidget* w) {
    const QWidget* focus = w->window()->focusWidget();
    return focus ? w == focus : w->isWindow();
}

class KeyFilter : public QObject {
  public:
    bool eventFilter(QObject* obj, QEvent* e) override {
        if (e->type() != QEvent::KeyPress || !obj->isWidgetType()) return false;
        auto* widget = static_cast<QWidget*>(obj);
        if (QWidget* popup = QApplication::activePopupWidget())
            return obj == popup && qobject_cast<QMenu*>(popup) &&
                   key_past_menu(static_cast<QKeyEvent*>(e));
        if (!first_receiver(widget)) return false;
        // A disabled window (the main window behind a dialog) takes no key:
        // Qt would not hand it one, and its shortcuts must not run either.
        if (!widget->isEnabled()) return false;
        if (qobject_cast<QMenuBar*>(widget)) return false; // arrows and Return walk the bar
        const int64_t number = tk_window_of_widget(widget);
        TkWindow* w = tk_window_record(number);
        if (!w) return false;
        return handle(w, widget, static_cast<QKeyEvent*>(e));
    }

  private:
    // A command key pressed while a menu is open: the menus close and the
    // key does what it does without them, in the window behind them.
    static bool key_past_menu(QKeyEvent* e) {
        const int64_t shortcut = shortcut_of(e);
        if (!passes_open_menu(shortcut)) return false;
        QWidget* owner = menu_owner();
        TkWindow* w =
            owner && owner->isEnabled() ? tk_window_record(tk_window_of_widget(owner)) : nullptr;
        if (!w) return false;
        for (int guard = 0; guard < 16 && QApplication::activePopupWidget(); ++guard)
            QApplication::activePopupWidget()->close();
        // A bar opened from the keyboard holds the focus until Escape, which
        // gives it back to the widget that had it.
        for (QMenuBar* bar : owner->findChildren<QMenuBar*>())
            if (bar->hasFocus()) {
                QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QCoreApplication::sendEvent(bar, &escape);
            }
        handle(w, owner->focusWidget() ? owner->focusWidget() : owner, e);
        return true;
    }

    static bool handle(TkWindow* w, QWidget* focus, QKeyEvent* e) {
        const int64_t shortcut = shortcut_of(e);
        // a list's own key hook comes first: a search as you type takes
        // letters and the arrows from the shortcuts while it is open
        if (tk_list_offer_key(focus, e, shortcut)) return true;
        if (!shortcut || field_keeps(focus, e)) return false;
        const TkShortcutEntry* entry = find_entry(w, shortcut);
        if (tk_dialog_key(w, focus, shortcut, entry != nullptr)) return true;
        const bool tab = (shortcut & 0xFFFF) == 9;
        if (!entry) {
            // Without the Tab entries Tab moves nothing; a multi-line field
            // still gets its tab character.
            return tab && !(shortcut & (TkShortcutControl | TkShortcutAlt)) &&
                   !is_multi_line(focus);
        }
        if (entry->item == TkShortcutFocusNext || entry->item == TkShortcutFocusPrevious) {
            move_focus(w->widget, entry->item == TkShortcutFocusNext);
            return true;
        }
        tk_event_generate(EventMenu, entry->item & 0xFFFF, w->number, 0);
        return true;
    }
};

KeyFilter* g_filter = nullptr;

} // namespace

std::vector<TkShortcutEntry> tk_shortcuts_initial() {
    return {{9, TkShortcutFocusNext}, {9 | TkShortcutShift, TkShortcutFocusPrevious}};
}

void tk_shortcut_add(int64_t window, int64_t shortcut, int64_t item) {
    TkWindow* w = tk_window_record(window);
    if (!w || shortcut <= 0) return;
    for (TkShortcutEntry& e : w->shortcuts) {
        if (e.shortcut == shortcut) {
            e.item = item;
            return;
        }
    }
    w->shortcuts.push_back({shortcut, item});
}

void tk_shortcut_remove(int64_t window, int64_t shortcut) {
    TkWindow* w = tk_window_record(window);
    if (!w) return;
    if (shortcut == -1) {
        w->shortcuts.clear();
        return;
    }
    std::erase_if(w->shortcuts, [&](const TkShortcutEntry& e) { return e.shortcut == shortcut; });
}

int64_t tk_focus_move(int64_t window, int64_t forward) {
    TkWindow* w = tk_window_record(window);
    if (!w || !w->widget) return 0;
    move_focus(w->widget, forward != 0);
    return 1;
}

void tk_shortcuts_start() {
    if (g_filter) return;
    g_filter = new KeyFilter;
    qApp->installEventFilter(g_filter);
}

void tk_shortcuts_stop() {
    delete g_filter; // removes itself from the application's filters
    g_filter = nullptr;
}
