// Running a command line in the desktop's terminal emulator (Shift+Return on
// the command line): the user sees its output and may answer it, and the
// window stays open with a shell after the command ended.
//
// The terminal is the first of: $TERMINAL, x-terminal-emulator (the
// distribution's choice), the terminals of the common desktops, xterm, found
// on the search path. Any thread; nothing waits for the terminal.
#pragma once

#include <string>
#include <vector>

// The terminal's program and the arguments that make it run argv after
// them; empty when none is installed.
std::vector<std::wstring> pf_terminal_command();
// Starts command (a /bin/sh command line) in folder inside the terminal. 1
// when the terminal was started.
int pf_terminal_run(const std::wstring& command, const std::wstring& folder);
