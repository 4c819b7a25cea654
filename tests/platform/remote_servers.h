// Private servers for the remote tests and the sftp benchmark: a session bus
// of its own, gvfsd on it, and sshd on 127.0.0.1 at a free port with a
// generated host key, where the user running the program logs in by key
// only and sftp sessions start in a temporary folder. The client's key, ssh
// configuration and known hosts are arranged (through a stand-in "ssh" on
// gvfsd's search path) so that no password is ever asked for.
//
// Start points this process's session bus at the private one, so it must
// come before GIO's first file call (GIO picks its VFS then and keeps it).
// Stop, also from the destructor, kills every process the servers started,
// by pid; each child also dies with this program (PR_SET_PDEATHSIG), and
// Start ends processes that a crashed earlier run left behind, found by a
// mark in their environment.
#pragma once
#include <string>
#include <sys/types.h>
#include <vector>

class RemoteServers {
  public:
    RemoteServers() = default;
    RemoteServers(const RemoteServers&) = delete;
    RemoteServers& operator=(const RemoteServers&) = delete;
    ~RemoteServers() { Stop(); }

    // false, with the reason, when a program is missing or a server does
    // not start; Stop then cleans up.
    bool Start(std::string* reason);
    void Stop();

    // A new empty folder on the server (a local folder the sftp server
    // serves), and location texts of local paths there.
    std::string NewFolder();
    // The same in memory (/dev/shm) where there is one, for folders of many
    // small files, which a busy disk takes seconds to create.
    std::string NewFolderInMemory();
    std::wstring Location(const std::string& path) const;
    std::wstring Root() const; // "sftp://user@127.0.0.1:port/"
    // The same server under another name: a mount and an ssh connection of
    // its own (ssh shares one connection per name, and a connection going
    // away takes a new mount that shares it along). "localhost" has a known
    // host key, "unbekannt" has none.
    std::wstring RootAs(const std::string& host) const;

    // Holds every sshd process of the server (SIGSTOP), as a server that
    // stops answering; Resume lets them go on.
    void StopServer();
    void ResumeServer();

    // For reference programs: ssh's configuration file, user and port.
    std::string ClientConfig() const { return dir_ + "/client/config"; }
    const std::string& User() const { return user_; }
    int Port() const { return port_; }

  private:
    bool Prepare();
    bool StartServers();
    std::vector<std::string> ChildEnvironment() const;
    pid_t Spawn(const std::vector<std::string>& args, const std::string& log);

    std::string dir_;  // everything of the servers lives below it
    std::string user_; // the login name
    int port_ = 0;
    pid_t sshd_ = 0; // the listening sshd; its sessions are its children
    int folders_ = 0;
    std::vector<pid_t> children_;
    std::vector<std::string> memory_folders_; // removed by Stop
};
