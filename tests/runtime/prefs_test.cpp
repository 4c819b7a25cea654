// Preference files: exact bytes written, tolerant reading, placement of new
// groups, entries and comments, per-thread files, and that a failed or
// interrupted write never damages the old file.
#include "runtime/prefs.h"
#include "runtime/syscalls.h"
#include "runtime/text.h"
#include "test_support.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

const std::string kHeader = "\xEF\xBB\xBF\r\n";

std::wstring wpath(const TempDir& dir, const std::string& name) {
    return rt_text_from_os(dir / name);
}

// Opens `bytes` as a preference file; the test then reads from it.
void open_with(const TempDir& dir, const std::string& bytes) {
    dir.write("p.pref", bytes);
    ASSERT_NE(rt_pref_open(wpath(dir, "p.pref")), 0);
}

int count_files(const TempDir& dir) {
    int n = 0;
    DIR* d = opendir(dir.path().c_str());
    while (dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        n += name != "." && name != ".."; // temporary files start with "."
    }
    closedir(d);
    return n;
}

} // namespace

TEST(Prefs, WritesTheExactBytes) {
    TempDir dir;
    dir.write("Settings.pref", "old contents");
    ASSERT_NE(rt_pref_create(wpath(dir, "Settings.pref")), 0);
    EXPECT_EQ(rt_pref_close(), 1);
    EXPECT_EQ(dir.read("Settings.pref"), kHeader); // nothing written: the header only

    ASSERT_NE(rt_pref_create(wpath(dir, "Settings.pref")), 0);
    rt_pref_write_comment(L"Die Kordinaten vom Fenster");
    EXPECT_EQ(rt_pref_group(L"Fenster"), 0);
    rt_pref_write_long(L"PosOn", 0);
    rt_pref_write_long(L"X", 120);
    rt_pref_write_string(L"Leer", L"");
    rt_pref_write_string(L"Name", L"Größe");
    EXPECT_EQ(rt_pref_close(), 1);
    EXPECT_EQ(dir.read("Settings.pref"), kHeader + "; Die Kordinaten vom Fenster\r\n"
                                                   "[Fenster]\r\n"
                                                   "PosOn = 0\r\n"
                                                   "X = 120\r\n"
                                                   "Leer = \r\n"
                                                   "Name = Gr\xC3\xB6\xC3\x9F"
                                                   "e\r\n");
}

TEST(Prefs, ReadsLooselyWrittenLines) {
    TempDir dir;
    open_with(dir, "  ;no space\n[fenster] trailing\r\n\r\n"
                   "posON=1\n   Width   =   640   \rHeight = abc\n"
                   "Eq = a=b\nNoValue\n \t \n;  two spaces\n[Open bracket");
    EXPECT_EQ(rt_pref_group(L"Fenster"), 1);
    EXPECT_EQ(rt_pref_read_long(L"PosOn", 7), 1);
    EXPECT_EQ(rt_pref_read_long(L"Width", 7), 640);
    EXPECT_EQ(rt_pref_read_string(L"Width", L"x"), L"640");
    EXPECT_EQ(rt_pref_read_long(L"Height", 7), 0); // present but no digits
    EXPECT_EQ(rt_pref_read_long(L"Depth", 7), 7);
    EXPECT_EQ(rt_pref_read_string(L"Eq", L""), L"a=b");
    EXPECT_EQ(rt_pref_read_string(L"NoValue", L"default"), L"");
    EXPECT_EQ(rt_pref_group(L"Open bracket"), 1);
    EXPECT_EQ(rt_pref_group(L"fenster] trailing"), 0);
    rt_pref_close();
}

TEST(Prefs, DecodesByByteOrderMark) {
    TempDir dir;
    open_with(dir, "A = \xE4\nB = \xC3\xA4");
    EXPECT_EQ(rt_pref_read_string(L"A", L""), L"ä"); // no mark: ISO 8859-1
    EXPECT_EQ(rt_pref_read_string(L"B", L""), L"Ã¤");
    rt_pref_close();

    open_with(dir, "\xEF\xBB\xBF"
                   "A = \xC3\xA4\n[Gr\xC3\xBC\xC3\x9F"
                   "e]\nK = 1");
    EXPECT_EQ(rt_pref_read_string(L"A", L""), L"ä");
    EXPECT_EQ(rt_pref_group(L"GRÜSSE"), 0); // only A-Z fold
    EXPECT_EQ(rt_pref_group(L"GRÜßE"), 0);
    EXPECT_EQ(rt_pref_group(L"grüße"), 1);
    rt_pref_close();
}

TEST(Prefs, AbsentGroupHidesEverythingUntilWritten) {
    TempDir dir;
    open_with(dir, "Top = 1\n[G]\nK = 2\n");
    EXPECT_EQ(rt_pref_read_long(L"Top", 0), 1);
    EXPECT_EQ(rt_pref_group(L"Missing"), 0);
    EXPECT_EQ(rt_pref_read_long(L"Top", 9), 9);
    EXPECT_EQ(rt_pref_read_long(L"K", 9), 9);
    EXPECT_EQ(rt_pref_group(L"g"), 1);
    EXPECT_EQ(rt_pref_read_long(L"K", 9), 2);
    EXPECT_EQ(rt_pref_group(L""), 1);
    EXPECT_EQ(rt_pref_read_long(L"K", 9), 9); // the unnamed section ends at [G]
    EXPECT_EQ(rt_pref_read_long(L"Top", 9), 1);
    rt_pref_close();
    EXPECT_EQ(dir.read("p.pref"), "Top = 1\n[G]\nK = 2\n"); // unmodified: not rewritten
}

TEST(Prefs, PlacesNewNodesInTheirGroup) {
    TempDir dir;
    open_with(dir, "; head\nTop = 1\n[A]\nX = 1\n; end of A\n[B]\nY = 2\n[a]\nZ = 3\n");
    rt_pref_group(L"A");
    rt_pref_write_long(L"NEW", 5); // before [B], after the comment ending A
    rt_pref_write_comment(L"after new");
    rt_pref_write_long(L"x", -7); // replaced in place, key case taken over
    rt_pref_write_long(L"X", 8);  // again: still one line
    rt_pref_group(L"");
    rt_pref_write_long(L"Top2", 2); // end of the unnamed section
    rt_pref_group(L"C");
    rt_pref_write_string(L"K", L"v"); // new group at the very end
    EXPECT_EQ(rt_pref_close(), 1);
    EXPECT_EQ(dir.read("p.pref"), kHeader +
                                      "; head\r\nTop = 1\r\nTop2 = 2\r\n"
                                      "[A]\r\nX = 8\r\n; end of A\r\nNEW = 5\r\n; after new\r\n"
                                      "[B]\r\nY = 2\r\n[a]\r\nZ = 3\r\n[C]\r\nK = v\r\n");
}

TEST(Prefs, CommentsFollowTheLastWrittenNode) {
    TempDir dir;
    open_with(dir, "[G]\nK = 1\n");
    rt_pref_write_comment(L"top"); // nothing written or selected yet
    rt_pref_group(L"G");
    rt_pref_write_comment(L"under header");
    rt_pref_write_comment(L"A");
    rt_pref_group(L"H");
    rt_pref_write_comment(L"opens H");
    rt_pref_write_long(L"L", 2);
    rt_pref_group(L"");
    rt_pref_write_long(L"U", 3); // goes before the first header
    rt_pref_close();
    EXPECT_EQ(dir.read("p.pref"), kHeader + "; top\r\nU = 3\r\n[G]\r\n; under header\r\n; A\r\n"
                                            "K = 1\r\n[H]\r\n; opens H\r\nL = 2\r\n");
}

TEST(Prefs, IntegersWriteLow32BitsAndRead64) {
    TempDir dir;
    ASSERT_NE(rt_pref_create(wpath(dir, "p.pref")), 0);
    rt_pref_write_long(L"A", 4294967296);
    rt_pref_write_long(L"B", 2147483648);
    rt_pref_write_long(L"C", -1);
    rt_pref_write_string(L"Big", L"9223372036854775807");
    rt_pref_write_string(L"Over", L"-99999999999999999999");
    rt_pref_write_string(L"Signed", L"+12x");
    rt_pref_close();
    EXPECT_EQ(dir.read("p.pref"), kHeader + "A = 0\r\nB = -2147483648\r\nC = -1\r\n"
                                            "Big = 9223372036854775807\r\n"
                                            "Over = -99999999999999999999\r\nSigned = +12x\r\n");
    ASSERT_NE(rt_pref_open(wpath(dir, "p.pref")), 0);
    EXPECT_EQ(rt_pref_read_long(L"B", 0), -2147483648);
    EXPECT_EQ(rt_pref_read_long(L"Big", 0), INT64_MAX);
    EXPECT_EQ(rt_pref_read_long(L"Over", 0), INT64_MIN);
    EXPECT_EQ(rt_pref_read_long(L"Signed", 0), 12);
    rt_pref_close();
}

TEST(Prefs, LineBreaksInTextsNeverSplitALine) {
    TempDir dir;
    // a folder name with a line feed arrives escaped from the file system
    const std::wstring path = rt_text_from_os("/tmp/a\nb\r/");
    ASSERT_NE(rt_pref_create(wpath(dir, "p.pref")), 0);
    rt_pref_write_string(L"Paht0", path);
    rt_pref_write_string(L"Plain", L"x\ny");
    rt_pref_close();
    ASSERT_NE(rt_pref_open(wpath(dir, "p.pref")), 0);
    EXPECT_EQ(rt_pref_read_string(L"Paht0", L""), path);
    EXPECT_EQ(rt_text_to_os(rt_pref_read_string(L"Plain", L"")), "x\ny");
    EXPECT_EQ(rt_pref_read_string(L"b", L"none"), L"none");
    rt_pref_close();
    const std::string bytes = dir.read("p.pref");
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 3);
}

TEST(Prefs, MissingFileIsCreatedOnlyWhenWritten) {
    TempDir dir;
    EXPECT_EQ(rt_pref_open(wpath(dir, "new.pref")), 0);
    EXPECT_EQ(rt_pref_read_long(L"K", 4), 4);
    EXPECT_EQ(rt_pref_close(), 1);
    EXPECT_EQ(count_files(dir), 0);

    EXPECT_EQ(rt_pref_open(wpath(dir, "new.pref")), 0);
    rt_pref_write_long(L"K", 5);
    EXPECT_EQ(rt_pref_close(), 1);
    EXPECT_EQ(dir.read("new.pref"), kHeader + "K = 5\r\n");
}

TEST(Prefs, NoCurrentFileOrFailedCreateDoesNothing) {
    TempDir dir;
    EXPECT_EQ(rt_pref_close(), 0);
    rt_pref_write_long(L"K", 1);
    EXPECT_EQ(rt_pref_read_long(L"K", 3), 3);
    mkdir((dir / "folder").c_str(), 0755);
    EXPECT_EQ(rt_pref_create(wpath(dir, "folder")), 0);
    EXPECT_EQ(rt_pref_create(wpath(dir, "missing/p.pref")), 0);
    EXPECT_EQ(rt_pref_group(L"G"), 0);
    rt_pref_write_long(L"K", 1);
    EXPECT_EQ(rt_pref_read_long(L"K", 3), 3);
    EXPECT_EQ(rt_pref_close(), 0);
    EXPECT_EQ(count_files(dir), 1);
    EXPECT_EQ(rt_pref_open(wpath(dir, "folder")), 0); // a folder is no file
    rt_pref_close();
}

TEST(Prefs, CreateOrOpenWritesTheCurrentFileFirst) {
    TempDir dir;
    ASSERT_NE(rt_pref_create(wpath(dir, "one.pref")), 0);
    rt_pref_write_long(L"K", 1);
    ASSERT_NE(rt_pref_create(wpath(dir, "two.pref")), 0);
    rt_pref_write_long(L"K", 2);
    EXPECT_EQ(rt_pref_open(wpath(dir, "one.pref")), 1);
    EXPECT_EQ(rt_pref_read_long(L"K", 0), 1);
    rt_pref_close();
    EXPECT_EQ(dir.read("two.pref"), kHeader + "K = 2\r\n");
}

TEST(Prefs, EachThreadHasItsOwnFile) {
    TempDir dir;
    const auto work = [&](const std::string& name, int value) {
        for (int round = 0; round < 50; ++round) {
            ASSERT_NE(rt_pref_create(wpath(dir, name)), 0);
            rt_pref_group(L"G");
            rt_pref_write_long(L"V", value + round);
            ASSERT_EQ(rt_pref_close(), 1);
            ASSERT_NE(rt_pref_open(wpath(dir, name)), 0);
            rt_pref_group(L"G");
            ASSERT_EQ(rt_pref_read_long(L"V", -1), value + round);
            rt_pref_close();
        }
    };
    std::thread a(work, "a.pref", 1000), b(work, "b.pref", 2000);
    a.join();
    b.join();
    EXPECT_EQ(dir.read("a.pref"), kHeader + "[G]\r\nV = 1049\r\n");
    EXPECT_EQ(dir.read("b.pref"), kHeader + "[G]\r\nV = 2049\r\n");
}

TEST(Prefs, RewriteKeepsPermissionsAndLinks) {
    TempDir dir;
    dir.write("real.pref", "K = 1\n");
    chmod((dir / "real.pref").c_str(), 0640);
    ASSERT_EQ(symlink("real.pref", (dir / "link.pref").c_str()), 0);
    ASSERT_NE(rt_pref_open(wpath(dir, "link.pref")), 0);
    rt_pref_write_long(L"K", 2);
    EXPECT_EQ(rt_pref_close(), 1);
    struct stat st;
    ASSERT_EQ(lstat((dir / "link.pref").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(stat((dir / "real.pref").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(dir.read("real.pref"), kHeader + "K = 2\r\n");
    EXPECT_EQ(count_files(dir), 2); // no temporary file left
}

TEST(Prefs, FailedWriteLeavesTheOldFile) {
    RtSyscallsRestore restore;
    TempDir dir;
    const std::string old = kHeader + "K = 1\r\n";
    dir.write("p.pref", old);
    // a full disk after a few bytes, a refused permission change, a failing rename
    RtSyscalls full_disk = rt_syscalls_real();
    full_disk.write = [](int fd, const void* buf, size_t n) -> ssize_t {
        if (n > 4) return rt_syscalls_real().write(fd, buf, 4);
        errno = ENOSPC;
        return -1;
    };
    RtSyscalls no_chmod = rt_syscalls_real();
    no_chmod.fchmod = [](int, mode_t) { return errno = EPERM, -1; };
    RtSyscalls no_rename = rt_syscalls_real();
    no_rename.rename = [](const char*, const char*) { return errno = EXDEV, -1; };
    for (const RtSyscalls& fault : {full_disk, no_chmod, no_rename}) {
        rt_sys = rt_syscalls_real();
        ASSERT_NE(rt_pref_open(wpath(dir, "p.pref")), 0);
        rt_pref_write_string(L"K", std::wstring(5000, L'x'));
        rt_sys = fault;
        EXPECT_EQ(rt_pref_close(), 0);
        EXPECT_EQ(dir.read("p.pref"), old);
        EXPECT_EQ(count_files(dir), 1);
    }
}

TEST(Prefs, DyingMidWriteLeavesTheOldFile) {
    RtSyscallsRestore restore;
    TempDir dir;
    const std::string old = kHeader + "K = 1\r\n";
    dir.write("p.pref", old);
    const pid_t child = fork();
    if (child == 0) {
        rt_sys.write = [](int fd, const void* buf, size_t) -> ssize_t {
            if (::write(fd, buf, 3) != 3) _exit(2);
            _exit(0); // the process ends halfway through the file
        };
        rt_pref_create(rt_text_from_os(dir / "p.pref"));
        rt_pref_write_string(L"K", L"new value");
        rt_pref_close();
        _exit(1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(dir.read("p.pref"), old);
}

TEST(Prefs, ReadOnlyFolderRewritesAWritableFileInPlace) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
    TempDir dir;
    mkdir((dir / "ro").c_str(), 0755);
    dir.write("ro/p.pref", kHeader + "K = 1\r\n");
    chmod((dir / "ro").c_str(), 0555);
    EXPECT_EQ(rt_pref_create(wpath(dir, "ro/new.pref")), 0); // no file to write into
    EXPECT_EQ(rt_pref_close(), 0);
    ASSERT_NE(rt_pref_open(wpath(dir, "ro/p.pref")), 0);
    rt_pref_write_long(L"K", 2);
    EXPECT_EQ(rt_pref_close(), 1);
    chmod((dir / "ro").c_str(), 0755);
    EXPECT_EQ(dir.read("ro/p.pref"), kHeader + "K = 2\r\n");
}

namespace {
// A folder that takes no new file: every temporary file is refused.
int refuse_temp_files(const char* path, int flags, mode_t mode) {
    if (std::strstr(path, "/.tc-tmp-")) return errno = EACCES, -1;
    return rt_syscalls_real().open(path, flags, mode);
}
} // namespace

TEST(Prefs, FolderWithoutRoomForATemporaryFileIsWrittenInPlace) {
    RtSyscallsRestore restore;
    TempDir dir;
    dir.write("p.pref", kHeader + "K = 1\r\nLong = " + std::string(300, 'x') + "\r\n");
    rt_sys.open = refuse_temp_files;
    ASSERT_EQ(rt_pref_create(wpath(dir, "p.pref")), 1);
    rt_pref_write_long(L"K", 2);
    EXPECT_EQ(rt_pref_close(), 1);
    EXPECT_EQ(dir.read("p.pref"), kHeader + "K = 2\r\n"); // the longer old text is cut off
    EXPECT_EQ(count_files(dir), 1);
    // with no file there, there is nothing to write in place
    EXPECT_EQ(rt_pref_create(wpath(dir, "neu.pref")), 0);
    EXPECT_EQ(rt_pref_close(), 0);
}

TEST(Prefs, InPlaceWriteThatCannotCutTheOldTailFails) {
    RtSyscallsRestore restore;
    TempDir dir;
    dir.write("p.pref", kHeader + "K = 1\r\n");
    rt_sys.open = refuse_temp_files;
    rt_sys.ftruncate = [](int, off_t) { return errno = EIO, -1; };
    ASSERT_EQ(rt_pref_create(wpath(dir, "p.pref")), 1);
    rt_pref_write_long(L"K", 2);
    EXPECT_EQ(rt_pref_close(), 0) << "a file with the old tail left must not look saved";
}

TEST(Prefs, WriteProtectedFileIsLeftAlone) {
    TempDir dir;
    const std::string old = kHeader + "K = 1\r\n";
    dir.write("p.pref", old);
    chmod((dir / "p.pref").c_str(), 0444);
    EXPECT_EQ(rt_pref_create(wpath(dir, "p.pref")), 0);
    EXPECT_EQ(rt_pref_close(), 0);
    ASSERT_NE(rt_pref_open(wpath(dir, "p.pref")), 0); // still readable
    rt_pref_write_long(L"K", 2);
    EXPECT_EQ(rt_pref_close(), 0);
    EXPECT_EQ(dir.read("p.pref"), old);
    struct stat st;
    ASSERT_EQ(stat((dir / "p.pref").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
}

TEST(Prefs, TemporaryFilesOfKilledWritersAreRemoved) {
    TempDir dir;
    const pid_t dead = fork();
    if (dead == 0) _exit(0);
    ASSERT_EQ(waitpid(dead, nullptr, 0), dead);
    const std::string d = std::to_string(dead);
    dir.write("p.pref", kHeader);
    dir.write(".tc-tmp-" + d + "-1", "stale");
    dir.write(".tc-tmp-" + d + "-17", "stale");
    dir.write(".tc-tmp-1-4", "a writer that still runs");
    dir.write(".tc-tmp-" + d + "-x", "not ours");
    dir.write(".q.pref.tmp-" + d + "-1", "another program's");
    ASSERT_EQ(rt_pref_create(wpath(dir, "p.pref")), 1);
    rt_pref_write_long(L"K", 2);
    EXPECT_EQ(rt_pref_close(), 1);
    EXPECT_NE(access((dir / (".tc-tmp-" + d + "-1")).c_str(), F_OK), 0);
    EXPECT_NE(access((dir / (".tc-tmp-" + d + "-17")).c_str(), F_OK), 0);
    EXPECT_EQ(count_files(dir), 4);
}
