// The copy engine on real files: what a copy keeps, every fault leaving the
// source and an existing target whole, replacing only what was agreed, pause
// and cancel in the middle of a file, hard links, copies on several threads,
// paths beyond the limit and a small file system of its own.
#include <gtest/gtest.h>

#include "fs_fixtures.h"
#include "platform/copy.h"
#include "runtime/control.h"
#include "runtime/syscalls.h"
#include "runtime/tree.h"
#include "test_support.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <thread>
#include <vector>

namespace {

constexpr int64_t kMiB = 1 << 20;

std::string pattern(size_t n, int seed = 0) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 7919 + seed) >> 3);
    return s;
}

struct stat lstat_of(const std::string& path) {
    struct stat st {};
    lstat(path.c_str(), &st);
    return st;
}

int temporaries_in(const std::string& folder) {
    int count = 0;
    DIR* d = opendir(folder.c_str());
    while (dirent* e = d ? readdir(d) : nullptr)
        count += std::strncmp(e->d_name, ".tc-tmp-", 8) == 0;
    if (d) closedir(d);
    return count;
}

// State the fakes and progress hooks of a case share (one case at a time).
std::string g_dir;
int g_calls_left;
bool g_verifying;

struct CopyTest : ::testing::Test {
    TempDir t;
    RtSyscallsRestore restore;
    void SetUp() override { g_dir = t.path(); }
    void TearDown() override { pf_copy_sys_reset(); }

    PfCopyResult copy(const std::string& from, const std::string& to, PfCopyOptions o = {},
                      RtControl* control = nullptr) {
        PfCopyResult r;
        EXPECT_EQ(pf_copy_entry(from, to, o, control, &r), r.outcome);
        return r;
    }
    // Options that agree to replace what is at path now.
    static PfCopyOptions agreeing(const std::string& path, int flags = 0) {
        PfCopyOptions o;
        o.replace = PfReplaceExactly;
        o.agreed = pf_copy_identity(path);
        o.flags = flags;
        return o;
    }
};

ssize_t range_cross_device(int, off64_t*, int, off64_t*, size_t, unsigned) {
    return errno = EXDEV, -1;
}

// rt_sys.read or rt_sys.write fail with error after calls calls, on the
// read-and-write road.
int g_error;
void failing(ssize_t (**call)(int, void*, size_t), int error, int calls) {
    pf_copy_file_range = range_cross_device;
    g_error = error;
    g_calls_left = calls;
    *call = [](int fd, void* b, size_t n) -> ssize_t {
        if (g_calls_left-- <= 0) return errno = g_error, -1;
        return rt_syscalls_real().read(fd, b, n);
    };
}
void failing(ssize_t (**call)(int, const void*, size_t), int error, int calls) {
    pf_copy_file_range = range_cross_device;
    g_error = error;
    g_calls_left = calls;
    *call = [](int fd, const void* b, size_t n) -> ssize_t {
        if (g_calls_left-- <= 0) return errno = g_error, -1;
        return rt_syscalls_real().write(fd, b, n);
    };
}

// rt_sys.open refuses every path holding part.
std::string g_refused_part;
void refusing_open(const std::string& part) {
    g_refused_part = part;
    rt_sys.open = [](const char* path, int flags, mode_t mode) {
        if (std::strstr(path, g_refused_part.c_str())) return errno = EACCES, -1;
        return rt_syscalls_real().open(path, flags, mode);
    };
}

// Reading back after the flush fails with error, or with 0 gives back
// other bytes than were written.
void reading_back(int error) {
    g_error = error;
    g_verifying = false;
    rt_sys.fdatasync = [](int fd) {
        g_verifying = true;
        return rt_syscalls_real().fdatasync(fd);
    };
    rt_sys.read = [](int fd, void* b, size_t n) -> ssize_t {
        if (g_verifying && g_error) return errno = g_error, -1;
        const ssize_t r = rt_syscalls_real().read(fd, b, n);
        if (g_verifying && r > 0) static_cast<char*>(b)[0] ^= 1;
        return r;
    };
}

int place_anything(const char* path) {
    return std::system(("echo anders > '" + g_dir + "/" + path + "'").c_str());
}

} // namespace

TEST_F(CopyTest, KeepsWhatCpAKeeps) {
    const bool root = geteuid() == 0;
    const struct timespec times[2] = {{1000000000, 123456789}, {1234567890, 987654321}};
    t.write("datei", "inhalt");
    ASSERT_EQ(chmod((t / "datei").c_str(), root ? 06751 : 0751), 0);
    const bool attributes = setxattr((t / "datei").c_str(), "user.notiz", "x", 1, 0) == 0;
    if (root) {
        ASSERT_EQ(chown((t / "datei").c_str(), 1234, 5678), 0);
        ASSERT_EQ(chmod((t / "datei").c_str(), 06751), 0); // chown cleared set-id
    }
    ASSERT_EQ(utimensat(AT_FDCWD, (t / "datei").c_str(), times, 0), 0);
    ASSERT_EQ(symlink("irgendwo/hin", (t / "link").c_str()), 0);
    ASSERT_EQ(utimensat(AT_FDCWD, (t / "link").c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
    ASSERT_EQ(mkfifo((t / "fifo").c_str(), 0640), 0);
    ASSERT_EQ(utimensat(AT_FDCWD, (t / "fifo").c_str(), times, 0), 0);
    FifoWriter writer(t / "fifo", t / "released");
    for (const char* name : {"datei", "link", "fifo"}) {
        const PfCopyResult r = copy(t / name, t / (std::string(name) + ".kopie"));
        ASSERT_EQ(r.outcome, PfCopyDone) << name;
        const struct stat a = lstat_of(t / name), b = lstat_of(t / (std::string(name) + ".kopie"));
        EXPECT_EQ(a.st_mode, b.st_mode) << name;
        EXPECT_EQ(b.st_mtim.tv_sec, times[1].tv_sec) << name;
        EXPECT_EQ(b.st_mtim.tv_nsec, times[1].tv_nsec) << name;
        EXPECT_EQ(b.st_atim.tv_nsec, times[0].tv_nsec) << name;
        EXPECT_EQ(b.st_uid, a.st_uid) << name;
        EXPECT_EQ(b.st_gid, a.st_gid) << name;
    }
    EXPECT_FALSE(writer.released()) << "a FIFO is recreated, never opened";
    EXPECT_EQ(t.read("datei.kopie"), "inhalt");
    char value[4] = {};
    if (attributes) {
        EXPECT_EQ(getxattr((t / "datei.kopie").c_str(), "user.notiz", value, 4), 1);
    }
    char text[32] = {};
    EXPECT_EQ(readlink((t / "link.kopie").c_str(), text, sizeof text), 12);

    // a device node is made anew (only root may); a socket is not copied
    if (root) {
        ASSERT_EQ(mknod((t / "null").c_str(), S_IFCHR | 0640, makedev(1, 3)), 0);
        EXPECT_EQ(copy(t / "null", t / "null.kopie").outcome, PfCopyDone);
        EXPECT_EQ(lstat_of(t / "null.kopie").st_rdev, makedev(1, 3));
        EXPECT_EQ(lstat_of(t / "null.kopie").st_mode, S_IFCHR | 0640);
    }
    ASSERT_TRUE(make_socket(t / "sock"));
    EXPECT_EQ(copy(t / "sock", t / "sock.kopie").outcome, PfCopyNotCopied);
    EXPECT_EQ(lstat_of(t / "sock.kopie").st_mode, 0u);
    EXPECT_EQ(temporaries_in(t.path()), 0);
}

TEST_F(CopyTest, SparseFilesStayPlainOrVerified) {
    const int fd = open((t / "loch").c_str(), O_WRONLY | O_CREAT, 0644);
    const std::string data = pattern(64 << 10);
    ASSERT_EQ(pwrite(fd, data.data(), data.size(), 0), static_cast<ssize_t>(data.size()));
    ASSERT_EQ(pwrite(fd, data.data(), data.size(), 6 * kMiB), static_cast<ssize_t>(data.size()));
    ASSERT_EQ(ftruncate(fd, 16 * kMiB), 0); // a hole at the end too
    close(fd);
    for (const int flags : {0, int{PfCopyVerify}}) {
        PfCopyOptions o;
        o.flags = flags;
        const std::string name = "loch.kopie" + std::to_string(flags);
        const PfCopyResult r = copy(t / "loch", t / name, o);
        ASSERT_EQ(r.outcome, PfCopyDone);
        EXPECT_EQ(t.read(name), t.read("loch"));
        EXPECT_LT(lstat_of(t / name).st_blocks * 512, 2 * kMiB) << "holes stay holes";
        EXPECT_EQ(r.bytes, 16 * kMiB);
    }
}

// Each fault in the middle of a 3 MiB copy over an existing target: the
// failure is named by step and errno, the source and the old target are
// whole, and no temporary stays.
TEST_F(CopyTest, FaultsNameTheStepAndKeepSourceAndTarget) {
    struct Fault {
        const char* name;
        void (*install)();
        PfCopyProgressFn during; // runs after every chunk
        int flags;
        int outcome, step, error;
        bool source_kept; // false: the case changes the source itself
    };
    static const auto full_after_one = [] { failing(&rt_sys.write, ENOSPC, 1); };
    static const auto read_fails = [] { failing(&rt_sys.read, EIO, 1); };
    static const auto short_writes = [] {
        pf_copy_file_range = range_cross_device;
        rt_sys.write = [](int fd, const void* b, size_t n) {
            return rt_syscalls_real().write(fd, b, n > 1000 ? n / 3 : n);
        };
    };
    static const auto kernel_eio = [] {
        pf_copy_file_range = [](int, off64_t*, int, off64_t*, size_t, unsigned) -> ssize_t {
            return errno = EIO, -1;
        };
    };
    static const auto no_temporary = [] { refusing_open("/.tc-tmp-"); };
    static const auto source_unreadable = [] { refusing_open("/quelle"); };
    static const auto no_rename = [] {
        rt_sys.renameat2 = [](int, const char*, int, const char*, unsigned) {
            return errno = EPERM, -1;
        };
        rt_sys.linkat = [](int, const char*, int, const char*, int) { return errno = EPERM, -1; };
    };
    static const auto sync_fails = [] { rt_sys.fdatasync = [](int) { return errno = EIO, -1; }; };
    static const auto no_direct_reads = [] {
        rt_sys.open = [](const char* path, int flags, mode_t mode) {
            if (flags & O_DIRECT) return errno = EINVAL, -1;
            return rt_syscalls_real().open(path, flags, mode);
        };
    };
    static const auto read_back_differs = [] { reading_back(0); };
    static const auto read_back_fails = [] { reading_back(EIO); };
    const auto truncate_source = [](int64_t, int64_t, void*) {
        return truncate((g_dir + "/quelle").c_str(), 1000) + 1;
    };
    const auto grow_source = [](int64_t, int64_t, void*) {
        return std::system(("echo mehr >> '" + g_dir + "/quelle'").c_str()) + 1;
    };
    const auto delete_source = [](int64_t, int64_t, void*) {
        unlink((g_dir + "/quelle").c_str()); // at every chunk: fails after the first
        return 1;
    };
    const auto delete_target_folder = [](int64_t, int64_t, void*) {
        return std::system(("rm -rf '" + g_dir + "/out'").c_str()) + 1;
    };
    const auto nothing = [] {};
    const Fault faults[] = {
        {"disk full", full_after_one, nullptr, 0, PfCopyFailed, PfStepWriteTarget, ENOSPC, true},
        {"read error", read_fails, nullptr, 0, PfCopyFailed, PfStepReadSource, EIO, true},
        {"short writes", short_writes, nullptr, 0, PfCopyDone, PfStepNone, 0, true},
        {"kernel copy error", kernel_eio, nullptr, 0, PfCopyDone, PfStepNone, 0, true},
        {"source unreadable", source_unreadable, nullptr, 0, PfCopyFailed, PfStepOpenSource, EACCES,
         true},
        {"no temporary", no_temporary, nullptr, 0, PfCopyFailed, PfStepCreateTarget, EACCES, true},
        {"no rename", no_rename, nullptr, 0, PfCopyFailed, PfStepReplace, EPERM, true},
        {"sync fails", sync_fails, nullptr, PfCopyVerify, PfCopyFailed, PfStepSyncTarget, EIO,
         true},
        {"read back without O_DIRECT", no_direct_reads, nullptr, PfCopyVerify, PfCopyDone,
         PfStepNone, 0, true},
        {"read back differs", read_back_differs, nullptr, PfCopyVerify, PfCopyMismatch,
         PfStepVerify, EIO, true},
        {"read back fails", read_back_fails, nullptr, PfCopyVerify, PfCopyFailed, PfStepVerify, EIO,
         true},
        {"source truncated", nothing, truncate_source, 0, PfCopySourceChanged, PfStepReadSource,
         EAGAIN, false},
        {"source grown", nothing, grow_source, 0, PfCopySourceChanged, PfStepReadSource, EAGAIN,
         false},
        {"source deleted", nothing, delete_source, 0, PfCopyDone, PfStepNone, 0, false},
        {"target folder deleted", nothing, delete_target_folder, 0, PfCopyFailed, PfStepReplace,
         ENOENT, false},
    };
    const std::string data = pattern(3 * kMiB + 17);
    for (const Fault& f : faults) {
        SCOPED_TRACE(f.name);
        t.write("quelle", data);
        mkdir((t / "out").c_str(), 0755); // again after the case that deletes it
        t.write("out/ziel", "alt");
        PfCopyOptions o = agreeing(t / "out/ziel", f.flags);
        o.progress = f.during;
        f.install();
        const PfCopyResult r = copy(t / "quelle", t / "out/ziel", o);
        rt_sys = rt_syscalls_real();
        pf_copy_sys_reset();
        EXPECT_EQ(r.outcome, f.outcome);
        EXPECT_EQ(r.step, f.step);
        EXPECT_EQ(r.error, f.error);
        if (f.source_kept) {
            EXPECT_EQ(t.read("quelle"), data);
            EXPECT_EQ(t.read("out/ziel"), f.outcome == PfCopyDone ? data : "alt");
        }
        EXPECT_EQ(temporaries_in(t / "out"), 0);
        EXPECT_FALSE(pf_copy_reason(r).empty() && f.outcome != PfCopyDone);
    }
}

// A large verified copy is read back past the cache while it is written:
// what comes back different or not at all is a failure, the agreed target
// stays, no temporary is left. Where the file system refuses O_DIRECT reads
// there is nothing to corrupt this way, and the case says nothing.
TEST_F(CopyTest, LargeVerifiedCopyReadBackWhileWritten) {
    static int direct_error;
    static int direct_reads;
    static const auto direct = [](int fd) { return (fcntl(fd, F_GETFL) & O_DIRECT) != 0; };
    rt_sys.read = [](int fd, void* b, size_t n) -> ssize_t {
        if (!direct(fd)) return rt_syscalls_real().read(fd, b, n);
        ++direct_reads;
        if (direct_error > 0) return errno = direct_error, -1;
        const ssize_t r = rt_syscalls_real().read(fd, b, n);
        if (direct_error < 0 && r > 0) static_cast<char*>(b)[r / 2] ^= 1;
        return r;
    };
    const std::string data = pattern(40 * kMiB + 5);
    t.write("quelle", data);
    struct Case {
        int error; // -1: a byte read back differs
        int outcome;
    } cases[] = {{0, PfCopyDone}, {-1, PfCopyMismatch}, {EIO, PfCopyFailed}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        t.write("ziel", "alt");
        direct_error = c.error;
        direct_reads = 0;
        const PfCopyResult r = copy(t / "quelle", t / "ziel", agreeing(t / "ziel", PfCopyVerify));
        if (direct_reads == 0) GTEST_SKIP() << "no O_DIRECT here";
        EXPECT_EQ(r.outcome, c.outcome);
        EXPECT_EQ(t.read("ziel"), c.outcome == PfCopyDone ? data : "alt");
        EXPECT_EQ(temporaries_in(t.path()), 0);
    }
}

// The last step replaces nothing the caller did not agree to, whatever
// appears or changes at the name meanwhile, and on file systems that lack
// the atomic renames.
TEST_F(CopyTest, ReplacesOnlyWhatWasAgreed) {
    struct Case {
        const char* name;
        bool existing;              // "alt" is at the target when the user is asked
        bool agree;                 // PfReplaceExactly with its identity, else PfReplaceNever
        int (*before)(const char*); // after asking, before the copy
        PfCopyProgressFn during;
        void (*install)();
        int outcome;
        const char* left; // the target's contents afterwards ("" = the copy)
    };
    const auto none = [](const char*) { return 0; };
    const auto remove_it = [](const char* path) { return unlink((g_dir + "/" + path).c_str()); };
    const auto appears = [](int64_t, int64_t, void*) { return place_anything("ziel") + 1; };
    const auto real = [] {};
    static const auto no_noreplace = [] {
        rt_sys.renameat2 = [](int a, const char* f, int b, const char* t, unsigned flags) {
            if (flags) return errno = EINVAL, -1;
            return rt_syscalls_real().renameat2(a, f, b, t, 0);
        };
    };
    static const auto no_noreplace_no_links = [] {
        no_noreplace();
        rt_sys.linkat = [](int, const char*, int, const char*, int) { return errno = EPERM, -1; };
    };
    // someone writes the target in the moment before the exchange
    static const auto swapped_at_the_last_moment = [] {
        rt_sys.renameat2 = [](int a, const char* f, int b, const char* t, unsigned flags) {
            if (flags & RENAME_EXCHANGE) place_anything("ziel");
            return rt_syscalls_real().renameat2(a, f, b, t, flags);
        };
    };
    const Case cases[] = {
        {"free name", false, false, none, nullptr, real, PfCopyDone, ""},
        {"exists", true, false, none, nullptr, real, PfCopyTargetExists, "alt\n"},
        {"appears during the copy", false, false, none, appears, real, PfCopyTargetExists,
         "anders\n"},
        {"agreed", true, true, none, nullptr, real, PfCopyDone, ""},
        {"changed after asking", true, true, place_anything, nullptr, real, PfCopyTargetChanged,
         "anders\n"},
        {"changed during the copy", true, true, none, appears, real, PfCopyTargetChanged,
         "anders\n"},
        {"changed at the last moment", true, true, none, nullptr, swapped_at_the_last_moment,
         PfCopyTargetChanged, "anders\n"},
        {"deleted after asking", true, true, remove_it, nullptr, real, PfCopyDone, ""},
        {"no noreplace: free", false, false, none, nullptr, no_noreplace, PfCopyDone, ""},
        {"no noreplace: appears", false, false, none, appears, no_noreplace, PfCopyTargetExists,
         "anders\n"},
        {"no noreplace, no links: free", false, false, none, nullptr, no_noreplace_no_links,
         PfCopyDone, ""},
        {"no noreplace, no links: exists", true, false, none, nullptr, no_noreplace_no_links,
         PfCopyTargetExists, "alt\n"},
        {"no exchange: agreed", true, true, none, nullptr, no_noreplace, PfCopyDone, ""},
    };
    t.write("quelle", "neu");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        unlink((t / "ziel").c_str());
        if (c.existing) t.write("ziel", "alt\n");
        PfCopyOptions o = c.agree ? agreeing(t / "ziel") : PfCopyOptions{};
        c.before("ziel");
        o.progress = c.during;
        c.install();
        const PfCopyResult r = copy(t / "quelle", t / "ziel", o);
        rt_sys = rt_syscalls_real();
        EXPECT_EQ(r.outcome, c.outcome);
        EXPECT_EQ(t.read("ziel"), *c.left ? c.left : "neu");
        EXPECT_EQ(t.read("quelle"), "neu");
        EXPECT_EQ(temporaries_in(t.path()), 0);
    }
}

TEST_F(CopyTest, PausesAndCancelsInTheMiddleOfALargeFile) {
    const std::string data = pattern(48 * kMiB, 5);
    t.write("gross", data);
    for (const bool cancel : {false, true}) {
        SCOPED_TRACE(cancel ? "cancel" : "pause");
        t.write("ziel", "alt");
        static RtControl* control;
        static bool cancelling;
        RtControl c;
        control = &c;
        cancelling = cancel;
        PfCopyOptions o = agreeing(t / "ziel");
        o.progress = [](int64_t, int64_t done, void*) {
            if (done == 8 * kMiB)
                cancelling ? rt_control_cancel(control) : rt_control_pause(control);
            return 1;
        };
        PfCopyResult r;
        std::thread worker([&] { pf_copy_entry(t / "gross", t / "ziel", o, &c, &r); });
        if (!cancel) {
            while (c.bytes < 8 * kMiB) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            EXPECT_EQ(c.bytes, 8 * kMiB) << "paused: not a byte more";
            EXPECT_EQ(temporaries_in(t.path()), 1);
            rt_control_resume(&c);
        }
        worker.join();
        EXPECT_EQ(r.outcome, cancel ? PfCopyCancelled : PfCopyDone);
        EXPECT_EQ(t.read("ziel"), cancel ? "alt" : data); // resumed at the byte it stopped at
        EXPECT_EQ(temporaries_in(t.path()), 0);
    }
}

TEST_F(CopyTest, HardLinksStayOneFileAcrossThreads) {
    // four threads copy 20 files each; two of them copy two names of one file
    const std::string big = pattern(8 * kMiB);
    t.write("eins", big);
    ASSERT_EQ(link((t / "eins").c_str(), (t / "zwei").c_str()), 0);
    for (int i = 0; i < 80; ++i) t.write("f" + std::to_string(i), pattern(5000, i));
    ASSERT_EQ(mkdir((t / "out").c_str(), 0755), 0);
    PfCopyLinks links;
    std::vector<std::thread> threads;
    std::atomic<int> failures{0};
    for (int n = 0; n < 4; ++n)
        threads.emplace_back([&, n] {
            PfCopyOptions o;
            o.links = &links;
            PfCopyResult r;
            for (int i = n; i < 80; i += 4) {
                const std::string name = "f" + std::to_string(i);
                failures += pf_copy_entry(t / name, t / ("out/" + name), o, nullptr, &r) != 0;
            }
            if (n < 2) {
                const char* name = n == 0 ? "eins" : "zwei";
                failures += pf_copy_entry(t / name, t / "out/" + name, o, nullptr, &r) != 0;
            }
        });
    for (std::thread& th : threads) th.join();
    EXPECT_EQ(failures, 0);
    for (int i = 0; i < 80; i += 7)
        EXPECT_EQ(t.read("out/f" + std::to_string(i)), pattern(5000, i));
    EXPECT_EQ(lstat_of(t / "out/eins").st_ino, lstat_of(t / "out/zwei").st_ino);
    EXPECT_EQ(lstat_of(t / "out/eins").st_nlink, 2u);
    EXPECT_EQ(t.read("out/zwei"), big);
}

TEST_F(CopyTest, FoldersGetTheirModeAndTimesAfterTheirContents) {
    const struct timespec times[2] = {{1000000000, 5}, {1200000000, 7}};
    for (const mode_t mode : {mode_t{0500}, mode_t{01777}, mode_t{02750}}) {
        const std::string source = t / ("quelle" + std::to_string(mode));
        const std::string target = t / ("ziel" + std::to_string(mode));
        ASSERT_EQ(mkdir(source.c_str(), 0755), 0);
        ASSERT_EQ(chmod(source.c_str(), mode), 0);
        ASSERT_EQ(utimensat(AT_FDCWD, source.c_str(), times, 0), 0);
        std::vector<RtTreeEntry> collected;
        ASSERT_EQ(rt_tree_collect(source, &collected, nullptr, nullptr, nullptr), RtTreeComplete);
        PfCopyResult r;
        ASSERT_EQ(pf_copy_folder_create(target, &r), PfCopyDone);
        EXPECT_EQ(lstat_of(target).st_mode & 07777, 0700u) << "private while it is filled";
        t.write("ziel" + std::to_string(mode) + "/inhalt", "x"); // a read-only one too
        EXPECT_EQ(pf_copy_folder_create(target, &r), PfCopyTargetExists);
        EXPECT_EQ(pf_copy_folder_finish(source, target, collected[0]), 1);
        EXPECT_EQ(lstat_of(target).st_mode & 07777, mode);
        EXPECT_EQ(lstat_of(target).st_mtim.tv_nsec, 7);
    }
    t.write("datei", "");
    PfCopyResult r;
    EXPECT_EQ(pf_copy_folder_create(t / "datei", &r), PfCopyFailed);
    EXPECT_EQ(r.error, EEXIST);
}

TEST_F(CopyTest, PathsBeyondTheLimit) {
    const std::string bottom = make_deep_folders(t.path(), 25, 200, "tief unten");
    ASSERT_GT(bottom.size(), size_t{PATH_MAX});
    const std::string copy_of = t / "kopie";
    ASSERT_EQ(mkdir(copy_of.c_str(), 0755), 0);
    std::string target = copy_of;
    PfCopyResult r;
    for (int level = 0; level < 25; ++level) {
        target += "/" + deep_name(level, 200);
        ASSERT_EQ(pf_copy_folder_create(target, &r), PfCopyDone) << level;
    }
    EXPECT_EQ(copy(bottom + "/blatt.txt", target + "/blatt.txt").outcome, PfCopyDone);
    EXPECT_EQ(pf_copy_identity(target + "/blatt.txt").size, 10);
    EXPECT_EQ(copy(bottom + "/blatt.txt", target + "/blatt.txt").outcome, PfCopyTargetExists);
}

// A real small file system: full in the middle of a file, read-only, and a
// file system boundary between source and target.
TEST_F(CopyTest, OnASmallFileSystemOfItsOwn) {
    SmallFs fs(t / "klein", "1m");
    if (!fs.mounted()) GTEST_SKIP() << "needs root to mount a tmpfs";
    const std::string data = pattern(3 * kMiB);
    t.write("gross", data);
    t.write("klein/ziel", "alt");
    PfCopyResult r = copy(t / "gross", t / "klein/ziel", agreeing(t / "klein/ziel"));
    EXPECT_EQ(r.outcome, PfCopyFailed);
    EXPECT_EQ(r.step, PfStepWriteTarget);
    EXPECT_EQ(r.error, ENOSPC);
    EXPECT_EQ(pf_copy_reason(r), L"Kein Speicherplatz");
    EXPECT_EQ(t.read("klein/ziel"), "alt");
    EXPECT_EQ(temporaries_in(t / "klein"), 0);
    EXPECT_EQ(copy(t / "klein/ziel", t / "zurueck").outcome, PfCopyDone); // across file systems
    EXPECT_EQ(t.read("zurueck"), "alt");
    ASSERT_TRUE(fs.read_only());
    r = copy(t / "zurueck", t / "klein/neu");
    EXPECT_EQ(r.error, EROFS);
    EXPECT_EQ(pf_copy_reason(r), L"Schreibgeschützt");
}
