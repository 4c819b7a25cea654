// Folder change notification with inotify and an eventfd: see dir_watch.h.
#include "platform/dir_watch.h"

#include "runtime/syscalls.h"
#include "runtime/threads.h"

#include <cerrno>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include "runtime/text.h"

namespace {

// What counts as a change of the folder's names. Attribute changes and
// finished writes count too, so that sizes and dates shown stay current.
constexpr uint32_t kWatchMask = IN_CREATE        // entry created
                                | IN_DELETE      // entry deleted
                                | IN_MOVED_FROM  // entry moved or renamed away
                                | IN_MOVED_TO    // entry moved or renamed in
                                | IN_MODIFY      // a file written to
                                | IN_ATTRIB      // permissions, times, links
                                | IN_CLOSE_WRITE // a file written and closed
                                | IN_DELETE_SELF // the folder itself deleted
                                | IN_MOVE_SELF;  // the folder itself moved

// Closing an inotify descriptor waits until the kernel has retired its watch
// (12 to 22 ms measured here), so it is closed on a thread of its own: a
// pane replaces its watcher at every listing, and neither the window nor the
// next watcher may wait for that.
void close_in_background(int fd) {
    const RtThreadProc closer = [](intptr_t d) { rt_sys.close(static_cast<int>(d)); };
    if (!rt_thread_create(closer, fd)) rt_sys.close(fd);
}

// One open watch. The descriptors live as long as the last holder: the table
// and any thread inside pf_watch_wait.
struct Watch {
    int inotify_fd = -1; // inotify instance watching the folder
    int wake_fd = -1;    // eventfd written by pf_watch_wake and pf_watch_close
    ~Watch() {
        if (inotify_fd >= 0) close_in_background(inotify_fd);
        if (wake_fd >= 0) rt_sys.close(wake_fd);
    }
};

std::mutex g_lock;                                   // guards the two below
std::map<int64_t, std::shared_ptr<Watch>> g_watches; // open watches by handle
int64_t g_next_handle = 1;                           // handles are never reused

std::shared_ptr<Watch> find_watch(int64_t handle) {
    std::lock_guard guard(g_lock);
    auto it = g_watches.find(handle);
    return it == g_watches.end() ? nullptr : it->second;
}

void signal_wake(const Watch& w) {
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t n = rt_sys.write(w.wake_fd, &one, sizeof one);
}

// Reads every pending notification; the caller only needs "something".
void drain(int fd) {
    alignas(inotify_event) char buffer[8192];
    while (rt_sys.read(fd, buffer, sizeof buffer) > 0) {
    }
}

// poll() that survives signals, keeping to the overall time-out.
int poll_for(pollfd* fds, int count, int timeout_ms) {
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        int left = timeout_ms;
        if (timeout_ms >= 0) {
            const auto rest =
                std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
            left = rest.count() > 0 ? static_cast<int>(rest.count()) : 0;
        }
        const int r = rt_sys.poll(fds, count, left);
        if (r >= 0 || errno != EINTR) return r;
    }
}

} // namespace

int64_t pf_watch_open(const std::wstring& folder) {
    auto w = std::make_shared<Watch>();
    w->inotify_fd = rt_sys.inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    w->wake_fd = rt_sys.eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (w->inotify_fd < 0 || w->wake_fd < 0) return 0;
    const std::string path = rt_text_to_os(folder);
    if (rt_sys.inotify_add_watch(w->inotify_fd, path.c_str(), kWatchMask | IN_ONLYDIR) < 0)
        return 0;
    std::lock_guard guard(g_lock);
    const int64_t handle = g_next_handle++;
    g_watches.emplace(handle, std::move(w));
    return handle;
}

int pf_watch_wait(int64_t handle, int timeout_ms) {
    const auto w = find_watch(handle);
    if (!w) return -1;
    pollfd fds[2] = {{w->wake_fd, POLLIN, 0}, {w->inotify_fd, POLLIN, 0}};
    const int r = poll_for(fds, 2, timeout_ms);
    if (r < 0) return -1;
    if (fds[0].revents) {
        uint64_t count;
        [[maybe_unused]] ssize_t n = rt_sys.read(w->wake_fd, &count, sizeof count);
        return -1;
    }
    if (fds[1].revents) {
        drain(w->inotify_fd);
        return 1;
    }
    return 0;
}

void pf_watch_wake(int64_t handle) {
    if (const auto w = find_watch(handle)) signal_wake(*w);
}

void pf_watch_close(int64_t handle) {
    std::shared_ptr<Watch> w;
    {
        std::lock_guard guard(g_lock);
        auto it = g_watches.find(handle);
        if (it == g_watches.end()) return;
        w = std::move(it->second);
        g_watches.erase(it);
    }
    signal_wake(*w);
}
