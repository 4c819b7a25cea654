// Icon file lookup in freedesktop themes: see icon_theme.h.
#include "platform/icon_theme.h"

#include "runtime/syscalls.h"

#include <QSettings>
#include <QString>
#include <climits>
#include <map>
#include <memory>
#include <mutex>
#include <sys/stat.h>

namespace {

// One sub-folder of a theme as its index.theme describes it.
struct ThemeDir {
    std::string path; // folder relative to the theme, "32x32/mimetypes"
    int size;         // nominal pixel size
    bool scalable;    // Type=Scalable: one file serves a range of sizes
};

using ThemeIndex = std::vector<ThemeDir>;

// Reads index.theme with QSettings' INI reader, which is reentrant.
ThemeIndex read_index(const std::string& theme_path) {
    ThemeIndex index;
    QSettings ini(QString::fromStdString(theme_path + "/index.theme"), QSettings::IniFormat);
    const QStringList dirs = ini.value("Icon Theme/Directories").toStringList();
    for (const QString& dir : dirs) {
        ini.beginGroup(dir);
        const int size = ini.value("Size", 0).toInt();
        const bool scalable = ini.value("Type").toString() == "Scalable";
        ini.endGroup();
        if (size > 0) index.push_back({dir.toStdString(), size, scalable});
    }
    return index;
}

// Parsed index of a theme folder, read once per process.
const ThemeIndex& theme_index(const std::string& theme_path) {
    static std::mutex lock;
    static std::map<std::string, std::unique_ptr<ThemeIndex>> cache;
    std::lock_guard guard(lock);
    auto& slot = cache[theme_path];
    if (!slot) slot = std::make_unique<ThemeIndex>(read_index(theme_path));
    return *slot;
}

bool is_file(const std::string& path) {
    struct stat s;
    return rt_sys.stat(path.c_str(), &s) == 0 && S_ISREG(s.st_mode);
}

// How far a folder's size is from the one asked: sizes at least as large
// come first (upscaling blurs), nearest first; then smaller ones.
int size_distance(int have, int want) {
    return have >= want ? have - want : INT_MAX / 2 + (want - have);
}

// Best file of one name in one theme folder, "" when it has none.
std::string find_in_theme(const std::string& theme_path, const std::string& name, int size) {
    std::string best_png, best_svg;
    int png_distance = INT_MAX, svg_distance = INT_MAX;
    for (const ThemeDir& dir : theme_index(theme_path)) {
        const std::string stem = theme_path + "/" + dir.path + "/" + name;
        const int distance = dir.scalable ? INT_MAX / 4 : size_distance(dir.size, size);
        if (distance < png_distance && is_file(stem + ".png"))
            best_png = stem + ".png", png_distance = distance;
        if (distance < svg_distance && is_file(stem + ".svg"))
            best_svg = stem + ".svg", svg_distance = distance;
    }
    return best_png.empty() ? best_svg : best_png;
}

} // namespace

std::string pf_icon_theme_find(const std::vector<std::string>& roots,
                               const std::vector<std::string>& themes,
                               const std::vector<std::string>& names, int size) {
    for (const std::string& name : names) {
        if (name.empty()) continue;
        for (const std::string& theme : themes)
            for (const std::string& root : roots) {
                std::string file = find_in_theme(root + "/" + theme, name, size);
                if (!file.empty()) return file;
            }
    }
    return {};
}
