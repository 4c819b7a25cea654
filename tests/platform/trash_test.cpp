// The freedesktop trash: entries with awkward names go to the trash of their
// own file system with a record that other desktops read, come back byte for
// byte, never replace anything on the way back, and a failed move leaves no
// record; a file system without a usable trash is said so, never copied to.
#include "platform/trash.h"
#include "runtime/awkward_tree.h"
#include "runtime/syscalls.h"
#include "trash_fixture.h"

#include <cerrno>
#include <dirent.h>
#include <regex>
#include <sys/mount.h>

namespace {

size_t entries_in(const std::string& folder) {
    size_t n = 0;
    DIR* d = opendir(folder.c_str());
    while (dirent* e = d ? readdir(d) : nullptr)
        if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") ++n;
    if (d) closedir(d);
    return n;
}

std::string read_file(const std::string& path) {
    std::string out;
    FILE* f = fopen(path.c_str(), "rb");
    for (int c; f && (c = fgetc(f)) != EOF;) out += static_cast<char>(c);
    if (f) fclose(f);
    return out;
}

std::string record_of(const std::wstring& trashed) {
    const std::string t = o(trashed);
    const size_t files = t.rfind("/files/");
    return read_file(t.substr(0, files) + "/info/" + t.substr(files + 7) + ".trashinfo");
}

} // namespace

TEST_F(TrashTest, AwkwardNamesGoToTheHomeTrashAndComeBackWhole) {
    using namespace awkward;
    mkdir((dir / "src").c_str(), 0755);
    const std::vector<std::string> names = {kBlank,   kUmlaut,   kLineFeed,
                                            kBadUtf8, kLongName, "Ordner"};
    for (size_t i = 0; i + 1 < names.size(); ++i) dir.write("src/" + names[i], names[i]);
    mkdir((dir / "src/Ordner").c_str(), 0755);
    dir.write("src/Ordner/inner.txt", "inner");

    std::vector<std::wstring> trashed;
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const PfTrashResult r = pf_trash_move(w(dir / "src/" + name));
        ASSERT_EQ(r.result, PfTrashDone);
        EXPECT_EQ(o(r.trashed).rfind(home_trash + "/files/", 0), 0u);
        EXPECT_FALSE(exists(dir / "src/" + name));
        const std::string record = record_of(r.trashed);
        const std::regex form("\\[Trash Info\\]\nPath=/[A-Za-z0-9/_.!~*'()%-]+\n"
                              "DeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n");
        EXPECT_TRUE(std::regex_match(record, form)) << record;
        PfTrashEntry entry;
        ASSERT_TRUE(pf_trash_find(r.trashed, &entry));
        EXPECT_EQ(entry.original, w(dir / "src/" + name));
        trashed.push_back(r.trashed);
    }
    EXPECT_NE(record_of(trashed[2]).find("line%0Afeed.txt"), std::string::npos);
    EXPECT_NE(record_of(trashed[3]).find("bad-%FF%FE-name.txt"), std::string::npos);

    for (size_t i = 0; i < names.size(); ++i) {
        std::wstring back;
        EXPECT_TRUE(rt_undo_ok(pf_trash_restore(trashed[i], &back)));
        EXPECT_EQ(back, w(dir / "src/" + names[i]));
    }
    for (size_t i = 0; i + 1 < names.size(); ++i) EXPECT_EQ(dir.read("src/" + names[i]), names[i]);
    EXPECT_EQ(dir.read("src/Ordner/inner.txt"), "inner");
    EXPECT_EQ(entries_in(home_trash + "/files"), 0u);
    EXPECT_EQ(entries_in(home_trash + "/info"), 0u);
}

TEST_F(TrashTest, OneNameTwiceAndARestoreThatNeverReplaces) {
    mkdir((dir / "src").c_str(), 0755);
    dir.write("src/a.txt", "one");
    const PfTrashResult first = pf_trash_move(w(dir / "src/a.txt"));
    dir.write("src/a.txt", "two");
    const PfTrashResult second = pf_trash_move(w(dir / "src/a.txt"));
    ASSERT_EQ(second.result, PfTrashDone);
    EXPECT_EQ(o(second.trashed), home_trash + "/files/a.2.txt");

    dir.write("src/a.txt", "three");
    const RtUndoResult taken = pf_trash_restore(second.trashed, nullptr);
    EXPECT_EQ(taken.reason, RtReasonPlaceTaken);
    EXPECT_EQ(dir.read("src/a.txt"), "three");
    EXPECT_EQ(read_file(o(second.trashed)), "two");
    EXPECT_FALSE(record_of(second.trashed).empty());

    // the folder it came from is gone: it is made again
    ASSERT_EQ(system(("rm -r '" + dir / "src'").c_str()), 0);
    EXPECT_TRUE(rt_undo_ok(pf_trash_restore(first.trashed, nullptr)));
    EXPECT_EQ(dir.read("src/a.txt"), "one");
    EXPECT_EQ(pf_trash_restore(first.trashed, nullptr).reason, RtReasonGone);
}

TEST_F(TrashTest, AMoveThatFailsLeavesTheEntryAndNoRecord) {
    RtSyscallsRestore restore;
    dir.write("a.txt", "keep");
    struct Case {
        int error, result;
    };
    for (const Case c :
         {Case{EACCES, PfTrashFailed}, Case{EXDEV, PfTrashNoTrash}, Case{EBUSY, PfTrashFailed}}) {
        SCOPED_TRACE(c.error);
        static int fail_with;
        fail_with = c.error;
        rt_sys.renameat2 = [](int, const char*, int, const char*, unsigned) {
            return errno = fail_with, -1;
        };
        const PfTrashResult r = pf_trash_move(w(dir / "a.txt"));
        EXPECT_EQ(r.result, c.result);
        EXPECT_EQ(r.error, c.error);
        EXPECT_EQ(dir.read("a.txt"), "keep");
        EXPECT_EQ(entries_in(home_trash + "/info"), 0u);
    }
    rt_sys = rt_syscalls_real();
    rt_sys.open = [](const char* path, int flags, mode_t mode) {
        if (std::string(path).find("/info/") != std::string::npos) return errno = EROFS, -1;
        return rt_syscalls_real().open(path, flags, mode);
    };
    EXPECT_EQ(pf_trash_move(w(dir / "a.txt")).result, PfTrashNoTrash);
    EXPECT_EQ(pf_trash_move(w(dir / "missing")).result, PfTrashFailed);
    EXPECT_EQ(dir.read("a.txt"), "keep");
}

TEST_F(TrashTest, ASecondFileSystemUsesATrashOfItsOwn) {
    if (!mount_second()) GTEST_SKIP() << kNeedsRoot;
    mkdir((mounted + "/sub").c_str(), 0755);
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.txt"})
        dir.write(std::string("mnt/sub/") + name, name);

    const PfTrashResult a = pf_trash_move(w(mounted + "/sub/a.txt"));
    ASSERT_EQ(a.result, PfTrashDone);
    EXPECT_EQ(o(a.trashed), mounted + "/.Trash-0/files/a.txt");
    struct stat st {};
    ASSERT_EQ(lstat((mounted + "/.Trash-0").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    EXPECT_NE(record_of(a.trashed).find("\nPath=sub/a.txt\n"), std::string::npos);
    EXPECT_FALSE(exists(home_trash + "/files"));

    // an administrator's shared trash is taken only with its sticky bit
    mkdir((mounted + "/.Trash").c_str(), 0777);
    chmod((mounted + "/.Trash").c_str(), 0777);
    EXPECT_EQ(o(pf_trash_move(w(mounted + "/sub/b.txt")).trashed),
              mounted + "/.Trash-0/files/b.txt");
    chmod((mounted + "/.Trash").c_str(), 01777);
    const PfTrashResult c = pf_trash_move(w(mounted + "/sub/c.txt"));
    EXPECT_EQ(o(c.trashed), mounted + "/.Trash/0/files/c.txt");
    EXPECT_NE(record_of(c.trashed).find("\nPath=sub/c.txt\n"), std::string::npos);

    EXPECT_TRUE(rt_undo_ok(pf_trash_restore(a.trashed, nullptr)));
    EXPECT_TRUE(rt_undo_ok(pf_trash_restore(c.trashed, nullptr)));
    EXPECT_EQ(dir.read("mnt/sub/a.txt"), "a.txt");
    EXPECT_EQ(dir.read("mnt/sub/c.txt"), "c.txt");

    // a file system that cannot take a trash is reported, the entry untouched
    ASSERT_EQ(mount(nullptr, mounted.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    const PfTrashResult d = pf_trash_move(w(mounted + "/sub/d.txt"));
    EXPECT_EQ(d.result, PfTrashNoTrash);
    EXPECT_EQ(dir.read("mnt/sub/d.txt"), "d.txt");
}

TEST_F(TrashTest, AnEntryTrashedBeforeAKillIsFoundByItsIdentity) {
    dir.write("a.txt", "first");
    const RtIdentity first = identity_of(dir / "a.txt");
    const PfTrashResult one = pf_trash_move(w(dir / "a.txt"));
    dir.write("a.txt", "second, longer");
    const RtIdentity second = identity_of(dir / "a.txt");
    const PfTrashResult two = pf_trash_move(w(dir / "a.txt"));

    std::wstring found;
    ASSERT_TRUE(pf_trash_search(w(dir / "a.txt"), second, &found));
    EXPECT_EQ(found, two.trashed);
    ASSERT_TRUE(pf_trash_search(w(dir / "a.txt"), first, &found));
    EXPECT_EQ(found, one.trashed);
    dir.write("b.txt", "never trashed");
    EXPECT_FALSE(pf_trash_search(w(dir / "b.txt"), identity_of(dir / "b.txt"), &found));
}
