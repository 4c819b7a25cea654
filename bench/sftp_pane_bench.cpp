// Benchmarks of remote folders as the program uses them, on the loopback
// sftp server (the private servers of the remote tests):
//   sftp_list     a pane's listing (read, sort, rows) of 10,000 files /
//                 gio list -a standard::size,time::modified of them
//   sftp_copy     the F5 job's worker copying a 1 GiB file into a local
//                 folder / scp of it
//   remote_stall  the longest gap between two turns of a main loop that
//                 asks for listings as a pane does and runs a copy job while
//                 the server is stopped in the middle of both / 100 ms
// Each round of the first two times ours and the reference back to back,
// alternating which goes first; the ratio is the median of the rounds'.
// Prints "BENCH <name> ratio=... target=..." lines; details go to stderr.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "app/core/answers.h"
#include "app/fileops/copy_job.h"
#include "app/fileops/remote_job.h"
#include "app/panes/pane_reader.h"
#include "bench_rounds.h"
#include "platform/remote_mount.h"
#include "remote_servers.h"
#include "runtime/text.h"
#include "toolkit/events.h"

namespace {

using Clock = std::chrono::steady_clock;

bool Shell(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

int Report(const char* name, double ratio, double target) {
    std::printf("BENCH %s ratio=%.2f target=%.2f\n", name, ratio, target);
    return ratio <= target ? 0 : 1;
}

bool ListLikeAPane(const std::wstring& folder) {
    PaneListingRequest request;
    request.Path = folder;
    PaneListing listing;
    ReadPaneListing(request, &listing);
    return listing.Ok && listing.Rows.size() > 10000;
}

bool CopyJobOf(const std::wstring& from, const std::wstring& to, const std::wstring& name,
               std::atomic<int>* cancel_after_ms = nullptr) {
    CopyJob& job = NewFileJob(JobCopy, from, to);
    job.fileList = {name};
    std::thread worker(RemoteCopyWorker, reinterpret_cast<intptr_t>(&job));
    if (cancel_after_ms) {
        std::this_thread::sleep_for(std::chrono::milliseconds(cancel_after_ms->load()));
        job.cancel = JobCancelled;
    }
    worker.join();
    const bool ok = job.result == 1;
    EndFileJob(job);
    return ok;
}

// The main loop's longest gap while a listing and a copy run into a server
// that stops answering: listings are asked as ShowPath asks them (waiting
// AnswerWaitMs for a quick answer), the loop takes events between them.
double LongestGap(RemoteServers& servers, const std::wstring& folder, const std::wstring& big,
                  const std::wstring& local) {
    std::atomic<bool> copy_done{false};
    std::thread copy([&] {
        CopyJob& job = NewFileJob(JobCopy, folder, local);
        job.fileList = {big};
        std::thread worker(RemoteCopyWorker, reinterpret_cast<intptr_t>(&job));
        std::this_thread::sleep_for(std::chrono::seconds(7));
        job.cancel = JobCancelled; // the stopped server's job ends by a cancel
        worker.join();
        copy_done = true;
    });
    AskTopic topic;
    auto longest = Clock::duration::zero();
    auto last = Clock::now();
    const auto start = last;
    bool stopped = false;
    while (!copy_done) {
        const auto now = Clock::now();
        longest = std::max(longest, now - last);
        last = now;
        if (!stopped && now - start > std::chrono::milliseconds(300)) {
            servers.StopServer();
            stopped = true;
        }
        if (!topic.Waiting()) {
            auto listing = std::make_shared<PaneListing>();
            PaneListingRequest request;
            request.Path = folder;
            AskAsideLatest(
                topic, [request, listing] { ReadPaneListing(request, listing.get()); }, [] {});
        }
        tk_event_wait_timeout(5);
        DeliverAnswers();
    }
    copy.join();
    servers.ResumeServer();
    while (QuestionsRunning() > 0) {
        tk_event_wait_timeout(5);
        DeliverAnswers();
    }
    std::fprintf(stderr, "remote_stall: longest gap %.1f ms\n",
                 std::chrono::duration<double, std::milli>(longest).count());
    return std::chrono::duration<double, std::milli>(longest).count();
}

} // namespace

int main(int argc, char** argv) {
    const std::string only = argc > 1 ? argv[1] : ""; // "list", "copy" or "stall"
    RemoteServers servers;
    std::string reason;
    if (!servers.Start(&reason)) {
        std::fprintf(stderr, "sftp pane benchmarks: %s\n", reason.c_str());
        return 1;
    }
    tk_init();
    PfRemoteCall* call = pf_remote_call_new(60000);
    if (!pf_remote_mount(call, servers.Root(), nullptr)) {
        std::fprintf(stderr, "sftp pane benchmarks: mount failed\n");
        return 1;
    }
    pf_remote_call_free(call);
    const std::string many = servers.NewFolder();
    for (int i = 0; i < 10000; ++i)
        close(open((many + "/datei-" + std::to_string(i) + ".txt").c_str(), O_CREAT, 0644));
    const std::wstring many_location = servers.Location(many + "/");
    int failed = 0;
    if (only.empty() || only == "list") {
        const std::string reference = "gio list -a standard::size,time::modified '" +
                                      rt_text_to_os(many_location) + "' >/dev/null";
        failed += Report("sftp_list",
                         BenchRounds(
                             7, "sftp_list", [&] { return ListLikeAPane(many_location); },
                             [&] { return Shell(reference); }, [] {}),
                         1.5);
    }
    const std::string big_folder = servers.NewFolder();
    const std::string big = big_folder + "/gross.bin";
    Shell("head -c 1073741824 /dev/urandom > '" + big + "'");
    char local[] = "/tmp/tc-sftp-pane-bench-XXXXXX";
    if (!mkdtemp(local)) return 1;
    const std::string ours_target = std::string(local) + "/gross.bin";
    const std::string scp_target = std::string(local) + "/scp.bin";
    const std::wstring local_folder = rt_text_from_os(std::string(local) + "/");
    if (only.empty() || only == "copy") {
        const std::string ssh = "-q -F " + servers.ClientConfig() + " -P " +
                                std::to_string(servers.Port()) + " " + servers.User() +
                                "@127.0.0.1:";
        failed += Report("sftp_copy",
                         BenchRounds(
                             3, "sftp_copy",
                             [&] {
                                 return CopyJobOf(servers.Location(big_folder + "/"), local_folder,
                                                  L"gross.bin");
                             },
                             [&] { return Shell("scp " + ssh + big + " " + scp_target); },
                             [&] {
                                 unlink(ours_target.c_str());
                                 unlink(scp_target.c_str());
                             }),
                         1.25);
    }
    if (only.empty() || only == "stall") {
        const double gap =
            LongestGap(servers, servers.Location(big_folder + "/"), L"gross.bin", local_folder);
        unlink(ours_target.c_str());
        failed += Report("remote_stall", gap / 100.0, 1.0);
    }
    rmdir(local);
    return failed ? 1 : 0;
}
