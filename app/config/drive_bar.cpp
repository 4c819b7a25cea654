// The drive bars above the panes. See drive_bar.h.
#include "app/config/drive_bar.h"

#include "app/config/remote_drives.h"
#include "app/core/answers.h"
#include "app/core/ids.h"
#include "app/panes/navigation.h"
#include "app/panes/pane.h"
#include "app/panes/pane_location.h"
#include "app/panes/pane_remote.h"
#include "app/panes/pane_sides.h"
#include "app/panes/panes.h"
#include "runtime/files.h"
#include "toolkit/gadgets.h"

#include <memory>

namespace {

// How a drive kind looks in the bar; kinds not listed ("Netzwerk") get no
// button, and their slot stays empty.
struct DriveKindLook {
    const wchar_t* Kind;
    const char* Picture; // built-in 30 x 20 RGBA picture
    int64_t Width;       // button width in pixels
};
const DriveKindLook DriveKindLooks[] = {
    {L"USB Laufwerk", "drive_usb", 30},
    {L"Hard Disk", "drive_hdd", 32},
    {L"CD Rom", "drive_cd", 30},
};

constexpr int64_t DriveSlotWidth = 34;    // distance between button slots
constexpr int64_t DriveButtonHeight = 20; // px
constexpr int64_t DriveLetterX = 20;      // where the letter goes on the picture
constexpr int64_t DriveLetterY = 7;
constexpr int64_t DriveLetterColor = 0xFF646464; // RGB(100, 100, 100), fully opaque
constexpr int64_t DrawTextBlended = TkDrawTransparent | TkDrawAlphaBlend;

std::vector<PfVolume> CurrentVolumes() {
    return pf_volumes_current();
}

// A location GIO mounted (its root is a location, not a mount point).
const DriveKindLook RemoteLook = {L"Netzwerk", "drive_hdd", 32};

const DriveKindLook* LookOfKind(const std::wstring& kind) {
    for (const DriveKindLook& look : DriveKindLooks)
        if (kind == look.Kind) return &look;
    return nullptr;
}

// Number of real drives in a list that ends with its spare element.
size_t RealDriveCount(const std::vector<DriveRecord>& drives) {
    return drives.empty() ? 0 : drives.size() - 1;
}

// Decodes a built-in drive picture into the work image; 0 when it is absent
// or cannot be decoded.
int64_t LoadDrivePicture(const char* name) {
    size_t size = 0;
    const unsigned char* png = tk_asset_png(name, &size);
    return png ? tk_image_catch(ImgDriveWork, png, size) : 0;
}

// Draws the drive letter onto the picture in the work image; a picture on
// which drawing cannot start keeps no letter.
void DrawDriveLetter(const std::wstring& letter) {
    if (!tk_drawing_start(tk_image_output(ImgDriveWork))) return;
    tk_draw_mode(DrawTextBlended);
    tk_draw_font(tk_font_handle(FontDriveLetter));
    tk_draw_front_color(DriveLetterColor);
    tk_draw_text(DriveLetterX, DriveLetterY, letter);
    tk_drawing_stop();
}

// Makes the button of slot i when the drive's kind has a picture.
void MakeDriveButton(int64_t i, DriveButtonRecord& slot, const DriveRecord& drive) {
    const DriveKindLook* look = PaneIsRemote(drive.Root) ? &RemoteLook : LookOfKind(drive.Kind);
    if (!look || !LoadDrivePicture(look->Picture)) return;
    DrawDriveLetter(drive.Letter);
    slot.Drive = drive;
    slot.Gadget = tk_image_button_create(-1, DriveSlotWidth * i, 0, look->Width, DriveButtonHeight,
                                         tk_image_handle(ImgDriveWork), TkButtonToggle);
    if (slot.Gadget) tk_gadget_bind(slot.Gadget, DriveButtonClicked);
    // The button keeps its own copy of the picture.
    tk_image_free(ImgDriveWork);
}

// What a rebuild asks off the main thread: the volumes, and whether the
// folders of the panes of each side (as they were when asked) still exist.
struct RebuildAnswer {
    std::vector<PfVolume> volumes;
    std::vector<std::wstring> folder; // by side
    std::vector<bool> folderThere;    // by side
};

// Rebuilds one bar inside its frame and puts its pane right. A click on one
// of the buttons freed here is answered no more.
void RebuildSide(const PaneSide& side, int64_t last, bool folderThere) {
    if (!tk_gadget_list_open(side.Frame)) return;
    tk_gadget_resize(side.DiskInfo, DiskInfoX(last), TkKeep, TkKeep, TkKeep);
    std::vector<DriveButtonRecord>& bar = App.*side.DriveButtons;
    if (Pane* pane = PaneOf(side.List)) pane->DriveClick.MoveOn();
    FreeDriveButtons(bar);
    CreateDriveButtons(last, bar, App.DriveList);
    EnsurePaneDrivePresent(side.List, App.DriveList, folderThere);
    MarkPaneDriveButton(side.List, App.DriveList);
    tk_gadget_list_close();
}

// The bars from the answer, on the main thread.
void ApplyRebuild(const RebuildAnswer& a) {
    App.DriveList.assign(1, DriveRecord{});
    const int64_t last = AppendDrives(a.volumes, App.DriveList);
    for (size_t k = 0; k < std::size(PaneSides); ++k) {
        const PaneSide& side = PaneSides[k];
        // A pane the user moved meanwhile was just listed there: its folder
        // is not in question.
        const bool there = a.folderThere[k] || PanePath(side.List) != a.folder[k];
        RebuildSide(side, last, there);
    }
}

AskTopic RebuildTopic; // the newest rebuild; older answers are dropped

// The root a pane falls back to: the first slot's drive, "/" when that slot
// has none.
std::wstring FallbackRoot() {
    if (!App.LeftDriveButtons.empty() && !App.LeftDriveButtons[0].Drive.Root.empty())
        return App.LeftDriveButtons[0].Drive.Root;
    return L"/";
}

} // namespace

DriveVolumeSource DriveVolumes = CurrentVolumes;

int64_t EnumerateDrives(std::vector<DriveRecord>& drives) {
    return AppendDrives(DriveVolumes(), drives);
}

int64_t AppendDrives(const std::vector<PfVolume>& volumes, std::vector<DriveRecord>& drives) {
    if (drives.empty()) drives.resize(1);
    for (const PfVolume& volume : volumes) {
        DriveRecord drive{volume.letter, volume.label, volume.kind, volume.mount};
        drives.insert(drives.end() - 1, drive);
    }
    return drives.size() > 1 ? int64_t(drives.size()) - 2 : 0;
}

void CreateDriveButtons(int64_t last, std::vector<DriveButtonRecord>& buttons,
                        const std::vector<DriveRecord>& drives) {
    int64_t data = 0; // the index of the bar's side
    for (int64_t side = 0; side < PaneSideCount; ++side)
        if (&buttons == &(App.*PaneSides[side].DriveButtons)) data = side;
    buttons.assign(size_t(last + 1), DriveButtonRecord{});
    tk_font_load(FontDriveLetter, L"Arial", 7, TkFontBold);
    for (int64_t i = 0; i <= last && size_t(i) < drives.size(); ++i)
        MakeDriveButton(i, buttons[i], drives[i]);
    for (const DriveButtonRecord& slot : buttons) {
        if (!slot.Gadget) continue;
        tk_gadget_set_data(slot.Gadget, data);
        // Without a label the kind tells the user what the button is.
        tk_gadget_tooltip(slot.Gadget,
                          slot.Drive.Label.empty() ? slot.Drive.Kind : slot.Drive.Label);
    }
    tk_font_free(FontDriveLetter);
}

void FreeDriveButtons(std::vector<DriveButtonRecord>& buttons) {
    for (const DriveButtonRecord& slot : buttons) {
        if (!slot.Gadget) continue;
        tk_gadget_unbind(slot.Gadget, DriveButtonClicked);
        tk_gadget_free(slot.Gadget);
    }
    // Cleared, so that no freed gadget number is used again.
    buttons.assign(1, DriveButtonRecord{});
}

// The mount table and the panes' folders are read on a thread of their own:
// a pane on a dead network mount must not freeze the window. Until the
// answer comes the bars keep their old buttons; a newer rebuild supersedes
// an answer still out.
void RebuildDriveBars() {
    auto a = std::make_shared<RebuildAnswer>();
    for (const PaneSide& side : PaneSides) a->folder.push_back(PanePath(side.List));
    a->folderThere.assign(a->folder.size(), false);
    AskAsideLatest(
        RebuildTopic,
        [a, read = DriveVolumes] {
            a->volumes = read();
            AddRemoteVolumes(a->volumes);
            // A remote folder is no business of the mount table: its pane
            // says itself when its server does not answer.
            for (size_t k = 0; k < std::size(a->folder); ++k)
                a->folderThere[k] =
                    !a->folder[k].empty() &&
                    (PaneIsRemote(a->folder[k]) || rt_file_size(a->folder[k]) == RtSizeFolder);
        },
        [a] { ApplyRebuild(*a); });
}

int64_t DriveIndexOfPath(const std::vector<DriveRecord>& drives, const std::wstring& path) {
    int64_t best = -1;
    for (size_t i = 0; i < RealDriveCount(drives); ++i) {
        const std::wstring& root = drives[i].Root;
        if (root.empty() || path.compare(0, root.size(), root) != 0) continue;
        if (best < 0 || root.size() > drives[best].Root.size()) best = int64_t(i);
    }
    return best;
}

// Every rebuild used to move a pane to the first drive's root unless it
// showed a root itself, so plugging in a stick threw both panes out of their
// folders. A pane moves only when it has lost its ground: the volume it was
// shown on is gone, or its folder no longer exists.
void EnsurePaneDrivePresent(int64_t list, const std::vector<DriveRecord>& drives,
                            bool folderThere) {
    Pane* pane = PaneOf(list);
    if (!pane) return;
    bool volume_present = pane->ShownMount.empty();
    for (size_t i = 0; i < RealDriveCount(drives) && !volume_present; ++i)
        volume_present = drives[i].Root == pane->ShownMount;
    if (volume_present && folderThere) return;
    // ShowPath records the mount of the folder it shows in ShownMount.
    ShowPath(*pane, FallbackRoot(), ShowReset);
}

void MarkPaneDriveButton(int64_t list, const std::vector<DriveRecord>& drives) {
    const PaneSide* side = SideOfList(list);
    if (!side) return;
    const std::vector<DriveButtonRecord>* bar = &(App.*side->DriveButtons);
    int64_t index = DriveIndexOfPath(drives, PanePath(list));
    if (index < 0 || size_t(index) >= bar->size() || !(*bar)[index].Gadget) return;
    tk_gadget_set_state((*bar)[index].Gadget, 1);
    // Keep the line beside the bar in step with the pressed button: after a
    // pane was moved it would still name the volume that went away.
    ShowDiskInfo(list, drives[index]);
}
