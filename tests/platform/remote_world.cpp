// The remote tests' world of real servers: see remote_world.h.
#include "remote_world.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <gio/gio.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sstream>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "platform/remote_mount.h"
#include "runtime/text.h"

extern char** environ;

namespace {

constexpr char kMark[] =
    "TC_REMOTE_FIXTURE="; // "<owner pid>:<folder>" in every child's environment

const char* const kPrograms[] = {
    "/usr/bin/dbus-daemon", "/usr/libexec/gvfsd", "/usr/libexec/gvfsd-sftp",
    "/usr/sbin/sshd",       "/usr/bin/ssh",       "/usr/bin/ssh-keygen"};

RemoteWorld* World = nullptr;
std::string Reason = "no remote test was to run";

void Write(const std::string& path, const std::string& text, mode_t mode = 0600) {
    std::ofstream(path) << text;
    chmod(path.c_str(), mode);
}

std::string Read(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// Processes whose environment holds our mark, with the mark's value.
std::vector<std::pair<pid_t, std::string>> MarkedProcesses() {
    std::vector<std::pair<pid_t, std::string>> out;
    DIR* proc = opendir("/proc");
    while (dirent* d = proc ? readdir(proc) : nullptr) {
        const pid_t pid = static_cast<pid_t>(atoi(d->d_name));
        if (pid <= 0 || pid == getpid()) continue;
        const std::string env = Read("/proc/" + std::string(d->d_name) + "/environ");
        for (size_t at = 0; at < env.size(); at = env.find('\0', at) + 1) {
            if (env.compare(at, sizeof kMark - 1, kMark) == 0) {
                out.emplace_back(pid, env.substr(at + sizeof kMark - 1,
                                                 env.find('\0', at) - at - (sizeof kMark - 1)));
                break;
            }
            if (env.find('\0', at) == std::string::npos) break;
        }
    }
    if (proc) closedir(proc);
    return out;
}

std::string CommOf(pid_t pid) {
    std::string comm = Read("/proc/" + std::to_string(pid) + "/comm");
    while (!comm.empty() && comm.back() == '\n') comm.pop_back();
    return comm;
}

// Ends what an earlier run of a test program left when it crashed: marked
// processes whose owner no longer runs.
void EndOrphans() {
    for (const auto& [pid, mark] : MarkedProcesses()) {
        const pid_t owner = static_cast<pid_t>(atoi(mark.c_str()));
        if (owner > 0 && kill(owner, 0) != 0 && errno == ESRCH) {
            kill(pid, SIGCONT);
            kill(pid, SIGKILL);
        }
    }
}

bool WaitUntil(const std::function<bool()>& ready, int ms) {
    for (int waited = 0; waited < ms; waited += 20) {
        if (ready()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return ready();
}

int FreePort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    int port = 0;
    if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &length) == 0)
        port = ntohs(a.sin_port);
    close(s);
    return port;
}

bool Accepts(int port) {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(static_cast<uint16_t>(port));
    const bool ok = connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    close(s);
    return ok;
}

} // namespace

class RemoteEnvironment : public testing::Environment {
  public:
    void SetUp() override {
        if (!AnyRemoteTestRuns()) return;
        EndOrphans();
        for (const char* program : kPrograms)
            if (access(program, X_OK) != 0) {
                Reason = std::string("remote tests skipped: ") + program +
                         " is missing (openssh-server, gvfs-daemons, gvfs-backends, dbus)";
                return;
            }
        auto* w = new RemoteWorld;
        char tmpl[] = "/tmp/tc-remote-XXXXXX";
        if (!mkdtemp(tmpl)) return;
        w->dir_ = tmpl;
        const passwd* pw = getpwuid(geteuid());
        w->user_ = pw ? pw->pw_name : "root";
        w->port_ = FreePort();
        if (!Prepare(*w) || !StartServers(*w)) {
            Reason =
                "remote tests skipped: the test servers did not start (logs in " + w->dir_ + ")";
            Stop(*w);
            delete w;
            return;
        }
        World = w;
    }

    void TearDown() override {
        if (!World) return;
        Stop(*World);
        std::system(("rm -rf '" + World->dir_ + "'").c_str());
        delete World;
        World = nullptr;
    }

  private:
    std::vector<pid_t> children_;

    static bool AnyRemoteTestRuns() {
        const testing::UnitTest& unit = *testing::UnitTest::GetInstance();
        for (int i = 0; i < unit.total_test_suite_count(); ++i) {
            const testing::TestSuite* suite = unit.GetTestSuite(i);
            if (suite->should_run() && std::string(suite->name()).rfind("Remote", 0) == 0)
                return true;
        }
        return false;
    }

    // Keys, configurations and the stand-in ssh.
    static bool Prepare(RemoteWorld& w) {
        const std::string& d = w.dir_;
        for (const char* sub : {"/bin", "/client", "/run", "/server"})
            mkdir((d + sub).c_str(), 0700);
        if (std::system(("ssh-keygen -q -t ed25519 -N '' -f " + d + "/host_key && " +
                         "ssh-keygen -q -t ed25519 -N '' -f " + d + "/client/id")
                            .c_str()) != 0)
            return false;
        Write(d + "/authorized_keys", Read(d + "/client/id.pub"));
        const std::string port = std::to_string(w.port_);
        Write(d + "/sshd_config",
              "Port " + port + "\nListenAddress 127.0.0.1\nHostKey " + d + "/host_key\nPidFile " +
                  d +
                  "/sshd.pid\n"
                  "AuthorizedKeysFile " +
                  d +
                  "/authorized_keys\n"
                  "PasswordAuthentication no\nKbdInteractiveAuthentication no\n"
                  "PubkeyAuthentication yes\nPermitRootLogin prohibit-password\n"
                  "StrictModes no\nUsePAM no\nAllowUsers " +
                  w.user_ +
                  "\n"
                  "Subsystem sftp internal-sftp -d " +
                  d +
                  "/server\n"
                  "LogLevel ERROR\n");
        Write(d + "/client/config", "Host *\n  IdentityFile " + d +
                                        "/client/id\n"
                                        "  IdentitiesOnly yes\n  UserKnownHostsFile " +
                                        d +
                                        "/client/known_hosts\n  GlobalKnownHostsFile /dev/null\n"
                                        "  PasswordAuthentication no\n"
                                        "  KbdInteractiveAuthentication no\n"
                                        "  StrictHostKeyChecking ask\n  LogLevel ERROR\n");
        Write(d + "/client/known_hosts", "[127.0.0.1]:" + port + " " + Read(d + "/host_key.pub"));
        // gvfsd-sftp trusts any key on the loopback address; the stand-in
        // drops that option so that the host-key question is real.
        Write(d + "/bin/ssh",
              "#!/bin/sh\nfor a; do shift; [ \"$a\" = \"-oNoHostAuthenticationForLocalhost yes\" ] "
              "|| set -- \"$@\" \"$a\"; done\nexec /usr/bin/ssh -F " +
                  d + "/client/config \"$@\"\n",
              0700);
        if (geteuid() == 0) mkdir("/run/sshd", 0755); // sshd's privilege separation folder
        return true;
    }

    // The children's environment: ours, marked, with the world's folders.
    static std::vector<std::string> ChildEnvironment(const RemoteWorld& w) {
        std::vector<std::string> env;
        const char* drop[] = {"DBUS_SESSION_BUS_ADDRESS=",
                              "XDG_RUNTIME_DIR=",
                              "PATH=",
                              "SSH_AUTH_SOCK=",
                              "DISPLAY=",
                              "WAYLAND_DISPLAY=",
                              "SSH_ASKPASS=",
                              "HOME=",
                              kMark};
        for (char** e = environ; *e; ++e) {
            bool keep = true;
            for (const char* d : drop) keep = keep && std::string(*e).rfind(d, 0) != 0;
            if (keep) env.push_back(*e);
        }
        const char* path = getenv("PATH");
        env.push_back(std::string(kMark) + std::to_string(getpid()) + ":" + w.dir_);
        env.push_back("PATH=" + w.dir_ + "/bin:" + (path ? path : "/usr/bin:/bin"));
        env.push_back("DBUS_SESSION_BUS_ADDRESS=unix:path=" + w.dir_ + "/bus");
        // GVfs's clients find the daemons' sockets below the runtime folder:
        // the children share this program's.
        const char* runtime = getenv("XDG_RUNTIME_DIR");
        env.push_back("XDG_RUNTIME_DIR=" + (runtime ? std::string(runtime) : w.dir_ + "/run"));
        env.push_back("HOME=" + w.dir_ + "/client");
        env.push_back("GVFS_DISABLE_FUSE=1");
        return env;
    }

    // Starts a child that dies with this program; its output goes to log.
    pid_t Spawn(const RemoteWorld& w, const std::vector<std::string>& args,
                const std::string& log) {
        std::vector<std::string> env = ChildEnvironment(w);
        std::vector<char*> argv, envp;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
        argv.push_back(nullptr);
        envp.push_back(nullptr);
        const int out = open((w.dir_ + "/" + log).c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        const pid_t parent = getpid();
        const pid_t pid = fork();
        if (pid == 0) {
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (getppid() != parent) _exit(127);
            dup2(out, 1);
            dup2(out, 2);
            const int null = open("/dev/null", O_RDONLY);
            dup2(null, 0);
            execve(argv[0], argv.data(), envp.data());
            _exit(127);
        }
        close(out);
        if (pid > 0) children_.push_back(pid);
        return pid;
    }

    bool StartServers(RemoteWorld& w) {
        const std::string& d = w.dir_;
        if (Spawn(w, {"/usr/sbin/sshd", "-D", "-e", "-f", d + "/sshd_config"}, "sshd.log") <= 0 ||
            !WaitUntil([&] { return Accepts(w.port_); }, 5000))
            return false;
        const std::string bus = d + "/bus";
        if (Spawn(w,
                  {"/usr/bin/dbus-daemon", "--session", "--nofork", "--address=unix:path=" + bus},
                  "dbus.log") <= 0 ||
            !WaitUntil([&] { return access(bus.c_str(), F_OK) == 0; }, 5000))
            return false;
        // This process talks to the world's bus from now on; GIO has not
        // chosen its VFS yet. The bus ends before this program does, and a
        // closed session bus must not end the program.
        setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + bus).c_str(), 1);
        setenv("GVFS_REMOTE_VOLUME_MONITOR_IGNORE", "1", 1);
        GDBusConnection* connection = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
        if (!connection) return false;
        g_dbus_connection_set_exit_on_close(connection, FALSE);
        if (Spawn(w, {"/usr/libexec/gvfsd", "--no-fuse"}, "gvfsd.log") <= 0) return false;
        return WaitUntil([&] { return HasOwner(connection, "org.gtk.vfs.Daemon"); }, 10000);
    }

    static bool HasOwner(GDBusConnection* connection, const char* name) {
        GVariant* reply = g_dbus_connection_call_sync(
            connection, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
            "NameHasOwner", g_variant_new("(s)", name), G_VARIANT_TYPE("(b)"),
            G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
        gboolean owned = FALSE;
        if (reply) {
            g_variant_get(reply, "(b)", &owned);
            g_variant_unref(reply);
        }
        return owned;
    }

    // Everything the world started, also what its children started.
    void Stop(RemoteWorld& w) {
        const std::string mine = std::to_string(getpid()) + ":" + w.dir_;
        std::vector<pid_t> pids = children_;
        for (const auto& [pid, mark] : MarkedProcesses())
            if (mark == mine) pids.push_back(pid);
        for (pid_t pid : pids) {
            kill(pid, SIGCONT);
            kill(pid, SIGTERM);
        }
        for (pid_t child : children_) {
            bool ended = WaitUntil([&] { return waitpid(child, nullptr, WNOHANG) == child; }, 1000);
            if (!ended) {
                kill(child, SIGKILL);
                waitpid(child, nullptr, 0);
            }
        }
        for (const auto& [pid, mark] : MarkedProcesses())
            if (mark == mine) kill(pid, SIGKILL);
        children_.clear();
    }
};

namespace {
testing::Environment* const TheEnvironment =
    testing::AddGlobalTestEnvironment(new RemoteEnvironment);
} // namespace

RemoteWorld* RemoteWorld::Get() {
    return World;
}

const std::string& RemoteWorld::SkipReason() {
    return Reason;
}

std::string RemoteWorld::NewFolder() {
    const std::string path = dir_ + "/server/f" + std::to_string(++folders_);
    mkdir(path.c_str(), 0755);
    return path;
}

std::wstring RemoteWorld::Location(const std::string& path) const {
    return rt_text_from_os("sftp://" + user_ + "@127.0.0.1:" + std::to_string(port_) + path);
}

std::wstring RemoteWorld::Root() const {
    return Location("/");
}

void RemoteWorld::StopServer() {
    const std::string mine = std::to_string(getpid()) + ":" + dir_;
    for (const auto& [pid, mark] : MarkedProcesses())
        if (mark == mine && CommOf(pid) == "sshd") kill(pid, SIGSTOP);
}

void RemoteWorld::ResumeServer() {
    const std::string mine = std::to_string(getpid()) + ":" + dir_;
    for (const auto& [pid, mark] : MarkedProcesses())
        if (mark == mine && CommOf(pid) == "sshd") kill(pid, SIGCONT);
}

void RemoteWorld::ForgetHostKey() {
    Write(dir_ + "/client/known_hosts", "");
}

void RemoteTest::SetUp() {
    world = RemoteWorld::Get();
    if (!world) GTEST_SKIP() << RemoteWorld::SkipReason();
    call = pf_remote_call_new(kLimitMs);
    ASSERT_TRUE(pf_remote_mount(call, world->Root(), nullptr))
        << pf_remote_call_status(call) << " " << rt_text_to_utf8(pf_remote_call_message(call));
    folder = world->NewFolder();
}

void RemoteTest::TearDown() {
    if (world) world->ResumeServer();
    pf_remote_call_free(call);
}

std::wstring RemoteTest::At(const std::string& name) const {
    return world->Location(folder + "/" + name);
}
