// Starting other programs: the viewer, the editor, the button bar's programs,
// the command line's text, and files handed to the desktop ("shell open").
//
// Every start is detached: the new process runs in its own session (a
// terminal hang-up or Ctrl+C aimed at us never reaches it), gets /dev/null as
// input, none of our other descriptors, default signal handling and our
// environment. Nobody waits for it, and it never lingers as a zombie: a tiny
// helper thread reaps it when it ends (see program.cpp for why).
//
// Parameters are split into arguments like shell words, without expansions:
// blanks and tabs separate; double quotes group ("a b" is one argument, ""
// an empty one); \" is a quote and \\ a backslash; every other character,
// single quotes and lone backslashes included, is itself. rt_program_quote
// makes one argument out of any text.
//
// Results: 1 when something was started, 0 when not. Nothing is shown; the
// caller decides what to tell the user. All calls may be made from any thread.
#pragma once
#include <string>
#include <vector>

// What opens a file that is no program: file, parameters, working folder;
// 1 when something was started.
using RtShellOpenFn = int (*)(const std::wstring& file, const std::wstring& params,
                              const std::wstring& folder);

// Installs the shell-open hook (nullptr: the built-in one). The platform
// layer installs one that asks the desktop's application database.
void rt_program_set_shell_open(RtShellOpenFn fn);

// The built-in hook: an executable regular file is started directly with the
// parameters; any other existing file (or URL) goes to "xdg-open file".
// Relative files are taken from folder. 0 for a file that does not exist.
int rt_program_shell_open_default(const std::wstring& file, const std::wstring& params,
                                  const std::wstring& folder);

// Starts program with params in folder ("" = our current folder). program is
// a path or a name looked up on PATH; when it begins with a double quote, it
// is split like params (so it may carry arguments of its own). A program that
// cannot be started (no such program, a document, a folder, not executable)
// goes to the shell-open hook, with the folder of program when folder is "".
int rt_program_run(const std::wstring& program, const std::wstring& params,
                   const std::wstring& folder);

// Runs command_line with /bin/sh -c in folder ("" = our current folder); 1
// when the shell was started (what the command then does is the shell's
// business).
int rt_command_run(const std::wstring& command_line, const std::wstring& folder = L"");

// A file name as a program argument, for a program started in the file's
// folder: a name that begins with "-" becomes "./" + name, so that the
// program sees a file and never an option ("-rf", "--help").
std::wstring rt_program_file_argument(const std::wstring& name);

// The arguments params stands for, by the rules above.
std::vector<std::wstring> rt_program_split_args(const std::wstring& params);
// One argument in double quotes, with " and \ escaped, that splits back into
// exactly text.
std::wstring rt_program_quote(const std::wstring& text);
