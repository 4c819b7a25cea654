// Type-name and icon workers on real folders: German type names, the hidden
// mark, a stopped worker, rows moved while the workers run, rows handed to a
// worker that was still busy, the end of the program with a worker hanging.
#include "pane_live_fixture.h"
#include "slow_calls.h"

#include <sys/stat.h>
#include <thread>

namespace {

// Red pixels of the row's picture as the list shows it (the hidden mark).
int RedPixels(int64_t pane, int64_t row) {
    const int64_t image = tk_list_copy_item_image(pane, row, -1);
    int red = 0;
    for (int y = 0; y < tk_image_height(image); ++y)
        for (int x = 0; x < tk_image_width(image); ++x) {
            const uint32_t p = tk_image_pixel(image, x, y);
            if ((p >> 24) > 128 && ((p >> 16) & 0xFF) > 150 && ((p >> 8) & 0xFF) < 80 &&
                (p & 0xFF) < 80)
                ++red;
        }
    tk_image_free(image);
    return red;
}

std::wstring ExpectedType(const std::wstring& name) {
    if (name.ends_with(L".txt")) return L"Einfaches Textdokument";
    if (name.ends_with(L".png")) return L"PNG-Bild";
    if (name.ends_with(L".pdf")) return L"PDF-Dokument";
    return L"?";
}

} // namespace

TEST_F(PaneLiveTest, TypeNamesAndIconsArriveAfterTheListing) {
    TempDir dir;
    mkdir((dir / "sub").c_str(), 0755);
    mkdir((dir / ".versteckt").c_str(), 0755);
    dir.write("brief.txt", "Hallo\n");
    dir.write("qqq_ohne_typ", std::string("\x01\x02\xff\xfe\x00\x10\x80\x81", 8));
    ASSERT_EQ(mkfifo((dir / ".rohr").c_str(), 0644), 0); // hidden and system: never opened
    ASSERT_EQ(ShowPath(GadLeftPane, Folder(dir), ShowReset), 0);
    ASSERT_TRUE(WaitReady(GadLeftPane));

    EXPECT_EQ(TypeOf(GadLeftPane, L"sub"), L"Dateiordner");
    EXPECT_EQ(TypeOf(GadLeftPane, L"brief.txt"), L"Einfaches Textdokument");
    EXPECT_EQ(TypeOf(GadLeftPane, L"qqq_ohne_typ"), L"unbekannt");
    EXPECT_EQ(TypeOf(GadLeftPane, L".rohr"), L"Pipe");
    EXPECT_EQ(TypeOf(GadLeftPane, L".."), L"");
    for (const std::wstring& name : Column(GadLeftPane, 0))
        EXPECT_EQ(TagOf(GadLeftPane, name) & PaneTagDone, uint32_t(PaneTagDone)) << name;
    // A hidden folder shows its icon with the red "!", a hidden system entry
    // the plain icon.
    EXPECT_TRUE(TagOf(GadLeftPane, L".versteckt") & PaneTagMarked);
    EXPECT_GT(RedPixels(GadLeftPane, RowOf(GadLeftPane, L".versteckt")), 3);
    EXPECT_FALSE(TagOf(GadLeftPane, L".rohr") & PaneTagMarked);
    EXPECT_FALSE(TagOf(GadLeftPane, L"sub") & PaneTagMarked);
    EXPECT_EQ(RedPixels(GadLeftPane, RowOf(GadLeftPane, L"sub")), 0);
    // One icon per type, shared: two text files show the same image.
    EXPECT_EQ(PaneTypeIcon(PaneTagType(TagOf(GadLeftPane, L"brief.txt")), 0, 0),
              PaneTypeIcon(pf_mime_lookup(L"/x/other.txt", 0), 0, 0));
}

TEST_F(PaneLiveTest, AStoppedWorkerEndsAtItsNextRowAndTouchesNoMoreRows) {
    TempDir dir;
    MakeFiles(dir, 20000, {".txt", ".png", ".pdf"});
    ShowPath(GadLeftPane, Folder(dir), ShowReset);
    PaneWorkerRecord& types = PaneOf(GadLeftPane)->TypeNames;
    // Let it start, then stop it half-way.
    while (tk_list_item_tag(GadLeftPane, 50) == PaneNewRowTag(GadLeftPane))
        std::this_thread::yield();
    StopPaneWorkers(GadLeftPane);
    for (int i = 0; i < 2000 && types.Done.load() != 1; ++i) rt_delay(1);
    ASSERT_EQ(types.Done.load(), 1);
    const auto typed = [] {
        int n = 0;
        for (int64_t r = 0; r < tk_gadget_count_items(GadLeftPane); ++r)
            n += (tk_list_item_tag(GadLeftPane, r) & PaneTagTyped) != 0;
        return n;
    };
    const int after_stop = typed();
    rt_delay(50);
    EXPECT_EQ(typed(), after_stop);
    EXPECT_LT(after_stop, 20001);
    // A listing that follows hands the rows to the next pass: all get done.
    ShowPath(GadLeftPane, L"", ShowRefresh);
    ASSERT_TRUE(WaitReady(GadLeftPane));
    // The report says every row has its icon; the type names may still be
    // coming when the icon worker did its own lookups.
    for (int i = 0; i < 20000 && types.Done.load() != 1; ++i) rt_delay(1);
    EXPECT_EQ(typed(), 20001);
}

TEST_F(PaneLiveTest, RowsMovedWhileTheWorkersRunKeepTheirOwnTypeNames) {
    TempDir dir;
    MakeFiles(dir, 20000, {".txt", ".png", ".pdf"});
    ShowPath(GadLeftPane, Folder(dir), ShowReset);
    // Header clicks, removals and rows added while both workers run.
    for (int64_t column : {2, 0, 3, 2, 0}) {
        tk_gadget_set_data(GadLeftPane, column);
        ColumnClicked(GadLeftPane);
    }
    dir.write("neu.pdf", "x");
    ASSERT_EQ(unlink((dir / "f7.png").c_str()), 0);
    RefreshPaneEntries(GadLeftPane);
    ASSERT_TRUE(WaitReady(GadLeftPane));
    const std::vector<std::wstring> names = Column(GadLeftPane, 0);
    const std::vector<std::wstring> types = Column(GadLeftPane, 2);
    ASSERT_EQ(names.size(), 20001u);
    int wrong = 0;
    for (size_t i = 1; i < names.size(); ++i) wrong += types[i] != ExpectedType(names[i]);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(RowOf(GadLeftPane, L"f7.png"), -1);
    EXPECT_EQ(TypeOf(GadLeftPane, L"neu.pdf"), L"PDF-Dokument");
}

TEST_F(PaneLiveTest, RowsAddedWhileAWorkerRunsStillGetTheirTypeNames) {
    TempDir dir;
    MakeFiles(dir, 5000, {".txt"});
    ShowPath(GadLeftPane, Folder(dir), ShowReset);
    dir.write("spaet.png", "x"); // its worker start finds the workers still busy
    AddNewEntries(GadLeftPane, PanePath(GadLeftPane));
    // On a busy machine the listing's pass may end before the new row came,
    // giving a report of its own first: the row is done by a later one.
    for (int report = 0; report < 3; ++report) {
        ASSERT_TRUE(WaitReady(GadLeftPane));
        if (TagOf(GadLeftPane, L"spaet.png") & PaneTagIconed) break;
    }
    EXPECT_EQ(TypeOf(GadLeftPane, L"spaet.png"), L"PNG-Bild");
    EXPECT_TRUE(TagOf(GadLeftPane, L"spaet.png") & PaneTagIconed);
    // The report of added rows re-sorted the pane: the new row is in place.
    EXPECT_EQ(Column(GadLeftPane, 0).back(), L"spaet.png");
}

// The end of the program stops the workers; one hanging in its look at a
// file on a dead mount held the program up with it, and once back it would
// have written into a list being freed.
TEST_F(PaneLiveTest, TheEndLeavesAWorkerHangingOnAFileBehindAndItTouchesNoRowAfter) {
    TempDir dir;
    mkdir((dir / ".versteckt").c_str(), 0755); // the icon worker looks at hidden entries
    PaneThreadsHeld = true;
    ASSERT_EQ(ShowPath(GadLeftPane, Folder(dir), ShowReset), 0);
    Pane& pane = *PaneOf(GadLeftPane);
    pane.WatcherHeld = false; // only the workers
    RtSyscallsRestore restore;
    slow::Reset();
    slow::SlowPrefix = dir.path();
    slow::Install();
    ReleasePaneThreads();
    ASSERT_TRUE(slow::PumpUntil([] { return slow::HeldUp.load() > 0; }));
    const int thread = pane.Icons.Thread;

    EndPaneThreads();
    EXPECT_TRUE(rt_thread_is_running(thread)) << "the end waited for the hanging worker";
    slow::Released = true;
    ASSERT_NE(rt_thread_wait(thread), 0);
    EXPECT_FALSE(TagOf(GadLeftPane, L".versteckt") & PaneTagIconed);
    slow::Reset();
}
