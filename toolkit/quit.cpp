// The program's end while a dialog is open, and how the toolkit's own
// requesters wait for their answer.
//
// A requester is not run with Qt's modality: a window blocked by a modal
// dialog never sees its close request, so a logout that closes the main
// window would wait for the user to answer a message box nobody looks at.
// Instead the requester is a window of its own over the program's windows,
// which stay enabled (and looking as before) but take no input while it is
// open: an application-wide filter swallows their mouse and key events and
// brings the requester back to the front. Their close requests still arrive.
//
// tk_quit_request ends every such wait at once: each open requester is
// rejected (and answers as cancelled), popups close, a drag is cancelled,
// and later requesters answer as cancelled without showing. Loops of the
// application read tk_quit_requested. Main thread only.
#include "toolkit/core_internal.h"
#include "toolkit/events.h"

#include <QApplication>
#include <QDialog>
#include <QDrag>
#include <QEventLoop>
#include <QPointer>
#include <vector>

namespace {

bool g_quit = false;
std::vector<QPointer<QDialog>> g_open; // requesters waiting, innermost last

bool is_input(QEvent::Type t) {
    switch (t) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd: return true;
    default: return false;
    }
}

// A window that must not take input now: a toolkit window, or a requester
// with another one open over it (the font requester's colour dialog).
bool waits_below(const QWidget* w) {
    if (tk_window_of_widget(w) >= 0) return true;
    const QWidget* top = w->window();
    for (size_t i = 0; i + 1 < g_open.size(); ++i)
        if (g_open[i] == top) return true;
    return false;
}

// Keeps input away from the windows below the newest requester. Everything
// else (the requester, its own popups and nested dialogs, tooltips) is
// left alone.
class InputGuard : public QObject {
  public:
    bool eventFilter(QObject* obj, QEvent* e) override {
        if (!obj->isWidgetType() || !is_input(e->type())) return false;
        if (!waits_below(static_cast<QWidget*>(obj))) return false;
        if (e->type() == QEvent::MouseButtonPress && !g_open.empty() && g_open.back())
            g_open.back()->activateWindow(); // a transient window stays above its owner
        return true;
    }
};
InputGuard* g_guard = nullptr;

void end_every_wait() {
    if (!qApp) return;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<QDialog*>(w); d && d->isVisible()) d->reject();
    for (int i = 0; i < 16 && QApplication::activePopupWidget(); ++i)
        QApplication::activePopupWidget()->close();
    QDrag::cancel();
}

} // namespace

int tk_modal_run(QDialog* dialog) {
    if (g_quit) return QDialog::Rejected;
    dialog->setWindowModality(Qt::NonModal);
    if (!g_guard) {
        g_guard = new InputGuard;
        qApp->installEventFilter(g_guard); // installed last, so asked before the key filter
    }
    g_open.emplace_back(dialog);
    QEventLoop loop;
    QObject::connect(dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    dialog->show();
    dialog->activateWindow();
    if (dialog->isVisible()) loop.exec(QEventLoop::DialogExec);
    std::erase_if(g_open, [dialog](const QPointer<QDialog>& d) { return !d || d == dialog; });
    if (g_open.empty()) {
        delete g_guard; // removes itself from the application's filters
        g_guard = nullptr;
    }
    return g_quit ? QDialog::Rejected : dialog->result();
}

void tk_quit_request(int64_t on) {
    g_quit = on != 0;
    if (g_quit) end_every_wait();
}

int64_t tk_quit_requested() {
    return g_quit ? 1 : 0;
}
