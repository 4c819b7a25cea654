// The undo history: see undo_history.h.
#include "app/fileops/undo_history.h"

#include "app/core/ids.h"
#include "runtime/files.h"
#include "runtime/identity.h"
#include "toolkit/events.h"

#include <cerrno>
#include <cstdlib>
#include <map>
#include <mutex>

namespace {

RtJournal History;

// Steps taken by queued undo and redo jobs, per step in the order asked for:
// the state each job will leave. The last one counts; a job dropped from the
// queue leaves the others' claims.
struct Claim {
    int64_t token = 0;
    int state = RtStepDone;
};
std::mutex ClaimsLock;
std::map<int64_t, std::vector<Claim>> Claims;
int64_t LastClaim = 0;

// The steps as they will stand once the queued undo and redo jobs have ended.
std::vector<RtJournalEntry> Steps() {
    std::vector<RtJournalEntry> steps = rt_journal_list(&History);
    std::lock_guard hold(ClaimsLock);
    for (RtJournalEntry& e : steps)
        if (const auto it = Claims.find(e.id); it != Claims.end())
            e.state = it->second.back().state;
    return steps;
}

bool Claimed(int64_t id) {
    std::lock_guard hold(ClaimsLock);
    return Claims.count(id) != 0;
}

// The newest step that is not undone, skipping those a job of ours is
// still writing; end() when there is none.
std::vector<RtJournalEntry>::const_iterator NextUndo(const std::vector<RtJournalEntry>& steps) {
    for (auto it = steps.rbegin(); it != steps.rend(); ++it)
        if (!it->running && it->state != RtStepUndone) return std::next(it).base();
    return steps.end();
}

UndoChoice ChoiceOf(const RtJournalEntry& e) {
    return {e.id, e.text};
}

// A one-item step written before the change; the change decides whether it stays.
int64_t BeginOne(int kind, const wchar_t* operation, RtJournalItem item) {
    RtJournalStep step;
    step.kind = kind;
    step.text = UndoStepText(operation, item.from.empty() ? item.to : item.from, 1);
    step.items.push_back(std::move(item));
    // Even when the write failed the step has its id; its end tries the file again.
    UndoHistoryBegin(&step);
    return step.id;
}

// Ends a one-item step: done with what stands at the item's place now, or
// gone when the change did not happen.
void EndOne(int64_t id, bool happened, const std::wstring& path) {
    if (!id) return;
    RtJournalStep step;
    if (happened && rt_journal_read(&History, id, &step) && step.items.size() == 1) {
        step.state = step.items[0].state = RtStepDone;
        rt_identity_take(path, &step.items[0].identity);
        rt_journal_update(&History, step);
    } else {
        rt_journal_drop(&History, id);
    }
    UndoHistoryChanged();
}

} // namespace

void UndoHistoryOpen(const std::wstring& folder) {
    // The ends of jobs written on threads of their own reach the disk before
    // the program ends.
    static const bool flushed_at_exit = std::atexit([] { rt_journal_flush(&History); }) == 0;
    (void)flushed_at_exit;
    rt_journal_open(&History, folder.empty() ? rt_dir_current() + L"Data/Undo/" : folder);
}

void UndoHistoryClose() {
    rt_journal_flush(&History);
    std::lock_guard hold(History.lock);
    History.folder.clear();
    History.steps.clear();
    History.next_id = 1;
    std::lock_guard claims(ClaimsLock);
    Claims.clear();
}

RtJournal& UndoJournal() {
    return History;
}

void UndoHistoryChanged() {
    tk_event_post(EventUndoChanged, WinMain);
}

UndoChoice UndoCandidate() {
    const std::vector<RtJournalEntry> steps = Steps();
    const auto it = NextUndo(steps);
    return it == steps.end() ? UndoChoice{} : ChoiceOf(*it);
}

UndoChoice RedoCandidate() {
    const std::vector<RtJournalEntry> steps = Steps();
    auto it = NextUndo(steps);
    it = it == steps.end() ? steps.begin() : std::next(it);
    for (; it != steps.end(); ++it)
        if (!it->running && it->state == RtStepUndone) return ChoiceOf(*it);
    return {};
}

bool UndoHistoryBegin(RtJournalStep* step) {
    // Without an opened history (a test of the jobs alone) nothing is kept.
    if (History.folder.empty()) return false;
    // A step a queued redo is to take stays for it.
    for (const RtJournalEntry& e : rt_journal_list(&History))
        if (!e.running && e.state == RtStepUndone && !Claimed(e.id))
            rt_journal_drop(&History, e.id);
    const bool written = rt_journal_begin(&History, step);
    UndoHistoryChanged();
    return written;
}

int64_t UndoHistoryClaim(int64_t id, bool redo) {
    std::lock_guard hold(ClaimsLock);
    Claims[id].push_back({++LastClaim, redo ? RtStepDone : RtStepUndone});
    return LastClaim;
}

void UndoHistoryRelease(int64_t id, int64_t claim) {
    {
        std::lock_guard hold(ClaimsLock);
        const auto it = Claims.find(id);
        if (it == Claims.end()) return;
        std::erase_if(it->second, [claim](const Claim& c) { return c.token == claim; });
        if (it->second.empty()) Claims.erase(it);
    }
    UndoHistoryChanged();
}

std::wstring UndoStepText(const wchar_t* operation, const std::wstring& first_path, size_t count) {
    std::wstring text = std::wstring(operation) + L" „" + rt_path_name(first_path) + L"“";
    if (count > 1) text += L" und " + std::to_wstring(count - 1) + L" weitere";
    return text;
}

int JournalRename(const std::wstring& from, const std::wstring& to) {
    RtJournalItem item;
    item.kind = RtStepRename;
    item.from = from;
    item.to = to;
    // A rename keeps the entry's identity: taken now, it is what the undo
    // expects at the new name.
    rt_identity_take(from, &item.identity);
    const int64_t id = BeginOne(RtStepRename, L"Umbenennen", std::move(item));
    const int renamed = rt_file_rename(from, to);
    const int error =
        errno; // the caller tells the user why; the journal's writes must not change it
    EndOne(id, renamed != 0, to);
    errno = error;
    return renamed;
}

int JournalNewFolder(const std::wstring& path) {
    RtJournalItem item;
    item.kind = RtStepNewFolder;
    item.to = path;
    const int64_t id = BeginOne(RtStepNewFolder, L"Neues Verzeichnis", std::move(item));
    const int made = rt_dir_create(path);
    const int error = errno;
    EndOne(id, made != 0, path);
    errno = error;
    return made;
}
