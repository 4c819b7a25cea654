// Benchmarks of the remote calls below the panes on the loopback sftp server
// (the private servers of the remote tests), against the desktop's and
// OpenSSH's own tools on the same data in the same run:
//   sftp_list_platform  pf_remote_dir_read of 10,000 files / gio list -a
//   standard::size,time::modified sftp_copy_platform  pf_remote_copy of a 1 GiB file to a local
//   folder / scp of it
// Each round times ours and the reference back to back, alternating which
// goes first; the ratio is the median of the rounds' own ratios, as this
// machine changes speed from one second to the next.
// Prints "BENCH <name> ratio=... target=..." lines; details go to stderr.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

#include "bench_rounds.h"
#include "platform/remote_copy.h"
#include "platform/remote_files.h"
#include "platform/remote_location.h"
#include "platform/remote_mount.h"
#include "remote_servers.h"
#include "runtime/text.h"

namespace {

bool Shell(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

int Report(const char* name, double ratio, double target) {
    std::printf("BENCH %s ratio=%.2f target=%.2f\n", name, ratio, target);
    return ratio <= target ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    const std::string only = argc > 1 ? argv[1] : ""; // "list" or "copy" for one of them
    RemoteServers servers;
    std::string reason;
    if (!servers.Start(&reason)) {
        std::fprintf(stderr, "sftp benchmarks: %s\n", reason.c_str());
        return 1;
    }
    PfRemoteCall* call = pf_remote_call_new(60000);
    if (!pf_remote_mount(call, servers.Root(), nullptr)) {
        std::fprintf(stderr, "sftp benchmarks: mount failed\n");
        return 1;
    }
    const std::string ssh = "-q -F " + servers.ClientConfig() + " -P " +
                            std::to_string(servers.Port()) + " " + servers.User() + "@127.0.0.1:";
    PfRemoteLocation l;

    const std::string many = servers.NewFolder();
    for (int i = 0; i < 10000; ++i)
        close(open((many + "/datei-" + std::to_string(i) + ".txt").c_str(), O_CREAT, 0644));
    pf_remote_parse(servers.Location(many + "/"), &l);
    const std::string list_reference =
        "gio list -a standard::size,time::modified '" + pf_remote_uri(l) + "' >/dev/null";
    std::vector<RtDirEntry> entries; // as a pane lists, without MIME types
    double list = 0, copy = 0;
    if (only != "copy")
        list = BenchRounds(
            7, "sftp_list_platform",
            [&] { return pf_remote_dir_read(call, servers.Location(many + "/"), &entries) == 1; },
            [&] { return Shell(list_reference); }, [] {});

    if (only == "list") {
        pf_remote_call_free(call);
        return Report("sftp_list_platform", list, 1.5);
    }
    const std::string big = servers.NewFolder() + "/gross.bin";
    Shell("head -c 1073741824 /dev/urandom > '" + big + "'");
    char local[] = "/tmp/tc-sftp-bench-XXXXXX";
    if (!mkdtemp(local)) return 1;
    const std::string ours_target = std::string(local) + "/ours.bin";
    const std::string scp_target = std::string(local) + "/scp.bin";
    copy = BenchRounds(
        3, "sftp_copy_platform",
        [&] {
            return pf_remote_copy(call, servers.Location(big), rt_text_from_os(ours_target), 0) ==
                   1;
        },
        [&] { return Shell("scp " + ssh + big + " " + scp_target); },
        [&] {
            unlink(ours_target.c_str());
            unlink(scp_target.c_str());
        });
    rmdir(local);
    pf_remote_call_free(call);

    int failed = only == "copy" ? 0 : Report("sftp_list_platform", list, 1.5);
    failed += Report("sftp_copy_platform", copy, 1.25);
    return failed ? 1 : 0;
}
