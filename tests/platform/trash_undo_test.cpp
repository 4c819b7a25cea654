// Undo and redo through the trash: a move to the trash and a copy (its copy
// sent to the trash, never deleted) each undone and redone, nothing changed
// since or standing in the way is touched, and a trash step a kill cut short
// is found again in the trash.
#include "platform/trash.h"
#include "platform/trash_undo.h"
#include "runtime/undo_items.h"
#include "trash_fixture.h"

namespace {

RtJournalItem item_of(int kind, const std::string& from, const std::string& to,
                      const RtIdentity& identity) {
    RtJournalItem item;
    item.kind = kind;
    item.from = w(from);
    item.to = w(to);
    item.identity = identity;
    return item;
}

} // namespace

TEST_F(TrashTest, ATrashStepIsUndoneAndRedone) {
    dir.write("a.txt", "alpha");
    RtJournalItem item = item_of(RtStepTrash, dir / "a.txt", "", identity_of(dir / "a.txt"));
    ASSERT_TRUE(rt_undo_ok(pf_undo_trash_again(&item))); // as the job trashes it
    ASSERT_FALSE(item.trash.empty());
    EXPECT_FALSE(exists(dir / "a.txt"));

    dir.write("a.txt", "new at the old place");
    EXPECT_EQ(pf_undo_restore(&item).reason, RtReasonPlaceTaken);
    EXPECT_EQ(dir.read("a.txt"), "new at the old place");
    unlink((dir / "a.txt").c_str());

    EXPECT_TRUE(rt_undo_ok(pf_undo_restore(&item)));
    EXPECT_EQ(dir.read("a.txt"), "alpha");
    EXPECT_TRUE(item.trash.empty());
    EXPECT_EQ(item.state, RtStepUndone);
    dir.write("a.txt", "alpha, changed after the undo");
    EXPECT_EQ(pf_undo_trash_again(&item).reason, RtReasonResized);
    EXPECT_TRUE(exists(dir / "a.txt"));
}

TEST_F(TrashTest, ACopyIsUndoneIntoTheTrashOnlyWhileAsCopied) {
    dir.write("src.txt", "copied bytes");
    for (const char* copy : {"copy.txt", "edited.txt"})
        ASSERT_EQ(system(("cp -p '" + dir / "src.txt' '" + dir / copy + "'").c_str()), 0);
    // the step knew the source before the copy was made
    RtJournalItem copy =
        item_of(RtStepCopy, dir / "src.txt", dir / "copy.txt", identity_of(dir / "src.txt"));
    RtJournalItem edited = item_of(RtStepCopy, dir / "src.txt", dir / "edited.txt", copy.identity);
    dir.write("edited.txt", "edited bytes");

    EXPECT_TRUE(rt_undo_ok(pf_undo_trash_copy(&copy)));
    EXPECT_FALSE(exists(dir / "copy.txt"));
    EXPECT_EQ(dir.read("src.txt"), "copied bytes");
    EXPECT_EQ(pf_undo_trash_copy(&edited).reason, RtReasonRetimed);
    EXPECT_EQ(dir.read("edited.txt"), "edited bytes");

    EXPECT_TRUE(rt_undo_ok(pf_undo_restore_copy(&copy)));
    EXPECT_EQ(dir.read("copy.txt"), "copied bytes");
    EXPECT_EQ(copy.state, RtStepDone);
}

TEST_F(TrashTest, AfterAKillATrashStepIsFoundWhereItsEntriesAre) {
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) dir.write(name, name);
    std::vector<RtJournalItem> items;
    for (const char* name : {"a.txt", "b.txt", "c.txt"})
        items.push_back(item_of(RtStepTrash, dir / name, "", identity_of(dir / name)));
    // the plan was written, then a.txt went to the trash and the kill came
    ASSERT_EQ(pf_trash_move(items[0].from).result, PfTrashDone);
    unlink((dir / "c.txt").c_str());

    int reason = -1;
    EXPECT_EQ(pf_undo_locate(&items[0], &reason), RtWhereTo);
    EXPECT_EQ(items[0].state, RtStepDone);
    EXPECT_EQ(pf_undo_locate(&items[1], &reason), RtWhereFrom);
    EXPECT_EQ(pf_undo_locate(&items[2], &reason), RtWhereNeither);
    EXPECT_EQ(reason, RtReasonGone);
    EXPECT_TRUE(rt_undo_ok(pf_undo_restore(&items[0])));
    EXPECT_EQ(dir.read("a.txt"), "a.txt");
}

TEST_F(TrashTest, AfterAKillAMoveAcrossFileSystemsIsFoundHalfDone) {
    if (!mount_second()) GTEST_SKIP() << kNeedsRoot;
    dir.write("a.txt", "moved by copy");
    dir.write("b.txt", "copied, not yet deleted");
    for (const char* name : {"a.txt", "b.txt"})
        ASSERT_EQ(system(("cp -p '" + dir / name + "' '" + mounted + "/" + name + "'").c_str()), 0);
    RtJournalItem a =
        item_of(RtStepMove, dir / "a.txt", mounted + "/a.txt", identity_of(dir / "a.txt"));
    RtJournalItem b =
        item_of(RtStepMove, dir / "b.txt", mounted + "/b.txt", identity_of(dir / "b.txt"));
    unlink((dir / "a.txt").c_str());

    EXPECT_EQ(pf_undo_locate(&a, nullptr), RtWhereTo);
    EXPECT_EQ(pf_undo_locate(&b, nullptr), RtWhereBoth);
    // the way back needs the copy engine; the extra copy goes to the trash
    EXPECT_EQ(rt_undo_move_back(&a).reason, RtReasonOtherFs);
    EXPECT_TRUE(rt_undo_ok(pf_undo_trash_copy(&b)));
    EXPECT_EQ(dir.read("b.txt"), "copied, not yet deleted");
    EXPECT_FALSE(exists(mounted + "/b.txt"));
}
