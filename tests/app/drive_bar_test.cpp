// Drive bars: drive records from a fixture volume list, button slots and
// tooltips, the rebuild that moves a pane only when its volume or folder is
// gone, and the device-change callback.
#include <array>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/config/drive_bar.h"
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/panes/pane.h"
#include "app/panes/pane_sides.h"
#include "app/panes/panes.h"
#include "app/shell/main_window.h"
#include "runtime/files.h"
#include "runtime/text.h"
#include "slow_calls.h"
#include "test_support.h"
#include "toolkit/events.h"
#include "toolkit/gadgets.h"
#include "toolkit/readback.h"

namespace {

std::vector<PfVolume> Fixture;
int FixtureReads = 0;
std::vector<PfVolume> FixtureVolumes() {
    ++FixtureReads;
    return Fixture;
}

PfVolume Volume(const std::wstring& mount, const std::wstring& kind, const std::wstring& letter,
                const std::wstring& label) {
    return PfVolume{mount, L"/dev/fixture", L"ext4", kind, letter, label};
}

// The example machine: hard disk, optical drive, network share, stick.
std::vector<PfVolume> FourDrives() {
    return {Volume(L"/", L"Hard Disk", L"/", L"/"), Volume(L"/media/cd/", L"CD Rom", L"C", L""),
            Volume(L"/mnt/share/", L"Netzwerk", L"S", L"share"),
            Volume(L"/media/stick/", L"USB Laufwerk", L"S", L"STICK")};
}

// x, y, width, height of a gadget
using Rect = std::array<int64_t, 4>;
Rect Geometry(int64_t gadget) {
    return {tk_gadget_x(gadget), tk_gadget_y(gadget), tk_gadget_width(gadget),
            tk_gadget_height(gadget)};
}
std::wstring Tooltip(int64_t gadget) {
    return tk_gadget_exists(gadget) ? tk_gadget_get_tooltip(gadget) : L"?";
}

// Pixels in which a button's picture differs from the built-in picture,
// counted left and right of x = 20 (where the letter starts).
std::pair<int, int> PixelsChanged(int64_t gadget, const char* picture_name) {
    size_t size = 0;
    const unsigned char* png = tk_asset_png(picture_name, &size);
    if (!tk_button_picture(gadget, 81, 30, 20) || !tk_image_catch(80, png, size)) return {-1, -1};
    std::pair<int, int> changed{0, 0};
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            if (tk_image_pixel(81, x, y) != tk_image_pixel(80, x, y))
                ++(x < 20 ? changed.first : changed.second);
    tk_image_free(80);
    tk_image_free(81);
    return changed;
}

class DriveBar : public testing::Test {
  protected:
    void SetUp() override {
        tk_init();
        AppStateReset();
        ResetPanes();
        saved_source_ = DriveVolumes;
        DriveVolumes = FixtureVolumes;
        Fixture = FourDrives();
        FixtureReads = 0;
        slow::Reset();
    }
    void TearDown() override {
        slow::ReleaseAll();
        rt_sys = rt_syscalls_real();
        slow::Reset();
        tk_window_close(-1);
        DriveVolumes = saved_source_;
        AppStateReset();
        ResetPanes();
    }
    // A window with one frame, the bar built inside it.
    void BuildBar(std::vector<DriveButtonRecord>& bar) {
        ASSERT_NE(tk_window_open(70, 0, 0, 400, 100, L"Laufwerke", 0xCF0000, 0), 0);
        tk_container_create(71, 0, 0, 400, 60);
        int64_t last = EnumerateDrives(App.DriveList);
        CreateDriveButtons(last, bar, App.DriveList);
        tk_gadget_list_close();
    }

  private:
    DriveVolumeSource saved_source_ = nullptr;
};

TEST_F(DriveBar, DrivesFollowTheVolumesBeforeTheSpare) {
    EXPECT_EQ(EnumerateDrives(App.DriveList), 3);
    ASSERT_EQ(App.DriveList.size(), 5u);
    EXPECT_EQ(App.DriveList[0].Root, L"/");
    EXPECT_EQ(App.DriveList[0].Letter, L"/");
    EXPECT_EQ(App.DriveList[1].Kind, L"CD Rom");
    EXPECT_EQ(App.DriveList[3].Label, L"STICK");
    EXPECT_EQ(App.DriveList[3].Root, L"/media/stick/");
    EXPECT_TRUE(App.DriveList[4].Root.empty()); // the spare

    Fixture.clear();
    std::vector<DriveRecord> none;
    EXPECT_EQ(EnumerateDrives(none), 0);
    EXPECT_EQ(none.size(), 1u);
}

TEST_F(DriveBar, ButtonsSitInSlotsOfTheirKind) {
    BuildBar(App.LeftDriveButtons);
    const auto& bar = App.LeftDriveButtons;
    ASSERT_EQ(bar.size(), 4u);
    ASSERT_NE(bar[0].Gadget, 0);
    ASSERT_NE(bar[1].Gadget, 0);
    EXPECT_EQ(bar[2].Gadget, 0); // the network share leaves its slot empty
    ASSERT_NE(bar[3].Gadget, 0);
    EXPECT_EQ(Geometry(bar[0].Gadget), (Rect{0, 0, 32, 20}));
    EXPECT_EQ(Geometry(bar[1].Gadget), (Rect{34, 0, 30, 20}));
    EXPECT_EQ(Geometry(bar[3].Gadget), (Rect{102, 0, 30, 20}));
    EXPECT_EQ(DiskInfoX(3), 146);
    EXPECT_EQ(bar[3].Drive.Root, L"/media/stick/");

    EXPECT_EQ(Tooltip(bar[3].Gadget), L"STICK");
    EXPECT_EQ(Tooltip(bar[1].Gadget), L"CD Rom"); // no label: the kind
    for (int i : {0, 1, 3}) EXPECT_EQ(tk_gadget_get_data(bar[i].Gadget), 0);
    tk_gadget_set_state(bar[0].Gadget, 1); // a toggle button stays pressed
    EXPECT_EQ(tk_gadget_get_state(bar[0].Gadget), 1);

    tk_window_close(70);
    App.DriveList.clear();
    BuildBar(App.RightDriveButtons); // the right bar tells its pane by data 1
    EXPECT_EQ(tk_gadget_get_data(App.RightDriveButtons[3].Gadget), 1);
}

TEST_F(DriveBar, TheLetterIsDrawnOnThePicture) {
    BuildBar(App.LeftDriveButtons);
    auto [left, right] = PixelsChanged(App.LeftDriveButtons[3].Gadget, "drive_usb");
    EXPECT_EQ(left, 0);
    EXPECT_GT(right, 10);
}

TEST_F(DriveBar, FreeingForgetsEveryButton) {
    BuildBar(App.LeftDriveButtons);
    std::vector<int64_t> numbers;
    for (const auto& slot : App.LeftDriveButtons)
        if (slot.Gadget) numbers.push_back(slot.Gadget);
    FreeDriveButtons(App.LeftDriveButtons);
    for (int64_t n : numbers) EXPECT_EQ(tk_gadget_exists(n), 0);
    ASSERT_EQ(App.LeftDriveButtons.size(), 1u);
    EXPECT_EQ(App.LeftDriveButtons[0].Gadget, 0);
    EXPECT_TRUE(App.LeftDriveButtons[0].Drive.Root.empty());
}

TEST_F(DriveBar, DeviceChangeRebuildsOnlyForVolumes) {
    TkDeviceBroadcast volume{sizeof(TkDeviceBroadcast), TkDeviceTypeVolume, 0};
    TkDeviceBroadcast other{sizeof(TkDeviceBroadcast), 5, 0};
    auto call = [](int64_t message, intptr_t param1, const TkDeviceBroadcast* header) {
        return DeviceChangeCallback(0, message, param1, reinterpret_cast<intptr_t>(header));
    };
    EXPECT_EQ(call(TkMessageDeviceChange, TkDeviceArrival, &volume), TkContinue);
    EXPECT_EQ(call(TkMessageDeviceChange, TkDeviceRemoveComplete, &volume), TkContinue);
    EXPECT_EQ(FixtureReads, 2);
    EXPECT_EQ(call(TkMessageDeviceChange, TkDeviceArrival, &other), TkContinue);
    EXPECT_EQ(call(TkMessageDeviceChange, 0x8001, &volume), TkContinue);
    EXPECT_EQ(call(TkMessageDeviceChange, TkDeviceArrival, nullptr), TkContinue);
    EXPECT_EQ(call(TkMessageSize, TkDeviceArrival, &volume), TkContinue);
    EXPECT_EQ(FixtureReads, 2);
}

// The main window over a fixture machine whose volumes are folders of a
// temporary folder: "root" is the whole disk, "root/stick" a stick on it.
class DriveBarPanes : public DriveBar {
  protected:
    void SetUp() override {
        DriveBar::SetUp();
        ASSERT_EQ(mkdir((dir_ / "root").c_str(), 0700), 0);
        ASSERT_EQ(mkdir((dir_ / "root/sub").c_str(), 0700), 0);
        ASSERT_EQ(mkdir((dir_ / "root/stick").c_str(), 0700), 0);
        ASSERT_EQ(mkdir((dir_ / "root/stick/data").c_str(), 0700), 0);
        root_ = rt_text_from_os(dir_ / "root/");
        stick_ = root_ + L"stick/";
        Fixture = {Volume(root_, L"Hard Disk", L"/", L"/")};
        BuildMainWindow(MainWindowTitle, MainWindowFlags, 0, 0, 1020, 630, 60);
    }
    void PlugStick() {
        Fixture.push_back(Volume(stick_, L"USB Laufwerk", L"S", L"STICK"));
        RebuildDriveBars();
    }
    void PullStick() {
        Fixture.pop_back();
        RebuildDriveBars();
    }
    TempDir dir_;
    std::wstring root_, stick_;
};

TEST_F(DriveBarPanes, PluggingAStickKeepsBothPanesWhereTheyAre) {
    ShowPath(GadLeftPane, root_ + L"sub/", ShowReset);
    ShowPath(GadRightPane, root_, ShowReset);
    PlugStick();
    EXPECT_EQ(PanePath(GadLeftPane), root_ + L"sub/");
    EXPECT_EQ(PanePath(GadRightPane), root_);
    ASSERT_EQ(App.LeftDriveButtons.size(), 2u);
    EXPECT_NE(App.LeftDriveButtons[1].Gadget, 0);
    EXPECT_EQ(tk_gadget_get_state(App.LeftDriveButtons[0].Gadget), 1);
    EXPECT_EQ(tk_gadget_get_state(App.LeftDriveButtons[1].Gadget), 0);
    EXPECT_EQ(tk_gadget_get_text(GadLeftDiskInfo).rfind(L"/ ", 0), 0u);
    EXPECT_EQ(Geometry(GadRightDiskInfo)[0], DiskInfoX(1)); // right of the new slot
}

TEST_F(DriveBarPanes, PullingTheStickMovesOnlyThePaneThatWasOnIt) {
    PlugStick();
    ShowPath(GadLeftPane, root_ + L"sub/", ShowReset);
    ShowPath(GadRightPane, stick_, ShowReset);
    ShowPath(GadRightPane, stick_ + L"data/", ShowPush);
    ASSERT_EQ(PaneOf(GadRightPane)->ShownMount, stick_);
    tk_gadget_set_text(GadRightDiskInfo, L"STICK 1 KB von 2 KB");
    PullStick();
    EXPECT_EQ(PanePath(GadLeftPane), root_ + L"sub/");
    EXPECT_EQ(PanePath(GadRightPane), root_);
    EXPECT_EQ(PaneOf(GadRightPane)->History.Paths.size(), 2u); // a fresh history
    EXPECT_EQ(PaneOf(GadRightPane)->ShownMount, root_);
    EXPECT_EQ(tk_gadget_get_state(App.RightDriveButtons[0].Gadget), 1);
    EXPECT_EQ(tk_gadget_get_text(GadRightDiskInfo).rfind(L"/ ", 0), 0u);
}

TEST_F(DriveBarPanes, APaneWhoseFolderWasRemovedGoesToTheRoot) {
    ShowPath(GadLeftPane, root_ + L"sub/", ShowReset);
    ASSERT_EQ(rmdir((dir_ / "root/sub").c_str()), 0);
    PlugStick();
    EXPECT_EQ(PanePath(GadLeftPane), root_);
}

// The fixture machine as it was asked for, handed back once the real mount
// table was read through the system-call seam (where a test makes it hang).
std::vector<PfVolume> FixtureAfterMountTable() {
    std::vector<PfVolume> asked = FixtureVolumes();
    std::string text;
    rt_file_read_all(L"/proc/self/mounts", &text);
    return asked;
}

// While the mount table cannot be read the bars keep their buttons, texts
// and pressed state and the loop answers; the answer then rebuilds them as
// at once. A newer rebuild supersedes an older one still hanging.
TEST_F(DriveBarPanes, AHangingMountTableKeepsTheOldBar) {
    ShowPath(GadLeftPane, root_, ShowReset);
    const std::vector<DriveButtonRecord> before = App.LeftDriveButtons;
    ASSERT_EQ(before.size(), 1u);
    tk_gadget_set_state(before[0].Gadget, 1);
    tk_gadget_set_text(GadLeftDiskInfo, L"alter Text");

    RtSyscallsRestore restore;
    DriveVolumes = FixtureAfterMountTable;
    slow::SlowPrefix = "/proc/self/mounts";
    slow::Install();
    const int64_t saved_wait = AnswerWaitMs;
    AnswerWaitMs = 20;
    PlugStick();
    ASSERT_TRUE(slow::PumpUntil([] { return slow::HeldUp.load() > 0; }));
    EXPECT_LT(slow::PingMs(), 100.0);
    ASSERT_EQ(App.LeftDriveButtons.size(), 1u);
    EXPECT_EQ(App.LeftDriveButtons[0].Gadget, before[0].Gadget);
    EXPECT_EQ(tk_gadget_exists(before[0].Gadget), 1);
    EXPECT_EQ(tk_gadget_get_state(before[0].Gadget), 1);
    EXPECT_EQ(tk_gadget_get_text(GadLeftDiskInfo), L"alter Text");
    EXPECT_EQ(Geometry(GadLeftDiskInfo)[0], DiskInfoX(0));

    PullStick(); // the machine changed again before the first answer came
    slow::Released = true;
    ASSERT_TRUE(slow::PumpUntil([&] {
        return QuestionsRunning() == 0 && App.LeftDriveButtons[0].Gadget != before[0].Gadget;
    }));
    for (int i = 0; i < 10; ++i) tk_event_wait_timeout(5);
    AnswerWaitMs = saved_wait;
    EXPECT_EQ(App.LeftDriveButtons.size(), 1u); // the stick's answer was dropped
    EXPECT_EQ(tk_gadget_exists(before[0].Gadget), 0);
    EXPECT_EQ(tk_gadget_get_state(App.LeftDriveButtons[0].Gadget), 1);
    EXPECT_EQ(PanePath(GadLeftPane), root_);
    EXPECT_TRUE(
        slow::PumpUntil([] { return tk_gadget_get_text(GadLeftDiskInfo) != L"alter Text"; }));
}

} // namespace
