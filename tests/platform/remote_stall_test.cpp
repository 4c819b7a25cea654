// A server that stops answering (its sshd processes held with SIGSTOP) in the
// middle of a listing, a copy and a login: the call comes back as "not
// answering" within its limit, a cancel ends it at once, nothing is damaged,
// and the server serves again once it goes on.
#include <chrono>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <thread>
#include <unistd.h>

#include "platform/remote_copy.h"
#include "platform/remote_files.h"
#include "platform/remote_mount.h"
#include "remote_world.h"
#include "runtime/text.h"
#include "test_support.h"

namespace {

using Clock = std::chrono::steady_clock;

// What a shared, loaded machine may add to a limit.
constexpr int kSlackMs = 1000;

int64_t MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

std::string Slurp(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

bool HasTemporary(const std::string& folder) {
    bool found = false;
    DIR* d = opendir(folder.c_str());
    while (dirent* e = d ? readdir(d) : nullptr)
        found = found || std::string(e->d_name).rfind(".tc-tmp-", 0) == 0;
    if (d) closedir(d);
    return found;
}

} // namespace

using RemoteStall = RemoteTest;

// Cancels a call from another thread after ms; joined when it goes, so the
// call outlives it.
class CancelLater {
  public:
    CancelLater(PfRemoteCall* call, int ms)
        : thread_([call, ms] {
              std::this_thread::sleep_for(std::chrono::milliseconds(ms));
              pf_remote_call_cancel(call);
          }) {}
    ~CancelLater() { thread_.join(); }

  private:
    std::thread thread_;
};

TEST_F(RemoteStall, ListingEndsWithinTheLimitAndOnCancel) {
    folder = world->NewFolderInMemory();
    for (int i = 0; i < 20000; ++i)
        close(open(Local("f" + std::to_string(i)).c_str(), O_CREAT, 0644));
    // Held soon after the listing starts: 20,000 entries take the server
    // and GVfs far longer than that.
    constexpr int kStopAfterMs = 50;
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(kStopAfterMs));
        world->StopServer();
    });
    std::vector<RtDirEntry> entries;
    auto start = Clock::now();
    EXPECT_FALSE(pf_remote_dir_read(call, At(""), &entries));
    const int64_t took = MsSince(start);
    stopper.join();
    EXPECT_EQ(PfRemoteNotAnswering, pf_remote_call_status(call));
    EXPECT_LT(took, kStopAfterMs + kLimitMs + PfRemoteGraceMs + kSlackMs);

    PfRemoteCall* patient = pf_remote_call_new(600000);
    RtDirEntry entry;
    {
        CancelLater cancel(patient, 300);
        start = Clock::now();
        EXPECT_FALSE(pf_remote_query(patient, At("f1"), &entry));
        EXPECT_LT(MsSince(start), 300 + PfRemoteGraceMs + kSlackMs);
    }
    EXPECT_EQ(PfRemoteCancelled, pf_remote_call_status(patient))
        << rt_text_to_utf8(pf_remote_call_message(patient));
    pf_remote_call_free(patient);

    world->ResumeServer();
    ASSERT_TRUE(pf_remote_query(call, At("f1"), &entry))
        << pf_remote_call_status(call) << " " << rt_text_to_utf8(pf_remote_call_message(call));
}

TEST_F(RemoteStall, CopyEndsWithinTheLimitAndDamagesNothing) {
    TempDir local;
    std::ofstream(Local("gross.bin"), std::ios::binary) << std::string(64 << 20, 'x');
    std::ofstream(local / "ziel.bin") << "alt";
    Clock::time_point stopped{};
    auto stop_at_first_bytes = [](int64_t, int64_t done, void* user) {
        auto* s = static_cast<std::pair<RemoteWorld*, Clock::time_point*>*>(user);
        if (done > 0 && *s->second == Clock::time_point{}) {
            s->first->StopServer();
            *s->second = Clock::now();
        }
        return 1;
    };
    std::pair<RemoteWorld*, Clock::time_point*> state{world, &stopped};
    EXPECT_FALSE(pf_remote_copy(call, At("gross.bin"), rt_text_from_os(local / "ziel.bin"),
                                PfRemoteOverwrite, stop_at_first_bytes, &state));
    EXPECT_EQ(PfRemoteNotAnswering, pf_remote_call_status(call));
    EXPECT_LT(MsSince(stopped), kLimitMs + PfRemoteGraceMs + kSlackMs);
    EXPECT_EQ("alt", Slurp(local / "ziel.bin"));

    // An upload to the stopped server: cancelled at once.
    PfRemoteCall* patient = pf_remote_call_new(600000);
    {
        CancelLater cancel(patient, 300);
        const auto start = Clock::now();
        EXPECT_FALSE(
            pf_remote_copy(patient, rt_text_from_os(local / "ziel.bin"), At("hoch.bin"), 0));
        EXPECT_LT(MsSince(start), 300 + PfRemoteGraceMs + kSlackMs);
    }
    EXPECT_EQ(PfRemoteCancelled, pf_remote_call_status(patient));
    pf_remote_call_free(patient);

    // Going on, the server lets the copy given up on end; it leaves nothing.
    world->ResumeServer();
    for (int i = 0; i < 250 && HasTemporary(local.path()); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(HasTemporary(local.path()));
    EXPECT_EQ("alt", Slurp(local / "ziel.bin"));
    ASSERT_TRUE(pf_remote_copy(call, At("gross.bin"), rt_text_from_os(local / "neu.bin"), 0));
}

TEST_F(RemoteStall, LoginAndUnmountOfAStoppedServerEndWithinTheLimit) {
    world->StopServer();
    const auto start = Clock::now();
    // Another name: a connection of its own, which waits for the server.
    EXPECT_FALSE(pf_remote_mount(call, world->RootAs("localhost"), nullptr));
    EXPECT_EQ(PfRemoteNotAnswering, pf_remote_call_status(call));
    EXPECT_LT(MsSince(start), kLimitMs + PfRemoteGraceMs + kSlackMs);

    // Unmounting a server that stopped answering is what the user does
    // about it. Calls given up on may still hold it: GVfs asks whether to
    // unmount all the same.
    PfRemoteAsk anyway;
    anyway.question = [](const std::wstring&, const std::vector<std::wstring>&, int* choice,
                         void*) {
        *choice = 0;
        return 1;
    };
    const auto unmount = Clock::now();
    EXPECT_TRUE(pf_remote_unmount(call, world->Root(), &anyway)) << pf_remote_call_status(call);
    EXPECT_LT(MsSince(unmount), kLimitMs + PfRemoteGraceMs + kSlackMs);
}
