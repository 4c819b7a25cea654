// Start-up, main loop and shutdown: see shell.h.
#include "app/shell/shell.h"

#include "app/config/button_bar.h"
#include "app/config/button_bar_editor.h"
#include "app/config/drive_bar.h"
#include "app/config/remote_drives.h"
#include "app/config/remote_login_dialog.h"
#include "app/config/settings.h"
#include "app/config/settings_dialog.h"
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/core/remote_ask.h"
#include "app/fileops/fileops.h"
#include "app/fileops/job_queue.h"
#include "app/fileops/jobs_window.h"
#include "app/fileops/undo_history.h"
#include "app/panes/pane_remote_open.h"
#include "app/panes/pane_sides.h"
#include "app/panes/pane_workers.h"
#include "app/panes/panes.h"
#include "app/panes/select_pattern_dialog.h"
#include "app/panes/selection_line.h"
#include "app/shell/key_table_window.h"
#include "app/shell/main_events.h"
#include "app/shell/main_menu.h"
#include "app/shell/main_window.h"
#include "platform/mime.h"
#include "platform/shell_open.h"
#include "runtime/memory.h"
#include "runtime/threads.h"
#include "toolkit/gadgets.h"

namespace {

struct WindowHandlerEntry {
    int64_t window;
    WindowHandler handler;
};

// Windows of later features (settings, progress, new folder, rename, button
// bar editor) join this table as they arrive.
constexpr WindowHandlerEntry WindowHandlers[] = {
    {WinMain, MainWindowEvents},
    {WinCopyProgress, CopyProgressEvents},
    {WinDeleteProgress, DeleteProgressEvents},
    {WinNewFolder, NewFolderEvents},
    {WinRename, RenameEvents},
    {WinSettings, SettingsDialogEvent},
    {WinButtonBarEditor, ButtonBarEditorEvent},
    {WinSelectPattern, SelectPatternEvents},
    {WinJobs, JobsWindowEvents},
    {WinKeyTable, KeyTableEvents},
};

struct ItemPicture {
    int64_t image;
    const char* asset;
};
constexpr ItemPicture ItemPictures[] = {
    {ImgFolder, "item_folder"},
    {ImgParent, "item_parent"},
    {ImgFile, "item_file"},
};

void CreateItemImages() {
    for (const ItemPicture& p : ItemPictures) {
        size_t size = 0;
        const unsigned char* png = tk_asset_png(p.asset, &size);
        if (png) tk_image_catch(p.image, png, size);
    }
}

void InstallHooks() {
    for (const PaneSide& side : PaneSides) tk_list_set_header_hook(side.List, PaneHeaderHook);
    tk_window_set_callback(DeviceChangeCallback);
    tk_event_bind(EventSizeWindow, RelayoutMainWindow, WinMain);
    tk_window_close_on_signals(WinMain); // a logout ends us like the close button
    StartSelectionLines();
    InstallRemoteLoginDialogs();
    InstallRemoteMountWatch();
}

} // namespace

WindowHandler HandlerOfWindow(int64_t window) {
    for (const WindowHandlerEntry& e : WindowHandlers)
        if (e.window == window) return e.handler;
    // Progress windows and lists of failures of several jobs at once have
    // numbers of their own.
    if (IsFileJobWindow(window)) return FileJobWindowEvents;
    return nullptr;
}

int64_t StartUp() {
    rt_heap_setup(); // before the first thread
    AppStateReset();
    ResetPanes();
    // The settings need no toolkit: with them read, both start folders are
    // read on threads of their own while the toolkit starts and the window
    // opens. The left pane, which the window opens with the keyboard in it,
    // is read first when the processors are short.
    if (!ReadSettings()) TakeDefaultSettings();
    UndoHistoryOpen(); // "Data/Undo/" beside the settings
    for (const PaneSide& side : PaneSides)
        StartEarlyListing(side.List, SettingsQuery.StartFolder(), &side != &PaneSides[0]);
    if (!tk_init()) return 0;
    pf_mime_init(); // before any pane worker asks for a type name
    pf_shell_open_install();
    InstallShellHooks();
    CreateItemImages();
    BuildPaneBackgroundMenu();
    // Without a readable settings file the program still opens its window
    // (ReadSettings took the defaults).
    OpenSettingsWindow();
    if (!LoadButtonBar(ButtonBarList)) UseDefaultButtonBar();
    InstallHooks();
    return tk_window_handle(WinMain) != 0;
}

void RunMainLoop() {
    int64_t quit = 0;
    while (quit != 1) {
        const int32_t value = tk_event_wait();
        const int64_t window = tk_event_window();
        const WindowHandler handler = HandlerOfWindow(window);
        if (!handler) continue;
        const int64_t result = handler(value);
        if (window == WinMain) quit = result;
    }
}

void ShutDown() {
    EndRemoteAsk(); // a worker waiting for a login answer gives up
    EndRemoteMountWatch();
    // Whatever the way out (asked, a signal, the window manager's close): the
    // waiting jobs never start, the running ones stop as a cancel does, and
    // none is left in the middle of a file.
    CancelAllFileJobs();
    const bool jobsEnded = EndFileJobs();
    rt_journal_flush(&UndoJournal()); // the ends of the last jobs, written aside
    DiscardRemoteCopies();
    SaveSettings();
    // A worker held up on a dead mount could touch what the end frees: with
    // the settings and the journal written, the program ends around it.
    if (!jobsEnded) rt_process_end_now(0);
    EndPaneThreads(); // none may touch a gadget tk_end frees
    tk_end();
}
