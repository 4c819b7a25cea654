// Small helpers for paths in OS bytes, shared by the runtime's file calls.
#pragma once
#include <string>
#include <string_view>

// Drops trailing "/" so that the last component names the entry itself (a
// trailing "/" would make the OS follow a link). "/" stays "/".
inline std::string rt_os_strip_slashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// The folder holding the entry a path names, without trailing "/": "." for
// a bare name, "/" for an entry in the root.
inline std::string rt_os_folder_of(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Everything up to and including the last "/"; empty for a bare name.
inline std::string rt_os_folder_part(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The last component of a path without trailing "/".
inline std::string_view rt_os_base_name(std::string_view path) {
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}
