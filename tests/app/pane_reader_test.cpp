// Listings and disk queries off the main thread: a folder whose enumeration
// hangs and a free-space query that hangs leave the loop answering and the
// other pane usable; a newer navigation supersedes the slow listing; the
// answers that come late look exactly like the ones that came in time.
#include "app/core/answers.h"
#include "app/panes/pane_location.h"
#include "app/panes/pane_reader.h"
#include "app/panes/pane_texts.h"
#include "pane_fixture.h"
#include "runtime/dates.h"
#include "runtime/syscalls.h"
#include "toolkit/gadget_cursor.h"

#include <atomic>
#include <chrono>
#include <string>
#include <sys/stat.h>
#include <thread>

namespace {

using Texts = std::vector<std::wstring>;
using Clock = std::chrono::steady_clock;

constexpr int32_t PingCode = 4242; // an application event nobody else posts
constexpr auto SlowFor = std::chrono::seconds(5);

// The fake system calls: the folder (OS path) or query they hold up, for
// five seconds or until released.
std::string SlowFolder;
std::atomic<bool> Released{false};
std::atomic<int> HeldUp{0};
std::atomic<int> SlowOpened{0}; // opens of SlowFolder
std::string SeenFolder;         // a folder whose opens are only counted
std::atomic<int> SeenOpened{0};

void HoldUp() {
    HeldUp++;
    const auto until = Clock::now() + SlowFor;
    while (!Released.load() && Clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}
int SlowOpen(const char* path, int flags, mode_t mode) {
    std::string folder = path;
    if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    if (!SlowFolder.empty() && SlowFolder == folder) {
        SlowOpened++;
        HoldUp();
    }
    if (!SeenFolder.empty() && SeenFolder == folder) SeenOpened++;
    return rt_syscalls_real().open(path, flags, mode);
}
int HangingStatvfs(const char* path, struct statvfs* out) {
    HoldUp();
    return rt_syscalls_real().statvfs(path, out);
}

class PaneAnswerTest : public PaneTest {
  protected:
    void SetUp() override {
        PaneTest::SetUp();
        Released = false;
        HeldUp = 0;
        SlowOpened = 0;
        SlowFolder.clear();
        SeenOpened = 0;
        SeenFolder.clear();
    }
    void TearDown() override {
        Released = true; // the held-up threads end, and nothing of theirs lands later
        while (QuestionsRunning() > 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        rt_sys = rt_syscalls_real();
        AnswerWaitMs = SavedWait;
        PaneStartWaitMs = SavedStartWait;
        PaneTest::TearDown();
    }

    // Runs the main loop until done() holds or 5 s pass.
    template <class Done> static bool PumpUntil(Done done) {
        const auto until = Clock::now() + std::chrono::seconds(5);
        while (!done()) {
            if (Clock::now() > until) return false;
            tk_event_wait_timeout(5);
        }
        return true;
    }
    // Time from posting an event on another thread until the loop takes it.
    static double PingMs() {
        const auto start = Clock::now();
        std::thread([] { tk_event_post(PingCode, WinMain); }).join();
        while (tk_event_wait_timeout(5) != PingCode)
            if (Clock::now() - start > std::chrono::seconds(5)) break;
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }

    int64_t SavedWait = AnswerWaitMs;
    int64_t SavedStartWait = PaneStartWaitMs;
};

} // namespace

TEST_F(PaneAnswerTest, SlowFolderLeavesTheWindowAnswering) {
    TempDir left, slow, other, right;
    left.write("links.txt", "l");
    slow.write("langsam.txt", "s");
    other.write("anders.txt", "o");
    mkdir((right / "unten").c_str(), 0755);
    right.write("unten/tief.txt", "t");
    ShowPath(GadRightPane, Folder(right), ShowReset);
    ShowPath(GadLeftPane, Folder(left), ShowReset);
    const Texts shown = Column(GadLeftPane, 0);

    RtSyscallsRestore restore;
    SlowFolder = slow.path();
    rt_sys.open = SlowOpen;
    AnswerWaitMs = 20;
    ShowPath(GadLeftPane, Folder(slow), ShowPush);
    ASSERT_TRUE(PumpUntil([] { return HeldUp.load() > 0; }));

    // The pane keeps its rows, its folder and history, with the busy cursor.
    EXPECT_EQ(PaneListingPending(GadLeftPane), 1);
    EXPECT_EQ(tk_gadget_is_busy(GadLeftPane), 1);
    EXPECT_EQ(Column(GadLeftPane, 0), shown);
    EXPECT_EQ(PanePath(GadLeftPane), Folder(left));
    EXPECT_EQ(tk_gadget_get_text(GadLeftPath), Folder(slow)); // where it is going
    EXPECT_LT(PingMs(), 100.0);

    // The other pane can be browsed meanwhile.
    Open(GadRightPane, L"unten");
    const std::wstring below = Folder(right) + L"unten/";
    ASSERT_TRUE(PumpUntil(
        [&] { return PanePath(GadRightPane) == below && PaneListingPending(GadRightPane) == 0; }));
    EXPECT_EQ(PanePath(GadRightPane), Folder(right) + L"unten/");
    EXPECT_EQ(Column(GadRightPane, 0), (Texts{L"..", L"tief.txt"}));
    EXPECT_LT(PingMs(), 100.0);

    // Going elsewhere supersedes the slow listing, which never shows.
    ShowPath(GadLeftPane, Folder(other), ShowReset);
    ASSERT_TRUE(PumpUntil([] { return PaneListingPending(GadLeftPane) == 0; }));
    EXPECT_EQ(Column(GadLeftPane, 0), (Texts{L"..", L"anders.txt"}));
    EXPECT_EQ(PanePath(GadLeftPane), Folder(other));
    EXPECT_EQ(tk_gadget_is_busy(GadLeftPane), 0);
    Released = true;
    ASSERT_TRUE(PumpUntil([] { return QuestionsRunning() == 0; }));
    for (int i = 0; i < 10; ++i) tk_event_wait_timeout(5);
    EXPECT_EQ(Column(GadLeftPane, 0), (Texts{L"..", L"anders.txt"}));
    EXPECT_EQ(PanePath(GadLeftPane), Folder(other));
    EXPECT_EQ(tk_gadget_get_text(GadLeftPath), Folder(other));
    EXPECT_TRUE(messages.empty());
}

// What arrives late is what would have come in time: the same rows,
// selection and history, and the same failure with the history put back.
TEST_F(PaneAnswerTest, LateListingsLookLikeListingsInPlace) {
    TempDir top;
    for (const char* d : {"beta", "Alpha"}) mkdir((top / d).c_str(), 0755);
    top.write("b.txt", "abc");
    top.write("A.log", std::string(2048, 'x'));
    top.write("Alpha/innen.txt", "i");
    ShowPath(GadLeftPane, Folder(top), ShowReset);
    const Texts names = Column(GadLeftPane, 0), sizes = Column(GadLeftPane, 3);
    const Texts dates = Column(GadLeftPane, 1);

    AnswerWaitMs = 0; // every answer comes through the loop
    Pick(GadLeftPane, RowOf(GadLeftPane, L"Alpha"));
    OpenSelectedEntry(GadLeftPane);
    ASSERT_TRUE(PumpUntil([] { return PanePath(GadLeftPane).ends_with(L"Alpha/"); }));
    ASSERT_TRUE(PumpUntil([] { return PaneListingPending(GadLeftPane) == 0; }));
    EXPECT_EQ(Column(GadLeftPane, 0), (Texts{L"..", L"innen.txt"}));

    const std::wstring home = Folder(top);
    Open(GadLeftPane, L"..");
    ASSERT_TRUE(PumpUntil([&] { return PanePath(GadLeftPane) == home; }));
    ASSERT_TRUE(PumpUntil([] { return PaneListingPending(GadLeftPane) == 0; }));
    EXPECT_EQ(Column(GadLeftPane, 0), names);
    EXPECT_EQ(Column(GadLeftPane, 1), dates);
    EXPECT_EQ(Column(GadLeftPane, 3), sizes);
    EXPECT_EQ(tk_list_current_row(GadLeftPane), RowOf(GadLeftPane, L"Alpha"));

    ShowPath(GadLeftPane, home + L"fehlt/", ShowPush);
    EXPECT_EQ(PanePath(GadLeftPane), home); // not before the answer says so
    ASSERT_TRUE(PumpUntil([] { return messages.size() == 1; }));
    EXPECT_EQ(messages[0], L"Error !|Kann das angebene Verzeichnis nicht öffnen:\n" + home +
                               L"fehlt/\n\nEventuell keine Rechte !");
    EXPECT_EQ(PanePath(GadLeftPane), home);
    EXPECT_EQ(tk_gadget_get_text(GadLeftPath), home);
    EXPECT_EQ(Column(GadLeftPane, 0), names);
    EXPECT_EQ(PaneListingPending(GadLeftPane), 0);
    EXPECT_EQ(tk_gadget_is_busy(GadLeftPane), 0);
}

// The start folders are read before the window is there; showing them then
// takes that reading over rather than reading again, unless what it read no
// longer fits (a setting changed); a start folder that is gone gives way to
// its nearest existing ancestor.
TEST_F(PaneAnswerTest, StartFoldersReadEarlyAreTakenOver) {
    TempDir start;
    start.write("a.txt", "a");
    start.write(".versteckt", "v");
    const std::wstring home = Folder(start) + L"heim/";
    RtSyscallsRestore restore;
    SlowFolder = start.path();
    rt_sys.open = SlowOpen;
    PaneStartWaitMs = 0;
    App.settings.ShowHidden = 0;
    PaneOf(GadLeftPane)->History.Paths = {Folder(start), L""};
    StartEarlyListing(GadLeftPane, home, false);
    ASSERT_TRUE(PumpUntil([] { return HeldUp.load() > 0; }));
    ShowStartFolder(GadLeftPane, home);
    EXPECT_EQ(PaneListingPending(GadLeftPane), 1);
    Released = true;
    ASSERT_TRUE(PumpUntil([] { return PaneListingPending(GadLeftPane) == 0; }));
    EXPECT_EQ(Column(GadLeftPane, 0), (Texts{L"..", L"a.txt"}));
    EXPECT_EQ(PanePath(GadLeftPane), Folder(start));
    EXPECT_EQ(SlowOpened.load(), 1); // read once

    // Hidden entries are shown now: the early reading does not fit.
    StartEarlyListing(GadLeftPane, home, false);
    ASSERT_TRUE(PumpUntil([] { return SlowOpened.load() == 2; }));
    App.settings.ShowHidden = 1;
    ShowStartFolder(GadLeftPane, home);
    ASSERT_TRUE(PumpUntil([] { return PaneListingPending(GadLeftPane) == 0; }));
    EXPECT_EQ(Column(GadLeftPane, 0), (Texts{L"..", L".versteckt", L"a.txt"}));
    EXPECT_EQ(SlowOpened.load(), 3);

    // Gone since the last run: the nearest folder that is there.
    PaneOf(GadRightPane)->History.Paths = {Folder(start) + L"weg/tiefer/", L""};
    StartEarlyListing(GadRightPane, home, true);
    ShowStartFolder(GadRightPane, home);
    ASSERT_TRUE(PumpUntil([] { return PaneListingPending(GadRightPane) == 0; }));
    EXPECT_EQ(PanePath(GadRightPane), Folder(start));
    EXPECT_EQ(tk_gadget_get_text(GadRightPath), Folder(start));
    EXPECT_EQ(Column(GadRightPane, 0), (Texts{L"..", L".versteckt", L"a.txt"}));
    EXPECT_TRUE(messages.empty());
}

// The pane without the keyboard reads its start folder once the other
// pane's is read, but waits no longer than a second for a folder that hangs.
TEST_F(PaneAnswerTest, TheOtherStartFolderWaitsForThePaneWithTheKeyboard) {
    TempDir first, second;
    first.write("a.txt", "a");
    second.write("b.txt", "b");
    const std::wstring home = Folder(first);
    RtSyscallsRestore restore;
    SlowFolder = first.path();
    SeenFolder = second.path();
    rt_sys.open = SlowOpen;
    PaneOf(GadLeftPane)->History.Paths = {Folder(first), L""};
    PaneOf(GadRightPane)->History.Paths = {Folder(second), L""};
    StartEarlyListing(GadLeftPane, home, false);
    ASSERT_TRUE(PumpUntil([] { return HeldUp.load() > 0; }));
    const auto start = Clock::now();
    StartEarlyListing(GadRightPane, home, true);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(SeenOpened.load(), 0); // still waiting for the left pane
    ASSERT_TRUE(PumpUntil([] { return SeenOpened.load() > 0; }));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(3)); // not the left's five
    EXPECT_EQ(Released.load(), false);
    ShowStartFolder(GadRightPane, home);
    ASSERT_TRUE(PumpUntil([] { return PaneListingPending(GadRightPane) == 0; }));
    EXPECT_EQ(Column(GadRightPane, 0), (Texts{L"..", L"b.txt"}));

    // Once the left pane's folder is read, the right's follows at once.
    Released = true;
    ShowStartFolder(GadLeftPane, home);
    ASSERT_TRUE(PumpUntil([] { return PaneListingPending(GadLeftPane) == 0; }));
    Released = false;
    SeenOpened = 0;
    StartEarlyListing(GadLeftPane, home, false);
    ASSERT_TRUE(PumpUntil([] { return HeldUp.load() > 1; }));
    StartEarlyListing(GadRightPane, home, true);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    Released = true;
    const auto released = Clock::now();
    ASSERT_TRUE(PumpUntil([] { return SeenOpened.load() > 0; }));
    // long before its own second would have run out
    EXPECT_LT(Clock::now() - released, std::chrono::milliseconds(700));
    ShowStartFolder(GadLeftPane, home);
    ShowStartFolder(GadRightPane, home);
    ASSERT_TRUE(PumpUntil([] {
        return PaneListingPending(GadLeftPane) == 0 && PaneListingPending(GadRightPane) == 0;
    }));
    EXPECT_EQ(Column(GadLeftPane, 0), (Texts{L"..", L"a.txt"}));
    EXPECT_EQ(Column(GadRightPane, 0), (Texts{L"..", L"b.txt"}));
}

TEST_F(PaneAnswerTest, HangingFreeSpaceQueryKeepsTheOldLine) {
    RtSyscallsRestore restore;
    rt_sys.statvfs = HangingStatvfs;
    AnswerWaitMs = 20;
    App.settings.DriveSizeUnit = 0;
    DriveRecord drive{L"/", L"Wurzel", L"Hard Disk", L"/"};
    tk_gadget_set_text(GadLeftDiskInfo, L"alter Text");
    ShowDiskInfo(GadLeftPane, drive);
    ASSERT_TRUE(PumpUntil([] { return HeldUp.load() > 0; }));
    EXPECT_EQ(tk_gadget_get_text(GadLeftDiskInfo), L"alter Text");
    EXPECT_LT(PingMs(), 100.0);

    // The other pane's line is asked meanwhile and comes as soon as it can.
    rt_sys.statvfs = rt_syscalls_real().statvfs;
    ShowDiskInfo(GadRightPane, drive);
    ASSERT_TRUE(
        PumpUntil([] { return tk_gadget_get_text(GadRightDiskInfo).starts_with(L"Wurzel "); }));
    EXPECT_EQ(tk_gadget_get_text(GadLeftDiskInfo), L"alter Text");

    Released = true;
    ASSERT_TRUE(PumpUntil([] { return tk_gadget_get_text(GadLeftDiskInfo) != L"alter Text"; }));
    // free space moves while other programs write: compare the shape
    const std::wstring line = tk_gadget_get_text(GadLeftDiskInfo);
    EXPECT_TRUE(line.starts_with(L"Wurzel ") && line.find(L" Byte von ") != std::wstring::npos &&
                line.ends_with(L" Byte"))
        << rt_text_to_os(line);
}

// A newer question for the line supersedes an older one still hanging.
TEST_F(PaneAnswerTest, LateFreeSpaceAnswerOfAnOlderDriveIsDropped) {
    RtSyscallsRestore restore;
    rt_sys.statvfs = HangingStatvfs;
    AnswerWaitMs = 0;
    ShowDiskInfo(GadLeftPane, DriveRecord{L"/", L"Alt", L"Hard Disk", L"/"});
    ASSERT_TRUE(PumpUntil([] { return HeldUp.load() > 0; }));
    rt_sys.statvfs = rt_syscalls_real().statvfs;
    ShowDiskInfo(GadLeftPane, DriveRecord{L"/", L"Neu", L"Hard Disk", L"/"});
    ASSERT_TRUE(PumpUntil([] { return tk_gadget_get_text(GadLeftDiskInfo).starts_with(L"Neu "); }));
    Released = true;
    ASSERT_TRUE(PumpUntil([] { return QuestionsRunning() == 0; }));
    for (int i = 0; i < 10; ++i) tk_event_wait_timeout(5);
    EXPECT_TRUE(tk_gadget_get_text(GadLeftDiskInfo).starts_with(L"Neu "));
}

// The date column's fast formatter says what the mask formatter says.
TEST(PaneDateText, MatchesTheMaskFormatter) {
    for (int64_t v : {int64_t(-1), int64_t(0), int64_t(59), int64_t(86399), int64_t(951782400),
                      int64_t(951868799), int64_t(1700000000), int64_t(2147483647),
                      int64_t(253402300799), int64_t(253402300800)})
        EXPECT_EQ(PaneDateText(v), rt_format_date(PaneDateMask, v)) << v;
    for (int64_t v = 0; v < 2147483647 - 7777777; v += 7777777)
        ASSERT_EQ(PaneDateText(v), rt_format_date(PaneDateMask, v)) << v;
}
