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
#include "app/fileops/remote_job.h"
#include "app/panes/panes.h"
#include "runtime/files.h"
#include "toolkit/gadgets.h"

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

// Any thread.
bool MakeFolder(const std::wstring& folder, const std::wstring& name) {
    const std::wstring plain = Trimmed(name);
    if (folder.empty() || !IsPlainName(plain)) return false;
    if (RemoteJobPath(folder)) return RemoteMakeFolder(folder + plain);
    return rt_dir_create(folder + plain);
}

void FolderFailed() {
    Messages.Box(TextError, TextNewFolderFailed, 0);
}

// The creation still out; a second "Ok" meanwhile does nothing.
AskTopic Creating;

void OkPressed() {
    if (Creating.Waiting()) return;
    const std::wstring folder = PanePath(App.ActivePane);
    auto made = std::make_shared<bool>(false);
    AskAside(
        Creating,
        [made, folder, name = tk_gadget_get_text(GadNewFolderName)] {
            *made = MakeFolder(folder, name);
        },
        [made, folder] {
            if (!*made) return FolderFailed();
            if (tk_window_exists(WinNewFolder)) CloseDialog();
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
