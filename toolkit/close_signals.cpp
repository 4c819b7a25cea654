// A desktop logout or "kill" (SIGTERM, SIGHUP) as a close request of one
// window: the program then ends the way its close button ends it, with its
// settings written, instead of being cut off by the default action.
//
// A signal may arrive on any thread at any moment, where hardly anything is
// allowed: the handler only writes one byte into a pipe. The read end is
// watched by the main thread's event loop, which turns the byte into an
// EventCloseWindow of the chosen window like a click on its close button,
// and into tk_quit_request, so that an open dialog does not hold the end
// up (quit.cpp).
#include "toolkit/core_internal.h"
#include "toolkit/windows.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP};

int g_pipe[2] = {-1, -1};
int64_t g_window = -1;
QSocketNotifier* g_notifier = nullptr;

void on_signal(int) {
    const int saved = errno;
    const char byte = 1;
    // a full pipe already holds a request; a lost byte changes nothing
    if (write(g_pipe[1], &byte, 1) < 0) errno = saved;
    errno = saved;
}

void drain() {
    char bytes[64];
    while (read(g_pipe[0], bytes, sizeof bytes) > 0) {
    }
}

void set_handlers(void (*handler)(int)) {
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : kSignals) sigaction(s, &action, nullptr);
}

bool open_pipe() {
    if (g_pipe[0] >= 0) return true;
    if (pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    g_notifier =
        new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(g_notifier, &QSocketNotifier::activated, [] {
        drain();
        if (g_window < 0) return;
        tk_quit_request(1); // whatever dialog is open answers "cancel" now
        if (tk_window_record(g_window)) tk_event_generate(EventCloseWindow, g_window, g_window, 0);
    });
    return true;
}

} // namespace

int64_t tk_quit_window() {
    return g_window;
}

int64_t tk_window_close_on_signals(int64_t number) {
    if (number < 0) {
        set_handlers(SIG_DFL);
        g_window = -1;
        return 1;
    }
    if (!QCoreApplication::instance() || !open_pipe()) return 0;
    g_window = number;
    set_handlers(on_signal);
    return 1;
}
