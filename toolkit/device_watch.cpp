// Volume arrival and removal: the mount table (/proc/self/mounts) signals
// every change with POLLPRI, which a QSocketNotifier of type Exception
// catches on the main thread. Each change is diffed against the last reading
// and every window's callback hears TkMessageDeviceChange once per mount that
// appeared (TkDeviceArrival) or vanished (TkDeviceRemoveComplete), with a
// broadcast header of device type TkDeviceTypeVolume. Main thread only.
#include "toolkit/core_internal.h"

#include <QSocketNotifier>
#include <fcntl.h>
#include <set>
#include <sstream>
#include <unistd.h>

namespace {

struct Watch {
    std::string path;
    int fd = -1;
    QSocketNotifier* notifier = nullptr;
    std::set<std::string> mounts; // "source mount-point" of the last reading
};
Watch g_watch;

std::string read_all(const std::string& path) {
    std::string text;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return text;
    char buf[8192];
    for (ssize_t n; (n = ::read(fd, buf, sizeof buf)) > 0;)
        text.append(buf, static_cast<size_t>(n));
    ::close(fd);
    return text;
}

// A mount is known by its source and mount point: a remount that only
// changes options is no arrival.
std::set<std::string> read_mounts(const std::string& path) {
    std::set<std::string> mounts;
    std::istringstream lines(read_all(path));
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string source, point;
        if (fields >> source >> point) mounts.insert(source + ' ' + point);
    }
    return mounts;
}

void tell_windows(intptr_t what) {
    TkDeviceBroadcast header{sizeof(TkDeviceBroadcast), TkDeviceTypeVolume, 0};
    for (int64_t number : tk_window_numbers())
        if (TkWindow* w = tk_window_record(number))
            tk_window_call(w, TkMessageDeviceChange, what, reinterpret_cast<intptr_t>(&header));
}

} // namespace

void tk_device_watch_check() {
    if (g_watch.path.empty()) return;
    std::set<std::string> now = read_mounts(g_watch.path);
    const std::set<std::string> before = std::exchange(g_watch.mounts, now);
    for (const std::string& m : now)
        if (!before.count(m)) tell_windows(TkDeviceArrival);
    for (const std::string& m : before)
        if (!now.count(m)) tell_windows(TkDeviceRemoveComplete);
}

void tk_device_watch_start(const char* mount_table) {
    tk_device_watch_stop();
    g_watch.path = mount_table;
    g_watch.mounts = read_mounts(g_watch.path);
    g_watch.fd = ::open(mount_table, O_RDONLY | O_CLOEXEC);
    if (g_watch.fd < 0) return; // no table to watch: volumes are never reported
    g_watch.notifier = new QSocketNotifier(g_watch.fd, QSocketNotifier::Exception);
    QObject::connect(g_watch.notifier, &QSocketNotifier::activated,
                     [] { tk_device_watch_check(); });
}

void tk_device_watch_stop() {
    delete g_watch.notifier;
    if (g_watch.fd >= 0) ::close(g_watch.fd);
    g_watch = Watch{};
}
