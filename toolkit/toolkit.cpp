// Starting and stopping the toolkit: the application object, the German
// locale, the icon theme fallback, the program's icon, and the core
// services (poster, key filter, mount watch). Main thread only.
#include "toolkit/core_internal.h"
#include "toolkit/images.h"
#include "toolkit/menus.h"
#include "toolkit/window_icon.h"
#include "toolkit/windows.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <QThread>

namespace {

bool g_started = false;

// Offscreen and bare X servers report no theme; the MIME icons of the panes
// come from Adwaita then.
void ensure_icon_theme() {
    const QString theme = QIcon::themeName();
    if (!theme.isEmpty() && theme != QLatin1String("hicolor")) return;
    QStringList paths = QIcon::themeSearchPaths();
    if (!paths.contains(QLatin1String("/usr/share/icons")))
        paths << QStringLiteral("/usr/share/icons");
    QIcon::setThemeSearchPaths(paths);
    QIcon::setThemeName(QStringLiteral("Adwaita"));
    QIcon::setFallbackThemeName(QStringLiteral("Adwaita"));
}

} // namespace

bool tk_on_main_thread() {
    const QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread(); // not started: nothing to guard
}

int64_t tk_init() {
    if (!QCoreApplication::instance()) {
        // Qt keeps references to argc and argv for the whole run.
        static int argc = 1;
        static char name[] = "tarn-commander";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv); // lives until the process ends
    }
    if (g_started) return 1;
    // Type names come out German whatever the user's locale is.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QApplication::setQuitOnLastWindowClosed(false);
    tk_translations_load();
    ensure_icon_theme();
    tk_app_icon_install();
    tk_poster_start();
    tk_shortcuts_start();
    tk_device_watch_start("/proc/self/mounts");
    g_started = true;
    return 1;
}

void tk_end() {
    if (!g_started) return;
    tk_menu_free(-1); // menu bars and toolbars before the windows they sit in
    tk_toolbar_free(-1);
    tk_window_close(-1);
    tk_gadgets_destroy_of_window(-1); // gadgets left in no window
    tk_image_free(-1);
    tk_font_free(-1);
    tk_device_watch_stop();
    tk_shortcuts_stop();
    tk_poster_stop();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    tk_events_reset();
    tk_windows_reset();
    tk_quit_request(0);
    g_started = false;
}
