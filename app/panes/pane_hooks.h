// The two places where the panes leave the program: a message window
// (through the message seam, app/core/message_dialog.h) and handing a file to
// the desktop to open, through the pointer below, which starts as
// pf_shell_open; tests point it at a recorder so that no application starts.
// Main thread only.
#pragma once

#include <cstdint>
#include <string>

using PaneShellOpenFn = int (*)(const std::wstring& file, const std::wstring& params,
                                const std::wstring& folder);

extern PaneShellOpenFn PaneShellOpen; // pf_shell_open

// Shows an error message (kind 1, one button, owner window 0) with the pane
// caption "Achtung !".
void PaneError(const std::wstring& headline, const std::wstring& text);
