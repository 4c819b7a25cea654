// A private world of real servers for the remote tests: a session bus of
// its own, gvfsd on it, and sshd on 127.0.0.1 at a free port with a
// generated host key, where the user running the tests logs in by key only
// and sftp sessions start in a temporary folder. The client's key, ssh
// configuration and known hosts are arranged (through a stand-in "ssh" on
// gvfsd's search path) so that no password is ever asked for.
//
// GIO picks its VFS at the first file call of the process and keeps it, so
// the world starts before the first test (a test environment), when any
// test of a suite whose name begins with "Remote" is to run. It stops after
// the last test, also when tests fail: every process it started is killed
// by its pid. Each child also dies with the test program (PR_SET_PDEATHSIG),
// and processes a crashed earlier run left are found at the next start by a
// mark in their environment and ended.
//
// Tests use RemoteWorld::Get() and skip (with the reason) when it is null.
#pragma once
#include <gtest/gtest.h>
#include <string>

#include "platform/remote.h"

class RemoteWorld {
  public:
    // The running world, or null (then SkipReason() tells why).
    static RemoteWorld* Get();
    static const std::string& SkipReason();

    // A new empty folder on the server (a local folder the sftp server
    // serves), and its location text.
    std::string NewFolder();
    std::wstring Location(const std::string& path) const;
    // The top of the server, "sftp://user@127.0.0.1:port/".
    std::wstring Root() const;

    // Holds every sshd process of the server (SIGSTOP), as a server that
    // stops answering; Resume lets them go on.
    void StopServer();
    void ResumeServer();

    // Empties the client's known hosts: the next login asks about the key.
    void ForgetHostKey();

    const std::string& Dir() const { return dir_; }

  private:
    friend class RemoteEnvironment;
    std::string dir_;  // everything of the world lives below it
    std::string user_; // the login name
    int port_ = 0;
    int folders_ = 0;
};

// Tests on the server: skipped without the world; each gets a mounted
// server, a call with a short limit and a new folder on the server. A
// server a test stopped goes on again when the test ends.
class RemoteTest : public testing::Test {
  protected:
    static constexpr int kLimitMs = 1500;

    void SetUp() override;
    void TearDown() override;

    // The location text of a name in the test's folder.
    std::wstring At(const std::string& name) const;
    // The local path of a name in the test's folder.
    std::string Local(const std::string& name) const { return folder + "/" + name; }

    RemoteWorld* world = nullptr;
    PfRemoteCall* call = nullptr;
    std::string folder; // local path of the test's folder on the server
};
