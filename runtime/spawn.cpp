// Detached starts without zombies: see spawn.h.
//
// Why posix_spawn and a reaper thread: this runs inside a multithreaded Qt
// process. A double fork would run code between fork and exec in a copy of a
// process whose other threads may hold locks (malloc, stdio), which only
// async-signal-safe code may touch. posix_spawn (vfork + exec inside glibc)
// has no such window and reports a failed exec to us directly, which the
// shell-open fallback needs. Reaping by SIGCHLD would take over a process-
// wide signal that Qt's own process code relies on, and waitpid(-1) would
// steal other components' children. So each started child gets one small
// detached thread that blocks in waitpid on exactly that pid; it exits with
// the child. The cost is one idle 64 KiB thread per program still running.
#include "runtime/spawn.h"

#include "runtime/syscalls.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

void* reap(void* arg) {
    const auto pid = static_cast<pid_t>(reinterpret_cast<intptr_t>(arg));
    int status;
    while (rt_sys.waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return nullptr;
}

void start_reaper(pid_t pid) {
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
    pthread_attr_setstacksize(&attr, 64 * 1024);
    pthread_t thread;
    void* arg = reinterpret_cast<void*>(static_cast<intptr_t>(pid));
    if (pthread_create(&thread, &attr, reap, arg) != 0) {
        // No thread to spare: wait a moment in case the child ends at once;
        // otherwise it stays a zombie until we exit, which does no harm.
        int status;
        rt_sys.waitpid(pid, &status, WNOHANG);
    }
    pthread_attr_destroy(&attr);
}

struct SpawnSetup {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;

    explicit SpawnSetup(const std::string& folder) {
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
        posix_spawn_file_actions_addclosefrom_np(&actions, 3);
        posix_spawnattr_init(&attr);
        sigset_t none, all;
        sigemptyset(&none);
        sigfillset(&all);
        posix_spawnattr_setsigmask(&attr, &none);   // threads here may block signals
        posix_spawnattr_setsigdefault(&attr, &all); // undo ignored signals (SIGPIPE)
        posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK |
                                            POSIX_SPAWN_SETSIGDEF);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attr);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;
};

} // namespace

bool rt_spawn_detached(const std::vector<std::string>& argv, const std::string& folder,
                       int* error) {
    if (argv.empty() || argv[0].empty()) {
        if (error) *error = ENOENT;
        return false;
    }
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    SpawnSetup setup(folder);
    pid_t pid;
    const bool search = argv[0].find('/') == std::string::npos;
    const int rc =
        search
            ? rt_sys.posix_spawnp(&pid, args[0], &setup.actions, &setup.attr, args.data(), environ)
            : rt_sys.posix_spawn(&pid, args[0], &setup.actions, &setup.attr, args.data(), environ);
    if (error) *error = rc;
    if (rc != 0) return false;
    start_reaper(pid);
    return true;
}
