// Shortcuts and linked folders: see links.h.
#include "platform/links.h"

#include "runtime/os_path.h"
#include "runtime/syscalls.h"

#include <cerrno>
#include <gio/gio.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "runtime/text.h"

namespace {

const std::string kShortcutPrefix = "Verknüpfung zu ";
const std::string kDesktopSuffix = ".desktop";

std::string without_final_slash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// Folds "//", "." and ".." by name. Links are not looked at, on purpose:
// the user reached the link through this path and expects to see it.
std::string normalise(const std::string& absolute) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= absolute.size()) {
        size_t end = absolute.find('/', start);
        if (end == std::string::npos) end = absolute.size();
        const std::string part = absolute.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string out;
    for (const auto& p : parts) out += "/" + p;
    return out.empty() ? "/" : out;
}

std::string absolute_from(const std::string& link_path, const std::string& target) {
    if (!target.empty() && target[0] == '/') return normalise(target);
    return normalise(rt_os_folder_of(link_path) + "/" + target);
}

std::string read_link_bytes(const std::string& path) {
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t n = rt_sys.readlink(path.c_str(), buffer.data(), buffer.size());
        if (n < 0) return {};
        if (static_cast<size_t>(n) < buffer.size()) return std::string(buffer.data(), size_t(n));
        buffer.resize(buffer.size() * 2);
    }
}

bool is_link(const std::string& path) {
    struct stat s;
    return rt_sys.lstat(path.c_str(), &s) == 0 && S_ISLNK(s.st_mode);
}

bool ends_with(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() &&
           s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The local path of a desktop entry of Type=Link with a file:// URL; the URL's
// percent escapes are decoded into the name's exact bytes.
std::string desktop_link_target(const std::string& path) {
    GKeyFile* file = g_key_file_new();
    std::string result;
    if (g_key_file_load_from_file(file, path.c_str(), G_KEY_FILE_NONE, nullptr)) {
        gchar* type = g_key_file_get_string(file, "Desktop Entry", "Type", nullptr);
        gchar* url = g_key_file_get_string(file, "Desktop Entry", "URL", nullptr);
        gchar* host = nullptr;
        gchar* local = type && url && g_str_equal(type, "Link")
                           ? g_filename_from_uri(url, &host, nullptr)
                           : nullptr;
        const bool here = !host || g_str_equal(host, "localhost");
        if (local && here) result = normalise(local);
        g_free(local), g_free(host), g_free(url), g_free(type);
    }
    g_key_file_free(file);
    return result;
}

} // namespace

int pf_is_shortcut(const std::wstring& path) {
    const std::string p = without_final_slash(rt_text_to_os(path));
    return is_link(p) || ends_with(p, kDesktopSuffix) ? 1 : 0;
}

std::wstring pf_resolve_shortcut(const std::wstring& path) {
    const std::string p = without_final_slash(rt_text_to_os(path));
    if (is_link(p)) return pf_read_link(path);
    if (!ends_with(p, kDesktopSuffix)) return {};
    return rt_text_from_os(desktop_link_target(p));
}

std::wstring pf_read_link(const std::wstring& path) {
    const std::string p = without_final_slash(rt_text_to_os(path));
    const std::string target = read_link_bytes(p);
    if (target.empty()) return {};
    return rt_text_from_os(absolute_from(p, target));
}

std::wstring pf_create_shortcut(const std::wstring& path) {
    const std::string p = without_final_slash(rt_text_to_os(path));
    const std::string name(rt_os_base_name(p));
    const std::string folder = rt_os_folder_part(p);
    if (name.empty()) {
        errno = EINVAL;
        return {};
    }
    struct stat s;
    if (rt_sys.lstat(p.c_str(), &s) != 0) return {}; // no shortcuts to nothing
    for (int n = 1; n < 1000; ++n) {
        const std::string suffix = n == 1 ? "" : " (" + std::to_string(n) + ")";
        const std::string link = folder + kShortcutPrefix + name + suffix;
        if (rt_sys.symlink(name.c_str(), link.c_str()) == 0) return rt_text_from_os(link);
        if (errno != EEXIST) return {};
    }
    return {};
}
