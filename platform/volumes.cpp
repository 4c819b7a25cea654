// Drives as mounted volumes: see volumes.h.
#include "platform/volumes.h"

#include "runtime/files.h"
#include "runtime/os_path.h"
#include "runtime/syscalls.h"

#include <QChar>
#include <algorithm>
#include <array>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <map>
#include <sstream>
#include <string_view>
#include <sys/statvfs.h>
#include <unistd.h>

#include "runtime/text.h"

namespace {

// One line of the mount table, escapes decoded, still in OS bytes.
struct MountLine {
    std::string source;
    std::string mount;
    std::string type;
};

// File systems reached over a network; they get kind "Netzwerk".
constexpr std::array<std::string_view, 9> kNetworkTypes = {
    "nfs", "nfs4", "cifs", "smb3", "sshfs", "fuse.sshfs", "davfs", "fuse.davfs", "9p"};

// Folders whose mounts are the system's own business, never drives.
constexpr std::array<std::string_view, 6> kHiddenTrees = {"/proc", "/sys",  "/dev",
                                                          "/boot", "/snap", "/run"};

bool is_network(const std::string& type) {
    return std::find(kNetworkTypes.begin(), kNetworkTypes.end(), type) != kNetworkTypes.end();
}

bool starts_with(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

bool is_below(std::string_view path, std::string_view tree) {
    return path == tree || starts_with(path, std::string(tree) + "/");
}

// The mount table writes blanks, tabs, line feeds and backslashes in paths as
// three-digit octal escapes ("\040").
std::string decode_octal(std::string_view field) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        const bool octal = field[i] == '\\' && i + 3 < field.size() &&
                           std::all_of(field.begin() + i + 1, field.begin() + i + 4,
                                       [](char c) { return c >= '0' && c <= '7'; });
        if (octal) {
            out.push_back(static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                            (field[i + 3] - '0')));
            i += 3;
        } else {
            out.push_back(field[i]);
        }
    }
    return out;
}

// udev names labels with unsafe characters written as "\xHH".
std::string decode_hex(std::string_view name) {
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' &&
            std::isxdigit(static_cast<unsigned char>(name[i + 2])) &&
            std::isxdigit(static_cast<unsigned char>(name[i + 3]))) {
            out.push_back(
                static_cast<char>(std::stoi(std::string(name.substr(i + 2, 2)), nullptr, 16)));
            i += 3;
        } else {
            out.push_back(name[i]);
        }
    }
    return out;
}

std::vector<MountLine> parse_lines(const std::string& text) {
    std::vector<MountLine> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        MountLine m;
        if (!(fields >> m.source >> m.mount >> m.type)) continue;
        m.source = decode_octal(m.source);
        m.mount = decode_octal(m.mount);
        if (m.mount.empty() || m.mount[0] != '/') continue;
        lines.push_back(std::move(m));
    }
    return lines;
}

// Whether a mount is a drive at all (kind decided later).
bool is_drive(const MountLine& m) {
    if (m.mount == "/") return true;
    if (!starts_with(m.mount, "/run/media/"))
        for (auto tree : kHiddenTrees)
            if (is_below(m.mount, tree)) return false;
    if (is_network(m.type)) return true;
    if (!starts_with(m.source, "/dev/")) return false;
    return !(starts_with(m.source, "/dev/loop") && m.type == "squashfs");
}

std::string base_name(const std::string& path) {
    return std::string(rt_os_base_name(path));
}

// Kernel name of the block device behind a source path ("/dev/mapper/x" is
// a link to "/dev/dm-0"); the path's own last component when it cannot be
// resolved, as in tests that name devices this machine lacks.
std::string device_name(const std::string& source) {
    char real[PATH_MAX];
    if (rt_sys.realpath(source.c_str(), real) && starts_with(real, "/dev/")) return base_name(real);
    return base_name(source);
}

// The first line of a small file such as a /sys flag; empty when unreadable.
std::string read_small_file(const std::string& path) {
    std::string s;
    if (!rt_file_read_all(rt_text_from_os(path), &s)) return {};
    return s.substr(0, s.find('\n'));
}

// Removable flag or a USB bus in the device's /sys entry, or in its parent
// disk's entry for a partition.
bool is_usb_device(const std::string& sys_root, const std::string& dev) {
    if (sys_root.empty()) return false;
    char real[PATH_MAX];
    const std::string entry = sys_root + "/class/block/" + dev;
    if (!rt_sys.realpath(entry.c_str(), real)) return false;
    const std::string dir = real;
    const std::string parent = rt_os_folder_of(dir);
    if (read_small_file(dir + "/removable") == "1") return true;
    if (read_small_file(parent + "/removable") == "1") return true;
    return dir.find("/usb") != std::string::npos;
}

// Label of a device from the by-label folder: the entry whose link points at
// a device of the same kernel name.
std::string label_of(const std::string& by_label_dir, const std::string& dev) {
    if (by_label_dir.empty()) return {};
    DIR* d = rt_sys.opendir(by_label_dir.c_str());
    if (!d) return {};
    std::string found;
    while (dirent* e = rt_sys.readdir(d)) {
        char target[PATH_MAX];
        const std::string link = by_label_dir + "/" + e->d_name;
        const ssize_t n = rt_sys.readlink(link.c_str(), target, sizeof target - 1);
        if (n <= 0) continue;
        if (base_name(std::string(target, static_cast<size_t>(n))) == dev) {
            found = decode_hex(e->d_name);
            break;
        }
    }
    rt_sys.closedir(d);
    return found;
}

std::wstring kind_of(const MountLine& m, const std::string& dev, const std::string& sys_root) {
    if (is_network(m.type)) return L"Netzwerk";
    if (m.type == "iso9660" || m.type == "udf" || starts_with(dev, "sr")) return L"CD Rom";
    if (m.mount == "/") return L"Hard Disk";
    if (is_usb_device(sys_root, dev)) return L"USB Laufwerk";
    return L"Hard Disk";
}

std::wstring upper_first(const std::wstring& text) {
    if (text.empty()) return {};
    return std::wstring(1, static_cast<wchar_t>(QChar::toUpper(static_cast<char32_t>(text[0]))));
}

PfVolume make_volume(const MountLine& m, const std::string& sys_root,
                     const std::string& by_label_dir) {
    PfVolume v;
    const bool block = starts_with(m.source, "/dev/");
    const std::string dev = block ? device_name(m.source) : std::string();
    v.mount = rt_text_from_os(m.mount == "/" ? m.mount : m.mount + "/");
    v.source = rt_text_from_os(m.source);
    v.fs_type = rt_text_from_os(m.type);
    v.kind = kind_of(m, dev, sys_root);
    std::string label = block ? label_of(by_label_dir, dev) : std::string();
    if (label.empty()) label = m.mount == "/" ? "/" : base_name(m.mount);
    v.label = rt_text_from_os(label);
    v.letter = m.mount == "/" ? L"/" : upper_first(v.label);
    return v;
}

// A later mount on the same point hides the earlier one; of two mounts of the
// same source only the shortest path stays ("/" always wins).
std::vector<MountLine> visible_drives(const std::vector<MountLine>& lines) {
    std::map<std::string, MountLine> by_mount;
    for (const auto& m : lines) by_mount[m.mount] = m;
    std::map<std::string, MountLine> by_source;
    for (const auto& [mount, m] : by_mount) {
        if (!is_drive(m)) continue;
        auto it = by_source.find(m.source);
        if (it == by_source.end() || m.mount.size() < it->second.mount.size())
            by_source[m.source] = m;
    }
    std::vector<MountLine> out;
    for (auto& [source, m] : by_source) out.push_back(m);
    return out;
}

} // namespace

std::vector<PfVolume> pf_volumes_parse(const std::string& mounts_text, const std::string& sys_root,
                                       const std::string& by_label_dir) {
    std::vector<PfVolume> volumes;
    for (const auto& m : visible_drives(parse_lines(mounts_text)))
        volumes.push_back(make_volume(m, sys_root, by_label_dir));
    std::sort(volumes.begin(), volumes.end(), [](const PfVolume& a, const PfVolume& b) {
        if ((a.mount == L"/") != (b.mount == L"/")) return a.mount == L"/";
        return a.mount < b.mount;
    });
    return volumes;
}

std::vector<PfVolume> pf_volumes_current() {
    std::string text;
    rt_file_read_all(L"/proc/self/mounts", &text);
    return pf_volumes_parse(text, "/sys", "/dev/disk/by-label");
}

int pf_disk_space(const std::wstring& path, int64_t* free_bytes, int64_t* total_bytes) {
    struct statvfs s;
    const bool ok = rt_sys.statvfs(rt_text_to_os(path).c_str(), &s) == 0;
    if (free_bytes) *free_bytes = ok ? static_cast<int64_t>(s.f_bavail * s.f_frsize) : 0;
    if (total_bytes) *total_bytes = ok ? static_cast<int64_t>(s.f_blocks * s.f_frsize) : 0;
    return ok ? 1 : 0;
}

int pf_volume_of_path(const std::vector<PfVolume>& volumes, const std::wstring& path) {
    const std::wstring folder = !path.empty() && path.back() == L'/' ? path : path + L"/";
    int best = -1;
    for (size_t i = 0; i < volumes.size(); ++i) {
        const std::wstring& m = volumes[i].mount;
        if (folder.compare(0, m.size(), m) != 0) continue;
        if (best < 0 || m.size() > volumes[static_cast<size_t>(best)].mount.size())
            best = static_cast<int>(i);
    }
    return best;
}
