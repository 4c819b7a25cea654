// SetPaneLocation, the disk information line and the volume of a path: see
// pane_location.h.
#include "app/panes/pane_location.h"

#include "app/core/answers.h"
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/panes/pane.h"
#include "app/panes/pane_remote.h"
#include "app/panes/pane_sides.h"
#include "app/panes/pane_texts.h"
#include "app/panes/panes.h"
#include "app/panes/size_text.h"
#include "platform/volumes.h"
#include "toolkit/gadget_ops.h"
#include "toolkit/list.h"

#include <memory>
#include <vector>

namespace {

constexpr int64_t DiskInfoPadding = 4; // pixels right of the text, so no glyph touches the edge

bool IsPrefix(const std::wstring& root, const std::wstring& path) {
    return !root.empty() && path.compare(0, root.size(), root) == 0;
}

// Releases every drive button of the pane's side and presses the one whose
// mount point holds path, setting the disk information line for it.
void MarkDriveOfPath(Pane& pane, const std::wstring& path) {
    const PaneSide* side = SideOf(pane);
    if (!side) return;
    const DriveButtonRecord* best = nullptr;
    for (const DriveButtonRecord& b : App.*side->DriveButtons) {
        if (!b.Gadget) continue;
        tk_gadget_set_state(b.Gadget, 0);
        if (IsPrefix(b.Drive.Root, path) &&
            (!best || b.Drive.Root.size() > best->Drive.Root.size()))
            best = &b;
    }
    if (!best) return;
    tk_gadget_set_state(best->Gadget, 1);
    ShowDiskInfo(pane, best->Drive);
}

std::wstring DiskInfoOf(const DriveRecord& drive, int64_t free_bytes, int64_t total_bytes) {
    int64_t unit = App.settings.DriveSizeUnit;
    return drive.Label + L" " + FormatSize(free_bytes, 0, unit) + PaneDiskInfoOf +
           FormatSize(total_bytes, 0, unit);
}

void SetDiskInfoLine(int64_t line, const std::wstring& text) {
    tk_gadget_set_text(line, text);
    // Sizes in bytes make the line far longer than in GB: it gets the width
    // its text needs, never less than it was built with.
    const int64_t need = tk_gadget_text_width(line) + DiskInfoPadding;
    if (need > tk_gadget_width(line)) tk_gadget_resize(line, TkKeep, TkKeep, need, TkKeep);
}

} // namespace

void ShowDiskInfo(Pane& pane, const DriveRecord& drive) {
    const PaneSide* side = SideOf(pane);
    if (!side) return;
    struct Space {
        int64_t free_bytes = 0, total_bytes = 0;
    };
    auto space = std::make_shared<Space>();
    // A newer question supersedes the answer (a volume clicked meanwhile).
    AskAsideLatest(
        pane.DiskInfo,
        [space, root = drive.Root] {
            pf_disk_space(root, &space->free_bytes, &space->total_bytes);
        },
        [space, drive, line = side->DiskInfo] {
            SetDiskInfoLine(line, DiskInfoOf(drive, space->free_bytes, space->total_bytes));
        });
}

void ShowDiskInfo(int64_t list, const DriveRecord& drive) {
    if (Pane* pane = PaneOf(list)) ShowDiskInfo(*pane, drive);
}

void SetPaneLocation(Pane& pane, const std::wstring& path) {
    if (PaneIsRemote(path)) return SetRemotePaneLocation(pane, path);
    const int64_t current = tk_list_current_row(ListOf(pane));
    const int64_t row = current < 0 ? 0 : current;
    PaneHistory h;
    ResetHistory(h, path);
    size_t slashes = 0;
    for (size_t at = path.find(L'/'); at != std::wstring::npos; at = path.find(L'/', at + 1)) {
        PushHistory(h, path.substr(0, at + 1), row);
        slashes++;
    }
    SetPaneHistory(pane, std::move(h));
    if (slashes) MarkDriveOfPath(pane, path);
}

void MarkPaneDrive(Pane& pane) {
    MarkDriveOfPath(pane, PaneFolder(pane));
}

std::wstring SetPaneLocation(int64_t list, const std::wstring& path) {
    if (Pane* pane = PaneOf(list)) SetPaneLocation(*pane, path);
    return L"";
}

std::wstring MountOfPath(const std::wstring& path) {
    std::wstring mount;
    for (const DriveRecord& d : App.DriveList) {
        if (IsPrefix(d.Root, path) && d.Root.size() > mount.size()) mount = d.Root;
    }
    return mount;
}
