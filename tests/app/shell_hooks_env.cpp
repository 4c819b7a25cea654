// Every app test runs with the shell's hooks installed, as the program does
// from its start-up: loading the settings opens the main window, a listing
// lays it out again.
#include <gtest/gtest.h>

#include "app/shell/main_window.h"

namespace {

class ShellHooksEnvironment : public testing::Environment {
  public:
    void SetUp() override { InstallShellHooks(); }
};

const testing::Environment* const shell_hooks_env =
    testing::AddGlobalTestEnvironment(new ShellHooksEnvironment);

} // namespace
