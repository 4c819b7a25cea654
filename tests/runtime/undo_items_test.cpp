// Undo and redo of single items: a moved entry goes back only while it is
// still the one moved and nothing took its old place, a created folder goes
// only while it is empty, and after a kill each item of a begun step is
// found where it really is, so that exactly the moved ones go back.
#include "runtime/identity.h"
#include "runtime/syscalls.h"
#include "runtime/text.h"
#include "runtime/undo_items.h"
#include "test_support.h"

#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::wstring w(const std::string& s) {
    return rt_text_from_os(s);
}

bool exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

struct UndoItemsTest : testing::Test {
    TempDir dir;

    // A move item of path a to path b (relative to dir), with the identity
    // taken before the move as a job takes it; the move itself when asked.
    RtJournalItem moved(const std::string& a, const std::string& b, bool move = true) {
        RtJournalItem item;
        item.kind = RtStepMove;
        item.from = w(dir / a);
        item.to = w(dir / b);
        EXPECT_TRUE(rt_identity_take(item.from, &item.identity));
        if (move) {
            EXPECT_EQ(rename((dir / a).c_str(), (dir / b).c_str()), 0);
        }
        item.state = RtStepDone;
        return item;
    }
};

} // namespace

TEST_F(UndoItemsTest, AMoveGoesBackAndAgainFolderOfItsOriginIncluded) {
    mkdir((dir / "src").c_str(), 0755);
    mkdir((dir / "src/tree").c_str(), 0755);
    mkdir((dir / "dst").c_str(), 0755);
    dir.write("src/a.txt", "alpha");
    dir.write("src/tree/b.txt", "beta");
    RtJournalItem file = moved("src/a.txt", "dst/a.txt");
    RtJournalItem folder = moved("src/tree", "dst/tree");
    ASSERT_EQ(rmdir((dir / "src").c_str()), 0); // a move removes emptied sources

    EXPECT_TRUE(rt_undo_ok(rt_undo_move_back(&file)));
    EXPECT_TRUE(rt_undo_ok(rt_undo_move_back(&folder)));
    EXPECT_EQ(dir.read("src/a.txt"), "alpha");
    EXPECT_EQ(dir.read("src/tree/b.txt"), "beta");
    EXPECT_EQ(file.state, RtStepUndone);

    EXPECT_TRUE(rt_undo_ok(rt_undo_move_again(&file)));
    EXPECT_TRUE(rt_undo_ok(rt_undo_move_again(&folder)));
    EXPECT_EQ(dir.read("dst/tree/b.txt"), "beta");
    EXPECT_EQ(file.state, RtStepDone);
    EXPECT_FALSE(exists(dir / "src/a.txt"));
}

TEST_F(UndoItemsTest, NothingChangedOrTakenIsEverMovedBack) {
    for (const char* name : {"grown", "touched", "taken", "replaced", "gone"})
        dir.write(name, "old");
    RtJournalItem grown = moved("grown", "grown.moved");
    RtJournalItem touched = moved("touched", "touched.moved");
    RtJournalItem taken = moved("taken", "taken.moved");
    RtJournalItem replaced = moved("replaced", "replaced.moved");
    RtJournalItem gone = moved("gone", "gone.moved");
    dir.write("grown.moved", "old and more");
    const struct timespec later[2] = {{0, UTIME_OMIT}, {1000, 0}};
    utimensat(AT_FDCWD, (dir / "touched.moved").c_str(), later, 0);
    dir.write("taken", "new at the old place");
    unlink((dir / "replaced.moved").c_str());
    dir.write("replaced.moved", "old");
    unlink((dir / "gone.moved").c_str());

    EXPECT_EQ(rt_undo_move_back(&grown).reason, RtReasonResized);
    EXPECT_EQ(rt_undo_move_back(&touched).reason, RtReasonRetimed);
    const RtUndoResult r = rt_undo_move_back(&taken);
    EXPECT_EQ(r.reason, RtReasonPlaceTaken);
    EXPECT_EQ(rt_undo_reason_text(r), L"Am alten Ort steht jetzt etwas anderes");
    EXPECT_EQ(rt_undo_move_back(&replaced).reason, RtReasonReplaced);
    EXPECT_EQ(rt_undo_move_back(&gone).reason, RtReasonGone);
    RtJournalItem unknown = grown;
    unknown.identity = {};
    EXPECT_EQ(rt_undo_move_back(&unknown).reason, RtReasonUnknown);
    // everything stayed where it was
    EXPECT_EQ(dir.read("grown.moved"), "old and more");
    EXPECT_EQ(dir.read("taken"), "new at the old place");
    EXPECT_EQ(dir.read("taken.moved"), "old");
    EXPECT_EQ(grown.state, RtStepDone);
    EXPECT_EQ(rt_undo_reason_text(rt_undo_move_back(&grown)), L"Datei wurde verändert");
}

TEST_F(UndoItemsTest, AMoveAcrossFileSystemsIsReportedNotCopied) {
    dir.write("a", "alpha");
    RtJournalItem item = moved("a", "b");
    RtSyscallsRestore restore;
    rt_sys.renameat2 = [](int, const char*, int, const char*, unsigned) {
        return errno = EXDEV, -1;
    };
    EXPECT_EQ(rt_undo_move_back(&item).reason, RtReasonOtherFs);
    EXPECT_EQ(dir.read("b"), "alpha");
    EXPECT_FALSE(exists(dir / "a"));
}

TEST_F(UndoItemsTest, ACreatedFolderGoesOnlyWhileEmptyAndItsOwn) {
    RtJournalItem item;
    item.kind = RtStepNewFolder;
    item.to = w(dir / "Neu");
    ASSERT_TRUE(rt_undo_ok(rt_undo_make_folder(&item))); // as F7 and its redo make it
    RtJournalItem again = item;
    EXPECT_EQ(rt_undo_make_folder(&again).reason, RtReasonPlaceTaken);

    dir.write("Neu/inside.txt", "keep");
    const RtUndoResult full = rt_undo_remove_folder(&item);
    EXPECT_EQ(full.reason, RtReasonNotEmpty);
    EXPECT_EQ(rt_undo_reason_text(full), L"Ordner ist nicht leer");
    EXPECT_EQ(dir.read("Neu/inside.txt"), "keep");

    unlink((dir / "Neu/inside.txt").c_str());
    RtJournalItem other = item;
    rmdir((dir / "Neu").c_str());
    mkdir((dir / "Neu").c_str(), 0755);
    EXPECT_EQ(rt_undo_remove_folder(&item).reason, RtReasonReplaced);
    ASSERT_TRUE(rt_identity_take(other.to, &other.identity));
    EXPECT_TRUE(rt_undo_ok(rt_undo_remove_folder(&other)));
    EXPECT_FALSE(exists(dir / "Neu"));
}

TEST_F(UndoItemsTest, AfterAKillEachItemIsFoundWhereItReallyIs) {
    for (const char* name : {"a", "b", "c", "d", "e"}) dir.write(name, name);
    mkdir((dir / "dst").c_str(), 0755);
    // the plan as written before the move started; the kill came after two
    std::vector<RtJournalItem> items = {moved("a", "dst/a"), moved("b", "dst/b"),
                                        moved("c", "dst/c", false), moved("d", "dst/d"),
                                        moved("e", "dst/e", false)};
    for (RtJournalItem& item : items) item.state = RtStepBegun;
    unlink((dir / "dst/d").c_str());
    dir.write("e", "changed meanwhile");

    const int expected[] = {RtWhereTo, RtWhereTo, RtWhereFrom, RtWhereNeither, RtWhereNeither};
    const int reasons[] = {RtReasonNone, RtReasonNone, RtReasonNone, RtReasonGone, RtReasonResized};
    for (size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(i);
        int reason = -1;
        EXPECT_EQ(rt_undo_locate(&items[i], &reason), expected[i]);
        EXPECT_EQ(reason, reasons[i]);
        if (items[i].state == RtStepDone) {
            EXPECT_TRUE(rt_undo_ok(rt_undo_move_back(&items[i])));
        }
    }
    for (const char* name : {"a", "b", "c"}) EXPECT_EQ(dir.read(name), name);
    EXPECT_FALSE(exists(dir / "dst/a"));

    // a copy is there or not; a folder whose identity was never taken is
    // not taken for ours
    dir.write("copy.src", "copied");
    RtJournalItem copy = moved("copy.src", "copy.dst", false);
    copy.kind = RtStepCopy;
    EXPECT_EQ(rt_undo_locate(&copy, nullptr), RtWhereFrom);
    ASSERT_EQ(system(("cp -p '" + dir / "copy.src' '" + dir / "copy.dst'").c_str()), 0);
    EXPECT_EQ(rt_undo_locate(&copy, nullptr), RtWhereTo);
    EXPECT_TRUE(rt_identity_check(copy.identity, copy.to) == RtReasonNone); // the copy's own now
    RtJournalItem folder;
    folder.kind = RtStepNewFolder;
    folder.to = w(dir / "dst");
    int reason = 0;
    EXPECT_EQ(rt_undo_locate(&folder, &reason), RtWhereUnknown);
    EXPECT_EQ(reason, RtReasonUnknown);
}
