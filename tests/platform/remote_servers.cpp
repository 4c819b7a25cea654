// Private servers for the remote tests and the sftp benchmark: see
// remote_servers.h.
#include "remote_servers.h"

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
#include <netinet/in.h>
#include <pwd.h>
#include <sstream>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "runtime/text.h"

extern char** environ;

namespace {

constexpr char kMark[] =
    "TC_REMOTE_FIXTURE="; // "<owner pid>:<folder>" in every child's environment

const char* const kPrograms[] = {
    "/usr/bin/dbus-daemon", "/usr/libexec/gvfsd", "/usr/libexec/gvfsd-sftp",
    "/usr/sbin/sshd",       "/usr/bin/ssh",       "/usr/bin/ssh-keygen"};

// The stand-in for ssh on gvfsd's search path, up to its last line.
// gvfsd-sftp trusts any key on the loopback address: that option goes, so
// that host keys are checked. "unbekannt" is the server under a name whose
// key the client does not know; it shares no connection with the others
// (ssh would run it through theirs, never asking about the key).
constexpr char kStandInSsh[] = R"(#!/bin/sh
alone=no
for a; do [ "$a" = unbekannt ] && alone=yes; done
for a; do
  shift
  case "$a" in
    "-oNoHostAuthenticationForLocalhost yes") ;;
    -oControlMaster*|-oControlPath*) [ $alone = yes ] || set -- "$@" "$a" ;;
    *) set -- "$@" "$a" ;;
  esac
done
)";

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

// Field n (from 1) of /proc/<pid>/stat, after the name in parentheses,
// which may hold blanks.
long long StatField(pid_t pid, int n) {
    const std::string stat = Read("/proc/" + std::to_string(pid) + "/stat");
    size_t at = stat.rfind(')');
    if (at == std::string::npos) return 0;
    for (int field = 2; field < n && at != std::string::npos; ++field) at = stat.find(' ', at + 1);
    return at == std::string::npos ? 0 : atoll(stat.c_str() + at + 1);
}

long long StartTime(pid_t pid) {
    return StatField(pid, 22);
}

pid_t ParentOf(pid_t pid) {
    return static_cast<pid_t>(StatField(pid, 4));
}

// pid and every process below it. (sshd's session processes write their
// title over their environment, so the mark cannot find them.)
std::vector<pid_t> Tree(pid_t root) {
    std::vector<pid_t> tree{root};
    std::vector<pid_t> all;
    DIR* proc = opendir("/proc");
    while (dirent* d = proc ? readdir(proc) : nullptr)
        if (const pid_t pid = static_cast<pid_t>(atoi(d->d_name)); pid > 0) all.push_back(pid);
    if (proc) closedir(proc);
    for (size_t i = 0; i < tree.size(); ++i)
        for (pid_t pid : all)
            if (ParentOf(pid) == tree[i]) tree.push_back(pid);
    return tree;
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

bool HasOwner(GDBusConnection* connection, const char* name) {
    GVariant* reply = g_dbus_connection_call_sync(
        connection, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
        "NameHasOwner", g_variant_new("(s)", name), G_VARIANT_TYPE("(b)"), G_DBUS_CALL_FLAGS_NONE,
        2000, nullptr, nullptr);
    gboolean owned = FALSE;
    if (reply) {
        g_variant_get(reply, "(b)", &owned);
        g_variant_unref(reply);
    }
    return owned;
}

} // namespace

bool RemoteServers::Start(std::string* reason) {
    EndOrphans();
    for (const char* program : kPrograms)
        if (access(program, X_OK) != 0) {
            *reason = std::string(program) +
                      " is missing (packages openssh-server, gvfs-daemons, gvfs-backends, dbus)";
            return false;
        }
    char tmpl[] = "/tmp/tc-remote-XXXXXX";
    if (!mkdtemp(tmpl)) {
        *reason = "no temporary folder";
        return false;
    }
    dir_ = tmpl;
    // GVfs's clients and daemons meet in the runtime folder.
    if (!getenv("XDG_RUNTIME_DIR")) {
        mkdir((dir_ + "/run").c_str(), 0700);
        setenv("XDG_RUNTIME_DIR", (dir_ + "/run").c_str(), 1);
    }
    const passwd* pw = getpwuid(geteuid());
    user_ = pw ? pw->pw_name : "root";
    port_ = FreePort();
    if (Prepare() && StartServers()) return true;
    *reason = "the test servers did not start (logs in " + dir_ + ")";
    Stop();
    return false;
}

bool RemoteServers::Prepare() {
    const std::string& d = dir_;
    for (const char* sub : {"/bin", "/client", "/run", "/server"}) mkdir((d + sub).c_str(), 0700);
    if (std::system(("ssh-keygen -q -t ed25519 -N '' -f " + d + "/host_key && " +
                     "ssh-keygen -q -t ed25519 -N '' -f " + d + "/client/id")
                        .c_str()) != 0)
        return false;
    Write(d + "/authorized_keys", Read(d + "/client/id.pub"));
    const std::string port = std::to_string(port_);
    Write(d + "/sshd_config", "Port " + port + "\nListenAddress 127.0.0.1\nHostKey " + d +
                                  "/host_key\nPidFile " + d +
                                  "/sshd.pid\n"
                                  "AuthorizedKeysFile " +
                                  d +
                                  "/authorized_keys\n"
                                  "PasswordAuthentication no\nKbdInteractiveAuthentication no\n"
                                  "PubkeyAuthentication yes\nPermitRootLogin prohibit-password\n"
                                  "StrictModes no\nUsePAM no\nAllowUsers " +
                                  user_ +
                                  "\n"
                                  "Subsystem sftp internal-sftp -d " +
                                  d +
                                  "/server\n"
                                  "LogLevel ERROR\n");
    Write(d + "/client/config", "Host unbekannt\n  HostName 127.0.0.1\n  HostKeyAlias unbekannt\n"
                                "Host *\n  IdentityFile " +
                                    d +
                                    "/client/id\n"
                                    "  IdentitiesOnly yes\n  UserKnownHostsFile " +
                                    d +
                                    "/client/known_hosts\n  GlobalKnownHostsFile /dev/null\n"
                                    "  PasswordAuthentication no\n"
                                    "  KbdInteractiveAuthentication no\n"
                                    "  StrictHostKeyChecking ask\n  LogLevel ERROR\n");
    const std::string key = Read(d + "/host_key.pub");
    Write(d + "/client/known_hosts",
          "[127.0.0.1]:" + port + " " + key + "[localhost]:" + port + " " + key);
    Write(d + "/bin/ssh",
          std::string(kStandInSsh) + "exec /usr/bin/ssh -F " + d + "/client/config \"$@\"\n", 0700);
    if (geteuid() == 0) mkdir("/run/sshd", 0755); // sshd's privilege separation folder
    return true;
}

std::vector<std::string> RemoteServers::ChildEnvironment() const {
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
    env.push_back(std::string(kMark) + std::to_string(getpid()) + ":" + dir_);
    env.push_back("PATH=" + dir_ + "/bin:" + (path ? path : "/usr/bin:/bin"));
    env.push_back("DBUS_SESSION_BUS_ADDRESS=unix:path=" + dir_ + "/bus");
    // GVfs's clients find the daemons' sockets below the runtime folder:
    // the children share this program's.
    const char* runtime = getenv("XDG_RUNTIME_DIR");
    env.push_back("XDG_RUNTIME_DIR=" + (runtime ? std::string(runtime) : dir_ + "/run"));
    env.push_back("HOME=" + dir_ + "/client");
    env.push_back("GVFS_DISABLE_FUSE=1");
    return env;
}

pid_t RemoteServers::Spawn(const std::vector<std::string>& args, const std::string& log) {
    std::vector<std::string> env = ChildEnvironment();
    std::vector<char*> argv, envp;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    const int out = open((dir_ + "/" + log).c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
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

bool RemoteServers::StartServers() {
    const std::string& d = dir_;
    sshd_ = Spawn({"/usr/sbin/sshd", "-D", "-e", "-f", d + "/sshd_config"}, "sshd.log");
    if (sshd_ <= 0 || !WaitUntil([&] { return Accepts(port_); }, 5000)) return false;
    const std::string bus = d + "/bus";
    if (Spawn({"/usr/bin/dbus-daemon", "--session", "--nofork", "--address=unix:path=" + bus},
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
    if (Spawn({"/usr/libexec/gvfsd", "--no-fuse"}, "gvfsd.log") <= 0) return false;
    return WaitUntil([&] { return HasOwner(connection, "org.gtk.vfs.Daemon"); }, 10000);
}

void RemoteServers::Stop() {
    if (dir_.empty()) return;
    // Each process with its start time: a pid that ended may be reused.
    std::vector<std::pair<pid_t, long long>> known;
    auto add = [&](pid_t pid) { known.emplace_back(pid, StartTime(pid)); };
    for (pid_t pid : children_) add(pid);
    if (sshd_ > 0)
        for (pid_t pid : Tree(sshd_)) add(pid);
    const std::string mine = std::to_string(getpid()) + ":" + dir_;
    for (const auto& [pid, mark] : MarkedProcesses())
        if (mark == mine) add(pid);
    for (const auto& [pid, start] : known) {
        kill(pid, SIGCONT);
        kill(pid, SIGTERM);
    }
    for (pid_t child : children_)
        if (!WaitUntil([&] { return waitpid(child, nullptr, WNOHANG) == child; }, 1000)) {
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
        }
    for (const auto& [pid, start] : known)
        if (start != 0 && StartTime(pid) == start) kill(pid, SIGKILL);
    children_.clear();
    sshd_ = 0;
    memory_folders_.push_back(dir_);
    for (const std::string& folder : memory_folders_)
        if (std::system(("rm -rf '" + folder + "'").c_str()) != 0) {
        }
    memory_folders_.clear();
    dir_.clear();
}

std::string RemoteServers::NewFolder() {
    const std::string path = dir_ + "/server/f" + std::to_string(++folders_);
    mkdir(path.c_str(), 0755);
    return path;
}

std::string RemoteServers::NewFolderInMemory() {
    char tmpl[] = "/dev/shm/tc-remote-XXXXXX";
    if (!mkdtemp(tmpl)) return NewFolder();
    chmod(tmpl, 0755);
    memory_folders_.push_back(tmpl);
    return tmpl;
}

std::wstring RemoteServers::Location(const std::string& path) const {
    return rt_text_from_os("sftp://" + user_ + "@127.0.0.1:" + std::to_string(port_) + path);
}

std::wstring RemoteServers::Root() const {
    return Location("/");
}

std::wstring RemoteServers::RootAs(const std::string& host) const {
    return rt_text_from_os("sftp://" + user_ + "@" + host + ":" + std::to_string(port_) + "/");
}

void RemoteServers::StopServer() {
    if (sshd_ > 0)
        for (pid_t pid : Tree(sshd_)) kill(pid, SIGSTOP);
}

void RemoteServers::ResumeServer() {
    if (sshd_ > 0)
        for (pid_t pid : Tree(sshd_)) kill(pid, SIGCONT);
}
