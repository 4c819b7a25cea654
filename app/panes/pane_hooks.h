// The two places where the panes leave the program: the modal message window
// and handing a file to the desktop to open. Both go through these pointers,
// which start as MessageDialog and pf_shell_open; tests point them at
// recorders so that no window blocks and no application starts.
// Main thread only.
#pragma once

#include <cstdint>
#include <string>

using PaneMessageFn = int64_t (*)(int64_t kind, const std::wstring& caption,
                                  const std::wstring& headline, const std::wstring& text,
                                  int64_t buttons, int64_t owner);
using PaneShellOpenFn = int (*)(const std::wstring& file, const std::wstring& params,
                                const std::wstring& folder);

extern PaneMessageFn PaneMessage;     // MessageDialog
extern PaneShellOpenFn PaneShellOpen; // pf_shell_open

// Shows an error message (kind 1, one button, owner window 0) with the pane
// caption "Achtung !".
void PaneError(const std::wstring& headline, const std::wstring& text);
