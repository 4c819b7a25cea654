// The remote tests' world: the private servers of remote_servers.h, started
// before the first test (a test environment) when any test of a suite whose
// name begins with "Remote" is to run, and stopped after the last one, also
// when tests fail.
#pragma once
#include <gtest/gtest.h>
#include <string>

#include "platform/remote.h"
#include "remote_servers.h"

using RemoteWorld = RemoteServers;

// Tests on the server: skipped, with the reason, without the world; each
// gets a mounted server, a call with a short limit and a new folder on the
// server. A server a test stopped goes on again when the test ends.
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

// Mounts GVfs's "localtest" backend, whose monitor watches local folders
// (sftp offers none); false when the backend is missing.
bool MountLocaltest();
