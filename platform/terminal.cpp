// The terminal emulator: see terminal.h.
#include "platform/terminal.h"

#include "runtime/program.h"
#include "runtime/text.h"

#include <cstdlib>
#include <glib.h>

namespace {

// Known terminals with the option after which the command's words follow.
struct Terminal {
    const char* program;
    const char* run; // nullptr: the words follow the program itself
};
constexpr Terminal kTerminals[] = {
    {"x-terminal-emulator", "-e"},
    {"gnome-terminal", "--"},
    {"konsole", "-e"},
    {"xfce4-terminal", "-x"},
    {"mate-terminal", "-x"},
    {"lxterminal", "-e"},
    {"tilix", "-e"},
    {"terminator", "-x"},
    {"alacritty", "-e"},
    {"kitty", nullptr},
    {"foot", nullptr},
    {"xterm", "-e"},
};

std::wstring found(const char* name) {
    gchar* path = g_find_program_in_path(name);
    std::wstring out = path ? rt_text_from_os(path) : std::wstring();
    g_free(path);
    return out;
}

// The shell that runs the command and then stays for the user: the window
// must not vanish with the output the user opened it to see.
constexpr const wchar_t* kKeepOpen = L"eval \"$0\"; exec \"${SHELL:-/bin/sh}\"";

} // namespace

std::vector<std::wstring> pf_terminal_command() {
    // $TERMINAL names the user's own choice; it takes the common "-e".
    if (const char* own = std::getenv("TERMINAL"); own && *own) {
        const std::wstring path = found(own);
        if (!path.empty()) return {path, L"-e"};
    }
    for (const Terminal& t : kTerminals) {
        const std::wstring path = found(t.program);
        if (path.empty()) continue;
        if (!t.run) return {path};
        return {path, rt_text_from_os(t.run)};
    }
    return {};
}

int pf_terminal_run(const std::wstring& command, const std::wstring& folder) {
    const std::vector<std::wstring> terminal = pf_terminal_command();
    if (terminal.empty()) return 0;
    std::wstring params;
    for (size_t i = 1; i < terminal.size(); ++i) params += terminal[i] + L" ";
    params += L"/bin/sh -c " + rt_program_quote(kKeepOpen) + L" " + rt_program_quote(command);
    return rt_program_run(terminal[0], params, folder);
}
