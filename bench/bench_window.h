// The main window as the benchmarks open it: offscreen, built as the
// program builds it at start-up, with one root volume in the drive bar so
// that no real mount of this machine is looked at.
#pragma once

#include <vector>

#include "app/config/drive_bar.h"
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/core/shell_hooks.h"
#include "app/panes/pane_sides.h"
#include "app/shell/main_window.h"
#include "toolkit/events.h"

inline std::vector<PfVolume> BenchRootOnly() {
    return {PfVolume{L"/", L"/dev/root", L"ext4", L"Hard Disk", L"/", L"/"}};
}

inline void OpenBenchWindow() {
    tk_init();
    AppStateReset();
    ResetPanes();
    DriveVolumes = BenchRootOnly;
    InstallShellHooks();
    BuildMainWindow(MainWindowTitle, MainWindowFlags, 0, 0, 1020, 630, 60);
}
