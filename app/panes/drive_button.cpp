// DriveButtonClicked: a drive button of a pane's drive bar was pressed. See
// navigation.h. Main thread only; runs as the button's bound callback.
#include "app/core/answers.h"
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/panes/navigation.h"
#include "app/panes/pane.h"
#include "app/panes/pane_hooks.h"
#include "app/panes/pane_location.h"
#include "app/panes/pane_remote.h"
#include "app/panes/pane_sides.h"
#include "app/panes/pane_texts.h"
#include "app/panes/panes.h"
#include "runtime/files.h"
#include "toolkit/events.h"
#include "toolkit/gadget_ops.h"

#include <memory>

namespace {

bool CanList(const std::wstring& folder) {
    int number = rt_dir_examine(-1, folder, L"*.*");
    if (!number) return false;
    rt_dir_finish(number);
    return true;
}

} // namespace

void DriveButtonClicked() {
    const int64_t button = tk_event_gadget();
    const int64_t index = tk_gadget_get_data(button); // the side of its bar
    if (index < 0 || index >= PaneSideCount) return;
    const PaneSide& side = PaneSides[index];
    Pane* pane = PaneOf(side.List);
    if (!pane) return;
    DriveRecord drive;
    bool found = false;
    for (const DriveButtonRecord& b : App.*side.DriveButtons) {
        if (!b.Gadget) continue;
        tk_gadget_set_state(b.Gadget, 0);
        if (b.Gadget == button) {
            drive = b.Drive;
            found = true;
        }
    }
    if (!found) return;
    if (PaneIsRemote(drive.Root))
        return RemoteDriveClicked(*pane, drive.Root, button,
                                  tk_event_type() == EventTypeRightClick);
    if (tk_event_type() == EventTypeRightClick) return;
    // Whether the mount point can be listed is asked off the main thread: a
    // dead network mount must not freeze the window. A newer click on the
    // same bar supersedes the answer; so does a rebuild of the bar.
    auto can_list = std::make_shared<bool>(false);
    AskAsideLatest(
        pane->DriveClick, [can_list, root = drive.Root] { *can_list = CanList(root); },
        [can_list, drive, pane, button] {
            if (!*can_list) {
                PaneError(PaneHeadlineFailure, PaneCannotOpenDrive + drive.Root);
                tk_gadget_activate(ListOf(*pane));
                return;
            }
            ShowDiskInfo(*pane, drive);
            tk_gadget_set_state(button, 1);
            ShowPath(*pane, drive.Root, ShowReset);
        });
}
