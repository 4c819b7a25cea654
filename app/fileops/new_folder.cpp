// The new-folder dialog (window 36, F7). Main thread;
// the dialog's "Ok" creates the folder on a thread of its own (AskAside), so
// a pane on a hanging mount leaves the window answering, and the dialog
// stays open until the answer says whether it worked.
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
#include "toolkit/gadgets.h"

#include <cerrno>
#include <memory>

namespace {

constexpr int64_t DialogFlags = TkWindowTitleBar | TkWindowCentreOnParent;

void CloseDialog() {
    tk_window_close(WinNewFolder);
    tk_window_disable(WinMain, 0);
    tk_gadget_activate(App.ActivePane);
}

// A typed folder name often ends in blanks or a "/": they are dropped
// before the name must be a plain one.
std::wstring Trimmed(std::wstring name) {
    while (!name.empty() && (name.back() == L' ' || name.back() == L'/')) name.pop_back();
    return name;
}

// Any thread: "" when made, else why not. A remote folder's reason comes
// from its call: errno says nothing about it.
std::wstring MakeFolder(const std::wstring& folder, const std::wstring& plain) {
    if (folder.empty()) return FailureReason(ENOENT);
    std::wstring reason;
    if (RemoteJobPath(folder)) return RemoteMakeFolder(folder + plain, &reason) ? L"" : reason;
    return JournalNewFolder(folder + plain) ? L"" : FailureReason(errno ? errno : EIO);
}

// Which folder was not made and why; the dialog stays for another name.
void FolderFailed(const std::wstring& path, const std::wstring& reason) {
    Messages.Box(TextError, std::wstring(TextNewFolderFailed) + L"\n" + path + L"\n\n" + reason, 0);
    if (tk_window_exists(WinNewFolder)) tk_gadget_activate(GadNewFolderName);
}

// The creation still out; a second "Ok" meanwhile does nothing.
AskTopic Creating;

void OkPressed() {
    if (Creating.Waiting()) return;
    const int64_t pane = App.ActivePane;
    const std::wstring folder = PanePath(pane);
    const std::wstring name = Trimmed(tk_gadget_get_text(GadNewFolderName));
    if (!IsPlainName(name)) return FolderFailed(folder + name, NameRefusal(name));
    auto reason = std::make_shared<std::wstring>();
    AskAside(
        Creating, [reason, folder, name] { *reason = MakeFolder(folder, name); },
        [reason, folder, name, pane] {
            if (!reason->empty()) return FolderFailed(folder + name, *reason);
            if (tk_window_exists(WinNewFolder)) CloseDialog();
            WishCursorOn(pane, name);
            RefreshPanesShowing(folder);
        });
}

} // namespace

void OpenNewFolderDialog(int64_t x, int64_t y, int64_t width, int64_t height) {
    tk_window_disable(WinMain, 1);
    tk_window_open(WinNewFolder, x, y, width, height, TextNewFolderTitle, DialogFlags,
                   tk_window_handle(WinMain));
    tk_window_activate(WinNewFolder);
    tk_string_create(GadNewFolderName, 10, 10, 300, 20, L"");
    tk_button_create(GadNewFolderOk, 160, 40, 70, 20, TextOk);
    tk_button_create(GadNewFolderCancel, 240, 40, 70, 20, TextAbort);
    tk_gadget_activate(GadNewFolderName);
    tk_shortcut_add(WinNewFolder, KeyReturn, MenuDialogReturn);
}

int64_t NewFolderEvents(int64_t event) {
    if (event == EventMenu && tk_event_menu() == MenuDialogReturn)
        tk_event_post(EventGadget, WinNewFolder, GadNewFolderOk);
    else if (event == EventGadget && tk_event_gadget() == GadNewFolderOk)
        OkPressed();
    else if (event == EventGadget && tk_event_gadget() == GadNewFolderCancel)
        CloseDialog();
    return 0;
}
