// Desktop queries: monitors, their sizes and the part of them windows may
// cover, and the height of a menu bar.
// Main thread only (they ask the Qt application).
#include "toolkit/images.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <cmath>

namespace {

// Monitor index i: 0 is the primary screen, the others follow in Qt's order.
QScreen* screen_at(int64_t index) {
    QScreen* primary = QGuiApplication::primaryScreen();
    if (index == 0) return primary;
    int64_t seen = 0;
    for (QScreen* screen : QGuiApplication::screens()) {
        if (screen == primary) continue;
        if (++seen == index) return screen;
    }
    return nullptr;
}

// The mode's size in device pixels, as a display mode is counted.
QSize device_size(const QScreen* screen) {
    const qreal ratio = screen->devicePixelRatio();
    const QSize logical = screen->geometry().size();
    return QSize(static_cast<int>(std::lround(logical.width() * ratio)),
                 static_cast<int>(std::lround(logical.height() * ratio)));
}

} // namespace

int64_t tk_desktop_count() {
    const auto count = QGuiApplication::screens().size();
    return count > 0 ? count : 1;
}

int64_t tk_desktop_width(int64_t index) {
    const QScreen* screen = index < 0 ? nullptr : screen_at(index);
    return screen ? device_size(screen).width() : 0;
}

int64_t tk_desktop_height(int64_t index) {
    const QScreen* screen = index < 0 ? nullptr : screen_at(index);
    return screen ? device_size(screen).height() : 0;
}

int64_t tk_desktop_available(int64_t index, TkDesktopArea* out) {
    const QScreen* screen = index < 0 ? nullptr : screen_at(index);
    if (!screen || !out) return 0;
    const QRect area = screen->availableGeometry();
    *out = {area.x(), area.y(), area.width(), area.height()};
    return 1;
}

int64_t tk_menu_bar_height() {
    // A bar with one title measures as the windows' bars do in this style.
    static int height = [] {
        QMenuBar bar;
        bar.addMenu(QStringLiteral("Datei"));
        return bar.sizeHint().height();
    }();
    return height;
}

void tk_desktop_busy_cursor(int64_t on) {
    if (on)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else if (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}
