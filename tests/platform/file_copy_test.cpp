// File copy: contents, mode, time, links, progress, and that no failure or
// cancel ever damages an existing target or leaves a partial file behind.
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/file_copy.h"
#include "runtime/syscalls.h"
#include "runtime/text.h"
#include "test_support.h"

namespace {

std::wstring w(const std::string& s) {
    return rt_text_from_os(s);
}

std::string pattern_bytes(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 7919) >> 3);
    return s;
}

std::vector<std::string> names_in(const std::string& folder) {
    std::vector<std::string> names;
    DIR* d = opendir(folder.c_str());
    while (dirent* e = d ? readdir(d) : nullptr)
        if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
            names.push_back(e->d_name);
    if (d) closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

struct Progress {
    std::vector<std::pair<int64_t, int64_t>> calls; // (total, done) per report
    int cancel_at = -1;                             // report index that cancels
};

int record(int64_t total, int64_t done, void* user) {
    auto* p = static_cast<Progress*>(user);
    p->calls.emplace_back(total, done);
    return static_cast<int>(p->calls.size()) - 1 == p->cancel_at ? 0 : 1;
}

// Restores both seams when a test ends, whatever it changed.
struct SeamGuard {
    RtSyscallsRestore rt;
    ~SeamGuard() { pf_copy_sys_reset(); }
};

int g_writes_left; // writes allowed before the fake disk is full
ssize_t write_until_full(int fd, const void* buffer, size_t n) {
    if (g_writes_left-- <= 0) {
        errno = ENOSPC;
        return -1;
    }
    return rt_syscalls_real().write(fd, buffer, n);
}

int fchmod_refused(int, mode_t) {
    errno = EPERM;
    return -1;
}

int open_no_create(const char* path, int flags, mode_t mode) {
    if (flags & O_CREAT) {
        errno = EACCES;
        return -1;
    }
    return rt_syscalls_real().open(path, flags, mode);
}

ssize_t range_cross_device(int, off64_t*, int, off64_t*, size_t, unsigned) {
    errno = EXDEV;
    return -1;
}

} // namespace

TEST(FileCopy, CopiesContentsModeAndTimeWithProgress) {
    TempDir t;
    const std::string data = pattern_bytes(3 * 1024 * 1024 + 123);
    t.write("quelle.bin", data);
    ASSERT_EQ(0, chmod((t / "quelle.bin").c_str(), 0750));
    const struct timespec times[2] = {{1000000000, 0}, {1234567890, 500}};
    ASSERT_EQ(0, utimensat(AT_FDCWD, (t / "quelle.bin").c_str(), times, 0));

    Progress p;
    ASSERT_EQ(1, pf_file_copy(w(t / "quelle.bin"), w(t / "ziel mit blank.bin"), record, &p));
    EXPECT_EQ(data, t.read("ziel mit blank.bin"));
    struct stat st;
    ASSERT_EQ(0, stat((t / "ziel mit blank.bin").c_str(), &st));
    EXPECT_EQ(0750u, st.st_mode & 07777);
    EXPECT_EQ(1234567890, st.st_mtim.tv_sec);

    ASSERT_GE(p.calls.size(), 4u); // 1 MiB chunks
    for (size_t i = 0; i < p.calls.size(); ++i) {
        EXPECT_EQ(static_cast<int64_t>(data.size()), p.calls[i].first);
        if (i > 0) {
            EXPECT_GT(p.calls[i].second, p.calls[i - 1].second);
        }
    }
    EXPECT_EQ(static_cast<int64_t>(data.size()), p.calls.back().second);
    EXPECT_EQ((std::vector<std::string>{"quelle.bin", "ziel mit blank.bin"}), names_in(t.path()));
}

TEST(FileCopy, OverwritesAndHandlesEmptyFiles) {
    TempDir t;
    t.write("leer", "");
    t.write("ziel", "alter, längerer Inhalt");
    Progress p;
    ASSERT_EQ(1, pf_file_copy(w(t / "leer"), w(t / "ziel"), record, &p));
    EXPECT_EQ("", t.read("ziel"));
    ASSERT_EQ(1u, p.calls.size()); // an empty file still reports once
    EXPECT_EQ(std::make_pair(int64_t{0}, int64_t{0}), p.calls[0]);
    EXPECT_EQ(1, pf_file_copy(w(t / "leer"), w(t / "ohne_fortschritt"), nullptr, nullptr));
}

TEST(FileCopy, SymbolicLinkIsCopiedAsLink) {
    TempDir t;
    ASSERT_EQ(0, symlink("../irgendwo/ziel", (t / "link").c_str())); // dangling on purpose
    t.write("vorhanden", "wird ersetzt");
    ASSERT_EQ(1, pf_file_copy(w(t / "link"), w(t / "kopie"), nullptr, nullptr));
    ASSERT_EQ(1, pf_file_copy(w(t / "link"), w(t / "vorhanden"), nullptr, nullptr));
    for (const char* name : {"kopie", "vorhanden"}) {
        char target[256] = {};
        ASSERT_GT(readlink((t / name).c_str(), target, sizeof target - 1), 0) << name;
        EXPECT_STREQ("../irgendwo/ziel", target);
    }
}

TEST(FileCopy, CancelKeepsTheOldTarget) {
    TempDir t;
    t.write("gross", pattern_bytes(3 * 1024 * 1024));
    t.write("ziel", "wichtige alte Daten");
    Progress p;
    p.cancel_at = 1;
    errno = 0;
    EXPECT_EQ(0, pf_file_copy(w(t / "gross"), w(t / "ziel"), record, &p));
    EXPECT_EQ(ECANCELED, errno);
    EXPECT_EQ(2u, p.calls.size());
    EXPECT_EQ("wichtige alte Daten", t.read("ziel"));
    EXPECT_EQ((std::vector<std::string>{"gross", "ziel"}), names_in(t.path()));
}

TEST(FileCopy, FullDiskMidwayKeepsTheOldTarget) {
    TempDir t;
    SeamGuard guard;
    t.write("gross", pattern_bytes(3 * 1024 * 1024));
    t.write("ziel", "alt");
    pf_copy_file_range = range_cross_device; // also proves the read/write fallback
    rt_sys.write = write_until_full;
    g_writes_left = 1;
    EXPECT_EQ(0, pf_file_copy(w(t / "gross"), w(t / "ziel"), nullptr, nullptr));
    EXPECT_EQ(ENOSPC, errno);
    EXPECT_EQ("alt", t.read("ziel"));
    EXPECT_EQ((std::vector<std::string>{"gross", "ziel"}), names_in(t.path()));

    g_writes_left = 1000; // with room, the fallback copies everything
    ASSERT_EQ(1, pf_file_copy(w(t / "gross"), w(t / "ziel"), nullptr, nullptr));
    EXPECT_EQ(t.read("gross"), t.read("ziel"));
}

TEST(FileCopy, NeverFlushesAndAFailedRenameKeepsTheOldTarget) {
    TempDir t;
    SeamGuard guard;
    t.write("a", "neu");
    t.write("ziel", "alt");
    rt_sys.fsync = [](int) { return errno = EIO, -1; }; // a copy must not wait for the disk
    rt_sys.renameat2 = [](int, const char*, int, const char*, unsigned) {
        return errno = EXDEV, -1;
    };
    EXPECT_EQ(0, pf_file_copy(w(t / "a"), w(t / "ziel"), nullptr, nullptr));
    EXPECT_EQ(EXDEV, errno);
    EXPECT_EQ("alt", t.read("ziel"));
    EXPECT_EQ((std::vector<std::string>{"a", "ziel"}), names_in(t.path()));
    rt_sys.renameat2 = rt_syscalls_real().renameat2;
    ASSERT_EQ(1, pf_file_copy(w(t / "a"), w(t / "ziel"), nullptr, nullptr));
    EXPECT_EQ("neu", t.read("ziel"));
}

TEST(FileCopy, TargetThatRefusesPermissionsStillGetsTheCopy) {
    TempDir t; // as FAT sticks and many network shares do
    SeamGuard guard;
    rt_sys.fchmod = fchmod_refused;
    t.write("a", "inhalt");
    ASSERT_EQ(1, pf_file_copy(w(t / "a"), w(t / "b"), nullptr, nullptr));
    EXPECT_EQ("inhalt", t.read("b"));
}

TEST(FileCopy, FailuresReportZero) {
    TempDir t;
    t.write("a", "inhalt");
    ASSERT_EQ(0, mkdir((t / "ordner").c_str(), 0700));
    EXPECT_EQ(0, pf_file_copy(w(t / "fehlt"), w(t / "b"), nullptr, nullptr));
    EXPECT_EQ(ENOENT, errno);
    EXPECT_EQ(0, pf_file_copy(w(t / "a"), w(t / "kein/ordner/b"), nullptr, nullptr));
    EXPECT_EQ(0, pf_file_copy(w(t / "ordner"), w(t / "b"), nullptr, nullptr)); // not a file
    EXPECT_EQ(0, pf_file_copy(w(t / "a"), w(t / "ordner"), nullptr, nullptr)); // onto a folder
    EXPECT_EQ((std::vector<std::string>{"a", "ordner"}), names_in(t.path()));
    EXPECT_TRUE(names_in(t / "ordner").empty());
}

TEST(FileCopy, UnwritableFolderFails) {
    TempDir t;
    t.write("a", "inhalt");
    ASSERT_EQ(0, mkdir((t / "gesperrt").c_str(), 0500));
    if (geteuid() != 0) { // root may write anywhere
        EXPECT_EQ(0, pf_file_copy(w(t / "a"), w(t / "gesperrt/b"), nullptr, nullptr));
        EXPECT_EQ(EACCES, errno);
    }
    SeamGuard guard; // the same refusal as the system gives, for every user
    rt_sys.open = open_no_create;
    t.write("ziel", "alt");
    EXPECT_EQ(0, pf_file_copy(w(t / "a"), w(t / "ziel"), nullptr, nullptr));
    EXPECT_EQ(EACCES, errno);
    EXPECT_EQ("alt", t.read("ziel"));
    EXPECT_TRUE(names_in(t / "gesperrt").empty());
}
