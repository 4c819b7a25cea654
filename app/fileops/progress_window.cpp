// The progress windows of copy and delete and their handlers: the figures a
// worker published are copied into the gadgets here, on the main thread;
// "Anhalten"/"Fortsetzen" and "Abbrechen" steer the job through the queue;
// the end event closes the window, reports any failure and brings the panes
// up to date.
//
// Several jobs have windows at once, so a window and its gadgets get numbers
// of their own. The first window open takes the long-known numbers (window
// 34 or 35, gadgets 37 to 42) so a lone job looks as it always did to
// whoever drives it by number, and is built at once. Any other job gets a
// window number from FirstJobWindow on, but its window is built only once
// the job has lasted ProgressShowDelayMs: building a window costs more than
// a small job, and a queue of a hundred small jobs would spend most of its
// time on windows nobody sees. Until then the number names the job alone:
// the worker's events reach its handler all the same.
#include "app/core/answers.h"
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/core/message_dialog.h"
#include "app/fileops/copy_job.h"
#include "app/fileops/fileops.h"
#include "app/fileops/fileops_ids.h"
#include "app/fileops/fileops_internal.h"
#include "app/fileops/fileops_texts.h"
#include "app/fileops/job_figures.h"
#include "app/fileops/job_journal.h"
#include "app/fileops/job_queue.h"
#include "app/panes/pane.h"
#include "app/panes/pane_sides.h"
#include "app/panes/panes.h"
#include "toolkit/gadgets.h"

#include <algorithm>
#include <chrono>
#include <iterator>
#include <map>

namespace {

// Title bar without a close box, centred over the main window; shown by
// OpenProgressWindow once the job has run for a moment.
constexpr int64_t ProgressFlags = TkWindowTitleBar | TkWindowCentreOnParent | TkWindowHidden;
// Waiting jobs whose windows are built at most.
constexpr size_t WaitingShown = 3;
// A window that grows for a long text grows no wider than this.
constexpr int64_t ProgressMostWidth = 1400;

// The gadgets of one job's window and what its figures need between reports.
struct ProgressGadgets {
    int64_t currentFile = -1, filePercent = -1, fileBar = -1;
    int64_t totalPercent = -1, totalBar = -1, figures = -1;
    int64_t pause = -1, cancel = -1;
    SpeedMeter meter;
    bool paused = false;
    int shownPercent = 0; // the total percent as last shown
    bool built = false;   // the window and gadgets exist
    bool started = false; // the queue started the job
    int64_t queuedMs = 0; // steady clock when the job was queued
};

std::map<CopyJob*, ProgressGadgets> Windows; // main thread
int64_t NextWindow = FirstJobWindow;         // the number of the next job window built later
bool CheckPending = false;                   // a look for windows due is on its way

int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::wstring Percent(const wchar_t* label, int value) {
    return label + std::to_wstring(value) + TextPercent;
}

// Widens the window and the text gadget when the gadget's text would be cut.
void Widen(int64_t window, int64_t gadget) {
    const int64_t need = tk_gadget_needed_width(gadget);
    const int64_t have = tk_gadget_width(gadget);
    if (need <= have) return;
    const int64_t grow = std::min(need - have, ProgressMostWidth - tk_window_width(window));
    if (grow <= 0) return;
    tk_gadget_resize(gadget, TkKeep, TkKeep, have + grow, TkKeep);
    tk_window_resize(window, tk_window_width(window) + grow, tk_window_height(window));
}

void SetText(const CopyJob& job, int64_t gadget, const std::wstring& text) {
    if (tk_gadget_get_text(gadget) == text) return;
    tk_gadget_set_text(gadget, text);
    Widen(job.window, gadget);
}

// Bytes done of the total, speed, time left; the entry of the "Aufträge"
// window takes the same figures.
std::wstring FiguresText(CopyJob& job, ProgressGadgets& g, int totalPercent) {
    const int64_t unit = App.settings.FileSizeUnit;
    const int64_t done = job.control.bytes.load();
    SpeedSample(g.meter, NowMs(), done);
    const double speed = SpeedBytesPerSecond(g.meter);
    if (QueuedJob* e = QueuedJobOf(job)) {
        e->percent = totalPercent;
        e->speed = speed;
    }
    if (job.bytesTotal <= 0) return L"";
    std::wstring text = BytesDoneText(done, job.bytesTotal, unit);
    if (g.paused) return text + L"  –  angehalten";
    if (speed > 0) {
        const int64_t left = job.bytesTotal - done - job.bytesSkipped.load();
        text += L"  –  " + SpeedText(speed, unit);
        const std::wstring time = TimeLeftText(SecondsLeft(left, speed));
        if (!time.empty()) text += L"  –  " + time;
    }
    return text;
}

// Copies what the worker published into the gadgets of the job's window.
void ShowJobView(CopyJob& job) {
    auto at = Windows.find(&job);
    if (at == Windows.end()) return;
    ProgressGadgets& g = at->second;
    int filePercent, totalPercent;
    std::wstring current;
    {
        std::lock_guard lock(job.view.lock);
        job.view.posted = false;
        filePercent = job.view.filePercent;
        totalPercent = job.view.totalPercent;
        current = job.view.current;
    }
    g.shownPercent = totalPercent;
    const std::wstring figures = FiguresText(job, g, totalPercent);
    if (QueueChanged) QueueChanged();
    if (!g.built) return;
    tk_gadget_set_state(g.totalBar, totalPercent);
    SetText(job, g.totalPercent, Percent(TextTotalPercent, totalPercent));
    if (job.operation == JobDelete) return;
    SetText(job, g.figures, figures);
    tk_gadget_set_state(g.fileBar, filePercent);
    SetText(job, g.currentFile, TextCopying + current);
    SetText(job, g.filePercent, Percent(TextFilePercent, filePercent));
}

void TogglePause(CopyJob& job) {
    QueuedJob* e = QueuedJobOf(job);
    if (!e) return;
    if (e->state == JobState::Running)
        PauseFileJob(e->id);
    else if (e->state == JobState::Paused)
        ResumeFileJob(e->id);
}

// The worker has posted its end and returns right after that post; the
// record is freed only once it has (EventJobGone tells), never waited for.
void Finish(CopyJob& job) {
    ShowJobView(job);
    const bool copy = job.operation != JobDelete;
    const bool cancelled = job.cancel != JobGoOn;
    // The box says that it failed, as it always did; the list after it
    // names each file and offers to try those again.
    if (job.result == 0 && (!cancelled || !job.failedItems.empty()))
        Messages.Box(copy ? TextCopyFailedTitle : TextDeleteFailedTitle,
                     copy ? TextCopyFailed : TextDeleteFailed, 0);
    if (!job.failedItems.empty()) ShowJobFailures(job);
    JournalJobEnded(job);
    CloseProgressWindow(job);
    const std::wstring source = job.sourceFolder, target = job.targetFolder;
    const bool moved = job.operation == JobMove;
    FileJobEnded(job);
    RefreshPanesShowing(target);
    if (moved || !copy) RefreshPanesShowing(source);
}

// Fixed numbers while no other progress window has them.
bool TakesKnownNumbers() {
    return !tk_window_exists(WinCopyProgress) && !tk_window_exists(WinDeleteProgress);
}

void CreateGadgets(ProgressGadgets& g, bool copy, bool known) {
    auto n = [known](int64_t number) { return known ? number : -1; };
    auto made = [](int64_t asked, int64_t result) { return asked == -1 ? result : asked; };
    if (copy) {
        g.currentFile = made(n(GadCurrentFile), tk_text_create(n(GadCurrentFile), 10, 0, 380, 16,
                                                               TextCurrentFileStart));
        g.filePercent = made(n(GadFilePercent), tk_text_create(n(GadFilePercent), 290, 20, 100, 20,
                                                               TextFilePercentStart, TkTextRight));
        g.fileBar = made(n(GadFileProgress),
                         tk_progress_create(n(GadFileProgress), 10, 40, 380, 16, 0, 100));
        g.figures = tk_text_create(-1, 10, 100, 380, 16, L"");
    }
    g.totalPercent = made(n(GadTotalPercent), tk_text_create(n(GadTotalPercent), 250, 60, 140, 20,
                                                             TextTotalPercentStart, TkTextRight));
    g.totalBar =
        made(n(GadTotalProgress), tk_progress_create(n(GadTotalProgress), 10, 80, 380, 16, 0, 100));
    g.pause = tk_button_create(-1, 180, 124, 100, 24, TextPause);
    g.cancel = made(n(GadCancel), tk_button_create(n(GadCancel), 290, 124, 100, 24, TextCancel));
}

// Grows the window for a larger font, measured with the widest texts its
// labels and buttons will show, then puts the first texts in.
void FitWindow(int64_t window, const ProgressGadgets& g, bool copy) {
    if (copy) tk_gadget_set_text(g.filePercent, Percent(TextFilePercent, 100));
    tk_gadget_set_text(g.totalPercent, Percent(TextTotalPercent, 100));
    tk_gadget_set_text(g.pause, TextResume);
    tk_window_fit(window);
    if (copy) tk_gadget_set_text(g.filePercent, TextFilePercentStart);
    tk_gadget_set_text(g.totalPercent, TextTotalPercentStart);
    tk_gadget_set_text(g.pause, TextPause);
    tk_window_set_cancel_button(window, g.cancel);
}

ProgressGadgets* GadgetsOfWindow(int64_t window, CopyJob** job) {
    *job = FileJobOfWindow(window);
    if (!*job) return nullptr;
    auto at = Windows.find(*job);
    return at == Windows.end() ? nullptr : &at->second;
}

// The title of a job's window; a window built while its job waits is built
// late, so the title comes with the build, not from the command.
const wchar_t* TitleOf(const CopyJob& job) {
    static constexpr const wchar_t* Titles[] = {TextCopyTitle,   TextCopyTitle,
                                                TextDeleteTitle, L"In den Papierkorb !",
                                                L"Rückgängig !", L"Wiederholen !"};
    return Titles[std::clamp(job.operation, 0, static_cast<int>(std::size(Titles)) - 1)];
}

// Builds the window of the job under job.window, showing it after delayMs,
// with what the job has shown so far.
void Build(CopyJob& job, ProgressGadgets& g, bool known, int64_t delayMs) {
    const bool copy = job.operation != JobDelete;
    tk_window_open(job.window, 0, 0, ProgressWidth, ProgressHeight, TitleOf(job), ProgressFlags,
                   tk_window_handle(WinMain));
    CreateGadgets(g, copy, known);
    FitWindow(job.window, g, copy);
    g.built = true;
    if (g.started) {
        ShowJobView(job);
        if (g.paused) tk_gadget_set_text(g.pause, TextResume);
    } else {
        // Until the queue starts it, a job says that it waits.
        if (copy) tk_gadget_set_text(g.currentFile, TextWaiting);
        if (!copy) tk_gadget_set_text(g.totalPercent, TextWaiting);
    }
    tk_window_show(job.window, delayMs);
}

void CheckLater();

// Builds the windows of the jobs that have lasted long enough to be seen,
// in queue order. Of the jobs still waiting only the first few get one: a
// hundred queued jobs would cover the screen with windows that all say
// "Wartet …"; the rest are listed in "Aufträge" and get theirs when their
// turn comes closer.
void BuildDueWindows() {
    CheckPending = false;
    const int64_t now = NowMs();
    size_t waitingShown = 0;
    bool more = false;
    for (const QueuedJob& e : QueuedJobs()) {
        auto at = e.job ? Windows.find(e.job) : Windows.end();
        if (at == Windows.end()) continue;
        ProgressGadgets& g = at->second;
        const bool waiting = !g.started;
        if (g.built) {
            waitingShown += waiting;
            continue;
        }
        if (now - g.queuedMs < ProgressShowDelayMs || (waiting && waitingShown >= WaitingShown)) {
            more = true;
            continue;
        }
        Build(*e.job, g, false, 0);
        waitingShown += waiting;
    }
    if (more) CheckLater();
}

// One look for windows due, a show delay from now, for all jobs at once.
void CheckLater() {
    if (CheckPending) return;
    CheckPending = true;
    AskAside(
        AskAnyTime, [] { rt_delay(static_cast<int>(ProgressShowDelayMs)); }, BuildDueWindows, 0);
}

} // namespace

void OpenProgressWindow(CopyJob& job) {
    ProgressGadgets& g = Windows[&job];
    g.queuedMs = NowMs();
    if (TakesKnownNumbers()) {
        job.window = job.operation != JobDelete ? WinCopyProgress : WinDeleteProgress;
        Build(job, g, true, ProgressShowDelayMs);
        return;
    }
    job.window = NextWindow++;
    CheckLater();
}

void ShowJobStarted(CopyJob& job) {
    auto at = Windows.find(&job);
    if (at == Windows.end()) return;
    ProgressGadgets& g = at->second;
    g.started = true;
    if (!g.built) return;
    if (job.operation != JobDelete) tk_gadget_set_text(g.currentFile, TextCurrentFileStart);
    tk_gadget_set_text(g.totalPercent, TextTotalPercentStart);
}

void CloseProgressWindow(CopyJob& job) {
    auto at = Windows.find(&job);
    if (at == Windows.end()) return;
    if (at->second.built) tk_window_close(job.window);
    Windows.erase(at);
}

int64_t FileJobProgressGadget(const CopyJob& job, int64_t which) {
    auto at = Windows.find(const_cast<CopyJob*>(&job));
    if (at == Windows.end() || !at->second.built) return 0;
    const ProgressGadgets& g = at->second;
    switch (which) {
    case GadCurrentFile: return g.currentFile;
    case GadFilePercent: return g.filePercent;
    case GadTotalPercent: return g.totalPercent;
    case GadCancel: return g.cancel;
    case ProgressPauseButton: return g.pause;
    case ProgressFigures: return g.figures;
    default: return 0;
    }
}

// The events of a job's progress window.
int64_t ProgressWindowEvents(int64_t event) {
    CopyJob* job = nullptr;
    ProgressGadgets* g = GadgetsOfWindow(tk_event_window(), &job);
    if (!g) return 0;
    if (event == EventJobProgress) {
        ShowJobView(*job);
    } else if (event == EventJobDone) {
        job->doneSeen = true;
        if (!job->working.load()) Finish(*job);
    } else if (event == EventJobGone) {
        const QueuedJob* e = QueuedJobById(tk_event_data());
        if (e && e->job == job && job->doneSeen) Finish(*job);
    } else if (event == EventGadget && tk_event_gadget() == g->cancel) {
        if (QueuedJob* e = QueuedJobOf(*job)) CancelFileJob(e->id);
    } else if (event == EventGadget && tk_event_gadget() == g->pause) {
        TogglePause(*job);
    }
    return 0;
}

void ShowPauseState(CopyJob& job, bool paused) {
    auto at = Windows.find(&job);
    if (at == Windows.end()) return;
    ProgressGadgets& g = at->second;
    g.paused = paused;
    // The pause would drag the average down once the job goes on.
    if (!paused) SpeedReset(g.meter);
    if (!g.built) return;
    tk_gadget_set_text(g.pause, paused ? TextResume : TextPause);
    if (job.operation != JobDelete) SetText(job, g.figures, FiguresText(job, g, g.shownPercent));
}

int64_t CopyProgressEvents(int64_t event) {
    return ProgressWindowEvents(event);
}

int64_t DeleteProgressEvents(int64_t event) {
    return ProgressWindowEvents(event);
}

bool IsProgressWindow(int64_t window) {
    return window != WinMain && FileJobOfWindow(window) != nullptr;
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
