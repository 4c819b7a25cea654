// Drops onto a pane (files from this program or from other applications):
// copy and move into the pane's folder or into its selected folder row, a
// drop back into the folder the files came from does nothing, a folder
// dropped into itself is refused as F5 and F6 refuse it, and paths from
// another folder than the first file's are left out.
#include "fileops_fixture.h"

#include "app/fileops/fileops_texts.h"
#include "app/shell/pane_context_menu.h"
#include "toolkit/clipboard.h"
#include "toolkit/events.h"

#include <unistd.h>

namespace {

class DropTest : public FileopsTest {
  protected:
    // Drops the paths (joined by line feeds, no trailing one, as the toolkit
    // hands them over) onto pane and runs the job to its end.
    static void Drop(int64_t pane, int64_t action, const std::wstring& files,
                     const std::wstring& selected = L"") {
        DropOntoPane(pane, action, files, selected);
        RunJob();
    }
};

TEST_F(DropTest, CopyAndMoveGoIntoThePanesFolder) {
    TempDir src, dst;
    src.write("a.txt", "A");
    src.write("b.txt", "B");
    ShowPath(GadRightPane, Folder(dst), ShowReset);
    Drop(GadRightPane, TkDropCopy, Folder(src) + L"a.txt\n" + Folder(src) + L"b.txt");
    ASSERT_EQ(1u, asked.size());
    EXPECT_EQ(std::wstring(TextCopyHeadline) + L"|" + TextCopyQuestion + L"\r" + Folder(dst) +
                  TextQuestionEnd,
              asked[0]);
    EXPECT_EQ("A", dst.read("a.txt"));
    EXPECT_EQ("B", dst.read("b.txt"));
    EXPECT_TRUE(Exists(src / "a.txt")) << "a copy keeps its source";

    asked.clear();
    TempDir moved;
    ShowPath(GadLeftPane, Folder(moved), ShowReset);
    Drop(GadLeftPane, TkDropMove, Folder(src) + L"a.txt");
    ASSERT_EQ(1u, asked.size());
    EXPECT_EQ(0u, asked[0].rfind(TextMoveHeadline, 0)) << asked[0];
    EXPECT_EQ("A", moved.read("a.txt"));
    EXPECT_FALSE(Exists(src / "a.txt"));
    EXPECT_TRUE(boxes.empty());
}

TEST_F(DropTest, SelectedFolderRowTakesTheDrop) {
    TempDir src, dst;
    src.write("a.txt", "A");
    Mkdir(dst / "Ziel");
    dst.write("datei", "keine Ablage");
    ShowPath(GadRightPane, Folder(dst), ShowReset);
    Drop(GadRightPane, TkDropMove, Folder(src) + L"a.txt", L"Ziel");
    EXPECT_EQ("A", dst.read("Ziel/a.txt"));
    EXPECT_FALSE(Exists(src / "a.txt"));
    // The ".." row, selected in a freshly listed pane, is no drop target:
    // the files once landed in the parent folder.
    src.write("c.txt", "C");
    Drop(GadRightPane, TkDropCopy, Folder(src) + L"c.txt", L"..");
    EXPECT_EQ("C", dst.read("c.txt"));
    // A selected file row is no folder: the drop goes into the pane's folder.
    src.write("b.txt", "B");
    Drop(GadRightPane, TkDropCopy, Folder(src) + L"b.txt", L"datei");
    EXPECT_EQ("B", dst.read("b.txt"));
    EXPECT_EQ("keine Ablage", dst.read("datei"));
}

TEST_F(DropTest, DropBackIntoItsOwnFolderDoesNothing) {
    TempDir t;
    t.write("a.txt", "A");
    ASSERT_EQ(0, symlink(t.path().c_str(), (t / "link").c_str()));
    ShowPath(GadLeftPane, Folder(t), ShowReset);
    for (int64_t action : {TkDropCopy, TkDropMove}) {
        Drop(GadLeftPane, action, Folder(t) + L"a.txt");
        EXPECT_TRUE(asked.empty()) << "no question for a drop back where it came from";
    }
    // The same folder reached through a link is refused by the copy rules
    // (it was the move that deleted a file onto itself).
    ShowPath(GadLeftPane, Folder(t) + L"link/", ShowReset);
    Drop(GadLeftPane, TkDropMove, Folder(t) + L"a.txt");
    ASSERT_EQ(2u, asked.size());
    EXPECT_EQ(std::wstring(TextError) + L"|" + TextFileMoveOnItself, asked[1]);
    EXPECT_EQ("A", t.read("a.txt"));
}

TEST_F(DropTest, FolderDroppedIntoItselfIsRefused) {
    TempDir t;
    Mkdir(t / "Daten");
    Mkdir(t / "Daten/Neu");
    ShowPath(GadLeftPane, Folder(t) + L"Daten/", ShowReset);
    for (int64_t action : {TkDropCopy, TkDropMove}) {
        asked.clear();
        // onto its own row "Neu" inside the pane that shows Daten
        Drop(GadLeftPane, action, Folder(t) + L"Daten", L"Neu");
        ASSERT_EQ(2u, asked.size());
        EXPECT_EQ(std::wstring(TextError) + L"|" + TextFolderIntoItself, asked[1]);
    }
    EXPECT_FALSE(Exists(t / "Daten/Neu/Daten"));
    EXPECT_TRUE(Exists(t / "Daten/Neu"));
}

TEST_F(DropTest, OtherActionsAndPathsOutsideTheFirstFolderAreLeftOut) {
    TempDir src, other, dst;
    src.write("a.txt", "A");
    other.write("o.txt", "O");
    ShowPath(GadRightPane, Folder(dst), ShowReset);
    Drop(GadRightPane, 0, Folder(src) + L"a.txt");
    Drop(GadRightPane, TkDropCopy, L"");
    EXPECT_TRUE(asked.empty());
    Drop(GadRightPane, TkDropCopy, Folder(src) + L"a.txt\n" + Folder(other) + L"o.txt");
    EXPECT_EQ("A", dst.read("a.txt"));
    EXPECT_FALSE(Exists(dst / "o.txt")) << "a bare name would name another file";
}

// A job's panes come with its command: after an F5 from left to right, a
// drop onto the left pane and a paste into it tell the left pane's watcher
// that its folder changes, not the right one's that the F5 went to.
TEST_F(DropTest, ADropOrAPasteAfterAnF5TellsItsOwnTargetPane) {
    TempDir left, right;
    left.write("l.txt", "L");
    right.write("r.txt", "R");
    right.write("p.txt", "P");
    ShowPath(GadRightPane, Folder(right), ShowReset);
    ShowPath(GadLeftPane, Folder(left), ShowReset);
    const auto told = [](int64_t list) { return PaneOf(list)->Watcher.Changed->exchange(0); };

    CopyMoveBetweenPanes(L"l.txt\n", GadLeftPane, GadRightPane, 0);
    RunJob();
    ASSERT_EQ("L", right.read("l.txt"));
    EXPECT_EQ(told(GadRightPane), 1);
    EXPECT_EQ(told(GadLeftPane), 0);

    Drop(GadLeftPane, TkDropCopy, Folder(right) + L"r.txt");
    EXPECT_EQ("R", left.read("r.txt"));
    EXPECT_EQ(told(GadLeftPane), 1);
    EXPECT_EQ(told(GadRightPane), 0);

    tk_clipboard_set_files(Folder(right) + L"p.txt", 0);
    PaneContext = PaneContextState{};
    PaneContext.Pane = GadLeftPane;
    PaneContext.Folder = Folder(left);
    PasteFiles();
    RunJob();
    EXPECT_EQ("P", left.read("p.txt"));
    EXPECT_EQ(told(GadLeftPane), 1);
    EXPECT_EQ(told(GadRightPane), 0);
}

} // namespace
