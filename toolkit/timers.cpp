// Timers: see timers.h.
#include "toolkit/timers.h"

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>

int64_t tk_timer_start(int64_t milliseconds, TkTimerCallback callback, intptr_t data,
                       int64_t repeat) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || !callback) return 0;
    const int ms = static_cast<int>(std::clamp<int64_t>(milliseconds, 0, INT32_MAX));
    auto* timer = new QTimer(app); // lives as long as the application
    timer->setSingleShot(repeat == 0);
    QObject::connect(timer, &QTimer::timeout, [timer, callback, data, repeat] {
        if (repeat == 0) timer->deleteLater();
        callback(data);
    });
    timer->start(ms);
    return 1;
}
