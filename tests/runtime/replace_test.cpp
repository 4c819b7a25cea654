// Whole-file replacement: a failure at any step (write, fsync, close,
// rename, folder flush) or an abort leaves the old target byte-identical and
// no temporary file behind; a copy-style replacement never flushes.
#include "runtime/replace.h"
#include "runtime/syscalls.h"
#include "test_support.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr int kSettings = RtReplaceSync | RtReplaceFollowLink | RtReplaceLikeOld;

std::vector<std::string> names_in(const TempDir& dir) {
    std::vector<std::string> names;
    DIR* d = opendir(dir.path().c_str());
    while (dirent* e = readdir(d))
        if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
            names.push_back(e->d_name);
    closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

bool is_folder(int fd) {
    struct stat st;
    return rt_syscalls_real().fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
}

int g_file_syncs, g_folder_syncs;
int counting_fsync(int fd) {
    ++(is_folder(fd) ? g_folder_syncs : g_file_syncs);
    return rt_syscalls_real().fsync(fd);
}

struct Fault {
    const char* step;
    void (*install)(RtSyscalls&);
};

const Fault kFaults[] = {
    {"write",
     [](RtSyscalls& s) {
         s.write = [](int, const void*, size_t) -> ssize_t { return errno = ENOSPC, -1; };
     }},
    {"file fsync",
     [](RtSyscalls& s) {
         s.fsync = [](int fd) {
             return is_folder(fd) ? rt_syscalls_real().fsync(fd) : (errno = EIO, -1);
         };
     }},
    {"close",
     [](RtSyscalls& s) {
         s.close = [](int fd) {
             rt_syscalls_real().close(fd);
             return is_folder(fd) ? 0 : (errno = EIO, -1);
         };
     }},
    {"rename",
     [](RtSyscalls& s) { s.rename = [](const char*, const char*) { return errno = EXDEV, -1; }; }},
    {"folder fsync",
     [](RtSyscalls& s) {
         s.fsync = [](int fd) {
             return is_folder(fd) ? (errno = EIO, -1) : rt_syscalls_real().fsync(fd);
         };
     }},
};

} // namespace

TEST(Replace, EveryFailingStepLeavesTheOldTargetAndNoTemporaryFile) {
    RtSyscallsRestore restore;
    for (const Fault& fault : kFaults) {
        SCOPED_TRACE(fault.step);
        TempDir dir;
        dir.write("t", "old contents");
        chmod((dir / "t").c_str(), 0640);
        rt_sys = rt_syscalls_real();
        fault.install(rt_sys);
        EXPECT_FALSE(rt_replace_file(dir / "t", "new contents", kSettings));
        rt_sys = rt_syscalls_real();
        EXPECT_EQ(dir.read("t"), "old contents");
        EXPECT_EQ(names_in(dir), std::vector<std::string>{"t"});
        struct stat st;
        ASSERT_EQ(stat((dir / "t").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0640u);
    }
}

TEST(Replace, FailingStepsForANewTargetLeaveNothing) {
    RtSyscallsRestore restore;
    for (const Fault& fault : kFaults) {
        SCOPED_TRACE(fault.step);
        TempDir dir;
        rt_sys = rt_syscalls_real();
        fault.install(rt_sys);
        EXPECT_FALSE(rt_replace_file(dir / "t", "new", kSettings));
        rt_sys = rt_syscalls_real();
        EXPECT_TRUE(names_in(dir).empty());
    }
}

TEST(Replace, SettingsAreFlushedAndCopiesAreNot) {
    RtSyscallsRestore restore;
    TempDir dir;
    dir.write("t", "old");
    rt_sys.fsync = counting_fsync;
    g_file_syncs = g_folder_syncs = 0;
    ASSERT_TRUE(rt_replace_file(dir / "t", "settings", kSettings));
    EXPECT_EQ(dir.read("t"), "settings");
    EXPECT_EQ(g_file_syncs, 1);
    EXPECT_EQ(g_folder_syncs, 1);
    g_file_syncs = g_folder_syncs = 0;
    ASSERT_TRUE(rt_replace_file(dir / "t", "copy", 0));
    EXPECT_EQ(dir.read("t"), "copy");
    EXPECT_EQ(g_file_syncs + g_folder_syncs, 0);
    EXPECT_EQ(names_in(dir), std::vector<std::string>{"t"});
}

TEST(Replace, FolderThatCannotBeFlushedStillSucceeds) {
    RtSyscallsRestore restore;
    TempDir dir;
    dir.write("t", "old");
    rt_sys.fsync = [](int fd) {
        return is_folder(fd) ? (errno = EINVAL, -1) : rt_syscalls_real().fsync(fd);
    };
    EXPECT_TRUE(rt_replace_file(dir / "t", "new", kSettings));
    EXPECT_EQ(dir.read("t"), "new");
    EXPECT_EQ(names_in(dir), std::vector<std::string>{"t"});
}

TEST(Replace, StreamingWriteAbortAndCommit) {
    TempDir dir;
    dir.write("t", "old");
    RtReplace r;
    ASSERT_TRUE(rt_replace_open(&r, dir / "t", 0, 0600));
    EXPECT_TRUE(rt_replace_write(&r, "half"));
    EXPECT_EQ(names_in(dir).size(), 2u); // the temporary file is hidden beside the target
    errno = ECANCELED;
    rt_replace_abort(&r);
    EXPECT_EQ(errno, ECANCELED);
    EXPECT_EQ(dir.read("t"), "old");
    EXPECT_EQ(names_in(dir), std::vector<std::string>{"t"});
    rt_replace_abort(&r); // a second abort does nothing

    ASSERT_TRUE(rt_replace_open(&r, dir / "t", 0, 0600));
    for (const char* chunk : {"one ", "two ", "three"}) EXPECT_TRUE(rt_replace_write(&r, chunk));
    EXPECT_GE(rt_replace_fd(&r), 0);
    ASSERT_TRUE(rt_replace_commit(&r));
    EXPECT_EQ(dir.read("t"), "one two three");
    EXPECT_FALSE(rt_replace_commit(&r)); // closed after the first commit
    EXPECT_EQ(names_in(dir), std::vector<std::string>{"t"});
}

TEST(Replace, LinksAndNonFiles) {
    TempDir dir;
    dir.write("real", "old");
    ASSERT_EQ(symlink("real", (dir / "link").c_str()), 0);
    ASSERT_TRUE(rt_replace_file(dir / "link", "through", kSettings));
    EXPECT_EQ(dir.read("real"), "through");
    struct stat st;
    ASSERT_EQ(lstat((dir / "link").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    // without following, the link itself is replaced by a file
    ASSERT_TRUE(rt_replace_file(dir / "link", "own", 0));
    ASSERT_EQ(lstat((dir / "link").c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(dir.read("real"), "through");
    // a folder is never replaced
    ASSERT_EQ(mkdir((dir / "sub").c_str(), 0755), 0);
    EXPECT_FALSE(rt_replace_possible(dir / "sub", kSettings));
    EXPECT_FALSE(rt_replace_file(dir / "sub", "x", kSettings));
    EXPECT_EQ(errno, EISDIR);
    EXPECT_TRUE(rt_replace_possible(dir / "new", kSettings));
    EXPECT_EQ(names_in(dir), (std::vector<std::string>{"link", "real", "sub"}));
}

TEST(Replace, LongestNameStillGetsATemporaryFile) {
    TempDir dir;
    const std::string name(255, 'n');
    ASSERT_TRUE(rt_replace_file(dir / name, "x", kSettings));
    EXPECT_EQ(dir.read(name), "x");
    EXPECT_EQ(names_in(dir), std::vector<std::string>{name});
}

TEST(Replace, StaleFilesGoOnlyWhenTheirWriterIsGone) {
    RtSyscallsRestore restore;
    TempDir dir;
    dir.write("t", "old");
    dir.write(".tc-tmp-999999-1", "stale");
    // The writer still runs (or cannot be asked): its file stays.
    rt_sys.kill = [](pid_t, int) { return 0; };
    rt_replace_remove_stale(dir / "t");
    EXPECT_EQ(names_in(dir), (std::vector<std::string>{".tc-tmp-999999-1", "t"}));
    rt_sys.kill = [](pid_t, int) { return errno = EPERM, -1; };
    rt_replace_remove_stale(dir / "t");
    EXPECT_EQ(names_in(dir).size(), 2u);
    rt_sys.kill = [](pid_t, int) { return errno = ESRCH, -1; };
    rt_replace_remove_stale(dir / "t");
    EXPECT_EQ(names_in(dir), (std::vector<std::string>{"t"}));
}

TEST(Replace, StaleFileWithOurOwnPidGoesWhenOlderThanThisProcess) {
    TempDir dir;
    const std::string pid = std::to_string(getpid());
    dir.write(".tc-tmp-" + pid + "-1", "left by an earlier process with our pid");
    dir.write(".tc-tmp-" + pid + "-2", "ours, being written");
    const struct timespec an_hour_ago[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, (dir / (".tc-tmp-" + pid + "-1")).c_str(), an_hour_ago, 0), 0);
    rt_replace_remove_stale_in(dir.path());
    EXPECT_EQ(names_in(dir), std::vector<std::string>{".tc-tmp-" + pid + "-2"});
}
