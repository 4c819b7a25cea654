// DriveButtonClicked: a drive button of a pane's drive bar was pressed. See
// navigation.h. Main thread only; runs as the button's bound callback.
#include "app/core/answers.h"
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/panes/navigation.h"
#include "app/panes/pane_hooks.h"
#include "app/panes/pane_location.h"
#include "app/panes/pane_texts.h"
#include "app/panes/panes.h"
#include "runtime/files.h"
#include "toolkit/events.h"
#include "toolkit/gadget_ops.h"

#include <array>
#include <memory>

namespace {

// Gadget data of a drive button -> its pane.
constexpr std::array<int64_t, 2> PaneOfButtonData = {GadLeftPane, GadRightPane};

std::vector<DriveButtonRecord>& ButtonsOfPane(int64_t pane) {
    return pane == GadLeftPane ? App.LeftDriveButtons : App.RightDriveButtons;
}

bool CanList(const std::wstring& folder) {
    int number = rt_dir_examine(-1, folder, L"*.*");
    if (!number) return false;
    rt_dir_finish(number);
    return true;
}

AskTopic ClickTopics[2]; // the newest click of each bar

} // namespace

void DriveButtonClicked() {
    int64_t button = tk_event_gadget();
    int64_t side = tk_gadget_get_data(button);
    if (side < 0 || side >= int64_t(PaneOfButtonData.size())) return;
    int64_t pane = PaneOfButtonData[size_t(side)];
    DriveRecord drive;
    bool found = false;
    for (const DriveButtonRecord& b : ButtonsOfPane(pane)) {
        if (!b.Gadget) continue;
        tk_gadget_set_state(b.Gadget, 0);
        if (b.Gadget == button) {
            drive = b.Drive;
            found = true;
        }
    }
    if (!found) return;
    // Whether the mount point can be listed is asked off the main thread: a
    // dead network mount must not freeze the window. A newer click on the
    // same bar supersedes the answer.
    auto can_list = std::make_shared<bool>(false);
    AskAsideLatest(
        ClickTopics[side], [can_list, root = drive.Root] { *can_list = CanList(root); },
        [can_list, drive, pane, button] {
            if (!tk_gadget_exists(button)) return;
            if (!*can_list) {
                PaneError(PaneHeadlineFailure, PaneCannotOpenDrive + drive.Root);
                tk_gadget_activate(pane);
                return;
            }
            ShowDiskInfo(pane, drive);
            tk_gadget_set_state(button, 1);
            ShowPath(pane, drive.Root, ShowReset);
        });
}
