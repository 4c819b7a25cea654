// What the undo history costs and how fast it undoes, through the program's
// own commands and jobs: 10,000 files moved within one file system by F6.
//   journal_cost  the move with the history kept / the same move without
//   undo_move     Ctrl+Z of that move / the move itself
// Each round runs both sides of a pair back to back, in turns first, on the
// same files; the ratio is the median of the rounds' own ratios, since this
// machine's disk changes speed from one second to the next.
// Prints "BENCH <name> ratio=... target=..."; details go to stderr.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "app/config/drive_bar.h"
#include "app/core/answers.h"
#include "app/core/app_state.h"
#include "app/core/message_dialog.h"
#include "app/core/shell_hooks.h"
#include "app/fileops/fileops.h"
#include "app/fileops/job_queue.h"
#include "app/fileops/target_question.h"
#include "app/fileops/undo_history.h"
#include "app/fileops/undo_job.h"
#include "app/panes/pane_sides.h"
#include "app/shell/main_window.h"
#include "app/shell/shell.h"
#include "runtime/file_checks.h"
#include "runtime/files.h"
#include "runtime/memory.h"
#include "runtime/text.h"
#include "toolkit/events.h"

#include "bench_window.h"

namespace {

constexpr int kFiles = 10000;
constexpr int kRounds = 7;
int failures = 0;

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

int64_t AnswerOk(int64_t, const std::wstring&, const std::wstring&, const std::wstring& text,
                 int64_t buttons, int64_t) {
    if (buttons != MessageTwoButtons) {
        std::fprintf(stderr, "message: %s\n", rt_text_to_utf8(text).c_str());
        ++failures;
    }
    return MessageAnswerOk;
}
int64_t TargetOk(const std::wstring&, const std::wstring&, std::wstring&, int64_t) {
    return MessageAnswerOk;
}
int64_t BoxSeen(const std::wstring&, const std::wstring& text, int64_t) {
    std::fprintf(stderr, "message: %s\n", rt_text_to_utf8(text).c_str());
    ++failures;
    return 1;
}

// Runs the main loop until the job asked for has ended and its end has been
// handled: the next command must find it in the history, not still running.
void RunUntilJobDone() {
    bool done = false;
    while (!done || FileJobsActive() > 0) {
        const int32_t value = tk_event_wait();
        const WindowHandler handler = HandlerOfWindow(tk_event_window());
        if (value && handler) handler(value);
        done = done || value == EventJobDone;
    }
}

struct Bench {
    std::wstring src, dst, names;
    std::vector<std::wstring> list;
};

double Move(const Bench& b) {
    const auto t = std::chrono::steady_clock::now();
    CopyMoveCommand(b.names, b.src, b.dst, 1, 0, 0);
    RunUntilJobDone();
    return Seconds(t);
}

double Undo() {
    const auto t = std::chrono::steady_clock::now();
    UndoCommand();
    RunUntilJobDone();
    return Seconds(t);
}

void MoveBack(const Bench& b) {
    for (const std::wstring& n : b.list) rt_file_rename(b.dst + n, b.src + n);
}

// The drive bar sees only the root: the machine's mounts take no part.
bool AllBack(const Bench& b) {
    for (const std::wstring& n : b.list)
        if (!rt_path_exists(b.src + n)) return false;
    return true;
}

} // namespace

int main() {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    rt_heap_setup();
    char tmpl[] = "/tmp/tc-undo-bench-XXXXXX";
    const std::string base = mkdtemp(tmpl);
    mkdir((base + "/src").c_str(), 0755);
    mkdir((base + "/dst").c_str(), 0755);
    Bench b{rt_text_from_os(base + "/src/"), rt_text_from_os(base + "/dst/"), L"", {}};
    for (int i = 0; i < kFiles; ++i) {
        const std::string name = "Datei " + std::to_string(i) + ".txt";
        const int fd = open((base + "/src/" + name).c_str(), O_CREAT | O_WRONLY, 0644);
        if (fd >= 0) close(fd);
        b.list.push_back(rt_text_from_os(name));
        b.names += b.list.back() + L"\n";
    }
    setenv("XDG_DATA_HOME", (base + "/data").c_str(), 1);
    OpenBenchWindow();
    Messages.Dialog = AnswerOk;
    Messages.Box = BoxSeen;
    AskTarget = TargetOk;
    const std::wstring journal = rt_text_from_os(base + "/Data/Undo/");

    Move(b); // warms the caches the same for every side
    MoveBack(b);
    std::vector<double> cost, undo;
    for (int r = 0; r < kRounds; ++r) {
        double plain = 0, kept = 0, undone = 0;
        for (int side = 0; side < 2; ++side) {
            if ((side + r) % 2 == 0) {
                UndoHistoryClose();
                plain = Move(b);
                MoveBack(b);
            } else {
                UndoHistoryOpen(journal);
                kept = Move(b);
                undone = Undo();
                if (!AllBack(b)) {
                    std::fprintf(stderr, "the undo left files behind\n");
                    ++failures;
                    MoveBack(b);
                }
            }
        }
        cost.push_back(kept / plain);
        undo.push_back(undone / kept);
        std::fprintf(stderr, "undo round %d: move %.3f s, with history %.3f s, undo %.3f s\n",
                     r + 1, plain, kept, undone);
    }
    tk_end();
    std::system(("rm -rf '" + base + "'").c_str());
    const double c = Median(cost), u = Median(undo);
    std::printf("BENCH journal_cost ratio=%.2f target=1.1\n", c);
    std::printf("BENCH undo_move ratio=%.2f target=1.2\n", u);
    return failures == 0 && c <= 1.1 && u <= 1.2 ? 0 : 1;
}
