// The procedures the files of one job share: the two questions with the
// answers that hold for the rest of the job, what the job records, its
// progress, and renames and removals at paths of any length.
#include "app/fileops/file_work.h"

#include "app/fileops/copy_job.h"
#include "app/fileops/fileops_texts.h"
#include "app/fileops/job_journal.h"
#include "app/fileops/job_questions.h"
#include "runtime/at_path.h"
#include "runtime/numbers.h"
#include "runtime/syscalls.h"
#include "runtime/text.h"

#include <algorithm>
#include <cerrno>
#include <ctime>

namespace {

std::wstring Wide(const std::string& path) {
    return rt_text_from_os(path);
}

std::wstring LastName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return Wide(slash == std::string::npos ? path : path.substr(slash + 1));
}

// A time in seconds since 1970 as a date value: local wall time.
int64_t WallOf(int64_t seconds) {
    const time_t t = static_cast<time_t>(seconds);
    struct tm local {};
    if (!localtime_r(&t, &local)) return seconds;
    return static_cast<int64_t>(timegm(&local));
}

// "1.234.567 Bytes, 11.12.2026 14:05:09" of a size and a date value.
std::wstring SizeAndDate(const FileFacts& f) {
    const std::wstring bytes = rt_format_number(static_cast<double>(f.size), 0, L",", L".");
    const time_t t = static_cast<time_t>(f.date);
    struct tm wall {};
    gmtime_r(&t, &wall); // a date value is wall time already
    wchar_t date[40];
    swprintf(date, 40, L"%02d.%02d.%04d %02d:%02d:%02d", wall.tm_mday, wall.tm_mon + 1,
             wall.tm_year + 1900, wall.tm_hour, wall.tm_min, wall.tm_sec);
    return bytes + L" Bytes, " + date;
}

bool Newer(const FileFacts& there, const FileFacts& coming) {
    if (there.date != coming.date) return there.date > coming.date;
    return there.nsec > coming.nsec;
}

std::wstring OverwriteText(const std::wstring& name, const FileFacts& coming,
                           const FileFacts& there) {
    std::wstring text = name + L"\n";
    text += L"Neu: " + SizeAndDate(coming) + L"\n";
    text += L"Vorhanden: " + SizeAndDate(there);
    if (Newer(there, coming)) text += L"\nDie vorhandene Datei ist neuer!";
    return text;
}

int TotalPercent(FileWork& w) {
    const CopyJob& job = w.job;
    if (job.bytesTotal <= 0) return 0;
    const int64_t done = job.control.bytes.load() + w.settled.load();
    return static_cast<int>(std::min<int64_t>(100, done * 100 / job.bytesTotal));
}

} // namespace

bool WorkStopped(const FileWork& w) {
    return w.job.cancel != JobGoOn || w.job.control.state == RtControlCancelled;
}

void StopWork(FileWork& w) {
    rt_control_cancel(&w.job.control);
}

int AskAboutFailure(FileWork& w, const std::string& path, const std::wstring& reason) {
    std::lock_guard guard(w.askLock);
    int answer = JobAnswerSkip;
    if (WorkStopped(w)) {
        answer = JobAnswerStop;
    } else if (!w.skipFailures) {
        answer = JobAsk(w.job, JobAskFailure, Wide(path), reason);
        if (answer == JobAnswerSkipAll) w.skipFailures = true;
    }
    if (answer == JobAnswerStop) StopWork(w);
    if (answer == JobAnswerSkip || answer == JobAnswerSkipAll) {
        RecordFailure(w, path, reason);
        return JobAnswerSkip;
    }
    return answer;
}

int AskAboutTarget(FileWork& w, const WorkItem& item, const PfCopyIdentity& there) {
    const FileFacts coming{item.entry.size, WallOf(item.entry.modified.tv_sec),
                           item.entry.modified.tv_nsec};
    return AskAboutExisting(w, LastName(item.target), coming, FileFactsOf(there));
}

FileFacts FileFactsOf(const PfCopyIdentity& file) {
    return {file.size, WallOf(file.mtime_sec), file.mtime_nsec};
}

int AskAboutExisting(FileWork& w, const std::wstring& name, const FileFacts& coming,
                     const FileFacts& there) {
    std::lock_guard guard(w.askLock);
    if (WorkStopped(w)) return JobAnswerStop;
    if (w.overwriteAll) return JobAnswerOverwrite;
    if (w.skipExisting) return JobAnswerSkip;
    const std::wstring headline = std::wstring(TextFileExists) + L" " + TextFileOverwrite;
    const int answer = JobAsk(w.job, JobAskOverwrite, headline, OverwriteText(name, coming, there));
    switch (answer) {
    case JobAnswerOverwriteAll: w.overwriteAll = true; return JobAnswerOverwrite;
    case JobAnswerSkipAll: w.skipExisting = true; return JobAnswerSkip;
    case JobAnswerOverwrite:
    case JobAnswerSkip: return answer;
    default: StopWork(w); return JobAnswerStop;
    }
}

bool ParentReady(const FileWork& w, const WorkItem& item) {
    if (item.parent < 0) return true;
    const int state = w.items[static_cast<size_t>(item.parent)].state;
    return state == ItemDone || state == ItemMerged;
}

void RecordFailure(FileWork& w, const std::string& path, const std::wstring& reason) {
    std::lock_guard guard(w.recordLock);
    w.job.failedItems.push_back({Wide(path), reason});
    ++w.job.failures;
}

void RecordStep(FileWork& w, int kind, const std::string& source, const std::string& target) {
    std::lock_guard guard(w.recordLock);
    w.job.steps.push_back({kind, Wide(source), target.empty() ? L"" : Wide(target)});
    JournalJobStep(w.job, w.job.steps.back());
}

void ShowWork(FileWork& w, int filePercent, const std::string& item, bool now) {
    std::lock_guard guard(w.recordLock);
    // Several threads report: the total never goes back.
    w.lastTotal = std::max(w.lastTotal, TotalPercent(w));
    PublishProgress(w.job, filePercent, w.lastTotal, Wide(item), now);
}

bool RenameAt(const std::string& from, const std::string& to, unsigned flags) {
    RtAtPath a, b;
    if (!rt_at_path_open(&a, from) || !rt_at_path_open(&b, to)) return false;
    return rt_sys.renameat2(a.dirfd, a.name.c_str(), b.dirfd, b.name.c_str(), flags) == 0;
}

bool UnlinkAt(const std::string& path, int flags) {
    RtAtPath at;
    if (!rt_at_path_open(&at, path)) return false;
    return rt_sys.unlinkat(at.dirfd, at.name.c_str(), flags) == 0;
}
