// Enumeration, single-path calls and path splitting on real awkward files.
#include <gtest/gtest.h>

#include "awkward_tree.h"
#include "runtime/dates.h"
#include "runtime/files.h"
#include "runtime/text.h"
#include "test_support.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::wstring W(const std::string& os) {
    return rt_text_from_os(os);
}

struct Listed {
    int type;
    int64_t size;
    int attributes;
};

// Lists folder completely; names are OS bytes.
std::map<std::string, Listed> list(const std::string& folder, const std::wstring& pattern = L"") {
    std::map<std::string, Listed> out;
    const int n = rt_dir_examine(-1, W(folder), pattern);
    EXPECT_NE(n, 0) << folder;
    while (rt_dir_next(n))
        out[rt_text_to_os(rt_dir_entry_name(n))] = {rt_dir_entry_type(n), rt_dir_entry_size(n),
                                                    rt_dir_entry_attributes(n)};
    EXPECT_EQ(rt_dir_finish(n), 1);
    return out;
}

} // namespace

TEST(Files, EnumerationListsAwkwardEntriesWithKindSizeAndAttributes) {
    using namespace awkward;
    TempDir tmp;
    const AwkwardTree tree = make_awkward_tree(tmp.path());
    const auto entries = list(tree.root + "/");
    EXPECT_EQ(entries.size(), 2 + tree.files.size() + tree.folders.size());
    EXPECT_EQ(entries.count("."), 1u);
    EXPECT_EQ(entries.count(".."), 1u);
    for (const std::string& name : tree.files) EXPECT_EQ(entries.at(name).type, RtEntryFile);
    for (const std::string& name : tree.folders) EXPECT_EQ(entries.at(name).type, RtEntryFolder);

    EXPECT_EQ(entries.at(kBlank).size, 5);
    EXPECT_EQ(entries.at(kBlank).attributes, RtAttrNormal);
    EXPECT_EQ(entries.at(kFileLink).size, 5); // sizes follow links
    EXPECT_EQ(entries.at(kFileLink).attributes, RtAttrLink);
    EXPECT_EQ(entries.at(kBrokenLink).size, 0);
    EXPECT_EQ(entries.at(kBrokenLink).attributes, RtAttrLink);
    EXPECT_EQ(entries.at(kLoopLink).attributes, RtAttrLink);
    EXPECT_EQ(entries.at(kOutsideLink).attributes, RtAttrFolder | RtAttrLink);
    EXPECT_EQ(entries.at(kHidden).attributes, RtAttrHidden);
    EXPECT_EQ(entries.at(".").attributes, RtAttrFolder); // "." is not hidden
    EXPECT_EQ(entries.at(kReadOnlyFile).attributes, RtAttrReadOnly);
    EXPECT_EQ(entries.at(kLockedFile).attributes, RtAttrReadOnly);
    EXPECT_EQ(entries.at(kFifo).attributes, RtAttrSystem);
    EXPECT_EQ(entries.at(kReadOnlyFolder).attributes, RtAttrFolder | RtAttrReadOnly);
    EXPECT_EQ(entries.at(kSub).size, 0);

    EmulatedPermissions as_user;
    EXPECT_EQ(rt_dir_examine(-1, W(tree.root + "/" + kLockedFolder), L""), 0);
}

TEST(Files, EnumeratedNamesReachTheirFiles) {
    using namespace awkward;
    TempDir tmp;
    const AwkwardTree tree = make_awkward_tree(tmp.path());
    const std::wstring root = W(tree.root + "/");
    ASSERT_EQ(rt_dir_examine(7, root, L"*.txt"), 1);
    std::vector<std::wstring> names;
    while (rt_dir_next(7)) names.push_back(rt_dir_entry_name(7));
    rt_dir_finish(7);
    EXPECT_EQ(names.size(), 7u); // blank, umlaut, line feed, bad UTF-8, long, read-only, locked
    for (const std::wstring& name : names) {
        EXPECT_EQ(name.find(L'\n'), std::wstring::npos); // never splits a line list
        const std::wstring path = root + name;
        ASSERT_GE(rt_file_size(path), 0) << rt_text_to_os(name);
        const std::wstring moved = root + L"moved";
        ASSERT_EQ(rt_file_rename(path, moved), 1);
        EXPECT_EQ(rt_file_size(path), RtSizeMissing);
        ASSERT_EQ(rt_file_rename(moved, path), 1);
        ASSERT_EQ(rt_file_delete(path, 0), 1);
    }
    EXPECT_EQ(list(tree.root, L"*.txt").size(), 0u);
}

TEST(Files, EnumerationOfEmptyFolderRootAndFailures) {
    TempDir tmp;
    const auto empty = list(tmp.path());
    EXPECT_EQ(empty.size(), 2u); // "." and ".."
    EXPECT_EQ(empty.at("..").type, RtEntryFolder);

    const auto root = list("/");
    EXPECT_EQ(root.count("."), 0u);
    EXPECT_EQ(root.count(".."), 0u);
    EXPECT_EQ(root.at("tmp").type, RtEntryFolder);

    tmp.write("file", "x");
    EXPECT_EQ(rt_dir_examine(-1, W(tmp / "file"), L""), 0);
    EXPECT_EQ(rt_dir_examine(-1, W(tmp / "missing"), L""), 0);
    EXPECT_EQ(rt_dir_examine(-2, W(tmp.path()), L""), 0);

    // no match is an empty listing, not a failure
    const int n = rt_dir_examine(-1, W(tmp.path()), L"*.none");
    EXPECT_NE(n, 0);
    EXPECT_EQ(rt_dir_next(n), 0);
    EXPECT_EQ(rt_dir_entry_name(n), L"");
    EXPECT_EQ(rt_dir_entry_type(n), 0);
    rt_dir_finish(n);
}

TEST(Files, EnumerationNumbers) {
    TempDir a, b;
    a.write("in-a", "");
    b.write("in-b", "");
    const int auto1 = rt_dir_examine(-1, W(a.path()), L"in-*");
    const int auto2 = rt_dir_examine(-1, W(a.path()), L"in-*");
    EXPECT_NE(auto1, auto2);
    EXPECT_GT(auto1, 0);
    // reusing a number ends the old enumeration, even when the new one fails
    ASSERT_EQ(rt_dir_examine(3, W(a.path()), L"in-*"), 1);
    ASSERT_EQ(rt_dir_examine(3, W(b.path()), L"in-*"), 1);
    ASSERT_EQ(rt_dir_next(3), 1);
    EXPECT_EQ(rt_dir_entry_name(3), L"in-b");
    EXPECT_EQ(rt_dir_examine(3, W(b / "missing"), L""), 0);
    EXPECT_EQ(rt_dir_next(3), 0);
    EXPECT_EQ(rt_dir_finish(3), 0);
    EXPECT_EQ(rt_dir_finish(auto1), 1);
    EXPECT_EQ(rt_dir_finish(auto2), 1);
    EXPECT_EQ(rt_dir_entry_size(auto1), 0);
}

TEST(Files, EntryDatesAreLocalWallClock) {
    TempDir tmp;
    tmp.write("dated", "");
    struct tm when {};
    when.tm_year = 2021 - 1900, when.tm_mon = 6, when.tm_mday = 15; // 15 July 2021
    when.tm_hour = 12, when.tm_min = 34, when.tm_sec = 56, when.tm_isdst = -1;
    const timespec times[2] = {{mktime(&when) - 3600, 0}, {mktime(&when), 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, (tmp / "dated").c_str(), times, 0), 0);
    const int n = rt_dir_examine(-1, W(tmp.path()), L"dated");
    ASSERT_EQ(rt_dir_next(n), 1);
    EXPECT_EQ(rt_dir_entry_date(n, RtDateModified), rt_date_make(2021, 7, 15, 12, 34, 56));
    EXPECT_EQ(rt_dir_entry_date(n, RtDateAccessed), rt_date_make(2021, 7, 15, 11, 34, 56));
    const int64_t created = rt_dir_entry_date(n, RtDateCreated); // birth time, or mtime
    EXPECT_TRUE(created == rt_dir_entry_date(n, RtDateModified) ||
                std::abs(created - rt_date_now()) < 60);
    EXPECT_EQ(rt_dir_entry_date(n, 9), 0);
    rt_dir_finish(n);
}

TEST(Files, SizeAndAttributesOfPaths) {
    using namespace awkward;
    TempDir tmp;
    const AwkwardTree tree = make_awkward_tree(tmp.path());
    const auto at = [&](const std::string& name) { return W(tree.root + "/" + name); };
    EXPECT_EQ(rt_file_size(L""), RtSizeMissing);
    EXPECT_EQ(rt_file_size(L"/"), RtSizeFolder);
    EXPECT_EQ(rt_file_size(at("missing")), RtSizeMissing);
    EXPECT_EQ(rt_file_size(at(kSub)), RtSizeFolder);
    EXPECT_EQ(rt_file_size(at(kSub + "//")), RtSizeFolder);
    EXPECT_EQ(rt_file_size(at(kBlank)), 5);
    EXPECT_EQ(rt_file_size(at(kFileLink)), 5);
    EXPECT_EQ(rt_file_size(at(kBrokenLink)), 0);
    EXPECT_EQ(rt_file_size(at(kOutsideLink)), RtSizeFolder);
    EXPECT_EQ(rt_file_attributes(at("missing")), -1);
    // a trailing "/" must not turn the link into its target
    EXPECT_EQ(rt_file_attributes(at(kOutsideLink + "/")), RtAttrFolder | RtAttrLink);
    EXPECT_EQ(rt_file_attributes(at(kHidden)), RtAttrHidden);
    EXPECT_EQ(rt_file_attributes(at(kLineFeed)), RtAttrNormal);
}

TEST(Files, RenameNeverReplacesAnExistingEntry) {
    TempDir tmp;
    tmp.write("a", "A");
    tmp.write("b", "B");
    EXPECT_EQ(rt_file_rename(W(tmp / "a"), W(tmp / "b")), 0);
    EXPECT_EQ(errno, EEXIST); // the caller tells the user why
    EXPECT_EQ(tmp.read("b"), "B");
    ASSERT_EQ(mkdir((tmp / "empty").c_str(), 0755), 0);
    EXPECT_EQ(rt_file_rename(W(tmp / "a"), W(tmp / "empty")), 0);
    EXPECT_EQ(rt_file_rename(W(tmp / "a"), W(tmp / "c")), 1);
    EXPECT_EQ(tmp.read("c"), "A");
    EXPECT_EQ(rt_file_rename(W(tmp / "empty"), W(tmp / "full")), 1); // folders too
    EXPECT_EQ(rt_file_size(W(tmp / "full")), RtSizeFolder);
    EXPECT_EQ(rt_file_rename(W(tmp / "missing"), W(tmp / "d")), 0);
}

TEST(Files, RenameFailuresFromTheSystem) {
    TempDir tmp;
    tmp.write("a", "A");
    tmp.write("b", "B");
    RtSyscallsRestore restore;
    // another file system: refused, nothing changes
    rt_sys.renameat2 = [](int, const char*, int, const char*, unsigned) {
        errno = EXDEV;
        return -1;
    };
    EXPECT_EQ(rt_file_rename(W(tmp / "a"), W(tmp / "c")), 0);
    EXPECT_EQ(tmp.read("a"), "A");
    // a file system without "no replace": checked by hand
    rt_sys.renameat2 = [](int, const char*, int, const char*, unsigned) {
        errno = EINVAL;
        return -1;
    };
    EXPECT_EQ(rt_file_rename(W(tmp / "a"), W(tmp / "b")), 0);
    EXPECT_EQ(errno, EEXIST); // the caller tells the user why
    EXPECT_EQ(tmp.read("b"), "B");
    EXPECT_EQ(rt_file_rename(W(tmp / "a"), W(tmp / "c")), 1);
    EXPECT_EQ(tmp.read("c"), "A");
}

TEST(Files, DeleteFilesAndCreateFolders) {
    TempDir tmp;
    tmp.write("ro", "x");
    ASSERT_EQ(chmod((tmp / "ro").c_str(), 0444), 0);
    EXPECT_EQ(rt_file_delete(W(tmp / "ro"), 2), 1);
    EXPECT_EQ(rt_file_delete(W(tmp / "ro"), 2), 0);
    {
        tmp.write("busy", "x");
        RtSyscallsRestore restore;
        rt_sys.unlink = [](const char*) {
            errno = EACCES;
            return -1;
        };
        EXPECT_EQ(rt_file_delete(W(tmp / "busy"), 2), 0);
    }
    EXPECT_EQ(tmp.read("busy"), "x");

    EXPECT_EQ(rt_dir_create(W(tmp / "Neu/ ")), 1); // trailing blanks and "/" dropped
    EXPECT_EQ(rt_file_size(W(tmp / "Neu")), RtSizeFolder);
    EXPECT_EQ(rt_dir_create(W(tmp / "Neu")), 0); // exists
    EXPECT_EQ(rt_dir_create(W(tmp / "a/b")), 0); // one level only
    EXPECT_EQ(rt_dir_create(L" /"), 0);
    EXPECT_EQ(rt_file_delete(W(tmp / "Neu"), 2), 0); // never a folder

    const std::wstring cwd = rt_dir_current();
    ASSERT_FALSE(cwd.empty());
    EXPECT_EQ(cwd.back(), L'/');
    EXPECT_EQ(rt_file_size(cwd), RtSizeFolder);
}

TEST(Files, PathSplitting) {
    EXPECT_EQ(rt_path_part(L"/home/u/a.txt"), L"/home/u/");
    EXPECT_EQ(rt_path_part(L"\"/usr/bin/viewer\" -x"), L"/usr/bin/");
    EXPECT_EQ(rt_path_part(L"/a/b|/c/d"), L"/a/");
    EXPECT_EQ(rt_path_part(L"name"), L"");
    EXPECT_EQ(rt_path_part(L"/a/back\\slash"), L"/a/"); // "\" is part of a name

    EXPECT_EQ(rt_path_file_part(L"/home/u/a.txt"), L"a.txt");
    EXPECT_EQ(rt_path_file_part(L"\"/home/u/a b.txt\""), L"a b.txt");
    EXPECT_EQ(rt_path_file_part(L"\"bare.txt\""), L"bare.txt");
    EXPECT_EQ(rt_path_file_part(L"/home/u/"), L"");

    EXPECT_EQ(rt_path_extension(L"/a/b.tar.gz"), L"gz");
    EXPECT_EQ(rt_path_extension(L"/a.d/noext"), L"");
    EXPECT_EQ(rt_path_extension(L"/a/.bashrc"), L"");
    EXPECT_EQ(rt_path_extension(L"/a/b. c"), L"");
    EXPECT_EQ(rt_path_extension(L"\"/a/b.TXT\""), L"TXT");
}

TEST(Files, PlainPathSplitsKeepQuotesAndBars) {
    // names may hold '"' and '|': the plain splits cut only at the last "/"
    EXPECT_EQ(rt_path_folder(L"/a/b|c/\"d"), L"/a/b|c/");
    EXPECT_EQ(rt_path_name(L"/a/b|c/\"d"), L"\"d");
    EXPECT_EQ(rt_path_folder(L"name"), L"");
    EXPECT_EQ(rt_path_name(L"name"), L"name");
    EXPECT_EQ(rt_path_folder(L"/x"), L"/");
    EXPECT_EQ(rt_path_name(L"/folder/"), L"");
}
