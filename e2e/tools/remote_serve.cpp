// The end-to-end tests' private remote servers (the remote unit tests'
// session bus, gvfsd and loopback sshd, tests/platform/remote_servers.h) as a
// program of its own: it starts them, writes shell assignments for the
// program under test to the file named by its argument (the bus, the server's
// folder and its location), and then serves until SIGTERM or SIGINT.
// SIGUSR1 holds the sshd (a server that stops answering), SIGUSR2 lets it
// go on.
#include "remote_servers.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

#include "runtime/text.h"

namespace {

volatile sig_atomic_t Wanted = 0; // the last signal, 0 once handled

void Note(int signal) {
    Wanted = signal;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s env-file\n", argv[0]);
        return 2;
    }
    RemoteServers servers;
    std::string reason;
    if (!servers.Start(&reason)) {
        std::fprintf(stderr, "remote servers: %s\n", reason.c_str());
        return 1;
    }
    const std::string folder = servers.NewFolder();
    {
        std::ofstream env(std::string(argv[1]) + ".part");
        env << "export DBUS_SESSION_BUS_ADDRESS='" << std::getenv("DBUS_SESSION_BUS_ADDRESS")
            << "'\nexport GVFS_REMOTE_VOLUME_MONITOR_IGNORE=1\n"
            << "REMOTE_FOLDER='" << folder << "'\nREMOTE_LOCATION='"
            << rt_text_to_os(servers.Location(folder)) << "'\n";
    }
    std::rename((std::string(argv[1]) + ".part").c_str(), argv[1]);
    for (int s : {SIGTERM, SIGINT, SIGUSR1, SIGUSR2}) std::signal(s, Note);
    for (;;) {
        pause();
        const int s = Wanted;
        Wanted = 0;
        if (s == SIGUSR1) servers.StopServer();
        if (s == SIGUSR2) servers.ResumeServer();
        if (s == SIGTERM || s == SIGINT) break;
    }
    servers.Stop();
    return 0;
}
