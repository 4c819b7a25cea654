// Program starts, the shell-open hook and the command line: see program.h.
#include "runtime/program.h"

#include "runtime/syscalls.h"

#include "runtime/files.h"
#include "runtime/spawn.h"
#include "runtime/text.h"

#include <atomic>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::atomic<RtShellOpenFn> shell_open_hook{nullptr};

std::vector<std::string> to_os(const std::vector<std::wstring>& words) {
    std::vector<std::string> out;
    for (const std::wstring& w : words) out.push_back(rt_text_to_os(w));
    return out;
}

// A relative path with a "/" means our current folder, not the child's.
std::wstring anchored(const std::wstring& program) {
    if (program.empty() || program[0] == L'/' || program.find(L'/') == std::wstring::npos)
        return program;
    return rt_dir_current() + program;
}

// The file a relative name in folder stands for (for looking at it only).
std::string located(const std::wstring& file, const std::wstring& folder) {
    if (file.empty() || file[0] == L'/' || folder.empty()) return rt_text_to_os(file);
    std::wstring path = folder;
    if (path.back() != L'/') path += L'/';
    return rt_text_to_os(path + file);
}

bool is_executable_file(const std::string& path) {
    struct stat st {};
    return rt_sys.stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           rt_sys.access(path.c_str(), X_OK) == 0;
}

bool looks_like_url(const std::wstring& text) {
    return text.find(L"://") != std::wstring::npos || text.rfind(L"mailto:", 0) == 0;
}

} // namespace

void rt_program_set_shell_open(RtShellOpenFn fn) {
    shell_open_hook = fn;
}

int rt_program_shell_open_default(const std::wstring& file, const std::wstring& params,
                                  const std::wstring& folder) {
    if (file.empty()) return 0;
    const std::string os_folder = rt_text_to_os(folder);
    const std::string path = located(file, folder);
    if (is_executable_file(path)) {
        std::vector<std::string> argv = to_os(rt_program_split_args(params));
        argv.insert(argv.begin(), path);
        if (rt_spawn_detached(argv, os_folder)) return 1;
    }
    // xdg-open would start and then fail where we cannot see it; a missing
    // file must not count as opened.
    struct stat st {};
    if (!looks_like_url(file) && rt_sys.lstat(path.c_str(), &st) != 0) return 0;
    return rt_spawn_detached({"xdg-open", path}, os_folder) ? 1 : 0;
}

int rt_program_run(const std::wstring& program, const std::wstring& params,
                   const std::wstring& folder) {
    std::vector<std::wstring> words;
    if (!program.empty() && program[0] == L'"') {
        words = rt_program_split_args(params.empty() ? program : program + L" " + params);
    } else {
        words = rt_program_split_args(params);
        words.insert(words.begin(), program);
    }
    if (words.empty() || words[0].empty()) return 0;
    words[0] = anchored(words[0]);
    if (rt_spawn_detached(to_os(words), rt_text_to_os(folder))) return 1;
    RtShellOpenFn hook = shell_open_hook.load();
    if (!hook) hook = rt_program_shell_open_default;
    const std::wstring& file = words[0];
    return hook(file, params, folder.empty() ? rt_path_part(file) : folder);
}

int rt_command_run(const std::wstring& command_line, const std::wstring& folder) {
    if (command_line.find_first_not_of(L" \t") == std::wstring::npos) return 0;
    return rt_spawn_detached({"/bin/sh", "-c", rt_text_to_os(command_line)}, rt_text_to_os(folder))
               ? 1
               : 0;
}

std::wstring rt_program_file_argument(const std::wstring& name) {
    return !name.empty() && name[0] == L'-' ? L"./" + name : name;
}

std::vector<std::wstring> rt_program_split_args(const std::wstring& params) {
    std::vector<std::wstring> args;
    std::wstring word;
    bool in_word = false, quoted = false;
    for (size_t i = 0; i < params.size(); ++i) {
        const wchar_t c = params[i];
        const wchar_t next = i + 1 < params.size() ? params[i + 1] : 0;
        if (c == L'\\' && (next == L'"' || next == L'\\')) {
            word += next;
            in_word = true;
            ++i;
        } else if (c == L'"') {
            quoted = !quoted;
            in_word = true; // "" is an argument of its own
        } else if (!quoted && (c == L' ' || c == L'\t')) {
            if (in_word) args.push_back(std::move(word));
            word.clear();
            in_word = false;
        } else {
            word += c;
            in_word = true;
        }
    }
    if (in_word) args.push_back(std::move(word));
    return args;
}

std::wstring rt_program_quote(const std::wstring& text) {
    std::wstring out = L"\"";
    for (const wchar_t c : text) {
        if (c == L'"' || c == L'\\') out += L'\\';
        out += c;
    }
    return out + L"\"";
}
