// Copy and move through CopyMoveCommand and the worker: refusals with their
// texts, the overwrite question, where nested files land, progress, cancel,
// failure reports, links, and faults injected through the system-call seam.
#include "fileops_fixture.h"

#include "app/fileops/fileops_texts.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

std::wstring Asked(const wchar_t* headline, const wchar_t* text) {
    return std::wstring(headline) + L"|" + text;
}

std::string g_fail_below; // the fakes refuse paths starting with this
int g_writes_left = 0;

std::string g_fail_path; // and this exact path
int open_refused_exact(const char* path, int flags, mode_t mode) {
    if (g_fail_path == path) {
        errno = EACCES;
        return -1;
    }
    return rt_syscalls_real().open(path, flags, mode);
}
int open_refused_below(const char* path, int flags, mode_t mode) {
    const bool creates = (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE;
    if (std::string(path).rfind(g_fail_below, 0) == 0 && creates) {
        errno = EACCES;
        return -1;
    }
    return rt_syscalls_real().open(path, flags, mode);
}
ssize_t write_until_full(int fd, const void* b, size_t n) {
    if (g_writes_left-- <= 0) {
        errno = ENOSPC;
        return -1;
    }
    return rt_syscalls_real().write(fd, b, n);
}
ssize_t write_short(int fd, const void* b, size_t n) {
    return rt_syscalls_real().write(fd, b, n > 1000 ? n / 2 : n);
}
ssize_t range_unsupported(int, off64_t*, int, off64_t*, size_t, unsigned) {
    errno = EXDEV;
    return -1;
}
int rename_cross_device(int, const char*, int, const char*, unsigned) {
    errno = EXDEV;
    return -1;
}
void CancelAtFirstReport(CopyJob& job, int, int, const std::wstring&) {
    job.cancel = JobCancelled;
}

} // namespace

TEST_F(FileopsTest, SameFolderIsRefusedWithItsTextAlsoThroughALink) {
    TempDir t;
    t.write("a.txt", "A");
    Mkdir(t / "Daten");
    ASSERT_EQ(0, symlink(t.path().c_str(), (t / "link").c_str()));
    const std::wstring f = Folder(t);
    const std::wstring via_link = f + L"link/";
    struct Case {
        std::wstring names, target;
        int64_t move;
        const wchar_t* text;
    } cases[] = {
        {L"a.txt\n", f, 0, TextFileCopyOnItself},
        {L"a.txt\nDaten\n", f, 0, TextFolderCopyOnItself},
        {L"a.txt\n", f, 1, TextFileMoveOnItself},
        {L"Daten\n", f, 1, TextFolderMoveSameFolder},
        // the same folder under another name: moving onto itself once
        // deleted the file
        {L"a.txt\n", via_link, 1, TextFileMoveOnItself},
    };
    for (const Case& c : cases) {
        asked.clear();
        Copy(c.names, f, c.target, c.move);
        ASSERT_EQ(2u, asked.size());
        EXPECT_EQ(Asked(TextError, c.text), asked[1]);
    }
    EXPECT_EQ("A", t.read("a.txt"));
    EXPECT_TRUE(Exists(t / "Daten"));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(FileopsTest, FolderIntoItselfIsRefusedForCopyAndMove) {
    TempDir t;
    Mkdir(t / "Daten");
    Mkdir(t / "Daten/Neu");
    t.write("a", "datei");
    ASSERT_EQ(0, symlink((t / "Daten/Neu").c_str(), (t / "neu_link").c_str()));
    const std::wstring f = Folder(t);
    for (int64_t move : {1, 0})
        for (const std::wstring& target : {f + L"Daten/Neu/", f + L"neu_link/"}) {
            asked.clear();
            Copy(L"Daten\n", f, target, move);
            ASSERT_EQ(2u, asked.size());
            EXPECT_EQ(Asked(TextError, TextFolderIntoItself), asked[1]);
        }
    EXPECT_FALSE(Exists(t / "Daten/Neu/Daten"));
    // A plain file into that folder is fine.
    Copy(L"a\n", f, f + L"Daten/", 1);
    EXPECT_EQ("datei", t.read("Daten/a"));
    EXPECT_FALSE(Exists(t / "a"));
}

TEST_F(FileopsTest, OtherFilesAfterARefusalAreMovedOnlyWhenAFolderRemains) {
    TempDir t;
    for (const char* d : {"Daten", "Daten/Neu", "Bilder"}) Mkdir(t / d);
    t.write("Bilder/b.png", "png");
    t.write("x.txt", "x");
    const std::wstring f = Folder(t);
    Copy(L"Daten\nBilder\n", f, f + L"Daten/Neu/", 1);
    ASSERT_EQ(2u, asked.size());
    EXPECT_EQ(Asked(TextError, TextOtherFiles), asked[1]);
    EXPECT_EQ("png", t.read("Daten/Neu/Bilder/b.png"));
    EXPECT_FALSE(Exists(t / "Bilder"));

    asked.clear();
    Copy(L"Daten\nx.txt\n", f, f + L"Daten/Neu/", 1);
    ASSERT_EQ(2u, asked.size());
    EXPECT_EQ(Asked(TextError, TextFolderIntoItself), asked[1]);
    EXPECT_TRUE(Exists(t / "x.txt"));
}

TEST_F(FileopsTest, OverwriteIsAskedPerFileFromWhatIsOnDisk) {
    TempDir src, dst;
    for (const char* n : {"a", "b", "c"}) src.write(n, std::string("neu ") + n);
    dst.write("a", "alt a");
    dst.write("b", "alt b");
    // No pane shows the target: the disk decides, file by file.
    jobAnswers = {JobAnswerStop};
    Copy(L"a\nb\nc\n", Folder(src), Folder(dst), 0);
    ASSERT_EQ(1u, asked.size()); // the confirmation only
    ASSERT_EQ(1u, jobAsked.size());
    EXPECT_EQ(0u,
              jobAsked[0].find(std::wstring(TextFileExists) + L" " + TextFileOverwrite + L"|a\n"));
    EXPECT_EQ("alt a", dst.read("a"));
    EXPECT_FALSE(Exists(dst / "c"));

    asked.clear();
    jobAsked.clear();
    Copy(L"a\nb\nc\n", Folder(src), Folder(dst), 0);
    EXPECT_EQ(2u, jobAsked.size());
    EXPECT_EQ("neu a", dst.read("a"));
    EXPECT_EQ("neu b", dst.read("b"));
    EXPECT_EQ("neu c", dst.read("c"));

    // A folder that is there takes the contents; only its files are asked about.
    Mkdir(src / "Ordner");
    Mkdir(dst / "Ordner");
    asked.clear();
    jobAsked.clear();
    Copy(L"Ordner\n", Folder(src), Folder(dst), 0);
    EXPECT_EQ(1u, asked.size());
    EXPECT_TRUE(jobAsked.empty());
}

TEST_F(FileopsTest, TreeLandsInPlaceEvenWhenItRepeatsTheSourcePath) {
    TempDir t;
    Mkdir(t / "a");
    Mkdir(t / "dst");
    // a/b/<the source folder's own path>/f.txt: removing every occurrence
    // of the source folder text once sent f.txt elsewhere.
    const std::string nested = t / "a/b" + t.path() + "/a";
    ASSERT_EQ(0, system(("mkdir -p '" + nested + "'").c_str()));
    ASSERT_EQ(0, symlink("/", (t / "a/b/wurzel").c_str()));
    TempDir check;
    check.write("f.txt", "tief");
    ASSERT_EQ(0, rename((check / "f.txt").c_str(), (nested + "/f.txt").c_str()));
    Mkdir(t / "a/leer");
    Copy(L"b\nleer\n", Folder(t) + L"a/", Folder(t) + L"dst/", 0);
    EXPECT_EQ("tief", ReadFile(t / "dst/b" + t.path() + "/a/f.txt"));
    EXPECT_TRUE(Exists(t / "dst/leer"));
    // a link is copied as the link, never followed
    char target[8] = {};
    EXPECT_EQ(1, readlink((t / "dst/b/wurzel").c_str(), target, sizeof target));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(FileopsTest, ProgressShowsTheCutItemAndReachesTheTotal) {
    TempDir src, dst;
    for (const char* n : {"1", "2", "3", "4"}) src.write(n, n);
    ProgressObserver = Totals;
    Copy(L"1\n2\n3\n4\n", Folder(src), Folder(dst), 0);
    ASSERT_FALSE(totals.empty());
    EXPECT_EQ(100, totals.back());
    EXPECT_TRUE(std::is_sorted(totals.begin(), totals.end()));

    const std::wstring item(100, L'x');
    CopyJob& job = NewFileJob(JobCopy, Folder(src), Folder(dst));
    OpenProgressWindow(job);
    PublishProgress(job, 50, 75, item, true);
    for (int i = 0; i < 20 && tk_gadget_get_text(GadFilePercent) != L"File:50%"; ++i)
        HandleProgress(tk_event_wait_timeout(20));
    EXPECT_EQ(L"Kopiere : " + item.substr(0, 67), tk_gadget_get_text(GadCurrentFile));
    EXPECT_EQ(L"GesamtProzent:75%", tk_gadget_get_text(GadTotalPercent));
    EXPECT_EQ(75, tk_gadget_get_state(GadTotalProgress));
    tk_window_close(WinCopyProgress);
    EndFileJob(job);
}

TEST_F(FileopsTest, CancelStopsBetweenFilesAndNotTheNextJob) {
    TempDir src, dst;
    for (const char* n : {"1", "2", "3"}) src.write(n, std::string(300000, *n));
    ProgressObserver = CancelAtFirstReport;
    Copy(L"1\n2\n3\n", Folder(src), Folder(dst), 0);
    EXPECT_EQ(std::string(300000, '1'), dst.read("1")); // the current file is finished
    EXPECT_FALSE(Exists(dst / "2"));
    EXPECT_FALSE(tk_window_exists(WinCopyProgress));
    EXPECT_TRUE(boxes.empty());

    ProgressObserver = nullptr;
    Copy(L"2\n3\n", Folder(src), Folder(dst), 0);
    EXPECT_TRUE(Exists(dst / "3"));
}

TEST_F(FileopsTest, AnyFailedFileIsReported) {
    TempDir src, dst;
    for (const char* n : {"a", "b"}) src.write(n, n);
    g_fail_path = src / "a";
    rt_sys.open = open_refused_exact;
    // the first file fails, the last succeeds: still a failure
    Copy(L"a\nb\n", Folder(src), Folder(dst), 0);
    EXPECT_EQ("b", dst.read("b"));
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"Copy...|Kopieren nicht erfolgreich", boxes[0]);
    rt_sys = rt_syscalls_real();
    boxes.clear();
    Copy(L"a\nb\n", Folder(src), Folder(dst), 0);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(FileopsTest, FullDiskKeepsTargetAndSourceAndSaysSo) {
    TempDir src, dst;
    src.write("gross", std::string(3 << 20, 'n'));
    dst.write("gross", "alter Inhalt");
    pf_copy_file_range = range_unsupported;
    rt_sys.write = write_until_full;
    g_writes_left = 1; // full in the middle of the file
    Copy(L"gross\n", Folder(src), Folder(dst), 1);
    EXPECT_EQ("alter Inhalt", dst.read("gross"));
    EXPECT_EQ(std::string(3 << 20, 'n'), src.read("gross"));
    EXPECT_EQ(0, TempFilesIn(dst.path()));
    ASSERT_EQ(1u, boxes.size());
}

TEST_F(FileopsTest, PermissionDeniedOnTargetKeepsTheMovedSources) {
    TempDir src, dst;
    src.write("a", "A");
    Mkdir(src / "Ordner");
    src.write("Ordner/b", "B");
    g_fail_below = dst.path();
    rt_sys.open = open_refused_below;
    rt_sys.renameat2 = rename_cross_device; // so the move must copy
    Copy(L"a\nOrdner\n", Folder(src), Folder(dst), 1);
    EXPECT_EQ("A", src.read("a"));
    EXPECT_EQ("B", src.read("Ordner/b"));
    EXPECT_EQ(1u, boxes.size());
}

TEST_F(FileopsTest, MoveAcrossFileSystemsFallsBackToCopy) {
    TempDir src, dst;
    src.write("a", "A");
    Mkdir(src / "Ordner");
    Mkdir(src / "Ordner/tief");
    src.write("Ordner/tief/b", "B");
    rt_sys.renameat2 = rename_cross_device;
    rt_sys.write = write_short;
    pf_copy_file_range = range_unsupported;
    Copy(L"a\nOrdner\n", Folder(src), Folder(dst), 1);
    EXPECT_EQ("A", dst.read("a"));
    EXPECT_EQ("B", dst.read("Ordner/tief/b"));
    EXPECT_FALSE(Exists(src / "a"));
    EXPECT_FALSE(Exists(src / "Ordner"));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(FileopsTest, QuittingDuringACopyLeavesNoPartOfIt) {
    TempDir src, dst;
    src.write("gross", std::string(64 << 20, 'q'));
    pf_copy_file_range = range_unsupported;
    rt_sys.renameat2 = rename_cross_device;
    CopyMoveCommand(L"gross\n", Folder(src), Folder(dst), 1, 0, 0);
    EndFileJobs();
    EXPECT_FALSE(FileJobRunning());
    EXPECT_EQ(0, TempFilesIn(dst.path()));
    EXPECT_EQ(std::string(64 << 20, 'q'), src.read("gross"));
    if (Exists(dst / "gross")) {
        EXPECT_EQ(std::string(64 << 20, 'q'), dst.read("gross"));
    }
}
