// SetPaneLocation: the history of ancestors, the drive button of the mount a
// folder lies on, the disk information line, and the mount a shown folder
// is remembered on.
#include "pane_fixture.h"

#include "app/panes/pane_location.h"
#include "app/panes/size_text.h"
#include "platform/volumes.h"

#include <sys/stat.h>

namespace {

using Texts = std::vector<std::wstring>;

DriveButtonRecord Button(const std::wstring& root, const std::wstring& label, int64_t side) {
    DriveButtonRecord b;
    b.Gadget = tk_image_button_create(-1, 0, 0, 30, 20, tk_image_handle(ImgFile), TkButtonToggle);
    tk_gadget_set_data(b.Gadget, side);
    b.Drive.Root = root;
    b.Drive.Label = label;
    b.Drive.Letter = label.substr(0, 1);
    b.Drive.Kind = L"Hard Disk";
    return b;
}

std::wstring ExpectedInfo(const std::wstring& label, const std::wstring& root, int64_t unit) {
    int64_t free_bytes = 0, total_bytes = 0;
    pf_disk_space(root, &free_bytes, &total_bytes);
    return label + L" " + FormatSize(free_bytes, 0, unit) + L" von " +
           FormatSize(total_bytes, 0, unit);
}

} // namespace

TEST_F(PaneTest, LocationHistoryHoldsEveryAncestor) {
    TempDir dir;
    mkdir((dir / "x").c_str(), 0755);
    ShowPath(GadLeftPane, Folder(dir), ShowReset);
    Pick(GadLeftPane, 1);
    SetPaneLocation(GadLeftPane, L"/daten/projekt/");
    EXPECT_EQ(PaneOf(GadLeftPane)->History.Paths,
              (Texts{L"/daten/projekt/", L"/", L"/daten/", L"/daten/projekt/", L""}));
    EXPECT_EQ(PaneOf(GadLeftPane)->History.Selections, (std::vector<int64_t>{0, 1, 1, 1, 0}));
    EXPECT_EQ(PanePath(GadLeftPane), L"/daten/projekt/");

    SetPaneLocation(GadLeftPane, L"relative");
    EXPECT_EQ(PaneOf(GadLeftPane)->History.Paths, (Texts{L"relative", L""}));
}

TEST_F(PaneTest, LocationPressesTheButtonOfTheLongestMountPrefix) {
    TempDir dir;
    mkdir((dir / "sub").c_str(), 0755);
    const std::wstring mount = Folder(dir);
    // Gigabytes: other programs writing meanwhile must not change the text
    // between the pane's query and the test's own.
    App.settings.DriveSizeUnit = 3;
    App.LeftDriveButtons = {Button(L"/", L"System", 0), Button(mount, L"Stick", 0),
                            DriveButtonRecord{}};
    const int64_t root_button = App.LeftDriveButtons[0].Gadget;
    const int64_t stick_button = App.LeftDriveButtons[1].Gadget;

    SetPaneLocation(GadLeftPane, mount + L"sub/");
    EXPECT_EQ(tk_gadget_get_state(root_button), 0);
    EXPECT_EQ(tk_gadget_get_state(stick_button), 1);
    EXPECT_EQ(tk_gadget_get_text(GadLeftDiskInfo), ExpectedInfo(L"Stick", mount, 3));

    SetPaneLocation(GadLeftPane, L"/usr/");
    EXPECT_EQ(tk_gadget_get_state(root_button), 1);
    EXPECT_EQ(tk_gadget_get_state(stick_button), 0);
    EXPECT_EQ(tk_gadget_get_text(GadLeftDiskInfo), ExpectedInfo(L"System", L"/", 3));

    // No "/" at all: buttons and line stay as they are.
    const std::wstring line = tk_gadget_get_text(GadLeftDiskInfo);
    SetPaneLocation(GadLeftPane, L"nowhere");
    EXPECT_EQ(tk_gadget_get_state(root_button), 1);
    EXPECT_EQ(tk_gadget_get_text(GadLeftDiskInfo), line);
    // The other pane's bar is not touched.
    EXPECT_EQ(tk_gadget_get_text(GadRightDiskInfo), L"Speicherausgabe");
}

TEST_F(PaneTest, ShownFolderRemembersItsMount) {
    TempDir dir;
    mkdir((dir / "sub").c_str(), 0755);
    DriveRecord root, stick;
    root.Root = L"/";
    stick.Root = Folder(dir);
    App.DriveList = {root, stick, DriveRecord{}};
    ShowPath(GadRightPane, Folder(dir) + L"sub/", ShowReset);
    EXPECT_EQ(PaneOf(GadRightPane)->ShownMount, Folder(dir));
    EXPECT_EQ(MountOfPath(L"/usr/share/"), L"/");
    App.DriveList.clear();
    EXPECT_EQ(MountOfPath(L"/usr/share/"), L"");
}
