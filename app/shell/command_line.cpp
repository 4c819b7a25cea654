// The command line: see command_line.h.
#include "app/shell/command_line.h"

#include "app/core/answers.h"
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/panes/pane_cursor.h"
#include "app/panes/pane_hooks.h"
#include "app/panes/pane_location.h"
#include "app/panes/pane_texts.h"
#include "app/panes/panes.h"
#include "platform/terminal.h"
#include "runtime/files.h"
#include "runtime/program.h"
#include "runtime/text.h"
#include "toolkit/gadgets.h"

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr const wchar_t* NoTerminal =
    L"Es wurde kein Terminalprogramm gefunden, in dem der Befehl laufen könnte.\n"
    L"Setzen Sie die Umgebungsvariable TERMINAL oder installieren Sie eines.";

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t';
}

std::wstring Trimmed(const std::wstring& text) {
    size_t start = 0, end = text.size();
    while (start < end && IsBlank(text[start])) ++start;
    while (end > start && IsBlank(text[end - 1])) --end;
    return text.substr(start, end - start);
}

std::wstring HomeFolder() {
    const char* home = std::getenv("HOME");
    return home && *home ? rt_text_from_os(home) : std::wstring(L"/");
}

// The folder parts of path, with "." and ".." worked out by name.
std::wstring Normalised(const std::wstring& path) {
    std::vector<std::wstring> parts;
    for (size_t start = 0; start <= path.size();) {
        size_t slash = path.find(L'/', start);
        if (slash == std::wstring::npos) slash = path.size();
        const std::wstring part = path.substr(start, slash - start);
        if (part == L"..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != L".") {
            parts.push_back(part);
        }
        start = slash + 1;
    }
    std::wstring out = L"/";
    for (const std::wstring& part : parts) out += part + L"/";
    return out;
}

// "cd x": the pane goes to x when it is a folder, else the user is told.
void ChangeFolder(const std::wstring& argument) {
    const int64_t pane = App.ActivePane;
    const std::wstring target = CdTarget(PanePath(pane), argument, HomeFolder());
    auto is_folder = std::make_shared<bool>(false);
    AskAside(
        AskAnyTime, [is_folder, target] { *is_folder = rt_file_size(target) == RtSizeFolder; },
        [is_folder, target, argument, pane] {
            if (!*is_folder) {
                PaneError(PaneHeadlineError, PaneNoSuchFolder + target);
                return;
            }
            tk_gadget_set_text(GadCommandLine, L"");
            // Up, as ".." does: the cursor on the folder it came out of.
            const std::wstring here = PanePath(pane);
            SetPaneLocation(pane, target);
            if (here.size() > target.size() && here.compare(0, target.size(), target) == 0)
                WishCursorOn(pane, here.substr(target.size(),
                                               here.find(L'/', target.size()) - target.size()));
            ShowPath(pane, L"", ShowRefresh);
        });
}

} // namespace

bool CdArgument(const std::wstring& line, std::wstring* argument) {
    const std::wstring text = Trimmed(line);
    if (text.size() < 2 || text.compare(0, 2, L"cd") != 0) return false;
    if (text.size() > 2 && !IsBlank(text[2])) return false; // "cdrecord" is a program
    std::wstring arg = Trimmed(text.substr(2));
    if (arg.size() >= 2 && (arg.front() == L'"' || arg.front() == L'\'') &&
        arg.back() == arg.front())
        arg = arg.substr(1, arg.size() - 2);
    *argument = arg;
    return true;
}

std::wstring CdTarget(const std::wstring& folder, const std::wstring& argument,
                      const std::wstring& home) {
    std::wstring path;
    if (argument.empty() || argument == L"~")
        path = home;
    else if (argument.compare(0, 2, L"~/") == 0)
        path = home + L"/" + argument.substr(2);
    else if (argument.front() == L'/')
        path = argument;
    else
        path = folder + L"/" + argument;
    return Normalised(path);
}

void RunCommandLine(bool in_terminal) {
    const std::wstring line = tk_gadget_get_text(GadCommandLine);
    std::wstring argument;
    if (CdArgument(line, &argument)) return ChangeFolder(argument);
    if (Trimmed(line).empty()) return;
    const std::wstring folder = PanePath(App.ActivePane);
    tk_gadget_set_text(GadCommandLine, L""); // ready for the next command
    // A start on a hanging mount hangs with it: on a thread of its own.
    auto started = std::make_shared<bool>(false);
    AskAside(
        AskAnyTime,
        [started, line, folder, in_terminal] {
            *started = in_terminal ? pf_terminal_run(line, folder) : rt_command_run(line, folder);
        },
        [started, in_terminal] {
            if (!*started && in_terminal) PaneError(PaneHeadlineError, NoTerminal);
        });
}
