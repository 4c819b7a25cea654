// Shared set-up of the trash tests: a private home trash under a temporary
// folder ($XDG_DATA_HOME points there while a test runs), and a small tmpfs
// mounted in it for a second file system when the tests run as root.
#pragma once
#include "runtime/identity.h"
#include "runtime/text.h"
#include "test_support.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

inline std::wstring w(const std::string& s) {
    return rt_text_from_os(s);
}
inline std::string o(const std::wstring& s) {
    return rt_text_to_os(s);
}

inline bool exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

struct TrashTest : testing::Test {
    TempDir dir;
    std::string data = dir / "data";
    std::string home_trash = data + "/Trash";
    std::string mounted; // the tmpfs, once mount_second() made it
    std::string saved_data_home;
    bool had_data_home = false;

    void SetUp() override {
        const char* old = std::getenv("XDG_DATA_HOME");
        had_data_home = old != nullptr;
        if (old) saved_data_home = old;
        setenv("XDG_DATA_HOME", data.c_str(), 1);
    }
    void TearDown() override {
        if (!mounted.empty()) umount2(mounted.c_str(), MNT_DETACH);
        if (had_data_home)
            setenv("XDG_DATA_HOME", saved_data_home.c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
    }

    // Mounts a small tmpfs at dir/mnt; false (and the test skips) unless root.
    bool mount_second() {
        if (geteuid() != 0) return false;
        const std::string at = dir / "mnt";
        mkdir(at.c_str(), 0755);
        if (mount("tmpfs", at.c_str(), "tmpfs", 0, "size=4m") != 0) return false;
        mounted = at;
        return true;
    }

    RtIdentity identity_of(const std::string& path) {
        RtIdentity id;
        EXPECT_TRUE(rt_identity_take(w(path), &id)) << path;
        return id;
    }
};

inline constexpr const char* kNeedsRoot =
    "needs root, allowed to mount a tmpfs, for a second file system";
