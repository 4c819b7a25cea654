// The two moments at which a lower subsystem must start something of the
// shell: the settings loader opens the main window in the middle of loading,
// and a finished listing lays the main window out again. The shell installs
// these pointers at start (InstallShellHooks in app/shell/main_window.h);
// until then they do nothing, so a subsystem tested alone never reaches up.
// Main thread only.
#pragma once

#include "toolkit/windows.h"

#include <cstdint>
#include <string>

using BuildMainWindowFn = void (*)(const std::wstring& title, int64_t flags, int64_t x, int64_t y,
                                   int64_t width, int64_t height, int64_t button_offset);
using RelayoutMainWindowFn = void (*)();
using FillFilterBoxesFn = void (*)();

extern BuildMainWindowFn ShellBuildMainWindow;       // BuildMainWindow
extern RelayoutMainWindowFn ShellRelayoutMainWindow; // RelayoutMainWindow
extern FillFilterBoxesFn ShellFillFilterBoxes;       // FillFilterBoxes (settings dialog)

// Calls the installed hook, or does nothing when none is installed.
void CallBuildMainWindow(const std::wstring& title, int64_t flags, int64_t x, int64_t y,
                         int64_t width, int64_t height, int64_t button_offset);
void CallRelayoutMainWindow();
void CallFillFilterBoxes();

// Window flags of the main window: title bar, system menu, sizing border,
// minimize and maximize buttons.
constexpr int64_t MainWindowFlags = TkWindowNormal;
constexpr const wchar_t* MainWindowTitle = L"Tarn Commander v0.52 Beta";
