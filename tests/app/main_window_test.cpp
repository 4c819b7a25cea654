// The main window: construction and relayout, filter boxes, the window
// geometry kept in the settings, selection texts, the column mirror between
// the panes, and F3 / F4 starting their programs with the right arguments,
// off the main thread.
#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

#include "app/config/drive_bar.h"
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/core/message_dialog.h"
#include "app/fileops/target_question.h"
#include "app/panes/pane.h"
#include "app/panes/pane_hooks.h"
#include "app/panes/pane_sides.h"
#include "app/panes/panes.h"
#include "app/shell/main_events.h"
#include "app/shell/main_window.h"
#include "runtime/text.h"
#include "slow_calls.h"
#include "test_support.h"
#include "toolkit/events.h"
#include "toolkit/gadgets.h"

namespace {

std::vector<PfVolume> RootOnly() {
    return {PfVolume{L"/", L"/dev/root", L"ext4", L"Hard Disk", L"/", L"/"}};
}

// Hands every waiting event for window 0 to the handler, as the loop
// would (focus and size events of the new window come first), until the
// queue stays quiet; the last handler result, or -1 when none came.
int64_t DeliverToMainWindow() {
    int64_t result = -1;
    for (int quiet = 0; quiet < 10;) {
        const int32_t code = tk_event_wait_timeout(5);
        if (!code) {
            ++quiet;
            continue;
        }
        if (tk_event_window() == WinMain) result = MainWindowEvents(code);
    }
    return result;
}

class MainWindowTest : public testing::Test {
  protected:
    void SetUp() override {
        tk_init();
        AppStateReset();
        ResetPanes();
        DriveVolumes = RootOnly;
        BuildMainWindow(MainWindowTitle, MainWindowFlags, 0, 0, 640, 480, 60);
    }
    void TearDown() override {
        slow::ReleaseAll();
        AnswerWaitMs = saved_wait_;
        tk_window_close(-1);
        AppStateReset();
        ResetPanes();
    }
    const int64_t saved_wait_ = AnswerWaitMs;
    // Makes dir/viewer.sh the viewer: record (shell commands) writes what it
    // saw to "$OUT", which becomes dir/args.log at once when it is done. The
    // left pane, active, shows dir with the one row file selected. Returns
    // the log's path.
    static std::string RecordingViewerOn(TempDir& dir, const std::string& file,
                                         const std::string& record) {
        const std::string log = dir / "args.log";
        dir.write("viewer.sh",
                  "#!/bin/sh\nOUT='" + log + ".tmp'\n" + record + "\nmv \"$OUT\" '" + log + "'\n");
        chmod((dir / "viewer.sh").c_str(), 0755);
        dir.write(file, "x");
        App.settings.ViewerPath = rt_text_from_os(dir / "viewer.sh");
        PaneOf(GadLeftPane)->History.Paths = {rt_text_from_os(dir.path()) + L"/", L""};
        App.ActivePane = GadLeftPane;
        tk_gadget_add_item(GadLeftPane, -1, rt_text_from_os(file) + L"\n\n\n", 0);
        tk_gadget_set_state(GadLeftPane, 0);
        return log;
    }
    static std::vector<std::wstring> Entries(int64_t combo) {
        std::vector<std::wstring> out;
        for (int64_t i = 0; i < tk_gadget_count_items(combo); ++i)
            out.push_back(tk_gadget_get_item_text(combo, i, 0));
        return out;
    }
};

TEST_F(MainWindowTest, RelayoutAtMinimumSizeGivesTwoFramesOf304) {
    RelayoutMainWindow();
    EXPECT_EQ(tk_gadget_width(GadLeftFrame), 304);
    EXPECT_EQ(tk_gadget_width(GadRightFrame), 304);
    EXPECT_EQ(tk_gadget_width(GadLeftPane), 304);
    EXPECT_EQ(tk_gadget_width(GadLeftPath), 304 - 120);
    for (int64_t g = GadViewButton; g <= GadDeleteButton; ++g) EXPECT_TRUE(tk_gadget_exists(g));
    EXPECT_EQ(tk_list_column_count(GadLeftPane), 4);
    EXPECT_EQ(tk_gadget_get_text(GadLeftDiskInfo), L"Speicherausgabe");
}

TEST_F(MainWindowTest, FilterBoxesTakeEveryPresetOfTheSettings) {
    // built with an empty filter: the single empty entry
    EXPECT_EQ(Entries(GadLeftFilter), std::vector<std::wstring>{L""});
    App.settings.ListFilter = L"|*.txt|*.cpp";
    FillFilterBoxes();
    EXPECT_EQ(Entries(GadRightFilter), (std::vector<std::wstring>{L"*.txt", L"*.cpp"}));
    App.settings.ListFilter = L"png|jpg"; // the first preset has no bar in front
    FillFilterBoxes();
    EXPECT_EQ(Entries(GadLeftFilter), (std::vector<std::wstring>{L"png", L"jpg"}));
    App.settings.ListFilter = L"*.txt||";
    FillFilterBoxes();
    EXPECT_EQ(Entries(GadLeftFilter), std::vector<std::wstring>{L"*.txt"});
}

TEST_F(MainWindowTest, ClosingWhileMaximizedKeepsThePositionBeforeMaximizing) {
    App.settings.WindowX = 300;
    App.settings.WindowY = 200;
    MainWindowMemo = {40, 50};
    EXPECT_EQ(MainWindowEvents(EventMaximizeWindow), 0);
    EXPECT_EQ(App.settings.WindowMaximized, 1);
    EXPECT_EQ(MainWindowEvents(EventCloseWindow), 1);
    EXPECT_EQ(App.settings.WindowX, 40);
    EXPECT_EQ(App.settings.WindowY, 50);

    MainWindowMemo = {0, 90}; // a position at 0 is not restored
    App.settings.WindowX = 300;
    EXPECT_EQ(MainWindowEvents(EventCloseWindow), 1);
    EXPECT_EQ(App.settings.WindowX, 300);
    EXPECT_EQ(MainWindowEvents(EventRestoreWindow), 0);
    EXPECT_EQ(App.settings.WindowMaximized, 0);
}

TEST_F(MainWindowTest, SelectionTextsAndPathLists) {
    PaneOf(GadLeftPane)->History.Paths = {L"/daten/", L""};
    tk_gadget_add_item(GadLeftPane, -1, L"a b\n\n\n", 0);
    tk_gadget_add_item(GadLeftPane, -1, L"c\n\n\n", 0);
    tk_gadget_add_item(GadLeftPane, -1, L"d\n\n\n", 0);
    tk_gadget_set_item_state(GadLeftPane, 0, 1);
    tk_gadget_set_item_state(GadLeftPane, 2, 1);
    EXPECT_EQ(SelectedItems(GadLeftPane, 0), L"a b\nd\n");
    EXPECT_EQ(SelectedItems(GadLeftPane, 1), L"/daten/a b\n/daten/d\n");
    EXPECT_EQ(SelectedItems(GadLeftPane, 2), L"a bd");
}

TEST_F(MainWindowTest, ColumnResizedInOnePaneIsMirroredInTheOther) {
    PaneHeaderHook(GadLeftPane, TkListHeaderResize, 1, 150);
    EXPECT_EQ(DeliverToMainWindow(), 0);
    EXPECT_EQ(tk_list_column_width(GadRightPane, 1), 150);
}

// F3 starts the viewer with the quoted name; F4 hands the name over as one
// argument even with blanks in it.
TEST_F(MainWindowTest, ViewerGetsTheSelectedNameAsOneArgument) {
    TempDir dir;
    const std::string log = RecordingViewerOn(
        dir, "mein text.txt",
        "for a in \"$@\"; do printf '[%s]' \"$a\"; done > \"$OUT\"; pwd >> \"$OUT\"");
    tk_event_post(EventMenu, WinMain, MenuViewKey); // the key becomes the button event
    for (int i = 0; i < 200 && access(log.c_str(), F_OK) != 0; ++i) {
        const int32_t code = tk_event_wait_timeout(10);
        if (code && tk_event_window() == WinMain) MainWindowEvents(code);
    }
    EXPECT_EQ(dir.read("args.log"), "[mein text.txt]" + dir.path() + "\n");
}

// A viewer whose start hangs (a program or folder on a dead mount) does not
// hang the window: it starts once the file system answers.
TEST_F(MainWindowTest, AViewerWhoseStartHangsLeavesTheWindowAnswering) {
    TempDir dir;
    const std::string log = RecordingViewerOn(dir, "a.txt", "printf '%s' \"$1\" > \"$OUT\"");
    RtSyscallsRestore restore;
    slow::Reset();
    slow::SlowPrefix = dir.path();
    slow::Install();
    AnswerWaitMs = 20; // the tests' long wait would hold the loop
    const auto handle = [](int32_t code) {
        if (tk_event_window() == WinMain) MainWindowEvents(code);
    };
    const auto posted = slow::Clock::now();
    tk_event_post(EventMenu, WinMain, MenuViewKey);
    ASSERT_TRUE(slow::PumpUntil([] { return slow::HeldUp.load() > 0; }, handle));
    EXPECT_LT(slow::PingMs(handle), 100.0);
    EXPECT_LT(slow::Clock::now() - posted, std::chrono::seconds(4)); // not held for the five
    EXPECT_NE(access(log.c_str(), F_OK), 0);
    slow::ReleaseAll();
    ASSERT_TRUE(slow::PumpUntil([&] { return access(log.c_str(), F_OK) == 0; }, handle));
    EXPECT_EQ(dir.read("args.log"), "a.txt");
}

} // namespace

// F5, F6 and F8 with neither a selected nor a current row say so and ask
// nothing; the answer is the same whichever of the three was pressed. So
// they do when ".." is the one row selected, as the cursor leaves it after
// Home: the question was asked and the job then found nothing to do.
TEST_F(MainWindowTest, CommandsWithoutAnyRowSaySoAndAskNothing) {
    MessagesRestore restore;
    static std::vector<std::wstring> shown;
    shown.clear();
    Messages.Box = [](const std::wstring& caption, const std::wstring& text, int64_t) -> int64_t {
        shown.push_back(caption + L"|" + text);
        return 1;
    };
    Messages.Dialog = [](int64_t, const std::wstring&, const std::wstring& headline,
                         const std::wstring&, int64_t, int64_t) -> int64_t {
        shown.push_back(L"asked: " + headline);
        return MessageAnswerCancel;
    };
    App.ActivePane = GadLeftPane; // its list is empty: no current row
    for (int64_t button : {GadCopyButton, GadMoveButton, GadDeleteButton})
        tk_event_post(EventGadget, WinMain, button, button);
    DeliverToMainWindow();
    ASSERT_EQ(shown.size(), 3u);
    for (const std::wstring& s : shown)
        EXPECT_EQ(s.find(L"Achtung !|Es ist keine Datei ausgewählt."), 0u) << s;

    shown.clear();
    AskTarget = [](const std::wstring& headline, const std::wstring&, std::wstring&,
                   int64_t) -> int64_t {
        shown.push_back(L"asked: " + headline);
        return MessageAnswerCancel;
    };
    tk_gadget_add_item(GadLeftPane, -1, L"..\n\n\n", 0);
    tk_gadget_add_item(GadLeftPane, -1, L"datei.txt\n\n\n", 0);
    tk_gadget_set_state(GadLeftPane, 0); // ".." current and selected
    for (int64_t button : {GadCopyButton, GadMoveButton, GadDeleteButton})
        tk_event_post(EventGadget, WinMain, button, button);
    DeliverToMainWindow();
    AskTarget = TargetQuestionDialog;
    ASSERT_EQ(shown.size(), 3u);
    for (const std::wstring& s : shown)
        EXPECT_EQ(s.find(L"Achtung !|Es ist keine Datei ausgewählt."), 0u) << s;
}
