// The queue of file jobs: see job_queue.h.
#include "app/fileops/job_queue.h"

#include "app/fileops/copy_job.h"
#include "app/fileops/fileops.h"
#include "app/fileops/job_journal.h"
#include "app/fileops/job_questions.h"
#include "runtime/file_checks.h"
#include "runtime/files.h"

#include <algorithm>

void (*QueueChanged)() = nullptr;

namespace {

std::vector<QueuedJob> Entries; // main thread, in queue order
int64_t LastId = 0;

bool Holds(JobState s) {
    return s == JobState::Running || s == JobState::Paused;
}

bool Shares(const std::vector<uint64_t>& a, const std::vector<uint64_t>& b) {
    for (uint64_t d : a)
        if (std::find(b.begin(), b.end(), d) != b.end()) return true;
    return false;
}

void Changed() {
    if (QueueChanged) QueueChanged();
}

// "a, b, c …": the first few names of what the job handles.
std::wstring FirstNames(const CopyJob& job) {
    constexpr size_t Shown = 3;
    std::vector<std::wstring> names;
    for (const std::wstring& folder : job.folderList) names.push_back(rt_path_name(folder));
    for (const std::wstring& file : job.fileList) names.push_back(file);
    std::wstring text;
    for (size_t k = 0; k < names.size() && k < Shown; ++k) text += (k ? L", " : L"") + names[k];
    if (names.size() > Shown) text += L" …";
    return text;
}

std::wstring WhatItDoes(const CopyJob& job) {
    static constexpr const wchar_t* Words[] = {L"Kopieren",   L"Verschieben",
                                               L"Löschen",    L"In den Papierkorb",
                                               L"Rückgängig", L"Wiederholen"};
    std::wstring text = Words[std::clamp(job.operation, 0, 5)];
    text += L": " + FirstNames(job);
    if (!job.targetFolder.empty()) text += L" nach " + job.targetFolder;
    return text;
}

void StartNow(QueuedJob& e) {
    e.state = JobState::Running;
    CopyJob& job = *e.job;
    JournalJobStarting(job);
    ShowJobStarted(job);
    StartFileWorker(job, e.worker);
}

// Starts whatever may start now.
void Schedule() {
    std::vector<QueueSlot> slots;
    slots.reserve(Entries.size());
    for (const QueuedJob& e : Entries)
        slots.push_back({e.state, e.job ? e.job->devices : std::vector<uint64_t>()});
    const std::vector<size_t> start = JobsToStart(slots);
    for (size_t k : start) StartNow(Entries[k]);
    if (!start.empty()) Changed();
}

JobState Outcome(const CopyJob& job) {
    if (job.cancel != JobGoOn || job.control.state == RtControlCancelled)
        return JobState::Cancelled;
    return job.result ? JobState::Finished : JobState::Failed;
}

} // namespace

std::vector<size_t> JobsToStart(const std::vector<QueueSlot>& slots, size_t most) {
    std::vector<const QueueSlot*> busy;
    for (const QueueSlot& s : slots)
        if (Holds(s.state)) busy.push_back(&s);
    std::vector<size_t> start;
    for (size_t k = 0; k < slots.size() && busy.size() < most; ++k) {
        if (slots[k].state != JobState::Waiting) continue;
        const bool free = std::none_of(busy.begin(), busy.end(), [&](const QueueSlot* b) {
            return Shares(b->devices, slots[k].devices);
        });
        if (!free) continue;
        busy.push_back(&slots[k]);
        start.push_back(k);
    }
    return start;
}

std::vector<uint64_t> JobDevices(const std::wstring& source, const std::wstring& target) {
    std::vector<uint64_t> devices;
    for (const std::wstring* folder : {&source, &target})
        if (!folder->empty())
            if (const uint64_t d = rt_path_device(*folder);
                d && (devices.empty() || devices[0] != d))
                devices.push_back(d);
    return devices;
}

void QueueFileJob(CopyJob& job, RtThreadProc worker) {
    QueuedJob e;
    e.id = ++LastId;
    job.queueId = e.id;
    e.job = &job;
    e.worker = worker;
    e.what = WhatItDoes(job);
    Entries.push_back(std::move(e));
    OpenProgressWindow(job);
    Changed();
    Schedule();
}

void FileJobEnded(CopyJob& job) {
    if (QueuedJob* e = QueuedJobOf(job)) {
        e->state = Outcome(job);
        e->job = nullptr;
    }
    EndFileJob(job);
    Changed();
    Schedule();
}

const std::vector<QueuedJob>& QueuedJobs() {
    return Entries;
}

QueuedJob* QueuedJobOf(const CopyJob& job) {
    for (QueuedJob& e : Entries)
        if (e.job == &job) return &e;
    return nullptr;
}

QueuedJob* QueuedJobById(int64_t id) {
    for (QueuedJob& e : Entries)
        if (e.id == id) return &e;
    return nullptr;
}

size_t FileJobsActive() {
    return static_cast<size_t>(
        std::count_if(Entries.begin(), Entries.end(), [](const QueuedJob& e) {
            return e.state == JobState::Waiting || Holds(e.state);
        }));
}

void PauseFileJob(int64_t id) {
    QueuedJob* e = QueuedJobById(id);
    if (!e || e->state != JobState::Running) return;
    rt_control_pause(&e->job->control);
    e->state = JobState::Paused;
    ShowPauseState(*e->job, true);
    Changed();
}

void ResumeFileJob(int64_t id) {
    QueuedJob* e = QueuedJobById(id);
    if (!e || e->state != JobState::Paused) return;
    rt_control_resume(&e->job->control);
    e->state = JobState::Running;
    ShowPauseState(*e->job, false);
    Changed();
}

void CancelFileJob(int64_t id) {
    QueuedJob* e = QueuedJobById(id);
    if (!e || !e->job) return;
    CopyJob& job = *e->job;
    job.cancel = JobCancelled;
    rt_control_cancel(&job.control);
    WakeJobQuestions();
    if (e->state != JobState::Waiting) {
        // The worker stops at its next step and posts its end as always.
        if (e->state == JobState::Paused) {
            e->state = JobState::Running;
            ShowPauseState(job, false);
        }
        Changed();
        return;
    }
    // Never started: nothing was touched, and no worker will report.
    e->state = JobState::Cancelled;
    e->job = nullptr;
    CloseProgressWindow(job);
    JournalJobDropped(job);
    EndFileJob(job);
    Changed();
}

void MoveWaitingJob(int64_t id, int delta) {
    auto at = std::find_if(Entries.begin(), Entries.end(),
                           [&](const QueuedJob& e) { return e.id == id; });
    if (at == Entries.end() || at->state != JobState::Waiting || delta == 0) return;
    // The nearest waiting entry in that direction changes places with it.
    auto other = at;
    do {
        if (delta < 0 && other == Entries.begin()) return;
        other += delta < 0 ? -1 : 1;
        if (other == Entries.end()) return;
    } while (other->state != JobState::Waiting);
    std::iter_swap(at, other);
    Changed();
}

void CancelAllFileJobs() {
    std::vector<int64_t> ids;
    for (const QueuedJob& e : Entries)
        if (e.job) ids.push_back(e.id);
    for (int64_t id : ids) CancelFileJob(id);
}

bool FileJobsPending() {
    return FileJobsActive() > 0;
}

void ResetJobQueue() {
    Entries.clear();
}
