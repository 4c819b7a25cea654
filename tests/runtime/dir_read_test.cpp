// rt_dir_read against the numbered enumeration: the same entries with the
// same kinds, sizes, attributes and dates, also for file times on both sides
// of a clock change; calling off; rt_file_read_all.
#include <gtest/gtest.h>

#include "runtime/files.h"
#include "runtime/syscalls.h"
#include "runtime/text.h"
#include "test_support.h"

#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Seen {
    int type = 0;
    int64_t size = 0;
    int attributes = 0;
    int64_t modified = 0;
    bool operator==(const Seen&) const = default;
};

std::map<std::wstring, Seen> Enumerated(const std::wstring& folder) {
    std::map<std::wstring, Seen> out;
    const int n = rt_dir_examine(-1, folder, L"*.*");
    while (n && rt_dir_next(n))
        out[rt_dir_entry_name(n)] = {rt_dir_entry_type(n), rt_dir_entry_size(n),
                                     rt_dir_entry_attributes(n),
                                     rt_dir_entry_date(n, RtDateModified)};
    rt_dir_finish(n);
    return out;
}

std::map<std::wstring, Seen> ReadAtOnce(const std::wstring& folder) {
    std::vector<RtDirEntry> entries;
    EXPECT_TRUE(rt_dir_read(folder, &entries));
    std::map<std::wstring, Seen> out;
    for (const RtDirEntry& e : entries) out[e.name] = {e.type, e.size, e.attributes, e.modified};
    return out;
}

void SetMtime(const std::string& path, time_t utc) {
    struct timespec times[2] = {{utc, 0}, {utc, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

// TZ for the length of a test.
struct ZoneFor {
    explicit ZoneFor(const char* zone) {
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ZoneFor() {
        unsetenv("TZ");
        tzset();
    }
};

} // namespace

TEST(DirRead, SameEntriesAsTheEnumerationAcrossClockChanges) {
    ZoneFor zone("Europe/Berlin");
    TempDir dir;
    // 2021-03-28 01:00 UTC is the change to summer time in Berlin; files a
    // second either side, within the hour and in other hours and years.
    const time_t change = 1616893200;
    const time_t times[] = {change - 1,
                            change,
                            change + 1,
                            change - 1800,
                            change + 1800,
                            0,
                            86400,
                            951782400,
                            1700000000,
                            2147483647,
                            change + 3600 * 24 * 210}; // the change back, about
    int i = 0;
    for (time_t t : times) {
        std::string name = "f"; // ("f" + to_string trips a false -Wrestrict of GCC 12 at -O3)
        name += std::to_string(i++);
        dir.write(name, std::string(static_cast<size_t>(i), 'x'));
        SetMtime(dir / name, t);
    }
    mkdir((dir / "ordner").c_str(), 0755);
    dir.write(".versteckt", "v");
    ASSERT_EQ(symlink("ordner", (dir / "verweis").c_str()), 0);
    ASSERT_EQ(symlink("nirgends", (dir / "kaputt").c_str()), 0);
    const std::wstring folder = rt_text_from_os(dir.path()) + L"/";
    const auto expected = Enumerated(folder);
    EXPECT_EQ(ReadAtOnce(folder), expected);
    EXPECT_EQ(expected.size(), 2u + 11u + 4u); // ".", "..", files, the rest
}

TEST(DirRead, FailsForWhatCannotBeListedAndWhenCalledOff) {
    TempDir dir;
    dir.write("a", "1");
    dir.write("b", "2");
    std::vector<RtDirEntry> entries;
    EXPECT_FALSE(rt_dir_read(rt_text_from_os(dir / "fehlt") + L"/", &entries));
    EXPECT_FALSE(rt_dir_read(rt_text_from_os(dir / "a"), &entries));
    std::atomic<int> cancel{1};
    EXPECT_FALSE(rt_dir_read(rt_text_from_os(dir.path()), &entries, &cancel));
    cancel = 0;
    EXPECT_TRUE(rt_dir_read(rt_text_from_os(dir.path()), &entries, &cancel));
}

TEST(FileReadAll, ReadsThroughTheSeam) {
    TempDir dir;
    const std::string big(10000, 'q');
    dir.write("gross", big + "\nzwei");
    std::string text;
    EXPECT_TRUE(rt_file_read_all(rt_text_from_os(dir / "gross"), &text));
    EXPECT_EQ(text, big + "\nzwei");
    RtSyscallsRestore restore;
    rt_sys.read = [](int, void*, size_t) -> ssize_t {
        errno = EIO;
        return -1;
    };
    text.clear();
    EXPECT_FALSE(rt_file_read_all(rt_text_from_os(dir / "gross"), &text));
    EXPECT_FALSE(rt_file_read_all(rt_text_from_os(dir / "fehlt"), &text));
}
