// Copies to and from the loopback sftp server: contents, mode, time and links
// arrive; a refused, cancelled or paused copy never damages a target; a move
// deletes its source only after the copy; an edited fetch goes back only
// over the version it was fetched from.
#include <atomic>
#include <chrono>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "platform/remote_copy.h"
#include "remote_world.h"
#include "runtime/text.h"
#include "test_support.h"

namespace {

std::string Pattern(size_t n) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 7919) >> 5);
    return s;
}

std::string Slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

void Put(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Names in a folder that a copy's temporary file would have.
int Temporaries(const std::string& folder) {
    int n = 0;
    DIR* d = opendir(folder.c_str());
    while (dirent* e = d ? readdir(d) : nullptr)
        n += std::string(e->d_name).rfind(".tc-tmp-", 0) == 0;
    if (d) closedir(d);
    return n;
}

std::wstring W(const std::string& s) {
    return rt_text_from_os(s);
}

struct Reports {
    std::atomic<int64_t> last_done{0}, last_total{0};
    std::atomic<int> calls{0};
    int64_t cancel_after = -1; // bytes after which the callback cancels
    std::function<void(int64_t)> on_report;
};

int Report(int64_t total, int64_t done, void* user) {
    auto* r = static_cast<Reports*>(user);
    r->last_done = done;
    r->last_total = total;
    ++r->calls;
    if (r->on_report) r->on_report(done);
    return r->cancel_after >= 0 && done > r->cancel_after ? 0 : 1;
}

} // namespace

using RemoteCopy = RemoteTest;

TEST_F(RemoteCopy, ContentsModeTimeAndLinksArriveBothWays) {
    TempDir local;
    const std::string bytes = Pattern(33 << 20); // two streams on the way down
    Put(Local("gross.bin"), bytes);
    chmod(Local("gross.bin").c_str(), 0640);
    const timespec when[2] = {{1000000000, 0}, {1234567890, 0}};
    utimensat(AT_FDCWD, Local("gross.bin").c_str(), when, 0);
    symlink("gross.bin", Local("verweis").c_str());

    Reports r;
    ASSERT_TRUE(pf_remote_copy(call, At("gross.bin"), W(local / "g.bin"), 0, Report, &r))
        << rt_text_to_utf8(pf_remote_call_message(call));
    EXPECT_TRUE(Slurp(local / "g.bin") == bytes);
    struct stat st {};
    ASSERT_EQ(0, stat((local / "g.bin").c_str(), &st));
    EXPECT_EQ(0640u, st.st_mode & 07777);
    EXPECT_EQ(1234567890, st.st_mtim.tv_sec);
    EXPECT_EQ(static_cast<int64_t>(bytes.size()), r.last_done.load());
    EXPECT_EQ(static_cast<int64_t>(bytes.size()), r.last_total.load());

    ASSERT_TRUE(pf_remote_copy(call, W(local / "g.bin"), At("hoch.bin"), 0, nullptr, nullptr));
    EXPECT_TRUE(Slurp(Local("hoch.bin")) == bytes);
    ASSERT_EQ(0, stat(Local("hoch.bin").c_str(), &st));
    EXPECT_EQ(1234567890, st.st_mtim.tv_sec);

    ASSERT_TRUE(pf_remote_copy(call, At("verweis"), W(local / "v"), 0, nullptr, nullptr));
    char target[64] = {};
    ASSERT_EQ(9, readlink((local / "v").c_str(), target, sizeof target));
    EXPECT_STREQ("gross.bin", target);
    ASSERT_TRUE(pf_remote_copy(call, At("gross.bin"), At("kopie.bin"), 0, nullptr, nullptr));
    EXPECT_TRUE(Slurp(Local("kopie.bin")) == bytes);
    EXPECT_EQ(0, Temporaries(local.path()) + Temporaries(folder));
}

TEST_F(RemoteCopy, ExistingTargetsAreReplacedOnlyWhenAsked) {
    TempDir local;
    Put(Local("neu.txt"), "neu");
    Put(local / "alt.txt", "alt");
    Put(Local("alt.txt"), "alt");
    mkdir((local / "ordner").c_str(), 0755);
    EXPECT_FALSE(pf_remote_copy(call, At("neu.txt"), W(local / "alt.txt"), 0));
    EXPECT_EQ(PfRemoteExists, pf_remote_call_status(call));
    EXPECT_FALSE(pf_remote_copy(call, W(local / "alt.txt"), At("alt.txt"), 0));
    EXPECT_EQ(PfRemoteExists, pf_remote_call_status(call));
    EXPECT_FALSE(pf_remote_copy(call, At("neu.txt"), W(local / "ordner"), PfRemoteOverwrite));
    EXPECT_EQ(PfRemoteIsFolder, pf_remote_call_status(call));
    EXPECT_EQ("alt", Slurp(local / "alt.txt"));
    EXPECT_EQ("alt", Slurp(Local("alt.txt")));
    ASSERT_TRUE(pf_remote_copy(call, At("neu.txt"), W(local / "alt.txt"), PfRemoteOverwrite));
    EXPECT_EQ("neu", Slurp(local / "alt.txt"));
}

TEST_F(RemoteCopy, CancelLeavesTheOldTargetAndNoTemporary) {
    TempDir local;
    Put(Local("gross.bin"), Pattern(24 << 20));
    Put(Local("neu.txt"), "neu");
    Put(local / "ziel.bin", "alt");
    Reports r;
    r.cancel_after = 1 << 20;
    EXPECT_FALSE(pf_remote_copy(call, At("gross.bin"), W(local / "ziel.bin"), PfRemoteOverwrite,
                                Report, &r));
    EXPECT_EQ(PfRemoteCancelled, pf_remote_call_status(call));
    EXPECT_EQ("alt", Slurp(local / "ziel.bin"));
    EXPECT_EQ(0, Temporaries(local.path()));

    // A cancel from another thread ends an upload, and every later call.
    Put(local / "gross.bin", Pattern(24 << 20));
    PfRemoteCall* job = pf_remote_call_new(kLimitMs);
    std::thread canceller;
    Reports up;
    up.on_report = [&](int64_t done) {
        if (done > 0 && !canceller.joinable())
            canceller = std::thread([job] { pf_remote_call_cancel(job); });
    };
    EXPECT_FALSE(pf_remote_copy(job, W(local / "gross.bin"), At("hoch.bin"), 0, Report, &up));
    EXPECT_EQ(PfRemoteCancelled, pf_remote_call_status(job));
    EXPECT_FALSE(pf_remote_copy(job, At("neu.txt"), W(local / "x"), 0));
    EXPECT_EQ(PfRemoteCancelled, pf_remote_call_status(job));
    if (canceller.joinable()) canceller.join();
    pf_remote_call_free(job);
    EXPECT_NE(0, access(Local("hoch.bin").c_str(), F_OK));
    for (int i = 0; i < 100 && Temporaries(folder) > 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(0, Temporaries(folder));
}

// A copy paused at its first bytes for longer than the time limit: the
// bytes done when the pause took hold, and after the wait.
struct Paused {
    bool ok = false;
    int64_t at = -1, after = -2;
};

Paused CopyPausedOnce(PfRemoteCall* call, const std::wstring& from, const std::wstring& to,
                      int wait_ms) {
    Paused p;
    std::thread pauser;
    Reports r;
    r.on_report = [&](int64_t done) {
        if (done == 0 || pauser.joinable()) return;
        pf_remote_call_pause(call, 1);
        pauser = std::thread([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300)); // chunks under way land
            pf_remote_call_progress(call, &p.at, nullptr);
            std::this_thread::sleep_for(std::chrono::milliseconds(wait_ms));
            pf_remote_call_progress(call, &p.after, nullptr);
            pf_remote_call_pause(call, 0);
        });
    };
    p.ok = pf_remote_copy(call, from, to, 0, Report, &r);
    if (pauser.joinable()) pauser.join();
    return p;
}

TEST_F(RemoteCopy, PauseHoldsLongerThanTheTimeLimit) {
    TempDir local;
    const std::string bytes = Pattern(33 << 20);
    Put(Local("gross.bin"), bytes);
    // A download holds at the byte it reached.
    Paused down = CopyPausedOnce(call, At("gross.bin"), W(local / "g.bin"), kLimitMs + 500);
    ASSERT_TRUE(down.ok) << pf_remote_call_status(call);
    EXPECT_EQ(down.at, down.after); // nothing moved while paused
    EXPECT_LT(down.at, static_cast<int64_t>(bytes.size()));
    EXPECT_TRUE(Slurp(local / "g.bin") == bytes);
    // An upload holds too, and starts the file again.
    Paused up = CopyPausedOnce(call, W(local / "g.bin"), At("hoch.bin"), kLimitMs + 500);
    ASSERT_TRUE(up.ok) << pf_remote_call_status(call);
    EXPECT_EQ(0, up.at);
    EXPECT_EQ(0, up.after);
    EXPECT_TRUE(Slurp(Local("hoch.bin")) == bytes);
    EXPECT_EQ(0, Temporaries(folder));
}

TEST_F(RemoteCopy, MoveRenamesOnOneServerAndCopiesThenDeletesBetweenTwo) {
    TempDir local;
    mkdir(Local("a").c_str(), 0755);
    Put(Local("a/drin"), "drin");
    ASSERT_TRUE(pf_remote_move(call, At("a"), At("b"), 0));
    EXPECT_EQ("drin", Slurp(Local("b/drin")));
    EXPECT_NE(0, access(Local("a").c_str(), F_OK));

    Put(local / "hier.txt", "hier");
    ASSERT_TRUE(pf_remote_move(call, W(local / "hier.txt"), At("dort.txt"), 0));
    EXPECT_EQ("hier", Slurp(Local("dort.txt")));
    EXPECT_NE(0, access((local / "hier.txt").c_str(), F_OK));

    EXPECT_FALSE(pf_remote_move(call, At("b"), W(local / "b"), 0));
    EXPECT_EQ(PfRemoteOtherServer, pf_remote_call_status(call));
    EXPECT_EQ("drin", Slurp(Local("b/drin")));

    Put(local / "x.txt", "x");
    EXPECT_FALSE(pf_remote_move(call, W(local / "x.txt"), At("dort.txt"), 0));
    EXPECT_EQ(PfRemoteExists, pf_remote_call_status(call));
    EXPECT_EQ("x", Slurp(local / "x.txt"));
    EXPECT_EQ("hier", Slurp(Local("dort.txt")));
}

TEST_F(RemoteCopy, WriteBackOnlyOverTheVersionThatWasFetched) {
    Put(Local("notiz.txt"), "eins");
    PfRemoteFetched f;
    ASSERT_TRUE(pf_remote_fetch(call, At("notiz.txt"), &f));
    EXPECT_EQ("notiz.txt", rt_text_to_os(f.local.substr(f.local.rfind(L'/') + 1)));
    EXPECT_EQ("eins", Slurp(rt_text_to_os(f.local)));
    EXPECT_FALSE(pf_remote_fetched_changed(f));
    Put(rt_text_to_os(f.local), "zwei");
    EXPECT_TRUE(pf_remote_fetched_changed(f));
    ASSERT_TRUE(pf_remote_write_back(call, &f, 0));
    EXPECT_EQ("zwei", Slurp(Local("notiz.txt")));
    EXPECT_FALSE(pf_remote_fetched_changed(f));

    // Someone else saves a newer version on the server meanwhile.
    Put(Local("notiz.txt"), "fremd");
    const timespec later[2] = {{0, UTIME_OMIT}, {f.remote_modified + 100, 0}};
    utimensat(AT_FDCWD, Local("notiz.txt").c_str(), later, 0);
    Put(rt_text_to_os(f.local), "drei");
    EXPECT_FALSE(pf_remote_write_back(call, &f, 0));
    EXPECT_EQ(PfRemoteChanged, pf_remote_call_status(call));
    EXPECT_EQ("fremd", Slurp(Local("notiz.txt")));
    ASSERT_TRUE(pf_remote_write_back(call, &f, PfRemoteOverwrite));
    EXPECT_EQ("drei", Slurp(Local("notiz.txt")));

    const std::string copy = rt_text_to_os(f.local);
    pf_remote_fetch_discard(&f);
    EXPECT_NE(0, access(copy.substr(0, copy.rfind('/')).c_str(), F_OK));
}
