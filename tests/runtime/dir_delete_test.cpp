// rt_dir_delete on the awkward tree: permissions, links, failures, depth.
#include <gtest/gtest.h>

#include "awkward_tree.h"
#include "runtime/files.h"
#include "runtime/text.h"
#include "test_support.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::wstring W(const std::string& os) {
    return rt_text_from_os(os);
}

bool exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

int open_descriptors() {
    int count = 0;
    DIR* d = opendir("/proc/self/fd");
    while (readdir(d)) ++count;
    closedir(d);
    return count;
}

} // namespace

TEST(DirDelete, ForcedRecursiveRemovesTheWholeAwkwardTree) {
    TempDir tmp;
    const AwkwardTree tree = make_awkward_tree(tmp.path());
    EmulatedPermissions as_user;
    EXPECT_EQ(rt_dir_delete(W(tree.root + "/"), L"", RtDeleteRecursive | RtDeleteForce), 1);
    EXPECT_FALSE(exists(tree.root));
    // the link into the outside folder went as a link; its target is whole
    EXPECT_EQ(tmp.read("outside/" + awkward::kOutsideFile), "keep me");
}

TEST(DirDelete, WithoutForceKeepsWhatPermissionsProtect) {
    using namespace awkward;
    TempDir tmp;
    const AwkwardTree tree = make_awkward_tree(tmp.path());
    const auto at = [&](const std::string& name) { return tree.root + "/" + name; };
    EmulatedPermissions as_user;
    EXPECT_EQ(rt_dir_delete(W(tree.root), L"*.*", RtDeleteRecursive), 0);
    EXPECT_TRUE(exists(at(kReadOnlyFolder + "/kept.txt")));
    EXPECT_TRUE(exists(at(kLockedFolder)));
    EXPECT_FALSE(exists(at(kSub)));
    EXPECT_FALSE(exists(at(kLineFeed)));
    EXPECT_FALSE(exists(at(kLockedFile))); // a file's own permissions do not protect it
    EXPECT_FALSE(exists(at(kOutsideLink)));
    EXPECT_TRUE(exists(tree.outside + "/" + kOutsideFile));
}

TEST(DirDelete, AFileThatCannotGoStaysWithItsFolders) {
    TempDir tmp;
    ASSERT_EQ(mkdir((tmp / "top").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((tmp / "top/sub").c_str(), 0755), 0);
    tmp.write("top/a", "a");
    tmp.write("top/sub/locked", "l");
    tmp.write("top/sub/b", "b");
    RtSyscallsRestore restore;
    rt_sys.unlinkat = [](int dirfd, const char* name, int flags) {
        if (std::strcmp(name, "locked") == 0) {
            errno = EBUSY;
            return -1;
        }
        return rt_syscalls_real().unlinkat(dirfd, name, flags);
    };
    EXPECT_EQ(rt_dir_delete(W(tmp / "top"), L"", RtDeleteRecursive | RtDeleteForce), 0);
    EXPECT_TRUE(exists(tmp / "top/sub/locked"));
    EXPECT_FALSE(exists(tmp / "top/sub/b"));
    EXPECT_FALSE(exists(tmp / "top/a"));
}

TEST(DirDelete, LinksAreRemovedNeverFollowed) {
    TempDir tmp;
    const AwkwardTree tree = make_awkward_tree(tmp.path());
    const std::string link = tree.root + "/" + awkward::kOutsideLink;
    // the folder given is itself a link: the link goes, with or without "/"
    EXPECT_EQ(rt_dir_delete(W(link + "/"), L"", RtDeleteRecursive | RtDeleteForce), 1);
    EXPECT_FALSE(exists(link));
    EXPECT_TRUE(exists(tree.outside + "/" + awkward::kOutsideFile));
    // a pattern walk does not enter a link either
    ASSERT_EQ(symlink(tree.outside.c_str(), link.c_str()), 0);
    EXPECT_EQ(rt_dir_delete(W(tree.root), L"*.txt", RtDeleteRecursive), 1);
    EXPECT_TRUE(exists(tree.outside + "/" + awkward::kOutsideFile));
    EXPECT_EQ(rt_dir_delete(W(link), L"*.txt", RtDeleteRecursive), 0);
    EXPECT_TRUE(exists(tree.outside + "/" + awkward::kOutsideFile));
}

TEST(DirDelete, PatternRemovesMatchingFilesAndKeepsFolders) {
    TempDir tmp;
    ASSERT_EQ(mkdir((tmp / "top").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((tmp / "top/sub").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((tmp / "top/x.tmp").c_str(), 0755), 0); // a folder that matches
    tmp.write("top/a.tmp", "");
    tmp.write("top/a.txt", "");
    tmp.write("top/sub/b.tmp", "");
    EXPECT_EQ(rt_dir_delete(W(tmp / "top"), L"*.tmp", 0), 1);
    EXPECT_FALSE(exists(tmp / "top/a.tmp"));
    EXPECT_TRUE(exists(tmp / "top/sub/b.tmp")); // not recursive
    EXPECT_TRUE(exists(tmp / "top/x.tmp"));
    EXPECT_EQ(rt_dir_delete(W(tmp / "top"), L"*.tmp", RtDeleteRecursive), 1);
    EXPECT_FALSE(exists(tmp / "top/sub/b.tmp"));
    EXPECT_TRUE(exists(tmp / "top/a.txt"));
    EXPECT_TRUE(exists(tmp / "top/sub"));
}

TEST(DirDelete, WithoutRecursionSubfoldersStayAndTheResultIsZero) {
    TempDir tmp;
    ASSERT_EQ(mkdir((tmp / "top").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((tmp / "top/sub").c_str(), 0755), 0);
    tmp.write("top/a", "");
    EXPECT_EQ(rt_dir_delete(W(tmp / "top"), L"", 0), 0);
    EXPECT_FALSE(exists(tmp / "top/a"));
    EXPECT_TRUE(exists(tmp / "top/sub"));
    EXPECT_EQ(rt_dir_delete(L"", L"", 3), 0);
    EXPECT_EQ(rt_dir_delete(W(tmp / "missing"), L"", 3), 0);
    tmp.write("file", "");
    EXPECT_EQ(rt_dir_delete(W(tmp / "file"), L"", 3), 0);
    EXPECT_TRUE(exists(tmp / "file"));
    EXPECT_EQ(rt_dir_delete(W(tmp / "top/sub/.."), L"", 3), 0); // never empties a ".."
    EXPECT_TRUE(exists(tmp / "top/sub"));
}

TEST(DirDelete, WorksBeyondThePathLengthLimit) {
    TempDir tmp;
    // 40 levels of 200-byte names: 8 KB of path, twice what the system takes
    const std::string name(200, 'd');
    int fd = open(tmp.path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(mkdirat(fd, "deep", 0755), 0);
    int dir = openat(fd, "deep", O_RDONLY | O_DIRECTORY);
    close(fd);
    for (int level = 0; level < 40; ++level) {
        ASSERT_EQ(mkdirat(dir, name.c_str(), 0755), 0);
        const int file = openat(dir, "f", O_WRONLY | O_CREAT, 0644);
        close(file);
        const int next = openat(dir, name.c_str(), O_RDONLY | O_DIRECTORY);
        close(dir);
        dir = next;
    }
    close(openat(dir, "f", O_WRONLY | O_CREAT, 0644));
    fchmod(dir, 0555); // the deepest folder read-only, with a file inside
    close(dir);
    const int before = open_descriptors();
    EmulatedPermissions as_user;
    EXPECT_EQ(rt_dir_delete(W(tmp / "deep"), L"", RtDeleteRecursive | RtDeleteForce), 1);
    EXPECT_FALSE(exists(tmp / "deep"));
    EXPECT_EQ(open_descriptors(), before);
}

TEST(DirDelete, StopsWhenAFolderIsMovedAwayDuringTheWalk) {
    TempDir tmp;
    ASSERT_EQ(mkdir((tmp / "top").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((tmp / "top/sub").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((tmp / "stranger").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((tmp / "stranger/sub").c_str(), 0755), 0);
    tmp.write("stranger/keep", "");
    static std::string stranger;
    stranger = tmp / "stranger";
    RtSyscallsRestore restore;
    // ".." leads somewhere else, as if "sub" had been moved under "stranger"
    rt_sys.openat = [](int dirfd, const char* path, int flags, mode_t mode) {
        if (std::strcmp(path, "..") == 0) return open(stranger.c_str(), flags);
        return rt_syscalls_real().openat(dirfd, path, flags, mode);
    };
    EXPECT_EQ(rt_dir_delete(W(tmp / "top"), L"", RtDeleteRecursive), 0);
    EXPECT_TRUE(exists(tmp / "stranger/sub"));
    EXPECT_TRUE(exists(tmp / "stranger/keep"));
}
