// Remote watches report as local ones do: a change, a time-out, a wake or a
// close from another thread; a backend without a monitor says so. The
// monitor is GVfs's "localtest" backend's, which watches a local folder.
#include <chrono>
#include <fstream>
#include <thread>
#include <unistd.h>

#include "platform/remote_internal.h"
#include "platform/remote_watch.h"
#include "remote_world.h"
#include "runtime/text.h"

using RemoteWatch = RemoteTest;

TEST_F(RemoteWatch, SftpHasNoMonitorAndSaysSo) {
    EXPECT_EQ(0, pf_remote_watch_open(call, At("")));
    EXPECT_EQ(PfRemoteNotSupported, pf_remote_call_status(call));
    EXPECT_EQ(-1, pf_remote_watch_wait(12345, 0)); // unknown handles
}

TEST_F(RemoteWatch, ReportsChangesAndEndsWaitsOnWakeAndClose) {
    if (!MountLocaltest()) GTEST_SKIP() << "GVfs's localtest backend is missing";
    GFile* dir = g_file_new_for_uri(("localtest://" + folder).c_str());
    const int64_t h = RemoteWatchOpen(call, dir);
    g_object_unref(dir);
    ASSERT_NE(0, h) << pf_remote_call_status(call);
    EXPECT_EQ(0, pf_remote_watch_wait(h, 50));
    std::ofstream(Local("neu.txt")) << "x";
    EXPECT_EQ(1, pf_remote_watch_wait(h, 5000));
    while (pf_remote_watch_wait(h, 300) == 1) {
    } // the rest of the burst (written, closed)

    std::thread waker([h] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        pf_remote_watch_wake(h);
    });
    EXPECT_EQ(-1, pf_remote_watch_wait(h, 10000));
    waker.join();

    std::thread closer([h] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        pf_remote_watch_close(h);
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(-1, pf_remote_watch_wait(h, -1));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    closer.join();
    EXPECT_EQ(-1, pf_remote_watch_wait(h, 0)); // a closed handle stays unknown
    pf_remote_watch_close(h);
}
