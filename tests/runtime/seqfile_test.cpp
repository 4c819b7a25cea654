// Text files: exact bytes written, every line ending read, failures reported.
#include <gtest/gtest.h>

#include "runtime/seqfile.h"
#include "runtime/syscalls.h"
#include "runtime/text.h"
#include "test_support.h"

#include <cerrno>
#include <vector>

namespace {

std::wstring W(const std::string& os) {
    return rt_text_from_os(os);
}

std::vector<std::wstring> read_all(const std::string& path) {
    std::vector<std::wstring> lines;
    const int n = rt_seqfile_open_read(-1, W(path));
    EXPECT_NE(n, 0);
    while (!rt_seqfile_eof(n)) lines.push_back(rt_seqfile_read_line(n));
    EXPECT_EQ(rt_seqfile_close(n), 1);
    return lines;
}

} // namespace

TEST(SeqFile, WritesUtf8LinesWithCrLfAndNoMark) {
    TempDir tmp;
    const int n = rt_seqfile_create(-1, W(tmp / "out.txt"));
    ASSERT_NE(n, 0);
    EXPECT_EQ(rt_seqfile_write_line(n, L"Ä"), 1);
    EXPECT_EQ(rt_seqfile_write_line(n, L""), 1);
    EXPECT_EQ(rt_seqfile_close(n), 1);
    EXPECT_EQ(tmp.read("out.txt"), "\xC3\x84\r\n\r\n");
    // creating again truncates
    ASSERT_EQ(rt_seqfile_create(4, W(tmp / "out.txt")), 1);
    EXPECT_EQ(rt_seqfile_close(4), 1);
    EXPECT_EQ(tmp.read("out.txt"), "");
}

TEST(SeqFile, ReadsEveryLineEnding) {
    TempDir tmp;
    tmp.write("mixed", "crlf\r\nlf\ncr\rlast");
    EXPECT_EQ(read_all(tmp / "mixed"), (std::vector<std::wstring>{L"crlf", L"lf", L"cr", L"last"}));
    tmp.write("empty-lines", "\n\r\n\r");
    EXPECT_EQ(read_all(tmp / "empty-lines"), (std::vector<std::wstring>{L"", L"", L""}));
    tmp.write("bom", "\xEF\xBB\xBF"
                     "a\n");
    EXPECT_EQ(read_all(tmp / "bom"), (std::vector<std::wstring>{L"\uFEFFa"}));
    tmp.write("empty", "");
    EXPECT_TRUE(read_all(tmp / "empty").empty());
}

TEST(SeqFile, LongLinesAndAwkwardBytesSurviveReadAndRewrite) {
    TempDir tmp;
    std::string original;
    for (int i = 0; i < 300; ++i) original += "Zeile " + std::to_string(i) + " \xC3\xBC\r\n";
    original += std::string(10000, 'x') + "\r\n";  // longer than the buffer
    original += "bad \xFF\xFE utf8\ttab \x01\r\n"; // kept byte for byte
    original += "\xE2\x82\r\n";                    // a sequence cut short by the line end
    tmp.write("in", original);
    const std::vector<std::wstring> lines = read_all(tmp / "in");
    ASSERT_EQ(lines.size(), 303u);
    EXPECT_EQ(lines[0], L"Zeile 0 ü");
    const int out = rt_seqfile_create(-1, W(tmp / "out"));
    for (const std::wstring& line : lines) rt_seqfile_write_line(out, line);
    EXPECT_EQ(rt_seqfile_close(out), 1);
    EXPECT_EQ(tmp.read("out"), original);
}

TEST(SeqFile, NumbersAndMisuse) {
    TempDir tmp;
    ASSERT_EQ(rt_seqfile_create(2, W(tmp / "first")), 1);
    rt_seqfile_write_line(2, L"eins");
    // reusing the number closes (and writes out) the first file
    ASSERT_EQ(rt_seqfile_open_read(2, W(tmp / "first")), 1);
    EXPECT_EQ(tmp.read("first"), "eins\r\n");
    EXPECT_EQ(rt_seqfile_write_line(2, L"no"), 0); // open for reading
    EXPECT_EQ(rt_seqfile_read_line(2), L"eins");
    EXPECT_EQ(rt_seqfile_eof(2), 1);
    EXPECT_EQ(rt_seqfile_read_line(2), L"");
    EXPECT_EQ(rt_seqfile_close(2), 1);

    EXPECT_EQ(rt_seqfile_open_read(-1, W(tmp / "missing")), 0);
    EXPECT_EQ(rt_seqfile_create(-1, W(tmp / "no/such/folder")), 0);
    EXPECT_EQ(rt_seqfile_create(-5, W(tmp / "x")), 0);
    EXPECT_EQ(rt_seqfile_read_line(99), L"");
    EXPECT_EQ(rt_seqfile_write_line(99, L"x"), 0);
    EXPECT_EQ(rt_seqfile_eof(99), 1); // a read loop on a bad number ends
    EXPECT_EQ(rt_seqfile_close(99), 0);
    const int w = rt_seqfile_create(-1, W(tmp / "w"));
    EXPECT_EQ(rt_seqfile_read_line(w), L""); // open for writing
    EXPECT_EQ(rt_seqfile_eof(w), 1);
    rt_seqfile_close(w);
}

TEST(SeqFile, ShortWritesAreCompletedAndFailedWritesReported) {
    TempDir tmp;
    RtSyscallsRestore restore;
    rt_sys.write = [](int fd, const void* data, size_t size) {
        return rt_syscalls_real().write(fd, data, size < 7 ? size : 7);
    };
    int n = rt_seqfile_create(-1, W(tmp / "short"));
    std::string expected;
    for (int i = 0; i < 1000; ++i) {
        rt_seqfile_write_line(n, L"line " + std::to_wstring(i));
        expected += "line " + std::to_string(i) + "\r\n";
    }
    EXPECT_EQ(rt_seqfile_close(n), 1);
    EXPECT_EQ(tmp.read("short"), expected);

    rt_sys.write = [](int, const void*, size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    };
    n = rt_seqfile_create(-1, W(tmp / "full"));
    EXPECT_EQ(rt_seqfile_write_line(n, L"buffered, not yet written"), 1);
    EXPECT_EQ(rt_seqfile_close(n), 0);
    n = rt_seqfile_create(-1, W(tmp / "full"));
    EXPECT_EQ(rt_seqfile_write_line(n, std::wstring(5000, L'x')), 0); // straight to disk
    EXPECT_EQ(rt_seqfile_close(n), 0);
}
