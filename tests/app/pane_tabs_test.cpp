// Tabs on each side through the tab row's getters: each tab's own state
// across switches, closing, reordering, locking, hidden tabs that are
// watched but never read, a tab on a folder that hangs, and the tabs in the
// settings file, an older file included.
#include "app/config/settings.h"
#include "app/panes/pane_tabs.h"
#include "app/shell/tab_commands.h"
#include "pane_live_fixture.h"
#include "slow_calls.h"
#include "toolkit/tab_row.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

using Texts = std::vector<std::wstring>;

class TabsTest : public PaneLiveTest {
  protected:
    void SetUp() override {
        PaneLiveTest::SetUp();
        tk_tab_row_create(GadLeftTabRow, 0, 0, 440, TabRowHeight);
        tk_tab_row_create(GadRightTabRow, 450, 0, 440, TabRowHeight);
        mkdir((a_ / "sub").c_str(), 0755);
        a_.write("one.txt", "1");
        a_.write("two.txt", "22");
        b_.write("bee.txt", "b");
        ShowPath(GadLeftPane, Folder(a_), ShowReset);
    }
    void TearDown() override {
        slow::ReleaseAll();
        rt_sys = rt_syscalls_real();
        slow::Reset();
        PaneLiveTest::TearDown();
    }
    static Texts Titles(int64_t side) {
        Texts titles;
        for (int64_t i = 0; i < tk_tab_row_count(TabRowOfSide(side)); ++i)
            titles.push_back(tk_tab_row_title(TabRowOfSide(side), i));
        return titles;
    }
    static std::wstring LastName(const TempDir& dir) {
        const std::wstring f = Folder(dir);
        return f.substr(f.rfind(L'/', f.size() - 2) + 1,
                        f.size() - f.rfind(L'/', f.size() - 2) - 2);
    }
    TempDir a_, b_;
};

TEST_F(TabsTest, EachTabKeepsItsFolderRowsSelectionAndFilter) {
    Pick(GadLeftPane, RowOf(GadLeftPane, L"two.txt"));
    tk_gadget_set_text(GadLeftFilter, L"");
    ASSERT_EQ(OpenTab(0, Folder(a_), false), 1);
    // The new tab shows the same folder at once, from the rows there were.
    EXPECT_EQ(Titles(0), (Texts{LastName(a_), LastName(a_)}));
    EXPECT_EQ(tk_tab_row_current(GadLeftTabRow), 1);
    EXPECT_EQ(tk_tab_row_tooltip(GadLeftTabRow, 1), Folder(a_));
    EXPECT_EQ(Column(GadLeftPane, 0), (Texts{L"..", L"sub", L"one.txt", L"two.txt"}));
    EXPECT_TRUE(TabRowShown(0));

    ShowPath(GadLeftPane, Folder(b_), ShowPush);
    tk_gadget_set_text(GadLeftFilter, L"bee");
    ApplyPaneFilter(GadLeftPane);
    EXPECT_EQ(tk_tab_row_title(GadLeftTabRow, 1), LastName(b_));

    StepTab(0, 1); // round the row to the first tab
    EXPECT_EQ(ShownTab(0), 0);
    EXPECT_EQ(PanePath(GadLeftPane), Folder(a_));
    EXPECT_EQ(tk_gadget_get_text(GadLeftPath), Folder(a_));
    EXPECT_EQ(Column(GadLeftPane, 0), (Texts{L"..", L"sub", L"one.txt", L"two.txt"}));
    EXPECT_EQ(tk_list_next_selected(GadLeftPane, -1), RowOf(GadLeftPane, L"two.txt"));
    EXPECT_EQ(tk_list_current_row(GadLeftPane), RowOf(GadLeftPane, L"two.txt"));
    EXPECT_EQ(tk_gadget_get_text(GadLeftFilter), L"");

    StepTab(0, -1);
    EXPECT_EQ(PanePath(GadLeftPane), Folder(b_));
    EXPECT_EQ(tk_gadget_get_text(GadLeftFilter), L"bee");
    EXPECT_EQ(Column(GadLeftPane, 0), (Texts{L"bee.txt"}));
    // Its own history: ".." of the second tab goes back to a.
    EXPECT_EQ(PaneOf(GadLeftPane)->History.Paths.size(), 3u);

    // The right side has tabs of its own; the left one's are untouched.
    EXPECT_EQ(TabCount(1), 1);
    EXPECT_FALSE(TabRowShown(1));
}

TEST_F(TabsTest, CloseMoveAndLock) {
    OpenTab(0, Folder(b_), true); // in the background: the side stays on a
    EXPECT_EQ(ShownTab(0), 0);
    EXPECT_EQ(PanePath(GadLeftPane), Folder(a_));
    OpenTab(0, Folder(a_), true);
    ASSERT_EQ(TabCount(0), 3);
    EXPECT_EQ(Titles(0), (Texts{LastName(a_), LastName(a_), LastName(b_)}));

    // A drag in the row reports the move; the side follows the row.
    tk_tab_row_drag(GadLeftTabRow, 2, 0);
    bool moved = false;
    ASSERT_TRUE(slow::PumpUntil([&] { return moved; },
                                [&](int32_t code) {
                                    if (code != EventGadget || tk_event_type() != TkTabRowMoved)
                                        return;
                                    TabRowGadgetEvent(tk_event_gadget(), tk_event_type(),
                                                      tk_event_data());
                                    moved = true;
                                }));
    EXPECT_EQ(Titles(0), (Texts{LastName(b_), LastName(a_), LastName(a_)}));
    EXPECT_EQ(ShownTab(0), 1); // the shown tab moved along

    SetTabLocked(0, 1, true);
    EXPECT_EQ(tk_tab_row_marked(GadLeftTabRow, 1), 1);
    EXPECT_EQ(tk_tab_row_marked(GadLeftTabRow, 0), 0);
    // A folder entered from the locked tab opens in a new tab beside it.
    Open(GadLeftPane, L"sub");
    EXPECT_EQ(TabCount(0), 4);
    EXPECT_EQ(ShownTab(0), 2);
    EXPECT_EQ(PanePath(GadLeftPane), Folder(a_) + L"sub/");
    ShowTab(0, 1);
    EXPECT_EQ(PanePath(GadLeftPane), Folder(a_));

    CloseOtherTabs(0, 1);
    EXPECT_EQ(TabCount(0), 1);
    EXPECT_FALSE(CloseTab(0, 0)); // the last tab of a side stays
    EXPECT_EQ(TabCount(0), 1);
    EXPECT_FALSE(TabRowShown(0));
    EXPECT_EQ(PanePath(GadLeftPane), Folder(a_));
}

TEST_F(TabsTest, HiddenTabIsWatchedNotReadAndShowsTheChangeWhenShown) {
    OpenTab(0, Folder(b_), false);
    ASSERT_EQ(PanePath(GadLeftPane), Folder(b_));
    Pane* hidden_a = SideTabs(0)[0];
    ASSERT_EQ(ListOf(*hidden_a), 0);
    a_.write("new.txt", "n");
    // The hidden tab's watcher reports; the report only marks it.
    intptr_t data = 0;
    while (WaitFor(EventDirChanged, &data, 5000) && data != PaneReport(*hidden_a)) {
    }
    ASSERT_EQ(data, PaneReport(*hidden_a));
    EXPECT_TRUE(HiddenTabReport(data));
    EXPECT_TRUE(hidden_a->Tab.Changed);
    EXPECT_EQ(Column(GadLeftPane, 0), (Texts{L"..", L"bee.txt"}));

    ShowTab(0, 0);
    EXPECT_NE(RowOf(GadLeftPane, L"new.txt"), -1);
    EXPECT_NE(RowOf(GadLeftPane, L"one.txt"), -1);
    EXPECT_FALSE(hidden_a->Tab.Changed);
}

TEST_F(TabsTest, TabOnAHangingFolderHoldsNothingBackAndSaysSo) {
    TempDir slow_dir;
    slow_dir.write("late.txt", "x");
    slow::SlowPrefix = slow_dir.path();
    slow::Install();
    // As in the program: a tab's first read does not wait for its answer
    // (the tests' main sets a long wait for the start folders).
    const int64_t start_wait = PaneStartWaitMs;
    PaneStartWaitMs = 0;
    OpenTab(0, Folder(slow_dir), true);
    EXPECT_EQ(slow::HeldUp.load(), 0); // a hidden tab reads nothing

    const auto start = slow::Clock::now();
    ShowTab(0, 1);
    EXPECT_LT(slow::Clock::now() - start, std::chrono::milliseconds(400));
    EXPECT_EQ(tk_tab_row_current(GadLeftTabRow), 1);
    // Within a second or so the empty list says why it is empty...
    EXPECT_TRUE(slow::PumpUntil(
        [] { return tk_gadget_get_item_text(GadLeftPane, 0, 0) == PaneSilentNotice; }));
    // ...while the other tab comes back at once.
    ShowTab(0, 0);
    EXPECT_EQ(Column(GadLeftPane, 0), (Texts{L"..", L"sub", L"one.txt", L"two.txt"}));
    ShowTab(0, 1);
    slow::Released = true;
    EXPECT_TRUE(slow::PumpUntil([] { return RowOf(GadLeftPane, L"late.txt") >= 0; }));
    PaneStartWaitMs = start_wait;
}

// The tabs in the settings file, read back as at start, and a file of the
// time before tabs.
class TabSettingsTest : public TabsTest {
  protected:
    void SetUp() override {
        TabsTest::SetUp();
        cwd_ = getcwd(nullptr, 0);
        ASSERT_EQ(chdir(home_.path().c_str()), 0);
    }
    void TearDown() override {
        ASSERT_EQ(chdir(cwd_.c_str()), 0);
        TabsTest::TearDown();
    }
    TempDir home_;
    std::string cwd_;
};

TEST_F(TabSettingsTest, TabsAreSavedAndRestoredUnread) {
    OpenTab(0, Folder(b_), false);
    OpenTab(0, Folder(a_) + L"sub/", true);
    SetTabLocked(0, 2, true);
    ShowPath(GadRightPane, Folder(b_), ShowReset);
    SaveSettings();
    const std::string file = home_.read("Settings.pref");
    EXPECT_NE(file.find("[Reiter]"), std::string::npos);

    EndPaneThreads();
    ResetPanes();
    ASSERT_EQ(ReadSettings(), 1);
    ASSERT_EQ(TabCount(0), 3);
    EXPECT_EQ(ShownTab(0), 1);
    EXPECT_EQ(TabCount(1), 1);
    // "Paht0" still names the shown folder.
    EXPECT_EQ(HistoryFolder(ShownPaneOfSide(0)->History), Folder(b_));
    EXPECT_EQ(PaneFolder(*SideTabs(0)[0]), Folder(a_));
    EXPECT_EQ(PaneFolder(*SideTabs(0)[2]), Folder(a_) + L"sub/");
    EXPECT_TRUE(SideTabs(0)[2]->Tab.Locked);
    EXPECT_TRUE(SideTabs(0)[0]->Tab.Unread); // read only when shown
    EXPECT_FALSE(SideTabs(0)[0]->Tab.Locked);
}

TEST_F(TabSettingsTest, OlderFileGivesOneTabASideAndDamagedEntriesCostOnlyThemselves) {
    home_.write("Settings.pref",
                "[Paht]\r\nPaht0 = " + a_.path() + "/\r\nPaht1 = " + b_.path() + "/\r\n");
    EndPaneThreads();
    ResetPanes();
    ASSERT_EQ(ReadSettings(), 1);
    EXPECT_EQ(TabCount(0), 1);
    EXPECT_EQ(TabCount(1), 1);
    EXPECT_EQ(ShownPaneOfSide(1)->History.Paths[0], Folder(b_));

    home_.write("Settings.pref", "[Paht]\r\nPaht0 = " + a_.path() +
                                     "/\r\n[Reiter]\r\nLinks Anzahl = 4\r\nLinks Aktuell = 9\r\n"
                                     "Links 1 = relative/\r\nLinks 2 = /tmp/\r\n");
    EndPaneThreads();
    ResetPanes();
    ASSERT_EQ(ReadSettings(), 1);
    // No relative folder, no missing one; the shown tab goes last when its
    // place is out of range.
    ASSERT_EQ(TabCount(0), 2);
    EXPECT_EQ(PaneFolder(*SideTabs(0)[0]), L"/tmp/");
    EXPECT_EQ(ShownTab(0), 1);
}

} // namespace
