// Renaming in place: the borderless rename window (46) laid over the pane's
// current row (F2, the context menu's rename) and its handler. Main thread;
// the window's "Ok" renames on a thread of its own (app/core/answers.h), so
// an entry on a hanging mount leaves the window answering.
#include "app/core/answers.h"
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/core/message_dialog.h"
#include "app/fileops/fileops.h"
#include "app/fileops/fileops_ids.h"
#include "app/fileops/fileops_internal.h"
#include "app/fileops/fileops_texts.h"
#include "app/panes/pane_cursor.h"
#include "app/fileops/undo_history.h"
#include "app/fileops/remote_job.h"
#include "app/panes/panes.h"
#include "runtime/files.h"
#include "toolkit/busy.h"
#include "toolkit/gadgets.h"

#include <algorithm>
#include <cerrno>
#include <memory>

namespace {

// Which row the open rename window renames.
struct RenameTarget {
    int64_t pane = 0;
    int64_t row = -1;
    std::wstring name;
};
RenameTarget Renaming;

constexpr int64_t PictureWidth = 22;   // the row's picture left of the name
constexpr int64_t ScrollBarWidth = 18; // a vertical scroll bar on the right
constexpr int64_t ButtonWidth = 30;
constexpr int64_t MinimumWidth = 2 * ButtonWidth; // a pane not laid out yet has no width

void CloseRenameWindow() {
    tk_window_close(WinRename);
    tk_window_disable(WinMain, 0);
    tk_gadget_activate(App.ActivePane);
}

// One rename as the window asks for it.
struct RenameAsked {
    int64_t pane = 0;
    std::wstring folder, old_name, new_name;
};

// The rename did not happen: the user reads which entry and why; the window
// stays for another name.
void RenameFailed(const RenameAsked& r, const std::wstring& reason) {
    Messages.Box(TextError,
                 TextRenameFailed + r.folder + r.old_name + L"\n→ " + r.new_name + L"\n\n" + reason,
                 0);
    if (tk_window_exists(WinRename)) tk_gadget_activate(GadRenameName);
}

// Whether the typed name can be tried; the same name closes the window.
bool Prepare(int64_t pane, RenameAsked& r) {
    r.pane = pane;
    r.folder = PanePath(pane);
    r.old_name = Renaming.pane == pane ? Renaming.name : std::wstring();
    r.new_name = tk_gadget_get_text(GadRenameName);
    if (r.new_name == r.old_name) {
        tk_event_post(EventMenu, WinRename, MenuDialogEscape);
        return false;
    }
    if (r.folder.empty() || r.old_name.empty()) return false;
    if (!IsPlainName(r.new_name)) {
        RenameFailed(r, NameRefusal(r.new_name));
        return false;
    }
    return true;
}

// Never replaces an entry of the new name: that rename fails. Any thread;
// "" on success, else why not (a remote one's from its call, not errno).
std::wstring RenameOnDisk(const RenameAsked& r) {
    std::wstring reason;
    if (RemoteJobPath(r.folder))
        return RemoteRename(r.folder + r.old_name, r.new_name, &reason) ? L"" : reason;
    return JournalRename(r.folder + r.old_name, r.folder + r.new_name)
               ? L""
               : FailureReason(errno ? errno : EIO);
}

// The renamed entry's old row goes.
void Renamed(const RenameAsked& r) {
    if (Renaming.pane == r.pane && Renaming.name == r.old_name &&
        tk_gadget_get_item_text(r.pane, Renaming.row, 0) == r.old_name)
        tk_gadget_remove_item(r.pane, Renaming.row);
    Renaming = {};
}

AskTopic RenameOut; // the rename still out; "Ok" meanwhile does nothing

void OkPressed() {
    RenameAsked r;
    if (RenameOut.Waiting() || !Prepare(App.ActivePane, r)) return;
    auto reason = std::make_shared<std::wstring>();
    AskAside(
        RenameOut, [reason, r] { *reason = RenameOnDisk(r); },
        [reason, r] {
            if (!reason->empty()) return RenameFailed(r, *reason);
            Renamed(r);
            if (tk_window_exists(WinRename)) CloseRenameWindow();
            WishCursorOn(r.pane, r.new_name);
            RefreshPanesShowing(r.folder);
        });
}

} // namespace

bool IsPlainName(const std::wstring& name) {
    return !name.empty() && name != L"." && name != L".." && name.find(L'/') == std::wstring::npos;
}

void StartInlineRename(int64_t pane) {
    const int64_t row = tk_list_current_row(pane);
    const std::wstring name = tk_gadget_get_item_text(pane, row, 0);
    if (row < 0 || !IsPlainName(name)) return;
    tk_list_ensure_visible(pane, row);
    TkListRect screen, local;
    if (!tk_list_item_rect(pane, row, 0, &screen, 1) || !tk_list_item_rect(pane, row, 0, &local)) {
        // Not laid out yet (no screen): below the header, by row height.
        const int64_t h = tk_list_row_height(pane) > 0 ? tk_list_row_height(pane) : 20;
        screen = {0, h + (row - tk_list_top_row(pane)) * h, 0, h};
        local = {};
    }
    const int64_t pane_x = screen.x - local.x;
    const int64_t width =
        std::max<int64_t>(MinimumWidth, tk_gadget_width(pane) - PictureWidth -
                                            (tk_list_has_vscrollbar(pane) ? ScrollBarWidth : 0));
    Renaming = {pane, row, name};
    OpenRenameWindow(pane_x + PictureWidth, screen.y, width, screen.height);
    if (App.settings.ListFont)
        tk_gadget_set_font(GadRenameName, tk_font_handle(App.settings.ListFont));
    tk_gadget_set_text(GadRenameName, name);
    tk_string_select_all(GadRenameName);
}

void OpenRenameWindow(int64_t x, int64_t y, int64_t width, int64_t height) {
    tk_window_disable(WinMain, 1);
    tk_window_open(WinRename, x, y, width, height, L"", TkWindowPopup, tk_window_handle(WinMain));
    tk_window_activate(WinRename);
    tk_string_create(GadRenameName, 0, 0, width - ButtonWidth, height, L"");
    tk_button_create(GadRenameOk, width - ButtonWidth, 0, ButtonWidth, height, TextRenameOk);
    tk_gadget_activate(GadRenameName);
    tk_shortcut_add(WinRename, KeyReturn, MenuDialogReturn);
    tk_shortcut_add(WinRename, KeyEscape, MenuDialogEscape);
}

int64_t RenameEvents(int64_t event) {
    if (event == EventMenu && tk_event_menu() == MenuDialogReturn)
        tk_event_post(EventGadget, WinRename, GadRenameOk);
    else if (event == EventMenu && tk_event_menu() == MenuDialogEscape)
        CloseRenameWindow();
    else if (event == EventGadget && tk_event_gadget() == GadRenameOk)
        OkPressed();
    return 0;
}
