// The shell's hooks for lower subsystems: see shell_hooks.h.
#include "app/core/shell_hooks.h"

BuildMainWindowFn ShellBuildMainWindow = nullptr;
RelayoutMainWindowFn ShellRelayoutMainWindow = nullptr;
FillFilterBoxesFn ShellFillFilterBoxes = nullptr;

void CallBuildMainWindow(const std::wstring& title, int64_t flags, int64_t x, int64_t y,
                         int64_t width, int64_t height, int64_t button_offset) {
    if (ShellBuildMainWindow)
        ShellBuildMainWindow(title, flags, x, y, width, height, button_offset);
}

void CallRelayoutMainWindow() {
    if (ShellRelayoutMainWindow) ShellRelayoutMainWindow();
}

void CallFillFilterBoxes() {
    if (ShellFillFilterBoxes) ShellFillFilterBoxes();
}
