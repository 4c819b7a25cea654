// Tree walks and their control: collecting the awkward tree, deleting with
// a question per failure, pause and cancel between entries, special files
// and mounts inside, trees deeper than the path limit.
#include <gtest/gtest.h>

#include "awkward_tree.h"
#include "fs_fixtures.h"
#include "runtime/control.h"
#include "runtime/tree.h"
#include "test_support.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <set>
#include <sys/sysmacros.h>
#include <thread>
#include <utility>
#include <vector>

namespace {

bool exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

// Records every failure put to it and answers with answer (and RtTreeSkip
// once answers run out).
struct Failures {
    std::vector<std::pair<std::string, int>> seen;
    std::vector<int> answers;
    static int put(const std::string& path, int error, void* user) {
        auto* f = static_cast<Failures*>(user);
        f->seen.emplace_back(path, error);
        const size_t i = f->seen.size() - 1;
        return i < f->answers.size() ? f->answers[i] : RtTreeSkip;
    }
};

// The seam's unlinkat, refusing one name while g_refuse is set and running
// g_after_unlink after every removal that succeeded.
std::string g_refused_name;
bool g_refuse = false;
int g_removed = 0;
void (*g_after_unlink)(int removed) = nullptr;
RtControl* g_control = nullptr;

int unlinkat_on_cue(int dirfd, const char* name, int flags) {
    if (g_refuse && g_refused_name == name) return errno = EACCES, -1;
    const int r = rt_syscalls_real().unlinkat(dirfd, name, flags);
    if (r == 0 && g_after_unlink) g_after_unlink(++g_removed);
    return r;
}

struct TreeTest : ::testing::Test {
    TempDir tmp;
    RtSyscallsRestore restore;
    void SetUp() override {
        g_refuse = false;
        g_removed = 0;
        g_after_unlink = nullptr;
        rt_sys.unlinkat = unlinkat_on_cue;
    }
    // top/{a, b, sub/c} plus count files top/many/f<i>.
    void make_tree(int count = 0) {
        ASSERT_EQ(mkdir((tmp / "top").c_str(), 0755), 0);
        ASSERT_EQ(mkdir((tmp / "top/sub").c_str(), 0755), 0);
        for (const char* name : {"top/a", "top/b", "top/sub/c"}) tmp.write(name, name);
        if (count) {
            ASSERT_EQ(mkdir((tmp / "top/many").c_str(), 0755), 0);
        }
        for (int i = 0; i < count; ++i) tmp.write("top/many/f" + std::to_string(i), "x");
    }
};

} // namespace

TEST(Control, PausedWorkerWaitsUntilResumedOrCancelled) {
    RtControl c;
    EXPECT_TRUE(rt_control_go_on(&c));
    EXPECT_TRUE(rt_control_go_on(nullptr));
    for (const bool cancel : {false, true}) {
        rt_control_pause(&c);
        std::atomic<int> answer{-1};
        std::thread worker([&] { answer = rt_control_go_on(&c) ? 1 : 0; });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(answer, -1) << "a paused worker waits";
        cancel ? rt_control_cancel(&c) : rt_control_resume(&c);
        worker.join();
        EXPECT_EQ(answer, cancel ? 0 : 1);
    }
    rt_control_resume(&c); // a cancel is final
    EXPECT_FALSE(rt_control_go_on(&c));
}

TEST_F(TreeTest, CollectListsEveryEntryOnceAndNamesTheUnreadableFolder) {
    using namespace awkward;
    const AwkwardTree tree = make_awkward_tree(tmp.path());
    EmulatedPermissions as_user;
    std::vector<RtTreeEntry> out;
    Failures failures;
    RtControl control;
    EXPECT_EQ(rt_tree_collect(tree.root, &out, &control, Failures::put, &failures),
              RtTreeIncomplete);
    std::set<std::string> paths;
    for (const RtTreeEntry& e : out) EXPECT_TRUE(paths.insert(e.path).second) << e.path;
    std::set<std::string> expected{"",
                                   kSub + "/deeper",
                                   kSub + "/deeper/leaf.txt",
                                   kSub + "/notes.txt",
                                   kReadOnlyFolder + "/kept.txt",
                                   kReadOnlyFolder + "/inner",
                                   kReadOnlyFolder + "/inner/x.txt"};
    expected.insert(tree.files.begin(), tree.files.end());
    expected.insert(tree.folders.begin(), tree.folders.end());
    EXPECT_EQ(paths, expected); // nothing behind the link, nothing in the locked folder
    EXPECT_EQ(control.items, static_cast<int64_t>(out.size()));
    ASSERT_EQ(failures.seen.size(), 1u);
    EXPECT_EQ(failures.seen[0], std::make_pair(tree.root + "/" + kLockedFolder, EACCES));
    for (const RtTreeEntry& e : out) {
        EXPECT_EQ(e.error, e.path == kLockedFolder ? EACCES : 0) << e.path;
        if (e.path == kOutsideLink || e.path == kFifo) {
            EXPECT_TRUE(e.path == kFifo ? S_ISFIFO(e.mode) : S_ISLNK(e.mode)) << e.path;
        }
    }
    for (size_t i = 0; i < out.size(); ++i) // a folder comes before its contents
        for (size_t j = 0; j < i; ++j)
            EXPECT_NE(out[j].path.rfind(out[i].path + "/", 0), 0u) << out[i].path;
}

TEST_F(TreeTest, DeleteAsksAboutEachFailure) {
    struct Case {
        std::vector<int> answers;
        int result;
        bool top_gone;
    };
    for (const Case& c :
         {Case{{RtTreeRetry}, RtTreeComplete, true}, Case{{RtTreeSkip}, RtTreeIncomplete, false},
          Case{{RtTreeStop}, RtTreeStopped, false}}) {
        make_tree();
        g_refused_name = "c";
        g_refuse = true;
        Failures failures;
        failures.answers = c.answers;
        // a retry succeeds: the cause has gone once the user was asked
        auto put = [](const std::string& path, int error, void* user) {
            g_refuse = false;
            return Failures::put(path, error, user);
        };
        EXPECT_EQ(rt_tree_delete(tmp / "top", 0, nullptr, put, &failures), c.result);
        ASSERT_EQ(failures.seen.size(), 1u) << "once, for the entry itself";
        EXPECT_EQ(failures.seen[0], std::make_pair(tmp / "top/sub/c", EACCES));
        EXPECT_EQ(exists(tmp / "top"), !c.top_gone);
        EXPECT_EQ(exists(tmp / "top/sub/c"), !c.top_gone);
        if (c.result == RtTreeIncomplete) {
            EXPECT_FALSE(exists(tmp / "top/a") || exists(tmp / "top/b"));
        }
        if (!c.top_gone) {
            ASSERT_EQ(rt_tree_delete(tmp / "top", 0, nullptr, nullptr, nullptr), RtTreeComplete);
        }
    }
    Failures refused; // never the whole system
    EXPECT_EQ(rt_tree_delete("/", 0, nullptr, Failures::put, &refused), RtTreeIncomplete);
    EXPECT_EQ(refused.seen.size(), 1u);
}

TEST_F(TreeTest, DeleteStopsOrWaitsBetweenEntries) {
    make_tree(20);
    RtControl control;
    g_control = &control;
    g_after_unlink = [](int removed) {
        if (removed == 5) rt_control_cancel(g_control);
    };
    EXPECT_EQ(rt_tree_delete(tmp / "top", 0, &control, nullptr, nullptr), RtTreeCancelled);
    EXPECT_EQ(control.items, 5);
    EXPECT_TRUE(exists(tmp / "top/sub/c"));

    RtControl paused;
    g_control = &paused;
    g_removed = 0;
    static std::atomic<int64_t> seen_while_paused{-1};
    g_after_unlink = [](int removed) {
        if (removed != 3) return;
        rt_control_pause(g_control);
        std::thread([] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            seen_while_paused = g_control->items.load();
            rt_control_resume(g_control);
        }).detach();
    };
    EXPECT_EQ(rt_tree_delete(tmp / "top", 0, &paused, nullptr, nullptr), RtTreeComplete);
    EXPECT_EQ(seen_while_paused, 3);
    EXPECT_FALSE(exists(tmp / "top"));
}

TEST_F(TreeTest, DeleteNeverOpensSpecialFilesNorEntersOtherMounts) {
    make_tree();
    ASSERT_EQ(mkfifo((tmp / "top/fifo").c_str(), 0644), 0);
    FifoWriter writer(tmp / "top/fifo", tmp / "released");
    ASSERT_TRUE(make_socket(tmp / "top/socket"));
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(mknod((tmp / "top/null").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    }
    SmallFs mounted(tmp / "top/sub/mounted", "1m");
    if (mounted.mounted()) tmp.write("top/sub/mounted/keep", "keep");
    Failures failures;
    const int result = rt_tree_delete(tmp / "top", 0, nullptr, Failures::put, &failures);
    EXPECT_FALSE(writer.released());
    for (const char* name : {"top/fifo", "top/socket", "top/null", "top/a", "top/sub/c"})
        EXPECT_FALSE(exists(tmp / name)) << name;
    if (!mounted.mounted()) {
        EXPECT_EQ(result, RtTreeComplete);
        GTEST_SKIP() << "not root: the mount inside the tree is not tried";
    }
    EXPECT_EQ(result, RtTreeIncomplete);
    EXPECT_EQ(tmp.read("top/sub/mounted/keep"), "keep");
    ASSERT_EQ(failures.seen.size(), 1u);
    EXPECT_EQ(failures.seen[0], std::make_pair(tmp / "top/sub/mounted", EXDEV));
}

TEST_F(TreeTest, DeeperThanThePathLimitIsCollectedAndDeleted) {
    const std::string bottom = make_deep_folders(tmp.path(), 25, 200, "tief");
    ASSERT_GT(bottom.size(), size_t{PATH_MAX});
    const std::string top = tmp / deep_name(0, 200);
    std::vector<RtTreeEntry> out;
    EXPECT_EQ(rt_tree_collect(top, &out, nullptr, nullptr, nullptr), RtTreeComplete);
    ASSERT_EQ(out.size(), 26u);
    EXPECT_TRUE(S_ISREG(out.back().mode));
    EXPECT_EQ(out.back().size, 4);
    EXPECT_GT(out.back().path.size(), size_t{PATH_MAX});
    EXPECT_EQ(rt_tree_delete(top, 0, nullptr, nullptr, nullptr), RtTreeComplete);
    EXPECT_FALSE(exists(top));
}
