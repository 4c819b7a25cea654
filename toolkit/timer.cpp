// One-shot timers: see timer.h.
#include "toolkit/timer.h"

#include <QCoreApplication>
#include <QTimer>

void tk_timer_once(int64_t ms, void (*fn)(intptr_t), intptr_t user) {
    if (!fn || !QCoreApplication::instance()) return;
    QTimer::singleShot(static_cast<int>(ms < 0 ? 0 : ms), QCoreApplication::instance(),
                       [fn, user] { fn(user); });
}
