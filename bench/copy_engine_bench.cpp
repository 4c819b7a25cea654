// Benchmarks of the copy engine (platform/copy.h) on its own, below the
// application, against the system's cp in the same run:
//   copy_engine_big     one 1 GiB file                        / cp
//   copy_engine_many    10,000 files of 4 KB in 100 folders,   / cp -r
//                       several copies in flight on a small
//                       thread pool of this bench's own
//   copy_engine_verify  the 1 GiB file with PfCopyVerify      / the plain copy, flushed to disk
//   copy_engine_pause   from the pause during the 1 GiB copy  / 200 ms
//                       until the copy stops growing
// cp and the plain engine copy leave their copies in the page cache, as a
// copy the user starts does; a verified copy is on the disk by definition,
// so its reference is the plain copy followed by fdatasync.
// Each round times ours and the reference back to back and the ratio is the
// median of the rounds' own ratios: this machine's disk changes speed
// several times over within seconds, and a pair measured together sees the
// same disk. Prints "BENCH <name> ratio=... target=..."; details on stderr.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "platform/copy.h"
#include "runtime/control.h"
#include "runtime/tree.h"

namespace {

using Clock = std::chrono::steady_clock;
int failures = 0;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

void Run(const std::string& cmd) {
    if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", cmd.c_str());
}

// Removes a copy and lets the file system finish with it before the next
// timing: this disk is mounted with online discard, and the journal commit
// after a removal (the next flush of anyone) pays for trimming what was
// removed. Unflushed, the removal of one side's copy would be timed as
// part of the other side's work.
void Remove(const std::string& path) {
    Run("rm -rf '" + path + "' && sync");
}

double Time(const std::function<void()>& work) {
    const auto t = Clock::now();
    work();
    return Seconds(t);
}

void WriteFile(const std::string& path, size_t size) {
    std::vector<char> block(1 << 20);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 31 + (i >> 12));
    const int fd = open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
    for (size_t done = 0; fd >= 0 && done < size;) {
        const size_t n = std::min(block.size(), size - done);
        if (write(fd, block.data(), n) != static_cast<ssize_t>(n)) break;
        done += n;
    }
    if (fd >= 0) close(fd);
}

void FlushFile(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY);
    if (fd >= 0) fdatasync(fd);
    if (fd >= 0) close(fd);
}

bool CopyOne(const std::string& from, const std::string& to, int flags = 0,
             RtControl* control = nullptr) {
    PfCopyOptions options;
    options.flags = flags;
    PfCopyResult result;
    if (pf_copy_entry(from, to, options, control, &result) == PfCopyDone) return true;
    std::fprintf(stderr, "copy of %s failed: outcome %d, step %d, errno %d\n", from.c_str(),
                 result.outcome, result.step, result.error);
    ++failures;
    return false;
}

// A tree copied as a job on the engine would copy it: collected, folders
// made first, files by several threads at once, folders' modes and times
// last, children before parents.
void CopyTree(const std::string& from, const std::string& to, int threads) {
    std::vector<RtTreeEntry> entries;
    rt_tree_collect(from, &entries, nullptr, nullptr, nullptr);
    std::vector<size_t> files, folders;
    PfCopyResult made;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!S_ISDIR(entries[i].mode)) {
            files.push_back(i);
        } else if (pf_copy_folder_create(to + "/" + entries[i].path, &made) != PfCopyDone) {
            ++failures;
        } else {
            folders.push_back(i);
        }
    }
    std::atomic<size_t> next{0};
    PfCopyLinks links;
    const auto worker = [&] {
        PfCopyOptions options;
        options.links = &links;
        PfCopyResult result;
        for (size_t k; (k = next++) < files.size();) {
            const std::string& path = entries[files[k]].path;
            if (pf_copy_entry(from + "/" + path, to + "/" + path, options, nullptr, &result) !=
                PfCopyDone)
                ++failures;
        }
    };
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t) pool.emplace_back(worker);
    for (std::thread& t : pool) t.join();
    for (auto it = folders.rbegin(); it != folders.rend(); ++it)
        pf_copy_folder_finish(from + "/" + entries[*it].path, to + "/" + entries[*it].path,
                              entries[*it]);
}

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
    const std::string src = base + "/big.bin", dst = base + "/big.kopie";
    Rounds rounds;
    for (int r = 0; r < 5; ++r) {
        const double reference = Time([&] { Run("cp '" + src + "' '" + dst + "'"); });
        Remove(dst);
        rounds.Add(Time([&] { CopyOne(src, dst); }), reference);
        if (r == 0) Run("cmp -s '" + src + "' '" + dst + "' || echo copy differs >&2");
        Remove(dst);
    }
    Report("copy_engine_big", rounds, 1.05);
}

void CopyVerify(const std::string& base) {
    const std::string src = base + "/big.bin", dst = base + "/big.kopie";
    Rounds rounds;
    for (int r = 0; r < 3; ++r) {
        const double plain = Time([&] {
            CopyOne(src, dst);
            FlushFile(dst);
        });
        Remove(dst);
        rounds.Add(Time([&] { CopyOne(src, dst, PfCopyVerify); }), plain);
        Remove(dst);
    }
    Report("copy_engine_verify", rounds, 2.0);
}

// From the pause until the copy's byte count stops moving (no change for
// 50 ms), in a 1 GiB copy 100 MB in; the copy is then resumed and finished.
void PauseLatency(const std::string& base) {
    const std::string src = base + "/big.bin", dst = base + "/big.kopie";
    Rounds rounds;
    for (int r = 0; r < 5; ++r) {
        RtControl control;
        std::thread copy([&] { CopyOne(src, dst, 0, &control); });
        while (control.bytes < (100 << 20))
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        const auto paused = Clock::now();
        rt_control_pause(&control);
        auto last_change = paused;
        int64_t seen = control.bytes;
        while (Seconds(last_change) < 0.05) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            if (control.bytes != seen) {
                seen = control.bytes;
                last_change = Clock::now();
            }
        }
        rounds.Add(std::chrono::duration<double>(last_change - paused).count(), 0.2);
        rt_control_resume(&control);
        copy.join();
        Remove(dst);
    }
    Report("copy_engine_pause", rounds, 1.0);
}

void CopyMany(const std::string& base) {
    const std::string src = base + "/tree", dst = base + "/tree.kopie";
    mkdir(src.c_str(), 0755);
    for (int d = 0; d < 100; ++d) {
        const std::string dir = src + "/ordner_" + std::to_string(d);
        mkdir(dir.c_str(), 0755);
        for (int f = 0; f < 100; ++f) WriteFile(dir + "/datei_" + std::to_string(f), 4096);
    }
    Run("du -s '" + src + "' > /dev/null");
    const int threads = 8;
    Rounds rounds;
    for (int r = 0; r < 5; ++r) {
        const double reference = Time([&] { Run("cp -r '" + src + "' '" + dst + "'"); });
        Remove(dst);
        rounds.Add(Time([&] { CopyTree(src, dst, threads); }), reference);
        if (r == 0) Run("diff -r '" + src + "' '" + dst + "' > /dev/null || echo tree differs >&2");
        Remove(dst);
    }
    std::fprintf(stderr, "copy_engine_many: %d copies in flight\n", threads);
    Report("copy_engine_many", rounds, 0.5);
}

} // namespace

int main(int argc, char** argv) {
    char tmpl[] = "/tmp/tc-copy-engine-bench-XXXXXX";
    const std::string base = mkdtemp(tmpl);
    const std::vector<std::pair<std::string, void (*)(const std::string&)>> all = {
        {"copy_engine_big", CopyBig},
        {"copy_engine_verify", CopyVerify},
        {"copy_engine_pause", PauseLatency},
        {"copy_engine_many", CopyMany}};
    bool big_written = false;
    // Names on the command line run only those benchmarks.
    for (const auto& [name, run] : all) {
        bool wanted = argc < 2;
        for (int i = 1; i < argc; ++i) wanted = wanted || name == argv[i];
        if (!wanted) continue;
        if (name != "copy_engine_many" && !big_written) {
            WriteFile(base + "/big.bin", size_t(1) << 30);
            Run("cat '" + base + "/big.bin' > /dev/null");
            big_written = true;
        }
        run(base);
    }
    Run("rm -rf '" + base + "'");
    return failures == 0 ? 0 : 1;
}
