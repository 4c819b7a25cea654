// Toolkit windows: one TkWindowWidget per window number. It lays out the
// menu bar above the client area and turns Qt's window events into toolkit
// events (move, size with de-duplication, minimize / maximize / restore,
// activation with focus memory, close requests, clicks on the free area).
//
// Owned windows are separate top-levels with a transient parent rather than
// Qt children of their owner: disabling an owner (a modal dialog does) must
// not disable the dialog, which Qt would do to a child.
#include "toolkit/windows.h"
#include "toolkit/core_internal.h"
#include "toolkit/numbered_table.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cassert>
#include <mutex>
#include <source_location>

namespace {

// Lookups may come from any thread; the table takes its own lock.
TkNumberTable<TkWindow>& windows() {
    static auto* table = new TkNumberTable<TkWindow>("window"); // widgets must not die after Qt
    return *table;
}
TkWindowCallback g_global_callback = nullptr;

class TkWindowWidget : public QWidget {
  public:
    TkWindowWidget(int64_t number, Qt::WindowFlags flags)
        : QWidget(nullptr, flags), number_(number) {
        client_ = new QWidget(this);
        client_->installEventFilter(this);
    }
    QWidget* client() const { return client_; }
    void detach() { number_ = -2; } // a closing window reports nothing more
    void lay_out();

  protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* obj, QEvent* e) override;

  private:
    TkWindow* record() const { return number_ == -2 ? nullptr : tk_window_record(number_); }
    bool ask(int64_t message, intptr_t param1 = 0) {
        TkWindow* w = record();
        return w && tk_window_call(w, message, param1, 0) == TkContinue;
    }
    void report(int32_t code, int64_t object = 0) { tk_event_generate(code, object, number_, 0); }
    void on_move();
    void on_resize();
    void on_state(Qt::WindowStates old_state);
    void on_activation();
    void adopt_children();

    int64_t number_;
    QWidget* client_;
    bool adopt_pending_ = false;
};

// The menu bar goes on top at its own height; everything else the window
// holds lives in the client area.
void TkWindowWidget::lay_out() {
    // The newest bar counts: one being replaced may still wait for deletion.
    const auto bars = findChildren<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly);
    QMenuBar* bar = bars.isEmpty() ? nullptr : bars.last();
    int m = 0;
    if (bar && !bar->isNativeMenuBar()) {
        m = std::clamp(bar->sizeHint().height(), bar->minimumHeight(), bar->maximumHeight());
        bar->setGeometry(0, 0, width(), m);
        if (!bar->testAttribute(Qt::WA_WState_ExplicitShowHide)) bar->show();
    }
    client_->setGeometry(0, m, width(), std::max(0, height() - m));
}

// A widget made a direct child of the window (a toolbar, say) is moved into
// the client area with its geometry, so its coordinates are client ones.
void TkWindowWidget::adopt_children() {
    adopt_pending_ = false;
    for (QObject* o : children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || w == client_ || w->isWindow() || qobject_cast<QMenuBar*>(w)) continue;
        const bool hidden = w->testAttribute(Qt::WA_WState_ExplicitShowHide) && w->isHidden();
        const QRect geometry = w->geometry();
        w->setParent(client_);
        w->setGeometry(geometry);
        if (!hidden) w->show();
    }
    lay_out();
}

bool TkWindowWidget::event(QEvent* e) {
    switch (e->type()) {
    case QEvent::Move: on_move(); break;
    case QEvent::Resize:
        lay_out();
        on_resize();
        break;
    case QEvent::WindowStateChange:
        on_state(static_cast<QWindowStateChangeEvent*>(e)->oldState());
        break;
    case QEvent::ActivationChange: on_activation(); break;
    case QEvent::ChildAdded:
    case QEvent::ChildRemoved:
        // An added child is still being constructed: look at it once it is done.
        if (!adopt_pending_) {
            adopt_pending_ = true;
            QTimer::singleShot(0, this, [this] { adopt_children(); });
        }
        break;
    default: break;
    }
    return QWidget::event(e);
}

void TkWindowWidget::on_move() {
    TkWindow* w = record();
    if (!w || !w->open_complete || isMinimized() || !ask(TkMessageMove)) return;
    report(EventMoveWindow, number_);
}

void TkWindowWidget::on_resize() {
    TkWindow* w = record();
    if (!w || !w->open_complete || isMinimized() || !ask(TkMessageSize)) return;
    // During a live resize only the newest size matters in the queue, while
    // bound callbacks still see every step.
    tk_event_remove_queued(EventSizeWindow, number_, 0, 0);
    report(EventSizeWindow);
}

void TkWindowWidget::on_state(Qt::WindowStates old_state) {
    TkWindow* w = record();
    if (!w || !w->open_complete) return;
    const Qt::WindowStates now = windowState();
    if ((now & Qt::WindowMinimized) && !(old_state & Qt::WindowMinimized)) {
        w->minmax = true;
        report(EventMinimizeWindow);
    } else if ((now & Qt::WindowMaximized) && !(old_state & Qt::WindowMaximized)) {
        w->minmax = true;
        report(EventMaximizeWindow);
        report(EventSizeWindow);
    } else if (!(now & (Qt::WindowMinimized | Qt::WindowMaximized)) && w->minmax) {
        w->minmax = false;
        report(EventRestoreWindow);
        tk_event_remove_queued(EventSizeWindow, number_, 0, 0);
        report(EventSizeWindow);
    }
}

// Focus memory: the gadget that had the focus when the window was left gets
// it back when the window is activated again.
void TkWindowWidget::on_activation() {
    const bool active = isActiveWindow();
    if (!ask(TkMessageActivate, active ? 1 : 0)) return;
    if (active) {
        auto saved = property("ZV_Focus").value<QPointer<QWidget>>();
        if (saved && isAncestorOf(saved)) saved->setFocus(Qt::ActiveWindowFocusReason);
        report(EventActivateWindow);
    } else {
        setProperty("ZV_Focus", QVariant::fromValue(QPointer<QWidget>(focusWidget())));
        report(EventDeactivateWindow);
    }
}

// The window stays: the application decides what a close request means.
void TkWindowWidget::closeEvent(QCloseEvent* e) {
    e->ignore();
    TkWindow* w = record();
    if (!w || !w->open_complete || !ask(TkMessageClose)) return;
    report(EventCloseWindow, number_);
    // The main window's close ends the program: no open dialog may hold it.
    if (number_ == tk_quit_window()) tk_quit_request(1);
}

// Clicks on the free area of the client, and its repaints.
bool TkWindowWidget::eventFilter(QObject* obj, QEvent* e) {
    if (obj != client_ || !record()) return QWidget::eventFilter(obj, e);
    const QEvent::Type t = e->type();
    if (t == QEvent::MouseButtonRelease || t == QEvent::MouseButtonDblClick) {
        const Qt::MouseButton button = static_cast<QMouseEvent*>(e)->button();
        if (t == QEvent::MouseButtonDblClick && button == Qt::LeftButton)
            report(EventLeftDoubleClick);
        else if (t == QEvent::MouseButtonRelease && button == Qt::LeftButton)
            report(EventLeftClick);
        else if (t == QEvent::MouseButtonRelease && button == Qt::RightButton)
            report(EventRightClick);
    } else if (t == QEvent::Paint) {
        report(EventRepaint);
    }
    return QWidget::eventFilter(obj, e);
}

// ---- opening ----

TkWindowWidget* widget_of(const TkWindow* w) {
    return static_cast<TkWindowWidget*>(w->widget);
}

// Bits that say where and when a window shows, not how it looks.
constexpr int64_t PlacementBits = TkWindowCentre | TkWindowCentreOnParent | TkWindowHidden;

// Window-manager decorations from the style bits.
Qt::WindowFlags qt_flags(int64_t flags, bool owned) {
    Qt::WindowFlags f = owned ? Qt::Dialog : Qt::Window;
    const bool styled = (flags & ~PlacementBits) != 0;
    if (!styled) return f | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if ((flags & TkWindowPopup) && !(flags & TkWindowTitleBar)) return f | Qt::FramelessWindowHint;
    f |= Qt::CustomizeWindowHint;
    if (flags & TkWindowTitleBar) f |= Qt::WindowTitleHint;
    if (flags & TkWindowSystemMenu) f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (flags & TkWindowMinimizeBox) f |= Qt::WindowMinimizeButtonHint;
    if (flags & TkWindowMaximizeBox) f |= Qt::WindowMaximizeButtonHint;
    return f;
}

QWidget* owner_of_handle(intptr_t handle) {
    QWidget* found = nullptr;
    windows().each([&](int64_t, const TkWindow* w) {
        if (reinterpret_cast<intptr_t>(w->widget) == handle) found = w->widget;
    });
    return found;
}

void place(QWidget* widget, QWidget* owner, int64_t x, int64_t y, int64_t flags) {
    const bool on_parent = (flags & TkWindowCentreOnParent) && owner;
    if ((flags & TkWindowCentre) || on_parent) {
        QRect area = on_parent ? owner->frameGeometry()
                               : QGuiApplication::primaryScreen()->availableGeometry();
        QRect r(QPoint(0, 0), widget->size());
        r.moveCenter(area.center());
        widget->move(r.topLeft());
    } else if (x != TkWindowKeepPosition && y != TkWindowKeepPosition) {
        widget->move(static_cast<int>(x), static_cast<int>(y));
    }
}

void show(QWidget* widget, int64_t flags) {
    if (flags & TkWindowMaximized)
        widget->showMaximized();
    else if (flags & TkWindowMinimized)
        widget->showMinimized();
    else
        widget->show();
}

} // namespace

int64_t tk_window_open(int64_t number, int64_t x, int64_t y, int64_t width, int64_t height,
                       const std::wstring& title, int64_t flags, intptr_t parent) {
    if (!QApplication::instance() || number < -1 || width < 0 || height < 0) return 0;
    assert(tk_on_main_thread());
    if (number != -1 && windows().find(number)) {
        tk_duplicate_report("window", number, "", "tk_window_open");
        tk_window_close(number);
    }
    QWidget* owner = parent ? owner_of_handle(parent) : nullptr;
    auto rec = std::make_unique<TkWindow>();
    TkWindow* raw = rec.get();
    raw->number = number == -1 ? static_cast<int64_t>(reinterpret_cast<intptr_t>(raw)) : number;
    auto* widget = new TkWindowWidget(raw->number, qt_flags(flags, owner != nullptr));
    raw->widget = widget;
    raw->client = widget->client();
    raw->owner = owner;
    raw->placement = flags & (TkWindowCentre | TkWindowCentreOnParent);
    raw->shortcuts = tk_shortcuts_initial();
    widget->setProperty("ZV_WindowID", QVariant::fromValue<qlonglong>(raw->number + 1));
    widget->setWindowTitle(tk_qstring(title));
    widget->resize(static_cast<int>(width), static_cast<int>(height));
    if (!(flags & TkWindowSizable) && (flags & ~PlacementBits))
        widget->setFixedSize(widget->size());
    std::unique_ptr<TkWindow> none; // the number was closed above
    windows().put(raw->number, std::move(rec), none);
    place(widget, owner, x, y, flags);
    if (owner) {
        widget->winId(); // makes the native window the owner link is set on
        widget->windowHandle()->setTransientParent(owner->windowHandle());
    }
    tk_gadget_list_push(raw->client);
    if (!(flags & TkWindowHidden)) show(widget, flags);
    raw->open_complete = true;
    return number == -1 ? raw->number : static_cast<int64_t>(reinterpret_cast<intptr_t>(widget));
}

// ---- closing ----

namespace {

std::unique_ptr<TkWindow> take_window(int64_t number) {
    return windows().take(number);
}

std::vector<int64_t> owned_by(const QWidget* owner) {
    std::vector<int64_t> numbers;
    windows().each([&](int64_t number, const TkWindow* w) {
        if (w->owner == owner) numbers.push_back(number);
    });
    return numbers;
}

void close_one(int64_t number) {
    TkWindow* w = tk_window_record(number);
    if (!w) return;
    for (int64_t owned : owned_by(w->widget)) close_one(owned);
    if (w->owner) {
        w->owner->raise();
        w->owner->activateWindow();
    }
    tk_gadgets_destroy_of_window(number);
    tk_gadget_list_forget(w->widget);
    auto rec = take_window(number);
    if (!rec) return;
    widget_of(rec.get())->detach();
    rec->widget->setProperty("ZV_WindowID", QVariant());
    rec->widget->hide();
    rec->widget->deleteLater(); // deleted by the next wait, outside any signal of its own
}

} // namespace

int64_t tk_window_close(int64_t number) {
    assert(tk_on_main_thread());
    if (number != -1) {
        if (!tk_window_record(number)) return 0;
        close_one(number);
        return 1;
    }
    for (int64_t n : tk_window_numbers()) close_one(n);
    return 1;
}

// ---- lookups ----

TkWindow* tk_window_record(int64_t window) {
    return windows().find(window);
}

std::vector<int64_t> tk_window_numbers() {
    std::vector<int64_t> numbers;
    windows().each([&](int64_t number, const TkWindow*) { numbers.push_back(number); });
    return numbers;
}

QWidget* tk_window_widget(int64_t window) {
    TkWindow* w = tk_window_record(window);
    return w ? w->widget : nullptr;
}

QWidget* tk_window_client(int64_t window) {
    TkWindow* w = tk_window_record(window);
    return w ? w->client : nullptr;
}

// Only the widget's own top-level counts: a message box or file dialog
// parented to a toolkit window is a window of its own, and what happens in
// it (a Return, say) must not be taken for the toolkit window's.
int64_t tk_window_of_widget(const QWidget* w) {
    if (!w) return -1;
    const QVariant id = w->window()->property("ZV_WindowID");
    return id.isValid() ? id.toLongLong() - 1 : -1;
}

intptr_t tk_window_call(TkWindow* w, int64_t message, intptr_t param1, intptr_t param2) {
    TkWindowCallback cb = w->callback ? w->callback : g_global_callback;
    if (!cb) return TkContinue;
    return cb(reinterpret_cast<intptr_t>(w->widget), message, param1, param2);
}

void tk_window_set_callback(TkWindowCallback callback, int64_t window) {
    if (window == -1) {
        g_global_callback = callback;
    } else if (TkWindow* w = tk_window_record(window)) {
        w->callback = callback;
    }
}

void tk_windows_reset() {
    g_global_callback = nullptr;
}

// ---- operations ----

namespace {

// The window widget an operation works on, or null; debug builds report an
// unknown number under the name of the calling operation.
QWidget* window_for(int64_t number,
                    const std::source_location& caller = std::source_location::current()) {
    TkWindow* w = windows().use(number, caller.function_name());
    return w ? w->widget : nullptr;
}

} // namespace

int64_t tk_window_exists(int64_t number) {
    return tk_window_record(number) ? 1 : 0;
}

intptr_t tk_window_handle(int64_t number) {
    return reinterpret_cast<intptr_t>(tk_window_widget(number));
}

int64_t tk_window_show(int64_t number, int64_t delay_ms) {
    QWidget* w = window_for(number);
    if (!w) return 0;
    if (delay_ms <= 0) {
        w->show();
        return 1;
    }
    // It comes up while the user works elsewhere: it must not take the
    // keyboard. The timer dies with the widget; a window closed but not yet
    // deleted has left the table, and one opened since under the number is
    // another.
    w->setAttribute(Qt::WA_ShowWithoutActivating);
    QTimer::singleShot(static_cast<int>(std::min<int64_t>(delay_ms, 1 << 30)), w, [number, w] {
        const TkWindow* now = tk_window_record(number);
        if (now && now->widget == w) w->show();
    });
    return 1;
}

int64_t tk_window_visible(int64_t number) {
    QWidget* w = window_for(number);
    return w && w->isVisible() ? 1 : 0;
}

int64_t tk_window_activate(int64_t number) {
    QWidget* w = window_for(number);
    if (!w) return 0;
    if (w->isMinimized()) w->showNormal();
    w->raise();
    w->activateWindow();
    return 1;
}

int64_t tk_window_disable(int64_t number, int64_t flag) {
    QWidget* w = window_for(number);
    if (!w) return 0;
    w->setEnabled(flag == 0);
    return 1;
}

int64_t tk_window_x(int64_t number) {
    QWidget* w = window_for(number);
    return w ? w->frameGeometry().x() : 0;
}

int64_t tk_window_y(int64_t number) {
    QWidget* w = window_for(number);
    return w ? w->frameGeometry().y() : 0;
}

int64_t tk_window_width(int64_t number) {
    QWidget* w = window_for(number);
    return w ? w->width() : 0;
}

int64_t tk_window_height(int64_t number) {
    QWidget* w = window_for(number);
    return w ? w->height() : 0;
}

namespace {

// One limit: keep, remove (-1 or 0), or a size capped at 32000.
int bound(int64_t asked, int current, int none) {
    if (asked == TkWindowKeep) return current;
    if (asked <= 0) return none;
    return static_cast<int>(std::min<int64_t>(asked, 32000));
}

} // namespace

int64_t tk_window_set_bounds(int64_t number, int64_t min_width, int64_t min_height,
                             int64_t max_width, int64_t max_height) {
    QWidget* w = window_for(number);
    if (!w) return 0;
    const QSize min(bound(min_width, w->minimumWidth(), 0),
                    bound(min_height, w->minimumHeight(), 0));
    const QSize max(bound(max_width, w->maximumWidth(), QWIDGETSIZE_MAX),
                    bound(max_height, w->maximumHeight(), QWIDGETSIZE_MAX));
    // Qt fits the window into the new limits itself and keeps a maximized
    // window maximized.
    w->setMinimumSize(min);
    w->setMaximumSize(max.expandedTo(min));
    return 1;
}

int64_t tk_window_set_state(int64_t number, int64_t state) {
    QWidget* w = window_for(number);
    if (!w) return 0;
    if (state & TkWindowStateMaximized)
        w->showMaximized();
    else
        w->showNormal();
    return 1;
}

int64_t tk_window_resize(int64_t number, int64_t width, int64_t height) {
    TkWindow* w = tk_window_record(number);
    if (!w || width < 0 || height < 0) return 0;
    const QSize size(static_cast<int>(std::min<int64_t>(width, 32000)),
                     static_cast<int>(std::min<int64_t>(height, 32000)));
    const bool fixed = w->widget->minimumSize() == w->widget->maximumSize();
    if (fixed)
        w->widget->setFixedSize(size);
    else
        w->widget->resize(size);
    if (w->placement) place(w->widget, w->owner.data(), TkWindowKeepPosition, 0, w->placement);
    return 1;
}

int64_t tk_window_get_state(int64_t number) {
    QWidget* w = window_for(number);
    if (!w) return 0;
    const Qt::WindowStates state = w->windowState();
    int64_t bits = TkWindowStateNormal;
    if (state & Qt::WindowMaximized) bits |= TkWindowStateMaximized;
    if (state & Qt::WindowMinimized) bits |= TkWindowStateMinimized;
    return bits;
}

int64_t tk_window_set_title(int64_t number, const std::wstring& title) {
    QWidget* w = window_for(number);
    if (!w) return 0;
    w->setWindowTitle(tk_qstring(title));
    return 1;
}
