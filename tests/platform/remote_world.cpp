// The remote tests' world: see remote_world.h.
#include "remote_world.h"

#include "platform/remote_internal.h"
#include "platform/remote_mount.h"
#include "runtime/text.h"

#include <unistd.h>

namespace {

RemoteWorld* World = nullptr;
std::string Reason = "the remote test servers were not started";

class RemoteEnvironment : public testing::Environment {
  public:
    void SetUp() override {
        if (!AnyRemoteTestRuns()) return;
        auto* world = new RemoteWorld;
        if (world->Start(&Reason)) {
            World = world;
        } else {
            Reason = "remote tests skipped: " + Reason;
            delete world;
        }
    }
    void TearDown() override {
        delete World; // stops the servers
        World = nullptr;
    }

  private:
    static bool AnyRemoteTestRuns() {
        const testing::UnitTest& unit = *testing::UnitTest::GetInstance();
        for (int i = 0; i < unit.total_test_suite_count(); ++i) {
            const testing::TestSuite* suite = unit.GetTestSuite(i);
            if (suite->should_run() && std::string(suite->name()).rfind("Remote", 0) == 0)
                return true;
        }
        return false;
    }
};

testing::Environment* const TheEnvironment =
    testing::AddGlobalTestEnvironment(new RemoteEnvironment);

} // namespace

void RemoteTest::SetUp() {
    world = World;
    if (!world) GTEST_SKIP() << Reason;
    call = pf_remote_call_new(kLimitMs);
    ASSERT_TRUE(pf_remote_mount(call, world->Root(), nullptr))
        << pf_remote_call_status(call) << " " << rt_text_to_utf8(pf_remote_call_message(call));
    folder = world->NewFolder();
}

void RemoteTest::TearDown() {
    if (world) world->ResumeServer();
    pf_remote_call_free(call);
}

std::wstring RemoteTest::At(const std::string& name) const {
    return world->Location(folder + "/" + name);
}

// Mounts localtest:/// on a private context, as pf_remote_mount would.
bool MountLocaltest() {
    if (access("/usr/libexec/gvfsd-localtest", X_OK) != 0) return false;
    GMainContext* context = g_main_context_new();
    g_main_context_push_thread_default(context);
    GFile* root = g_file_new_for_uri("localtest:///");
    struct {
        bool done = false, ok = false;
    } state;
    g_file_mount_enclosing_volume(
        root, G_MOUNT_MOUNT_NONE, nullptr, nullptr,
        [](GObject* file, GAsyncResult* result, gpointer data) {
            auto* s = static_cast<decltype(state)*>(data);
            GError* error = nullptr;
            s->ok = g_file_mount_enclosing_volume_finish(G_FILE(file), result, &error) ||
                    g_error_matches(error, G_IO_ERROR, G_IO_ERROR_ALREADY_MOUNTED);
            g_clear_error(&error);
            s->done = true;
        },
        &state);
    while (!state.done) g_main_context_iteration(context, TRUE);
    g_object_unref(root);
    g_main_context_pop_thread_default(context);
    g_main_context_unref(context);
    return state.ok;
}
