// System calls that hang on cue, for the tests of work kept off the main
// thread: every open, fstatat, statx, mkdir and rename of SlowPrefix or a
// path below it, and every program start from there, holds up for five
// seconds or until Released, counting in HeldUp. Also a main loop pump and
// the time the loop takes to handle a posted event.
#pragma once

#include "app/core/answers.h"
#include "app/core/ids.h"
#include "runtime/syscalls.h"
#include "toolkit/events.h"

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace slow {

using Clock = std::chrono::steady_clock;

constexpr int32_t PingCode = 4243; // an application event nobody else posts

inline std::string SlowPrefix; // OS path; empty holds nothing up
inline std::atomic<bool> Released{false};
inline std::atomic<int> HeldUp{0};

inline void Reset() {
    SlowPrefix.clear();
    Released = false;
    HeldUp = 0;
}

inline void HoldUpIfSlow(const char* path) {
    if (SlowPrefix.empty() || !path) return;
    const std::string p = path;
    const bool below = p.rfind(SlowPrefix, 0) == 0 &&
                       (p.size() == SlowPrefix.size() || p[SlowPrefix.size()] == '/');
    if (!below) return;
    HeldUp++;
    const auto until = Clock::now() + std::chrono::seconds(5);
    while (!Released.load() && Clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}
inline int Open(const char* path, int flags, mode_t mode) {
    HoldUpIfSlow(path);
    return rt_syscalls_real().open(path, flags, mode);
}
inline int Fstatat(int dirfd, const char* path, struct stat* out, int flags) {
    HoldUpIfSlow(path);
    return rt_syscalls_real().fstatat(dirfd, path, out, flags);
}
inline int Statx(int dirfd, const char* path, int flags, unsigned mask, struct statx* out) {
    HoldUpIfSlow(path);
    return rt_syscalls_real().statx(dirfd, path, flags, mask, out);
}
inline int Mkdir(const char* path, mode_t mode) {
    HoldUpIfSlow(path);
    return rt_syscalls_real().mkdir(path, mode);
}
inline int Renameat2(int from_dirfd, const char* from, int to_dirfd, const char* to,
                     unsigned flags) {
    HoldUpIfSlow(from);
    return rt_syscalls_real().renameat2(from_dirfd, from, to_dirfd, to, flags);
}
inline int PosixSpawn(pid_t* pid, const char* path, const posix_spawn_file_actions_t* actions,
                      const posix_spawnattr_t* attr, char* const argv[], char* const envp[]) {
    HoldUpIfSlow(path);
    return rt_syscalls_real().posix_spawn(pid, path, actions, attr, argv, envp);
}
// Puts the hanging calls into the seam.
inline void Install() {
    rt_sys.posix_spawn = PosixSpawn;
    rt_sys.open = Open;
    rt_sys.fstatat = Fstatat;
    rt_sys.statx = Statx;
    rt_sys.mkdir = Mkdir;
    rt_sys.renameat2 = Renameat2;
}

// Lets every held-up call go and waits for the question threads to end.
inline void ReleaseAll() {
    Released = true;
    while (QuestionsRunning() > 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

// Runs the main loop, handing each event to handle(code), until done() holds
// or 5 s pass.
template <class Done, class Handle> bool PumpUntil(Done done, Handle handle) {
    const auto until = Clock::now() + std::chrono::seconds(5);
    while (!done()) {
        if (Clock::now() > until) return false;
        const int32_t code = tk_event_wait_timeout(5);
        if (code) handle(code);
    }
    return true;
}
template <class Done> bool PumpUntil(Done done) {
    return PumpUntil(done, [](int32_t) {});
}

// Time from posting an event on another thread until the loop takes it;
// the other events taken meanwhile go to handle(code).
template <class Handle> double PingMs(Handle handle) {
    const auto start = Clock::now();
    std::thread([] { tk_event_post(PingCode, WinMain); }).join();
    for (int32_t code; (code = tk_event_wait_timeout(5)) != PingCode;) {
        if (code) handle(code);
        if (Clock::now() - start > std::chrono::seconds(5)) break;
    }
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}
inline double PingMs() {
    return PingMs([](int32_t) {});
}

} // namespace slow
