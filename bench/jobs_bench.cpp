// Benchmarks of the job queue and of pausing a job:
//   queue_overhead  100 single-file jobs queued one after another / one job
//                   of the same 100 files of 1 MiB (target 1.5)
//   pause_latency   from "Anhalten" during a 1 GiB copy until the target
//                   stops growing / 200 ms (target 1.0)
// The jobs run through the program's own queue, workers and progress
// windows; the main loop is the benchmark's, handing every event to the
// window it belongs to as the program's loop does.
// Each round times ours and the reference back to back; the ratio is the
// median of the rounds' ratios, as in fileops_bench.cpp.
// Prints "BENCH <name> ratio=... target=..." lines; details go to stderr.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/core/message_dialog.h"
#include "app/fileops/copy_job.h"
#include "app/fileops/fileops.h"
#include "app/fileops/fileops_ids.h"
#include "app/fileops/fileops_internal.h"
#include "app/fileops/job_queue.h"
#include "app/panes/pane_sides.h"
#include "app/panes/panes.h"
#include "runtime/memory.h"
#include "runtime/text.h"
#include "toolkit/events.h"
#include "toolkit/gadgets.h"

namespace {

constexpr int kRounds = 5;
int failures = 0;

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

void Run(const std::string& cmd) {
    if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", cmd.c_str());
}

void WriteFile(const std::string& path, size_t size) {
    static const std::vector<char> block(1 << 20, 'x');
    const int fd = open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    if (fd < 0) return;
    for (size_t done = 0; done < size;) {
        const size_t n = std::min(block.size(), size - done);
        if (write(fd, block.data(), n) != static_cast<ssize_t>(n)) break;
        done += n;
    }
    close(fd);
}

int64_t BoxSeen(const std::wstring&, const std::wstring& text, int64_t) {
    std::fprintf(stderr, "message: %s\n", rt_text_to_utf8(text).c_str());
    ++failures;
    return 1;
}

std::wstring W(const std::string& s) {
    return rt_text_from_os(s) + L"/";
}

void Handle(int32_t value) {
    if (value && IsFileJobWindow(tk_event_window())) FileJobWindowEvents(value);
}

void RunUntilNoJobs() {
    while (FileJobsPending()) Handle(tk_event_wait_timeout(1));
}

CopyJob& QueueCopy(const std::string& src, const std::string& dst,
                   std::vector<std::wstring> names) {
    CopyJob& job = NewFileJob(JobCopy, W(src), W(dst));
    job.fileList = std::move(names);
    job.devices = JobDevices(job.sourceFolder, job.targetFolder);
    StartFileJob(job, CopyWorker);
    return job;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void Report(const char* name, const std::vector<double>& ratios, double target) {
    const double ratio = Median(ratios);
    std::printf("BENCH %s ratio=%.2f target=%g\n", name, ratio, target);
    std::fflush(stdout);
    if (ratio > target) ++failures;
}

void QueueOverhead(const std::string& base) {
    const std::string src = base + "/src", dst = base + "/dst";
    constexpr int kFiles = 100;
    std::vector<std::wstring> names;
    for (int f = 0; f < kFiles; ++f) {
        WriteFile(src + "/datei_" + std::to_string(f), 1 << 20);
        names.push_back(L"datei_" + std::to_wstring(f));
    }
    std::vector<double> ratios;
    for (int r = 0; r < kRounds; ++r) {
        auto t = Clock::now();
        QueueCopy(src, dst, names);
        RunUntilNoJobs();
        const double one = Seconds(t);
        Run("rm -f '" + dst + "'/datei_*");
        t = Clock::now();
        for (const std::wstring& name : names) QueueCopy(src, dst, {name});
        RunUntilNoJobs();
        const double many = Seconds(t);
        Run("rm -f '" + dst + "'/datei_*");
        std::fprintf(stderr, "queue_overhead round %d: 100 jobs %.3f s, one job %.3f s\n", r + 1,
                     many, one);
        ratios.push_back(many / one);
    }
    Report("queue_overhead", ratios, 1.5);
    Run("rm -f '" + src + "'/datei_*");
}

// Size of the copy's hidden temporary in folder, -1 while there is none.
int64_t Written(const std::string& folder) {
    DIR* d = opendir(folder.c_str());
    int64_t size = -1;
    while (dirent* e = d ? readdir(d) : nullptr) {
        if (std::string(e->d_name).rfind(".tc-", 0) != 0) continue;
        struct stat st;
        if (stat((folder + "/" + e->d_name).c_str(), &st) == 0) size = st.st_size;
    }
    if (d) closedir(d);
    return size;
}

// The press of "Anhalten" as the window gets it, then the target watched
// until it has not grown for 100 ms: the latency is the last growth.
double PauseSeconds(CopyJob& job, const std::string& dst) {
    const auto press = Clock::now();
    tk_event_post(EventGadget, job.window, FileJobProgressGadget(job, ProgressPauseButton));
    int64_t size = Written(dst);
    auto grew = press;
    while (Seconds(grew) < 0.1) {
        Handle(tk_event_wait_timeout(1));
        const int64_t now = Written(dst);
        if (now != size) {
            size = now;
            grew = Clock::now();
        }
    }
    return std::chrono::duration<double>(grew - press).count();
}

void PauseLatency(const std::string& base) {
    const std::string src = base + "/src", dst = base + "/dst";
    WriteFile(src + "/gross.bin", size_t(1) << 30);
    std::vector<double> ratios;
    for (int r = 0; r < kRounds; ++r) {
        CopyJob& job = QueueCopy(src, dst, {L"gross.bin"});
        const int64_t id = QueuedJobOf(job)->id;
        // Well into the file before the press.
        while (Written(dst) < (int64_t(64) << 20) && FileJobsPending())
            Handle(tk_event_wait_timeout(1));
        const double latency = PauseSeconds(job, dst);
        std::fprintf(stderr, "pause_latency round %d: %.1f ms\n", r + 1, latency * 1000);
        ratios.push_back(latency / 0.2);
        CancelFileJob(id);
        RunUntilNoJobs();
        Run("rm -f '" + dst + "'/gross.bin '" + dst + "'/.tc-*");
    }
    Report("pause_latency", ratios, 1.0);
    Run("rm -f '" + src + "/gross.bin'");
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    rt_heap_setup();
    char tmpl[] = "/tmp/tc-jobs-bench-XXXXXX";
    const std::string base = mkdtemp(tmpl);
    mkdir((base + "/src").c_str(), 0755);
    mkdir((base + "/dst").c_str(), 0755);
    tk_init();
    AppStateReset();
    ResetPanes();
    tk_window_open(WinMain, 0, 0, 800, 600, L"Tarn Commander", TkWindowNormal | TkWindowHidden);
    Messages.Box = BoxSeen;

    const std::vector<std::pair<std::string, void (*)(const std::string&)>> all = {
        {"queue_overhead", QueueOverhead}, {"pause_latency", PauseLatency}};
    for (const auto& [name, run] : all) {
        bool wanted = argc < 2;
        for (int i = 1; i < argc; ++i) wanted = wanted || name == argv[i];
        if (wanted) run(base);
    }
    tk_end();
    Run("rm -rf '" + base + "'");
    return failures == 0 ? 0 : 1;
}
