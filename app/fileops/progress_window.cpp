// The progress windows of copy (34) and delete (35) and their handlers: the
// figures a worker published are copied into the gadgets here, on the main
// thread; the end event closes the window, reports any failure and brings
// the panes up to date.
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/core/message_dialog.h"
#include "app/fileops/copy_job.h"
#include "app/fileops/fileops.h"
#include "app/fileops/fileops_ids.h"
#include "app/fileops/fileops_internal.h"
#include "app/fileops/fileops_texts.h"
#include "app/panes/pane.h"
#include "app/panes/pane_sides.h"
#include "app/panes/panes.h"
#include "toolkit/gadgets.h"

namespace {

// Title bar without a close box, centred over the main window; shown by
// OpenProgressWindow once the job has run for a moment.
constexpr int64_t ProgressFlags = TkWindowTitleBar | TkWindowCentreOnParent | TkWindowHidden;

std::wstring Percent(const wchar_t* label, int value) {
    return label + std::to_wstring(value) + TextPercent;
}

// Copies what the worker published into the gadgets of window.
void ShowJobView(int64_t window) {
    int filePercent, totalPercent;
    std::wstring current;
    {
        std::lock_guard lock(Job.view.lock);
        Job.view.posted = false;
        filePercent = Job.view.filePercent;
        totalPercent = Job.view.totalPercent;
        current = Job.view.current;
    }
    tk_gadget_set_state(GadTotalProgress, totalPercent);
    tk_gadget_set_text(GadTotalPercent, Percent(TextTotalPercent, totalPercent));
    if (window != WinCopyProgress) return;
    tk_gadget_set_state(GadFileProgress, filePercent);
    tk_gadget_set_text(GadCurrentFile, TextCopying + current);
    tk_gadget_set_text(GadFilePercent, Percent(TextFilePercent, filePercent));
}

// The worker has posted its end: make sure it is gone before the record is
// read or a new job may start.
void WaitForWorker() {
    if (Job.thread) rt_thread_wait(Job.thread);
}

void FinishCopy() {
    WaitForWorker();
    if (Job.result == 0) Messages.Box(TextCopyFailedTitle, TextCopyFailed, 0);
    tk_window_close(WinCopyProgress);
    RefreshPanesShowing(Job.targetFolder);
    if (Job.move) RefreshPanesShowing(Job.sourceFolder);
}

void FinishDelete() {
    WaitForWorker();
    ShowJobView(WinDeleteProgress);
    if (Job.result == 0) Messages.Box(TextDeleteFailedTitle, TextDeleteFailed, 0);
    tk_window_close(WinDeleteProgress);
    RefreshPanesShowing(Job.sourceFolder);
}

} // namespace

void OpenProgressWindow(int64_t mode) {
    const bool copy = mode == 0;
    const int64_t window = copy ? WinCopyProgress : WinDeleteProgress;
    tk_window_open(window, 0, 0, ProgressWidth, ProgressHeight,
                   copy ? TextCopyTitle : TextDeleteTitle, ProgressFlags,
                   tk_window_handle(WinMain));
    if (copy) {
        tk_text_create(GadCurrentFile, 10, 0, 400, 16, TextCurrentFileStart);
        tk_text_create(GadFilePercent, 344, 20, 80, 20, TextFilePercentStart);
        tk_progress_create(GadFileProgress, 10, 40, 380, 16, 0, 100);
    }
    tk_text_create(GadTotalPercent, 286, 60, 120, 20, TextTotalPercentStart);
    tk_progress_create(GadTotalProgress, 10, 80, 380, 16, 0, 100);
    tk_button_create(GadCancel, 290, 110, 100, 20, TextCancel);
    tk_window_show(window, ProgressShowDelayMs);
    Job.window = window;
}

int64_t CopyProgressEvents(int64_t event) {
    if (event == EventJobProgress)
        ShowJobView(WinCopyProgress);
    else if (event == EventJobDone)
        FinishCopy();
    else if (event == EventGadget && tk_event_gadget() == GadCancel)
        Job.cancel = JobCancelled;
    return 0;
}

int64_t DeleteProgressEvents(int64_t event) {
    if (event == EventJobProgress)
        ShowJobView(WinDeleteProgress);
    else if (event == EventJobDone)
        FinishDelete();
    else if (event == EventGadget && tk_event_gadget() == GadCancel)
        Job.cancel = JobCancelled;
    return 0;
}

void RefreshPanesShowing(const std::wstring& folder) {
    const int64_t active = App.ActivePane;
    bool refreshed = false;
    for (Pane* pane : EveryPane())
        if (!folder.empty() && PaneFolder(*pane) == folder && ListOf(*pane)) {
            ShowPath(*pane, L"", ShowRefresh);
            refreshed = true;
        }
    // ShowPath makes the pane it shows the active one; give that back.
    if (refreshed && PaneOf(active)) ShowPath(active, L"", ShowNoFill);
}
