// The main window (window 0): construction, filter boxes and the live
// relayout. Main thread only.
#pragma once

#include <cstdint>
#include <string>

#include "app/core/shell_hooks.h"

// Builds window 0 with its menus, shortcuts, the two pane frames, command
// line and F-key buttons. Flags are the toolkit's window flags.
void BuildMainWindow(const std::wstring& title, int64_t flags, int64_t x, int64_t y, int64_t width,
                     int64_t height, int64_t button_offset);
// Refills filter boxes 6 and 11 from the ListFilter setting.
void FillFilterBoxes();
// Lays the main window out for its current size; bound to its size event.
void RelayoutMainWindow();
// Points the lower subsystems' shell hooks (app/core/shell_hooks.h) at
// BuildMainWindow and RelayoutMainWindow.
void InstallShellHooks();
