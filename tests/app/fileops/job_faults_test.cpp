// Faults a copy, move or delete job must survive with no byte of a source
// or of an existing target lost and every failure named: the per-file
// questions and their answers, full and unreachable targets, unreadable
// files and folders, targets that appear meanwhile, special files, trees
// deeper than a path can be long, folder modes, leftovers of killed copies.
// Faults come through the system-call seam or real small tmpfs mounts.
#include "../fileops_fixture.h"

#include "app/core/app_state.h"
#include "app/fileops/fileops_texts.h"
#include "app/panes/pane_reader.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// ---- fakes: each refuses what matches g_match ----
std::string g_match;
int g_count = 0;

bool Matches(const char* path) {
    const std::string p = path;
    return !g_match.empty() && p.size() >= g_match.size() &&
           p.compare(p.size() - g_match.size(), g_match.size(), g_match) == 0;
}
int open_refused(const char* path, int flags, mode_t mode) {
    if (Matches(path)) {
        errno = EACCES;
        return -1;
    }
    return rt_syscalls_real().open(path, flags, mode);
}
// The listing of a folder whose path ends in g_match: as a folder without
// read permission answers an ordinary user.
int listing_refused(int dirfd, const char* path, int flags, mode_t mode) {
    char link[4096] = {};
    const std::string fd_path = "/proc/self/fd/" + std::to_string(dirfd);
    if (std::string(path) == "." && readlink(fd_path.c_str(), link, sizeof link - 1) > 0 &&
        Matches(link)) {
        errno = EACCES;
        return -1;
    }
    return rt_syscalls_real().openat(dirfd, path, flags, mode);
}
ssize_t read_fails(int, void*, size_t) {
    errno = EIO;
    return -1;
}
int unlink_refused(int dirfd, const char* path, int flags) {
    if (Matches(path)) {
        errno = EPERM;
        return -1;
    }
    return rt_syscalls_real().unlinkat(dirfd, path, flags);
}
// After the tenth removal "Abbrechen" is pressed, and the worker waits
// until the main loop has had time to handle the press.
int unlink_then_cancel(int dirfd, const char* path, int flags) {
    if (++g_count == 10) {
        tk_event_post(EventGadget, WinDeleteProgress, GadCancel);
        usleep(300000);
    }
    return rt_syscalls_real().unlinkat(dirfd, path, flags);
}
int rename_cross_device(int, const char*, int, const char*, unsigned) {
    errno = EXDEV;
    return -1;
}
ssize_t range_unsupported(int, off64_t*, int, off64_t*, size_t, unsigned) {
    errno = EXDEV;
    return -1;
}
// Reads of a copy's temporary that hold the bytes of "schlecht" come back
// with one byte changed: the disk gave back something else than was written.
ssize_t read_back_corrupted(int fd, void* buffer, size_t n) {
    const ssize_t got = rt_syscalls_real().read(fd, buffer, n);
    char link[4096] = {};
    const std::string fd_path = "/proc/self/fd/" + std::to_string(fd);
    auto* bytes = static_cast<char*>(buffer);
    if (got > 0 && bytes[0] == 'S' && readlink(fd_path.c_str(), link, sizeof link - 1) > 0 &&
        std::strstr(link, "/.tc-tmp-"))
        bytes[got - 1] ^= 1;
    return got;
}
int count_syncs(int fd) {
    ++g_count;
    return rt_syscalls_real().fdatasync(fd);
}
int count_fsyncs(int fd) {
    ++g_count;
    return rt_syscalls_real().fsync(fd);
}

std::string Text(const std::wstring& s) {
    return std::string(s.begin(), s.end());
}

} // namespace

class JobFaultsTest : public FileopsTest {
  protected:
    static inline std::vector<JobFailure> failed; // of the last job, at its last report

    void SetUp() override {
        FileopsTest::SetUp();
        failed.clear();
        ProgressObserver = [](CopyJob& job, int, int, const std::wstring&) {
            failed = job.failedItems;
        };
    }
    void TearDown() override {
        FileopsTest::TearDown();
        App.settings.VerifyCopies = 0;
    }
    static bool FailedNamed(const std::string& path, const wchar_t* reason) {
        for (const JobFailure& f : failed)
            if (f.path == W(path) && f.reason == reason) return true;
        return false;
    }
    static mode_t ModeOf(const std::string& path) {
        struct stat st {};
        lstat(path.c_str(), &st);
        return st.st_mode;
    }
    static void SetTime(const std::string& path, time_t seconds) {
        const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
        ASSERT_EQ(0, utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW));
    }
    // A small file system of its own, or the test is skipped.
    struct Tmpfs {
        TempDir dir;
        bool mounted = false;
        explicit Tmpfs(const char* size) {
            mounted = mount("tmpfs", dir.path().c_str(), "tmpfs", 0, size) == 0;
        }
        ~Tmpfs() {
            if (mounted) umount2(dir.path().c_str(), MNT_DETACH);
        }
    };
};

// Five answers, each about one named file, inside a merged folder too.
TEST_F(JobFaultsTest, OverwriteIsAskedPerFileNamingBothSides) {
    TempDir k1, k2;
    for (const char* n : {"a.txt", "b.txt", "c.txt"}) {
        k1.write(n, std::string("neu ") + n);
        k2.write(n, std::string("alt ") + n);
    }
    SetTime(k1 / "a.txt", 2000000000);
    SetTime(k2 / "c.txt", 2000000000); // the target is newer than its source
    Mkdir(k1 / "Ordner");
    Mkdir(k2 / "Ordner");
    k1.write("Ordner/d.txt", "neu d");
    k2.write("Ordner/d.txt", "alt d");

    jobAnswers = {JobAnswerOverwrite, JobAnswerSkip, JobAnswerOverwriteAll};
    Copy(L"a.txt\nb.txt\nc.txt\nOrdner\n", Folder(k1), Folder(k2), 0);
    ASSERT_EQ(3u, jobAsked.size());
    const std::wstring headline = L"Datei Exsistiert bereits! soll diese überschrieben werden ?|";
    EXPECT_EQ(0u, jobAsked[0].find(headline + L"a.txt\nNeu: 9 Bytes, "));
    EXPECT_NE(std::wstring::npos, jobAsked[0].find(L"\nVorhanden: 9 Bytes, "));
    EXPECT_EQ(std::wstring::npos, jobAsked[0].find(L"neuer"));
    EXPECT_NE(std::wstring::npos, jobAsked[2].find(L"Die vorhandene Datei ist neuer!"));
    EXPECT_EQ("neu a.txt", k2.read("a.txt"));
    EXPECT_EQ("alt b.txt", k2.read("b.txt"));
    EXPECT_EQ("neu c.txt", k2.read("c.txt"));
    EXPECT_EQ("neu d", k2.read("Ordner/d.txt")); // "Alle überschreiben" held inside
    EXPECT_TRUE(boxes.empty());

    k2.write("a.txt", "wieder alt");
    k2.write("Ordner/d.txt", "wieder alt");
    jobAsked.clear();
    jobAnswers = {JobAnswerSkipAll};
    Copy(L"a.txt\nOrdner\n", Folder(k1), Folder(k2), 0);
    EXPECT_EQ(1u, jobAsked.size());
    EXPECT_EQ("wieder alt", k2.read("a.txt"));
    EXPECT_EQ("wieder alt", k2.read("Ordner/d.txt"));

    // "Abbruch" ends the job: nothing after it is copied.
    jobAsked.clear();
    jobAnswers = {JobAnswerStop};
    k1.write("neu.txt", "N");
    Copy(L"a.txt\nneu.txt\n", Folder(k1), Folder(k2), 0);
    EXPECT_EQ(1u, jobAsked.size());
    EXPECT_EQ("wieder alt", k2.read("a.txt"));
    EXPECT_FALSE(Exists(k2 / "neu.txt"));
}

// A file that another program writes into the target after the job started
// is asked about, never replaced unseen.
TEST_F(JobFaultsTest, TargetThatAppearsMeanwhileIsAskedAbout) {
    TempDir src, dst;
    src.write("1", "eins");
    src.write("later.txt", "unser");
    static std::string late;
    late = dst / "later.txt";
    ProgressObserver = [](CopyJob&, int, int, const std::wstring&) {
        if (!Exists(late)) {
            int fd = open(late.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
            ASSERT_EQ(5, write(fd, "fremd", 5));
            close(fd);
        }
    };
    jobAnswers = {JobAnswerSkip};
    Copy(L"1\nlater.txt\n", Folder(src), Folder(dst), 0);
    ASSERT_EQ(1u, jobAsked.size());
    EXPECT_NE(std::wstring::npos, jobAsked[0].find(L"|later.txt\n"));
    EXPECT_EQ("fremd", dst.read("later.txt"));
    EXPECT_EQ("eins", dst.read("1"));

    // also in a folder the job made, where nothing is looked up first
    TempDir dst2;
    Mkdir(src / "Neu");
    src.write("Neu/1", std::string(3 << 20, '1'));
    src.write("Neu/later.txt", "unser");
    late = dst2 / "Neu/later.txt";
    jobAsked.clear();
    jobAnswers = {JobAnswerSkip};
    Copy(L"Neu\n", Folder(src), Folder(dst2), 0);
    ASSERT_EQ(1u, jobAsked.size());
    EXPECT_NE(std::wstring::npos, jobAsked[0].find(L"|later.txt\n"));
    EXPECT_EQ("fremd", dst2.read("Neu/later.txt"));
}

// A failure asks about the one file; "Wiederholen" tries it again,
// "Alle überspringen" asks no more, and every failed file is listed.
TEST_F(JobFaultsTest, FailureIsAQuestionAboutOneFile) {
    TempDir src, dst;
    for (const char* n : {"a", "b", "c"}) src.write(n, std::string(5000, *n));
    pf_copy_file_range = range_unsupported;
    rt_sys.read = read_fails;
    jobAnswers = {JobAnswerSkipAll};
    Copy(L"a\nb\nc\n", Folder(src), Folder(dst), 0);
    ASSERT_EQ(1u, jobAsked.size());
    EXPECT_EQ(W(src / "a") + L"|Ein-/Ausgabefehler", jobAsked[0]);
    ASSERT_EQ(3u, failed.size());
    EXPECT_TRUE(FailedNamed(src / "c", L"Ein-/Ausgabefehler"));
    EXPECT_FALSE(Exists(dst / "a"));
    EXPECT_EQ(0, TempFilesIn(dst.path()));
    EXPECT_EQ(1u, boxes.size());

    jobAsked.clear();
    boxes.clear();
    onJobQuestion = [] { rt_sys.read = rt_syscalls_real().read; }; // the fault passes
    jobAnswers = {JobAnswerRetry};
    rt_sys.read = read_fails;
    Copy(L"a\n", Folder(src), Folder(dst), 0);
    EXPECT_EQ(1u, jobAsked.size());
    EXPECT_EQ(std::string(5000, 'a'), dst.read("a"));
    EXPECT_TRUE(boxes.empty());
}

// Skip, cancel and "Alle überspringen" in a move across file systems: every
// file is complete exactly once, in the source or in the target.
TEST_F(JobFaultsTest, MoveKeepsEverySourceThatDidNotArrive) {
    for (int answer : {JobAnswerSkip, JobAnswerStop, JobAnswerSkipAll}) {
        SCOPED_TRACE(answer);
        TempDir src, dst;
        Mkdir(src / "Ordner");
        for (const char* n : {"a", "b", "c", "d"}) src.write(std::string("Ordner/") + n, n);
        rt_sys = rt_syscalls_real();
        rt_sys.renameat2 = rename_cross_device;
        rt_sys.open = open_refused;
        g_match = "Ordner/b";
        jobAsked.clear();
        jobAnswers = {answer};
        Copy(L"Ordner\n", Folder(src), Folder(dst), 1);
        g_match.clear();
        for (const char* n : {"a", "b", "c", "d"}) {
            const std::string name = std::string("Ordner/") + n;
            EXPECT_NE(Exists(src / name), Exists(dst / name)) << n;
            EXPECT_EQ(n, Exists(src / name) ? src.read(name) : dst.read(name));
        }
        EXPECT_TRUE(Exists(src / "Ordner/b")); // the folder holding it stays
        EXPECT_EQ(answer == JobAnswerStop, Exists(src / "Ordner/c"));
    }
}

// Many small files are copied several at once; a cancel starts none of
// those still waiting, and what was copied is complete.
TEST_F(JobFaultsTest, CancelStartsNoneOfTheQueuedFiles) {
    TempDir src, dst;
    std::wstring names;
    for (int i = 0; i < 200; ++i) {
        src.write("f" + std::to_string(i), std::string(1000, 'x'));
        names += L"f" + std::to_wstring(i) + L"\n";
    }
    ProgressObserver = [](CopyJob& job, int, int, const std::wstring&) {
        job.cancel = JobCancelled;
    };
    Copy(names, Folder(src), Folder(dst), 0);
    int copied = 0;
    for (int i = 0; i < 200; ++i) {
        const std::string name = "f" + std::to_string(i);
        if (!Exists(dst / name)) continue;
        ++copied;
        EXPECT_EQ(std::string(1000, 'x'), dst.read(name));
    }
    EXPECT_LE(copied, 10); // the files already in flight at most
    EXPECT_EQ(0, TempFilesIn(dst.path()));
}

// The world changes under the job: a source grows while it is read, the
// target folder is deleted. Each is a failure named; no source loses a byte.
TEST_F(JobFaultsTest, SourceAndTargetChangingMeanwhileAreFailures) {
    TempDir src, dst;
    src.write("waechst", std::string(3 << 20, 'w'));
    static std::string grows;
    grows = src / "waechst";
    pf_copy_file_range = range_unsupported;
    ProgressObserver = [](CopyJob& job, int file, int, const std::wstring&) {
        failed = job.failedItems;
        if (file > 0 && file < 100) std::ofstream(grows, std::ios::app) << "mehr";
    };
    jobAnswers = {JobAnswerSkip};
    Copy(L"waechst\n", Folder(src), Folder(dst), 0);
    ASSERT_EQ(1u, failed.size());
    EXPECT_EQ(W(grows), failed[0].path);
    EXPECT_EQ(std::string(3 << 20, 'w'), src.read("waechst").substr(0, 3 << 20));
    EXPECT_FALSE(Exists(dst / "waechst"));
    EXPECT_EQ(0, TempFilesIn(dst.path()));

    static std::string gone;
    gone = dst / "weg";
    Mkdir(gone);
    for (const char* n : {"a", "b", "c"}) src.write(n, n);
    ProgressObserver = [](CopyJob& job, int, int, const std::wstring&) {
        failed = job.failedItems;
        std::filesystem::remove_all(gone);
    };
    jobAnswers = {JobAnswerSkipAll};
    Copy(L"a\nb\nc\n", Folder(src), W(gone) + L"/", 1);
    EXPECT_EQ(3u, failed.size());
    for (const char* n : {"a", "b", "c"}) EXPECT_EQ(n, src.read(n));
}

// A full target in the middle of a file and a move across file systems:
// the target keeps its old contents, the source all of its own.
TEST_F(JobFaultsTest, FullTargetKeepsSourceAndTargetAndNamesTheReason) {
    Tmpfs small("size=1m");
    if (!small.mounted) GTEST_SKIP() << "no tmpfs mount allowed";
    TempDir src;
    src.write("gross", std::string(3 << 20, 'g'));
    src.write("klein", "k");
    const std::string into = small.dir.path();
    {
        int fd = open((into + "/gross").c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_EQ(3, write(fd, "alt", 3));
        close(fd);
    }
    Copy(L"gross\nklein\n", Folder(src), W(into) + L"/", 1);
    ASSERT_EQ(2u, jobAsked.size()) << Text(jobAsked[0]); // overwrite "gross", then its failure
    EXPECT_TRUE(FailedNamed(src / "gross", L"Kein Speicherplatz"));
    EXPECT_EQ(std::string(3 << 20, 'g'), src.read("gross"));
    EXPECT_EQ("alt", ReadFile(into + "/gross"));
    EXPECT_EQ(0, TempFilesIn(into));
    EXPECT_EQ("k", ReadFile(into + "/klein"));
    EXPECT_FALSE(Exists(src / "klein"));
}

// A folder that cannot be read is a failure by name; a move keeps it and
// the folder above it, and copies nothing of it.
TEST_F(JobFaultsTest, UnreadableFolderIsAFailureAndTheMoveKeepsIt) {
    TempDir src, dst;
    Mkdir(src / "Ordner");
    Mkdir(src / "Ordner/geheim");
    src.write("Ordner/geheim/x", "x");
    src.write("Ordner/y", "y");
    rt_sys.renameat2 = rename_cross_device;
    rt_sys.openat = listing_refused;
    g_match = "/Ordner/geheim";
    Copy(L"Ordner\n", Folder(src), Folder(dst), 1);
    g_match.clear();
    EXPECT_TRUE(FailedNamed(src / "Ordner/geheim", L"Zugriff verweigert"));
    EXPECT_EQ("x", src.read("Ordner/geheim/x"));
    EXPECT_FALSE(Exists(dst / "Ordner/geheim"));
    EXPECT_EQ("y", dst.read("Ordner/y"));
    EXPECT_FALSE(Exists(src / "Ordner/y"));
    EXPECT_EQ(1u, boxes.size());
}

// FIFOs and devices are made anew, never opened (no job blocks on a FIFO
// without writer); a socket is reported. A delete removes them all.
TEST_F(JobFaultsTest, SpecialFilesAreRecreatedOrReportedAndDeleted) {
    TempDir src, dst;
    Mkdir(src / "Baum");
    ASSERT_EQ(0, mkfifo((src / "Baum/fifo").c_str(), 0640));
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(0, mknod((src / "Baum/null").c_str(), S_IFCHR | 0600, makedev(1, 3)));
    }
    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::string sock_path = src / "Baum/sock";
    ASSERT_LT(sock_path.size(), sizeof addr.sun_path);
    sock_path.copy(addr.sun_path, sock_path.size());
    ASSERT_EQ(0, bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr));
    Copy(L"Baum\n", Folder(src), Folder(dst), 0);
    close(sock);
    EXPECT_TRUE(S_ISFIFO(ModeOf(dst / "Baum/fifo")));
    if (root) {
        EXPECT_TRUE(S_ISCHR(ModeOf(dst / "Baum/null")));
    }
    ASSERT_EQ(1u, failed.size());
    EXPECT_EQ(W(sock_path), failed[0].path);

    DeleteCommand(L"Baum\n", Folder(src));
    RunJob();
    EXPECT_FALSE(Exists(src / "Baum"));
}

// A delete asks about what it cannot remove; what is skipped stays with the
// folders holding it; a cancel while the question is open ends the delete
// before its next file.
TEST_F(JobFaultsTest, DeleteAsksPerFileAndACancelStopsIt) {
    TempDir t;
    Mkdir(t / "Ordner");
    for (int i = 0; i < 40; ++i) t.write("Ordner/f" + std::to_string(i), "x");
    rt_sys.unlinkat = unlink_refused;
    g_match = "f7";
    DeleteCommand(L"Ordner\n", Folder(t));
    RunJob();
    EXPECT_TRUE(Exists(t / "Ordner/f7"));
    EXPECT_FALSE(Exists(t / "Ordner/f8"));
    EXPECT_TRUE(FailedNamed(t / "Ordner/f7", L"Vorgang nicht erlaubt"));
    EXPECT_EQ(1u, boxes.size());

    for (int i = 0; i < 40; ++i) t.write("Ordner/f" + std::to_string(i), "x");
    onJobQuestion = [] {
        if (CopyJob* job = FileJobOfWindow(WinDeleteProgress)) rt_control_cancel(&job->control);
    };
    jobAnswers = {JobAnswerSkip}; // too late: the cancel answered it
    DeleteCommand(L"Ordner\n", Folder(t));
    RunJob();
    g_match.clear();
    auto left = [&] {
        int n = 0;
        for (int i = 0; i < 40; ++i) n += Exists(t / "Ordner/f" + std::to_string(i));
        return n;
    };
    EXPECT_GT(left(), 1);

    // "Abbrechen" in the progress window stops the folder's delete at once.
    for (int i = 0; i < 40; ++i) t.write("Ordner/f" + std::to_string(i), "x");
    rt_sys.unlinkat = unlink_then_cancel;
    g_count = 0;
    DeleteCommand(L"Ordner\n", Folder(t));
    RunJob();
    EXPECT_EQ(30, left()); // the tenth was on its way
}

// A tree deeper than PATH_MAX is copied whole: 25 levels of 200-byte names.
TEST_F(JobFaultsTest, TreeBeyondThePathLimitIsCopiedWhole) {
    TempDir src, dst;
    const std::string name(200, 'n');
    int fd = open(src.path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(0, mkdirat(fd, "tief", 0755));
    int level = openat(fd, "tief", O_RDONLY | O_DIRECTORY);
    close(fd);
    for (int i = 0; i < 25; ++i) {
        close(openat(level, "f", O_WRONLY | O_CREAT, 0644));
        ASSERT_EQ(0, mkdirat(level, name.c_str(), 0755));
        const int next = openat(level, name.c_str(), O_RDONLY | O_DIRECTORY);
        close(level);
        level = next;
    }
    close(openat(level, "f", O_WRONLY | O_CREAT, 0644));
    close(level);
    Copy(L"tief\n", Folder(src), Folder(dst), 0);
    int found = 0;
    level = open((dst / "tief").c_str(), O_RDONLY | O_DIRECTORY);
    while (level >= 0) {
        found += faccessat(level, "f", F_OK, 0) == 0;
        const int next = openat(level, name.c_str(), O_RDONLY | O_DIRECTORY);
        close(level);
        level = next;
    }
    EXPECT_EQ(26, found);
    EXPECT_TRUE(failed.empty());
}

// Folders get their source's mode after their contents and its times;
// links keep theirs.
TEST_F(JobFaultsTest, FoldersKeepModeAndTimesLinksKeepTimes) {
    TempDir src, dst;
    Mkdir(src / "privat");
    src.write("privat/x", "x");
    Mkdir(src / "geteilt");
    ASSERT_EQ(0, chmod((src / "privat").c_str(), 0500));
    ASSERT_EQ(0, chmod((src / "geteilt").c_str(), 03775));
    ASSERT_EQ(0, symlink("privat", (src / "verweis").c_str()));
    SetTime(src / "privat", 1500000000);
    SetTime(src / "verweis", 1400000000);
    Copy(L"privat\ngeteilt\nverweis\n", Folder(src), Folder(dst), 0);
    EXPECT_EQ(040500u, ModeOf(dst / "privat"));
    EXPECT_EQ(043775u, ModeOf(dst / "geteilt"));
    EXPECT_EQ("x", dst.read("privat/x"));
    struct stat st {};
    lstat((dst / "privat").c_str(), &st);
    EXPECT_EQ(1500000000, st.st_mtim.tv_sec);
    lstat((dst / "verweis").c_str(), &st);
    EXPECT_EQ(1400000000, st.st_mtim.tv_sec);
    chmod((src / "privat").c_str(), 0700);
    chmod((dst / "privat").c_str(), 0700);
}

// What a killed copy left is removed when the folder is next written to.
TEST_F(JobFaultsTest, TemporaryOfAKilledCopyGoesWithTheNextCopy) {
    TempDir src, dst;
    src.write("a", "A");
    Mkdir(dst / "Ordner");
    Mkdir(src / "Ordner");
    src.write("Ordner/b", "B");
    // pid 4194304 lies above every pid the kernel hands out
    for (const std::string& folder : {dst.path(), dst / "Ordner"}) {
        const std::string stale = folder + "/.tc-tmp-4194304-1";
        close(open(stale.c_str(), O_WRONLY | O_CREAT, 0600));
        SetTime(stale, 1000000000);
    }
    Copy(L"a\nOrdner\n", Folder(src), Folder(dst), 0);
    EXPECT_EQ(0, TempFilesIn(dst.path()));
    EXPECT_EQ(0, TempFilesIn(dst / "Ordner"));
    EXPECT_EQ("B", dst.read("Ordner/b"));

    // and from a folder a pane starts in, before it is shown
    TempDir start;
    start.write("bleibt", "x");
    const std::string stale = start / ".tc-tmp-4194304-7";
    close(open(stale.c_str(), O_WRONLY | O_CREAT, 0600));
    SetTime(stale, 1000000000);
    PaneListingRequest request;
    request.Path = Folder(start);
    request.ShowHidden = true;
    request.FindExisting = true;
    PaneListing listing;
    ReadPaneListing(request, &listing);
    EXPECT_TRUE(listing.Ok);
    EXPECT_FALSE(Exists(stale));
    for (const TkListNewRow& row : listing.Rows)
        EXPECT_EQ(std::wstring::npos, row.text.find(L".tc-tmp-"));
}

// "Kopien prüfen" makes every copy go to the disk and be read back.
TEST_F(JobFaultsTest, VerifySettingReachesEveryCopy) {
    TempDir src, dst;
    for (const char* n : {"a", "b", "c"}) src.write(n, std::string(10000, *n));
    rt_sys.fdatasync = count_syncs;
    rt_sys.fsync = count_fsyncs;
    g_count = 0;
    Copy(L"a\nb\nc\n", Folder(src), Folder(dst), 0);
    const int plain = g_count;
    App.settings.VerifyCopies = 1;
    g_count = 0;
    Copy(L"a\nb\nc\n", Folder(src), Folder(dst) + L"", 0); // asks about and replaces all three
    EXPECT_GE(g_count - plain, 3);
    EXPECT_EQ(std::string(10000, 'c'), dst.read("c"));
}

// A copy that reads back differently is a failure of that file by name, and
// a move keeps its source; the other file of the job arrives and moves.
TEST_F(JobFaultsTest, VerifyMismatchFailsThatFileAndTheMoveKeepsItsSource) {
    TempDir src, dst;
    src.write("gut", std::string(100000, 'G'));
    src.write("schlecht", std::string(100000, 'S'));
    App.settings.VerifyCopies = 1;
    rt_sys.renameat2 = rename_cross_device; // so the move must copy
    rt_sys.read = read_back_corrupted;
    Copy(L"gut\nschlecht\n", Folder(src), Folder(dst), 1);
    EXPECT_EQ(std::string(100000, 'G'), dst.read("gut"));
    EXPECT_FALSE(Exists(src / "gut"));
    EXPECT_EQ(std::string(100000, 'S'), src.read("schlecht"));
    EXPECT_FALSE(Exists(dst / "schlecht"));
    EXPECT_EQ(0, TempFilesIn(dst.path()));
    EXPECT_TRUE(FailedNamed(src / "schlecht", L"Kopie weicht vom Original ab"));
    EXPECT_EQ(1u, failed.size());
}
