// The undo journal: steps come back exactly as written (awkward names too),
// the oldest are dropped beyond the number kept but never a running one, and
// a journal damaged in any way, or a write that fails at any stage, leaves
// the last whole state and never stops the next start.
#include "awkward_tree.h"
#include "runtime/journal.h"
#include "runtime/journal_text.h"
#include "runtime/syscalls.h"
#include "runtime/text.h"
#include "test_support.h"

#include <cerrno>
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::wstring w(const std::string& s) {
    return rt_text_from_os(s);
}

RtJournalStep awkward_step() {
    RtJournalStep step;
    step.kind = RtStepMove;
    step.text = L"Verschieben: a\\xb\tc\nd " + w(awkward::kUmlaut);
    for (const std::string& name : {awkward::kBlank, awkward::kUmlaut, awkward::kLineFeed,
                                    awkward::kBadUtf8, awkward::kLongName}) {
        RtJournalItem item;
        item.from = w("/src/" + name);
        item.to = w("/dst/" + name);
        item.identity = {2049, 1234567, 5, 1700000000123456789LL, 1600000000000000001LL, RtIdFile};
        step.items.push_back(item);
    }
    step.items.back().trash = w("/t/files/\\U00000041");
    step.items.back().from.push_back(static_cast<wchar_t>(0xD800)); // no byte escape of ours
    return step;
}

void expect_same(const RtJournalStep& a, const RtJournalStep& b) {
    EXPECT_EQ(a.id, b.id);
    EXPECT_EQ(a.kind, b.kind);
    EXPECT_EQ(a.state, b.state);
    EXPECT_EQ(a.text, b.text);
    ASSERT_EQ(a.items.size(), b.items.size());
    for (size_t i = 0; i < a.items.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(a.items[i].kind, b.items[i].kind);
        EXPECT_EQ(a.items[i].state, b.items[i].state);
        EXPECT_EQ(a.items[i].from, b.items[i].from);
        EXPECT_EQ(a.items[i].to, b.items[i].to);
        EXPECT_EQ(a.items[i].trash, b.items[i].trash);
        EXPECT_TRUE(a.items[i].identity == b.items[i].identity);
    }
}

size_t files_in(const std::string& folder, const std::string& suffix) {
    size_t n = 0;
    DIR* d = opendir(folder.c_str());
    while (dirent* e = d ? readdir(d) : nullptr)
        if (std::string(e->d_name).ends_with(suffix)) ++n;
    if (d) closedir(d);
    return n;
}

struct JournalTest : testing::Test {
    TempDir dir;
    std::string folder = dir / "Data/Undo/";
    RtJournal journal;

    void reopen() { rt_journal_open(&journal, w(folder)); }
    int64_t add(RtJournalStep step, int end_state = RtStepDone) {
        EXPECT_TRUE(rt_journal_begin(&journal, &step));
        step.state = end_state;
        if (end_state != RtStepBegun) {
            EXPECT_TRUE(rt_journal_update(&journal, step));
        }
        return step.id;
    }
};

} // namespace

TEST_F(JournalTest, StepsComeBackExactlyAfterARestart) {
    reopen(); // no folder yet: an empty journal, made at the first write
    EXPECT_TRUE(rt_journal_list(&journal).empty());
    RtJournalStep step = awkward_step();
    ASSERT_TRUE(rt_journal_begin(&journal, &step));
    step.state = RtStepDone;
    step.items[1].state = RtStepDone;
    ASSERT_TRUE(rt_journal_update(&journal, step));

    RtJournal again;
    rt_journal_open(&again, w(folder));
    const std::vector<RtJournalEntry> list = rt_journal_list(&again);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].text, step.text);
    EXPECT_EQ(list[0].state, RtStepDone);
    EXPECT_EQ(list[0].item_count, 5);
    EXPECT_FALSE(list[0].running);
    RtJournalStep read;
    ASSERT_TRUE(rt_journal_read(&again, step.id, &read));
    expect_same(read, step);
    // one record per line: no name's line feed or tab reached the file
    std::string bytes = dir.read("Data/Undo/1.step");
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 2 + 5 + 1);
}

// An end written on a thread of its own: whatever comes after it sees it,
// and it never overwrites a newer state.
TEST_F(JournalTest, AnEndWrittenAsideIsNeverOlderThanWhatFollows) {
    reopen();
    RtJournalStep step = awkward_step();
    ASSERT_TRUE(rt_journal_begin(&journal, &step));
    step.state = RtStepDone;
    ASSERT_TRUE(rt_journal_update_later(&journal, step));
    EXPECT_EQ(rt_journal_list(&journal)[0].state, RtStepDone);
    RtJournalStep read;
    ASSERT_TRUE(rt_journal_read(&journal, step.id, &read));
    EXPECT_EQ(read.state, RtStepDone);

    ASSERT_TRUE(rt_journal_update_later(&journal, step));
    RtJournalStep undone = step;
    undone.state = RtStepUndone;
    ASSERT_TRUE(rt_journal_update(&journal, undone));
    rt_journal_flush(&journal);
    RtJournal again;
    rt_journal_open(&again, w(folder));
    ASSERT_TRUE(rt_journal_read(&again, step.id, &read));
    EXPECT_EQ(read.state, RtStepUndone);

    ASSERT_TRUE(rt_journal_update_later(&journal, step));
    rt_journal_flush(&journal);
    rt_journal_open(&again, w(folder));
    ASSERT_TRUE(rt_journal_read(&again, step.id, &read));
    expect_same(read, step);
}

TEST_F(JournalTest, KeepsTheNewestStepsButNeverOneAJobWorksOn) {
    reopen();
    const int64_t running = add(awkward_step(), RtStepBegun);
    for (size_t i = 0; i < RtJournalKeep + 1; ++i) add(awkward_step());
    std::vector<RtJournalEntry> list = rt_journal_list(&journal);
    ASSERT_EQ(list.size(), RtJournalKeep);
    EXPECT_EQ(list.front().id, running);
    EXPECT_EQ(list[1].id, running + 3); // the two oldest ended steps went
    EXPECT_EQ(files_in(folder, ".step"), RtJournalKeep);

    reopen(); // a new start continues the numbers
    RtJournalStep next = awkward_step();
    ASSERT_TRUE(rt_journal_begin(&journal, &next));
    EXPECT_EQ(next.id, list.back().id + 1);
    EXPECT_TRUE(rt_journal_list(&journal).front().id != running); // no longer running here
    EXPECT_TRUE(rt_journal_drop(&journal, next.id));
    EXPECT_FALSE(rt_journal_drop(&journal, next.id));
}

TEST_F(JournalTest, DamagedOrForeignFilesAreSetAsideNeverTrusted) {
    reopen();
    const int64_t kept = add(awkward_step());
    RtJournalStep small = awkward_step();
    small.items.resize(1);
    const int64_t cut = add(small);
    const std::string whole = dir.read("Data/Undo/" + std::to_string(cut) + ".step");
    dir.write("Data/Undo/notes.txt", "not ours");
    for (size_t length = 0; length < whole.size(); ++length) {
        SCOPED_TRACE(length);
        dir.write("Data/Undo/" + std::to_string(cut) + ".step", whole.substr(0, length));
        dir.write("Data/Undo/99.step",
                  "TarnCommander-Undo 1\nstep\t99\tmove\tdone\t0\t\nend\t98\t0\n");
        reopen();
        const std::vector<RtJournalEntry> list = rt_journal_list(&journal);
        ASSERT_EQ(list.size(), 1u);
        EXPECT_EQ(list[0].id, kept);
        EXPECT_EQ(journal.set_aside, 2);
    }
    EXPECT_EQ(dir.read("Data/Undo/notes.txt"), "not ours");

    // whole at both ends, damaged inside: found out when the items are read
    std::string inner = dir.read("Data/Undo/" + std::to_string(kept) + ".step");
    inner[inner.find("\tfile\t") + 2] = 'X';
    dir.write("Data/Undo/" + std::to_string(kept) + ".step", inner);
    reopen();
    RtJournalStep read;
    EXPECT_FALSE(rt_journal_read(&journal, kept, &read));
    EXPECT_TRUE(rt_journal_list(&journal).empty());
    EXPECT_EQ(dir.read("Data/Undo/" + std::to_string(kept) + ".step.broken"), inner);

    // a file where the folder should be
    TempDir other;
    other.write("Undo", "foreign");
    rt_journal_open(&journal, w(other / "Undo/"));
    EXPECT_EQ(journal.set_aside, 1);
    RtJournalStep step = awkward_step();
    EXPECT_TRUE(rt_journal_begin(&journal, &step));
    EXPECT_EQ(other.read("Undo.broken"), "foreign");
}

TEST_F(JournalTest, AFailedWriteAtAnyStageLeavesTheLastWholeState) {
    RtSyscallsRestore restore;
    reopen();
    RtJournalStep step = awkward_step();
    // killed before the step was written: nothing of it on disk
    rt_sys.write = [](int, const void*, size_t) -> ssize_t { return errno = ENOSPC, -1; };
    EXPECT_FALSE(rt_journal_begin(&journal, &step));
    EXPECT_EQ(errno, ENOSPC);
    EXPECT_EQ(rt_journal_list(&journal).size(), 1u); // still undoable in this run
    rt_sys = rt_syscalls_real();
    RtJournal fresh;
    rt_journal_open(&fresh, w(folder));
    EXPECT_TRUE(rt_journal_list(&fresh).empty());

    // written as begun (and on the disk before the operation may start),
    // killed before it was marked done
    static int syncs;
    rt_sys.fsync = [](int fd) { return ++syncs, rt_syscalls_real().fsync(fd); };
    ASSERT_TRUE(rt_journal_update(&journal, step));
    EXPECT_GE(syncs, 1);
    rt_sys.write = [](int, const void*, size_t) -> ssize_t { return errno = ENOSPC, -1; };
    RtJournalStep done = step;
    done.state = RtStepDone;
    done.items.resize(2);
    EXPECT_FALSE(rt_journal_update(&journal, done));
    rt_sys = rt_syscalls_real();
    // a writer killed mid-write leaves its temporary file: the next start clears it
    dir.write("Data/Undo/.tc-tmp-999999999-1", "half");
    rt_journal_open(&fresh, w(folder));
    RtJournalStep read;
    ASSERT_TRUE(rt_journal_read(&fresh, step.id, &read));
    expect_same(read, step);
    EXPECT_EQ(files_in(folder, "-1"), 0u);
}

TEST(JournalText, EscapesRoundTripEveryCharacter) {
    std::wstring all;
    for (uint32_t c : {0x1u, 0x9u, 0xAu, 0x5Cu, 0x7Fu, 0x85u, 0xE4u, 0xD800u, 0xDC0Au, 0xDCFFu,
                       0xFFFDu, 0x1F600u, 0x110000u})
        all.push_back(static_cast<wchar_t>(c));
    std::string escaped;
    rt_journal_escape(escaped, all);
    EXPECT_EQ(escaped.find_first_of("\t\n"), std::string::npos);
    std::wstring back;
    ASSERT_TRUE(rt_journal_unescape(escaped, &back));
    EXPECT_EQ(back, all);
    for (const char* bad : {"\\", "\\x4", "\\xZZ", "\\q", "\xFF", "\xC3", "\xED\xA0\x80", "a\x01"})
        EXPECT_FALSE(rt_journal_unescape(bad, &back)) << bad;
}
