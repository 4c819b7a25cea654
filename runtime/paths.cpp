// Path splitting: see files.h. Only "/" separates; "\" is an ordinary
// character in a Linux name, so a name holding one is never cut apart.
#include "runtime/files.h"

#include <algorithm>
#include <string_view>

std::wstring rt_path_part(const std::wstring& path) {
    // A "|" ends the path: requester texts carry a pattern list after it.
    const size_t start = !path.empty() && path[0] == L'"' ? 1 : 0;
    const size_t end = std::min(path.find(L'|', start), path.size());
    const std::wstring_view scope = std::wstring_view(path).substr(start, end - start);
    const size_t slash = scope.rfind(L'/');
    if (slash == std::wstring_view::npos) return {};
    return std::wstring(scope.substr(0, slash + 1));
}

std::wstring rt_path_folder(const std::wstring& path) {
    const size_t slash = path.rfind(L'/');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::wstring rt_path_name(const std::wstring& path) {
    const size_t slash = path.rfind(L'/');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

namespace {

// The file part of path as a view into it (see rt_path_file_part).
std::wstring_view FilePart(std::wstring_view path) {
    // after the last "/", or after an opening '"' of a bare quoted name
    const size_t slash = path.rfind(L'/');
    size_t start = slash == std::wstring_view::npos ? 0 : slash + 1;
    if (start == 0 && !path.empty() && path[0] == L'"') start = 1;
    const std::wstring_view name = path.substr(start);
    return name.substr(0, name.find(L'"'));
}

} // namespace

std::wstring rt_path_file_part(const std::wstring& path) {
    return std::wstring(FilePart(path));
}

std::wstring_view rt_path_extension_of(std::wstring_view path) {
    const std::wstring_view name = FilePart(path);
    const size_t dot = name.rfind(L'.');
    if (dot == std::wstring_view::npos || dot == 0) return {};
    const std::wstring_view extension = name.substr(dot + 1);
    if (extension.find(L' ') != std::wstring_view::npos) return {};
    return extension;
}

std::wstring rt_path_extension(const std::wstring& path) {
    return std::wstring(rt_path_extension_of(path));
}
