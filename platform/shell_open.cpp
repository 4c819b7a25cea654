// Opening files with the desktop's applications: see shell_open.h.
#include "platform/shell_open.h"

#include "runtime/syscalls.h"

#include <array>
#include <cerrno>
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h>

#include "runtime/program.h"
#include "runtime/spawn.h"
#include "runtime/text.h"

namespace {

// Editors tried in this order when the desktop names none for plain text.
constexpr std::array<const char*, 10> kEditors = {
    "gnome-text-editor", "gedit", "kate",   "kwrite", "mousepad", "xed", "pluma",
    "featherpad",        "geany", "leafpad"};

// Runs in the new process just before exec: a session of its own, so the
// program outlives us and our terminal, and the working folder when one is
// given (data is that folder's path, or null).
void detach_child(gpointer data) {
    rt_sys.setsid();
    if (data && rt_sys.chdir(static_cast<const char*>(data)) != 0) {
    }
}

// Waits for a launched application on a small thread of its own, as the
// runtime does for its program starts: GLib's own way out, a double fork,
// leaves the reaping to the init process, which inside some containers never
// does it.
void reap_child(GDesktopAppInfo*, GPid pid, gpointer) {
    try {
        std::thread([pid] {
            int status;
            while (rt_sys.waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    } catch (const std::system_error&) {
        // no thread to spare: the child stays a zombie until we exit
    }
}

bool is_executable_file(const std::string& path) {
    struct stat s;
    return rt_sys.stat(path.c_str(), &s) == 0 && S_ISREG(s.st_mode) &&
           rt_sys.access(path.c_str(), X_OK) == 0;
}

bool exists(const std::string& path) {
    struct stat s;
    return rt_sys.lstat(path.c_str(), &s) == 0;
}

// The file a name stands for: relative names count from folder, or from our
// current folder when none is given, as program starts do.
std::string located(const std::string& file, const std::string& folder) {
    if (file[0] == '/') return file;
    std::string base = folder;
    if (base.empty()) {
        gchar* cwd = g_get_current_dir();
        base = cwd;
        g_free(cwd);
    }
    return base.back() == '/' ? base + file : base + "/" + file;
}

// A program started directly, its parameters split by the same rules as every
// other program start (a quoted file name with blanks stays one argument).
bool start_program(const std::string& program, const std::wstring& params,
                   const std::string& folder) {
    std::vector<std::string> argv = {program};
    for (const std::wstring& word : rt_program_split_args(params))
        argv.push_back(rt_text_to_os(word));
    return rt_spawn_detached(argv, folder);
}

bool looks_like_url(const std::string& text) {
    return text.find("://") != std::string::npos || text.rfind("mailto:", 0) == 0;
}

// MIME type of a file as GIO sees it (contents and name); by name alone when
// the file cannot be read.
std::string content_type_of(GFile* file) {
    std::string type;
    GFileInfo* info = g_file_query_info(file, G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE,
                                        G_FILE_QUERY_INFO_NONE, nullptr, nullptr);
    if (info && g_file_info_get_content_type(info)) type = g_file_info_get_content_type(info);
    if (info) g_object_unref(info);
    if (!type.empty()) return type;
    gchar* name = g_file_get_basename(file);
    gchar* guess = g_content_type_guess(name, nullptr, 0, nullptr);
    type = guess ? guess : "";
    g_free(guess), g_free(name);
    return type;
}

// Launches app with one file. A desktop application whose entry sets no
// working folder of its own is started in folder.
bool launch_app(GAppInfo* app, GFile* file, const std::string& folder) {
    GList files = {file, nullptr, nullptr};
    if (!G_IS_DESKTOP_APP_INFO(app)) return g_app_info_launch(app, &files, nullptr, nullptr);
    GDesktopAppInfo* desktop = G_DESKTOP_APP_INFO(app);
    gchar* own_path = g_desktop_app_info_get_string(desktop, "Path");
    const bool use_folder = !folder.empty() && !(own_path && *own_path);
    g_free(own_path);
    gchar* uri = g_file_get_uri(file);
    GList uris = {uri, nullptr, nullptr};
    const bool ok = g_desktop_app_info_launch_uris_as_manager(
        desktop, &uris, nullptr, GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD),
        detach_child, use_folder ? const_cast<char*>(folder.c_str()) : nullptr, reap_child, nullptr,
        nullptr);
    g_free(uri);
    return ok;
}

// Opens a local file with the application for its type, or a URL with the
// handler of its scheme.
bool open_with_default_app(const std::string& path, const std::string& folder, bool url) {
    GFile* file = url ? g_file_new_for_uri(path.c_str()) : g_file_new_for_path(path.c_str());
    bool ok = false;
    gchar* scheme = url ? g_uri_parse_scheme(path.c_str()) : nullptr;
    GAppInfo* app = url ? (scheme ? g_app_info_get_default_for_uri_scheme(scheme) : nullptr)
                        : g_app_info_get_default_for_type(content_type_of(file).c_str(), FALSE);
    g_free(scheme);
    if (app) {
        ok = launch_app(app, file, folder);
        g_object_unref(app);
    }
    g_object_unref(file);
    return ok;
}

std::string find_program(const std::string& name) {
    gchar* found = g_find_program_in_path(name.c_str());
    std::string out = found ? found : "";
    g_free(found);
    return out;
}

// A desktop entry marked Terminal=true is a console program.
bool runs_in_terminal(GAppInfo* app) {
    return G_IS_DESKTOP_APP_INFO(app) &&
           g_desktop_app_info_get_boolean(G_DESKTOP_APP_INFO(app), "Terminal");
}

} // namespace

int pf_shell_open(const std::wstring& file, const std::wstring& params,
                  const std::wstring& folder) {
    if (file.empty()) return 0;
    const std::string name = rt_text_to_os(file);
    const std::string cwd = rt_text_to_os(folder);
    if (looks_like_url(name)) {
        if (open_with_default_app(name, cwd, true)) return 1;
        return rt_spawn_detached({"xdg-open", name}, cwd) ? 1 : 0;
    }
    const std::string path = located(name, cwd);
    // A file marked executable may still be no program (everything on a FAT
    // stick is marked so); when it does not start, it is opened like a document.
    if (is_executable_file(path) && start_program(path, params, cwd)) return 1;
    if (!exists(path)) return 0;
    if (open_with_default_app(path, cwd, false)) return 1;
    return rt_spawn_detached({"xdg-open", path}, cwd) ? 1 : 0;
}

void pf_shell_open_install() {
    rt_program_set_shell_open(pf_shell_open);
}

int pf_open_document(const std::wstring& path, const std::wstring& folder) {
    if (path.empty()) return 0;
    const std::string cwd = rt_text_to_os(folder);
    const std::string file = located(rt_text_to_os(path), cwd);
    if (!exists(file)) return 0;
    if (open_with_default_app(file, cwd, false)) return 1;
    return rt_spawn_detached({"xdg-open", file}, cwd) ? 1 : 0;
}

std::wstring pf_graphical_program_for_type(const std::string& type) {
    // The desktop's choice first, then the others it knows for the type; a
    // console program would need a terminal we do not have.
    GList* apps = g_app_info_get_all_for_type(type.c_str());
    if (GAppInfo* def = g_app_info_get_default_for_type(type.c_str(), FALSE))
        apps = g_list_prepend(apps, def);
    std::string program;
    for (GList* l = apps; l && program.empty(); l = l->next) {
        GAppInfo* app = G_APP_INFO(l->data);
        if (runs_in_terminal(app)) continue;
        const char* exe = g_app_info_get_executable(app);
        if (!exe || !*exe) continue;
        const std::string full = find_program(exe);
        program = full.empty() ? exe : full;
    }
    g_list_free_full(apps, g_object_unref);
    return rt_text_from_os(program);
}

std::wstring pf_editor_program() {
    const std::wstring program = pf_graphical_program_for_type("text/plain");
    if (!program.empty()) return program;
    for (const char* editor : kEditors) {
        const std::string full = find_program(editor);
        if (!full.empty()) return rt_text_from_os(full);
    }
    return L"xdg-open";
}

std::vector<PfApp> pf_apps_for_type(const std::wstring& path) {
    GFile* file = g_file_new_for_path(rt_text_to_os(path).c_str());
    const std::string type = content_type_of(file);
    g_object_unref(file);
    std::vector<PfApp> apps;
    if (type.empty()) return apps;
    GAppInfo* def = g_app_info_get_default_for_type(type.c_str(), FALSE);
    const std::string def_id = def && g_app_info_get_id(def) ? g_app_info_get_id(def) : "";
    GList* all = g_app_info_get_all_for_type(type.c_str());
    if (def) all = g_list_prepend(all, def);
    for (GList* l = all; l; l = l->next) {
        GAppInfo* app = G_APP_INFO(l->data);
        const char* id = g_app_info_get_id(app);
        if (!id || (l != all && def && def_id == id)) continue; // default listed once, first
        apps.push_back({rt_text_from_utf8(g_app_info_get_name(app)), rt_text_from_utf8(id)});
    }
    g_list_free_full(all, g_object_unref);
    return apps;
}

int pf_app_launch(const std::wstring& id, const std::wstring& path) {
    GDesktopAppInfo* app = g_desktop_app_info_new(rt_text_to_utf8(id).c_str());
    if (!app) return 0;
    GFile* file = g_file_new_for_path(rt_text_to_os(path).c_str());
    const bool ok = launch_app(G_APP_INFO(app), file, "");
    g_object_unref(file);
    g_object_unref(app);
    return ok ? 1 : 0;
}
