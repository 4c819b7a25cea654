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

// Copies what the worker published into the gadgets of the job's window.
void ShowJobView(CopyJob& job) {
    int filePercent, totalPercent;
    std::wstring current;
    {
        std::lock_guard lock(job.view.lock);
        job.view.posted = false;
        filePercent = job.view.filePercent;
        totalPercent = job.view.totalPercent;
        current = job.view.current;
    }
    tk_gadget_set_state(GadTotalProgress, totalPercent);
    tk_gadget_set_text(GadTotalPercent, Percent(TextTotalPercent, totalPercent));
    if (job.operation == JobDelete) return;
    tk_gadget_set_state(GadFileProgress, filePercent);
    tk_gadget_set_text(GadCurrentFile, TextCopying + current);
    tk_gadget_set_text(GadFilePercent, Percent(TextFilePercent, filePercent));
}

// The worker has posted its end: it is gone before the record is read, and
// the record goes with the window.
void FinishCopy(CopyJob& job) {
    if (job.thread) rt_thread_wait(job.thread);
    if (job.result == 0) Messages.Box(TextCopyFailedTitle, TextCopyFailed, 0);
    tk_window_close(job.window);
    const std::wstring source = job.sourceFolder, target = job.targetFolder;
    const bool moved = job.operation == JobMove;
    EndFileJob(job);
    RefreshPanesShowing(target);
    if (moved) RefreshPanesShowing(source);
}

void FinishDelete(CopyJob& job) {
    if (job.thread) rt_thread_wait(job.thread);
    ShowJobView(job);
    if (job.result == 0) Messages.Box(TextDeleteFailedTitle, TextDeleteFailed, 0);
    tk_window_close(job.window);
    const std::wstring source = job.sourceFolder;
    EndFileJob(job);
    RefreshPanesShowing(source);
}

// The events of a job's progress window.
int64_t ProgressEvents(int64_t event, void (*finish)(CopyJob&)) {
    CopyJob* job = FileJobOfWindow(tk_event_window());
    if (!job) return 0;
    if (event == EventJobProgress)
        ShowJobView(*job);
    else if (event == EventJobDone)
        finish(*job);
    else if (event == EventGadget && tk_event_gadget() == GadCancel) {
        job->cancel = JobCancelled;
        rt_control_cancel(&job->control); // also in the middle of a file or a folder
    }
    return 0;
}

} // namespace

void OpenProgressWindow(CopyJob& job) {
    const bool copy = job.operation != JobDelete;
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
    job.window = window;
}

int64_t CopyProgressEvents(int64_t event) {
    return ProgressEvents(event, FinishCopy);
}

int64_t DeleteProgressEvents(int64_t event) {
    return ProgressEvents(event, FinishDelete);
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
