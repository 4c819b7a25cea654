// The command line under the panes (gadget 19): Return runs its text in the
// active pane's folder, "cd" moves the active pane instead, Shift+Return runs
// the text in the desktop's terminal emulator, which stays open after the
// command ends. Main thread, except the pure helpers.
#pragma once

#include <cstdint>
#include <string>

// 1 when line is a "cd" command; argument gets what follows it, blanks around
// it and one pair of enclosing quotes removed ("" for a bare "cd"). Pure.
bool CdArgument(const std::wstring& line, std::wstring* argument);
// The folder "cd argument" leads to from folder (ending in "/"): "" and "~"
// are home, "~/x" lies in it, an absolute path is taken as it is, anything
// else counts from folder; "." and ".." are worked out by name, as the shell
// does, and the result ends in "/". Pure.
std::wstring CdTarget(const std::wstring& folder, const std::wstring& argument,
                      const std::wstring& home);

// Return in the command line: runs it, or moves the active pane for "cd".
// in_terminal: Shift+Return.
void RunCommandLine(bool in_terminal);
