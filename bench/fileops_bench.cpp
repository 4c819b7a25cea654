// Benchmarks of the file operations against the system's own tools, each
// pair measured in the same run on the same data, one right after the
// other, over a few rounds:
//   copy_big         F5 of one 1 GiB file            / cp
//   copy_verify      the same with "Kopien prüfen"   / the plain F5 of it
//   copy_many        F5 of 10,000 files of 4 KB      / cp -r
//   move_same_fs     F6 of the big file and the tree / mv (one file system)
//   delete_tree      F8 of a 100,000-file tree       / rm -rf
//   delete_selected  F8 of 10,000 selected files     / rm of them
//   folder_size      Space on the 100,000-file tree  / du -sb
// The jobs run through the program's own code: the command (questions
// answered by a recorder), the worker, the progress window and its events.
// The copies are timed until their last byte is on the disk, both sides.
// The ratio is the median of the rounds' own ratios: how fast file
// creation is on this machine's disk changes several times over within
// seconds, and a pair measured back to back sees the same disk, where the
// best of each side may come from different moments.
// Prints "BENCH <name> ratio=... target=..." lines; details go to stderr.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

#include "app/config/drive_bar.h"
#include "app/core/answers.h"
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/core/message_dialog.h"
#include "app/core/shell_hooks.h"
#include "app/fileops/fileops.h"
#include "app/fileops/target_question.h"
#include "app/panes/navigation.h"
#include "app/panes/pane.h"
#include "app/panes/pane_location.h"
#include "app/panes/pane_reader.h"
#include "app/panes/pane_sides.h"
#include "app/panes/panes.h"
#include "app/panes/size_text.h"
#include "app/shell/main_window.h"
#include "app/shell/shell.h"
#include "runtime/memory.h"
#include "runtime/text.h"
#include "toolkit/events.h"
#include "toolkit/gadgets.h"

#include "bench_window.h"

namespace {

constexpr int kRounds = 3;
int failures = 0;

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void Run(const std::string& cmd) {
    if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", cmd.c_str());
}

double TimeCommand(const std::string& cmd) {
    const auto t = std::chrono::steady_clock::now();
    Run(cmd);
    return Seconds(t);
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

// folders x files, each of size bytes, below root.
void MakeTree(const std::string& root, int folders, int files, size_t size) {
    mkdir(root.c_str(), 0755);
    for (int d = 0; d < folders; ++d) {
        const std::string dir = root + "/ordner_" + std::to_string(d);
        mkdir(dir.c_str(), 0755);
        for (int f = 0; f < files; ++f) WriteFile(dir + "/datei_" + std::to_string(f), size);
    }
}

int64_t AnswerOk(int64_t, const std::wstring&, const std::wstring&, const std::wstring&, int64_t,
                 int64_t) {
    return 6;
}
// The F5 question answered with its target as shown.
int64_t TargetOk(const std::wstring&, const std::wstring&, std::wstring&, int64_t) {
    return 6;
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
    const WindowHandler handler = HandlerOfWindow(tk_event_window());
    if (value && handler) handler(value);
}

// Runs the main loop until a job's end event has been handled.
void RunUntilJobDone() {
    for (;;) {
        const int32_t value = tk_event_wait();
        Handle(value);
        if (value == EventJobDone) return;
    }
}

// Shows the two folders in the panes, as the user would before F5, and
// waits until they are shown and their workers have reported: what the
// user sees before pressing the key, so that none of it is timed as part
// of the job.
void ShowPanes(const std::string& source, const std::string& target) {
    ShowPath(GadRightPane, W(target), ShowReset);
    ShowPath(GadRightPane, W(target), ShowRefresh);
    ShowPath(GadLeftPane, W(source), ShowReset);
    ShowPath(GadLeftPane, W(source), ShowRefresh);
    while (PaneListingPending(GadLeftPane) || PaneListingPending(GadRightPane) ||
           QuestionsRunning() > 0)
        Handle(tk_event_wait_timeout(1));
    // The type-name and icon workers report when they are done, and the
    // watchers a quarter of a second after the last change (files made for
    // the round): 400 ms without an event means all of them have.
    while (const int32_t value = tk_event_wait_timeout(400)) Handle(value);
}

void SelectAll(int64_t pane) {
    for (int64_t r = 0; r < tk_gadget_count_items(pane); ++r)
        tk_gadget_set_item_state(pane, r, tk_gadget_get_item_text(pane, r, 0) == L".." ? 0 : 1);
}

double TimeJob(const std::function<void()>& start) {
    const auto t = std::chrono::steady_clock::now();
    start();
    RunUntilJobDone();
    return Seconds(t);
}

double CopyJobSeconds(const std::string& src, const std::string& dst, const std::wstring& names,
                      int move) {
    ShowPanes(src, dst);
    return TimeJob([&] { CopyMoveBetweenPanes(names, GadLeftPane, GadRightPane, move); });
}

// A copy as the user meets it: until its last byte is on the disk. Both
// sides start with nothing left to write from before.
double OnDisk(const std::string& dst, const std::function<double()>& copy) {
    Run("sync -f '" + dst + "'");
    const double copied = copy(); // its own time, without what it did before starting
    const auto t = std::chrono::steady_clock::now();
    Run("sync -f '" + dst + "'");
    return copied + Seconds(t);
}
double CommandOnDisk(const std::string& dst, const std::string& cmd) {
    return OnDisk(dst, [&] { return TimeCommand(cmd); });
}
double JobOnDisk(const std::string& src, const std::string& dst, const std::wstring& names) {
    return OnDisk(dst, [&] { return CopyJobSeconds(src, dst, names, 0); });
}

// The times of one benchmark's rounds, ours and the reference's.
struct Rounds {
    std::vector<double> ours, reference;
    void Add(double o, double r) {
        ours.push_back(o);
        reference.push_back(r);
    }
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void Report(const char* name, const Rounds& rounds, double target) {
    std::vector<double> ratios;
    for (size_t r = 0; r < rounds.ours.size(); ++r) {
        ratios.push_back(rounds.ours[r] / rounds.reference[r]);
        std::fprintf(stderr, "%s round %zu: ours %.3f s, reference %.3f s\n", name, r + 1,
                     rounds.ours[r], rounds.reference[r]);
    }
    const double ratio = Median(ratios);
    std::printf("BENCH %s ratio=%.2f target=%g\n", name, ratio, target);
    std::fflush(stdout);
    if (ratio > target) ++failures;
}

void CopyBig(const std::string& base) {
    const std::string src = base + "/src", dst = base + "/dst";
    WriteFile(src + "/big.bin", size_t(1) << 30);
    Rounds rounds;
    Run("cat '" + src + "/big.bin' > /dev/null");
    for (int r = 0; r < kRounds; ++r) {
        const double ref = CommandOnDisk(dst, "cp '" + src + "/big.bin' '" + dst + "/big.bin'");
        Run("rm -f '" + dst + "/big.bin'");
        rounds.Add(JobOnDisk(src, dst, L"big.bin\n"), ref);
        if (r == 0)
            Run("cmp -s '" + src + "/big.bin' '" + dst + "/big.bin' || echo copy differs >&2");
        Run("rm -f '" + dst + "/big.bin'");
    }
    Report("copy_big", rounds, 1.05);
}

// Reading every copy back from the disk against the plain copy, in turns.
void CopyVerify(const std::string& base) {
    const std::string src = base + "/src", dst = base + "/dst";
    WriteFile(src + "/big.bin", size_t(1) << 30);
    Rounds rounds;
    Run("cat '" + src + "/big.bin' > /dev/null");
    for (int r = 0; r < kRounds; ++r) {
        App.settings.VerifyCopies = 0;
        const double plain = JobOnDisk(src, dst, L"big.bin\n");
        Run("rm -f '" + dst + "/big.bin'");
        App.settings.VerifyCopies = 1;
        rounds.Add(JobOnDisk(src, dst, L"big.bin\n"), plain);
        Run("rm -f '" + dst + "/big.bin'");
    }
    App.settings.VerifyCopies = 0;
    Report("copy_verify", rounds, 2.0);
}

void CopyMany(const std::string& base) {
    const std::string src = base + "/src", dst = base + "/dst";
    MakeTree(src + "/tree", 100, 100, 4096);
    Rounds rounds;
    Run("du -s '" + src + "/tree' > /dev/null");
    for (int r = 0; r < kRounds; ++r) {
        const double ref = CommandOnDisk(dst, "cp -r '" + src + "/tree' '" + dst + "/tree'");
        Run("rm -rf '" + dst + "/tree'");
        rounds.Add(JobOnDisk(src, dst, L"tree\n"), ref);
        if (r == 0)
            Run("diff -r '" + src + "/tree' '" + dst +
                "/tree' > /dev/null || echo tree differs >&2");
        Run("rm -rf '" + dst + "/tree'");
    }
    Report("copy_many", rounds, 0.5);
}

// The big file and the tree are still in src from the copy benchmarks.
void MoveSameFs(const std::string& base) {
    const std::string src = base + "/src", dst = base + "/dst";
    Rounds rounds;
    for (int r = 0; r < kRounds; ++r) {
        const double ref =
            TimeCommand("mv '" + src + "/big.bin' '" + src + "/tree' '" + dst + "/'");
        Run("mv '" + dst + "/big.bin' '" + dst + "/tree' '" + src + "/'");
        rounds.Add(CopyJobSeconds(src, dst, L"big.bin\ntree\n", 1), ref);
        Run("mv '" + dst + "/big.bin' '" + dst + "/tree' '" + src + "/'");
    }
    Report("move_same_fs", rounds, 2);
    Run("rm -rf '" + src + "/big.bin' '" + src + "/tree'");
}

void DeleteTree(const std::string& base) {
    const std::string src = base + "/src";
    Rounds rounds;
    for (int r = 0; r < 2; ++r) {
        MakeTree(src + "/tree", 1000, 100, 0);
        const double ref = TimeCommand("rm -rf '" + src + "/tree'");
        MakeTree(src + "/tree", 1000, 100, 0);
        ShowPanes(src, base);
        SelectAll(GadLeftPane);
        rounds.Add(TimeJob([&] { DeleteCommand(L"tree\n", W(src)); }), ref);
    }
    Report("delete_tree", rounds, 1.3);
}

// Space on the selected tree row, as the key does it: the walk and the
// size text written into the row. du and ours take turns on the same warm
// tree, so neither gains from the other's cache.
void FolderSizeOfTree(const std::string& base) {
    const std::string src = base + "/src";
    constexpr int kFolders = 1000, kFiles = 100, kBytes = 100;
    MakeTree(src + "/tree", kFolders, kFiles, kBytes);
    ShowPanes(src, base);
    SelectAll(GadLeftPane);
    Run("du -sb '" + src + "/tree' > /dev/null");
    Rounds rounds;
    for (int r = 0; r < 5; ++r) {
        const double ref = TimeCommand("du -sb '" + src + "/tree' > /dev/null");
        auto t = std::chrono::steady_clock::now();
        ShowFolderSizeOfSelection(GadLeftPane);
        // The walk runs on a thread of its own: the size is there once its
        // answer has been delivered.
        while (QuestionsRunning() > 0) tk_event_wait_timeout(1);
        DeliverAnswers();
        rounds.Add(Seconds(t), ref);
    }
    const int64_t expected = int64_t{kFolders} * kFiles * kBytes;
    const int64_t tree = tk_gadget_count_items(GadLeftPane) - 1; // after ".."
    if (FolderSize(W(src + "/tree"), FolderSizeWithSubfolders) != expected ||
        tk_gadget_get_item_text(GadLeftPane, tree, 3) != FormatSize(expected, 0, 1)) {
        std::fprintf(stderr, "folder_size: wrong sum\n");
        ++failures;
    }
    Report("folder_size", rounds, 1.2);
    Run("rm -rf '" + src + "/tree'");
}

void DeleteSelected(const std::string& base) {
    const std::string src = base + "/src";
    Rounds rounds;
    std::wstring names;
    for (int f = 0; f < 10000; ++f) names += L"datei_" + std::to_wstring(f) + L"\n";
    for (int r = 0; r < kRounds; ++r) {
        for (int f = 0; f < 10000; ++f) WriteFile(src + "/datei_" + std::to_string(f), 0);
        const double ref = TimeCommand("cd '" + src + "' && rm -f datei_*");
        for (int f = 0; f < 10000; ++f) WriteFile(src + "/datei_" + std::to_string(f), 0);
        ShowPanes(src, base);
        SelectAll(GadLeftPane);
        rounds.Add(TimeJob([&] { DeleteRequest(names, W(src)); }), ref);
    }
    Report("delete_selected", rounds, 1.5);
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    rt_heap_setup(); // as the program does at start-up
    char tmpl[] = "/tmp/tc-fileops-bench-XXXXXX";
    const std::string base = mkdtemp(tmpl);
    mkdir((base + "/src").c_str(), 0755);
    mkdir((base + "/dst").c_str(), 0755);
    OpenBenchWindow();
    Messages.Dialog = AnswerOk;
    AskTarget = TargetOk;
    Messages.Box = BoxSeen;

    // Names on the command line run only those benchmarks.
    const std::vector<std::pair<std::string, void (*)(const std::string&)>> all = {
        {"copy_big", CopyBig},
        {"copy_verify", CopyVerify},
        {"copy_many", CopyMany},
        {"move_same_fs", MoveSameFs},
        {"delete_tree", DeleteTree},
        {"folder_size", FolderSizeOfTree},
        {"delete_selected", DeleteSelected}};
    for (const auto& [name, run] : all) {
        bool wanted = argc < 2;
        for (int i = 1; i < argc; ++i) wanted = wanted || name == argv[i];
        // moving needs what the copy benchmarks left in src
        if (wanted && name == "move_same_fs" && argc >= 2) {
            WriteFile(base + "/src/big.bin", size_t(1) << 30);
            MakeTree(base + "/src/tree", 100, 100, 4096);
        }
        if (wanted) run(base);
    }

    tk_end();
    Run("rm -rf '" + base + "'");
    return failures == 0 ? 0 : 1;
}
