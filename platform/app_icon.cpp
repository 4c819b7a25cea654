// Program icons from desktop entries. See app_icon.h.
#include "platform/app_icon.h"

#include <gio/gio.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include "platform/icon_theme.h"
#include "platform/mime.h"
#include "runtime/syscalls.h"
#include "runtime/text.h"

namespace {

std::string RealPath(const std::string& path) {
    char buffer[PATH_MAX];
    return rt_sys.realpath(path.c_str(), buffer) ? std::string(buffer) : std::string();
}

// The real file behind a desktop entry's program (absolute, or on PATH).
std::string ProgramFile(GAppInfo* info) {
    const char* exe = g_app_info_get_executable(info);
    if (!exe || !*exe) return {};
    if (exe[0] == '/') return RealPath(exe);
    gchar* found = g_find_program_in_path(exe);
    if (!found) return {};
    std::string real = RealPath(found);
    g_free(found);
    return real;
}

std::vector<std::string> IconRoots() {
    std::vector<std::string> roots = {std::string(g_get_user_data_dir()) + "/icons"};
    for (const gchar* const* d = g_get_system_data_dirs(); *d; ++d)
        roots.push_back(std::string(*d) + "/icons");
    roots.push_back("/usr/share/icons");
    return roots;
}

// The picture file an icon stands for, empty when none is found.
std::string IconFile(GIcon* icon, int size) {
    if (G_IS_FILE_ICON(icon)) {
        gchar* p = g_file_get_path(g_file_icon_get_file(G_FILE_ICON(icon)));
        std::string file = p ? p : "";
        g_free(p);
        return file;
    }
    if (!G_IS_THEMED_ICON(icon)) return {};
    std::vector<std::string> names;
    for (const gchar* const* n = g_themed_icon_get_names(G_THEMED_ICON(icon)); n && *n; ++n) {
        if ((*n)[0] == '/') return *n;
        names.push_back(*n);
    }
    std::string file = pf_icon_theme_find(IconRoots(), {"Adwaita", "hicolor"}, names, size);
    for (const std::string& n : names)
        for (const char* ext : {".png", ".svg", ".xpm"}) {
            if (!file.empty()) return file;
            const std::string pixmap = "/usr/share/pixmaps/" + n + ext;
            if (rt_sys.access(pixmap.c_str(), R_OK) == 0) file = pixmap;
        }
    return file;
}

} // namespace

int pf_program_icon(const std::wstring& path, int size, std::vector<uint32_t>& rgba) {
    rgba.clear();
    const std::string os_path = rt_text_to_os(path);
    if (size <= 0 || rt_sys.access(os_path.c_str(), X_OK) != 0) return 0;
    const std::string real = RealPath(os_path);
    if (real.empty()) return 0;
    GList* apps = g_app_info_get_all();
    std::string file;
    for (GList* a = apps; a && file.empty(); a = a->next) {
        GAppInfo* info = G_APP_INFO(a->data);
        GIcon* icon = g_app_info_get_icon(info);
        if (icon && ProgramFile(info) == real) file = IconFile(icon, size);
    }
    g_list_free_full(apps, g_object_unref);
    return !file.empty() && pf_icon_file_pixels(file, size, rgba);
}
