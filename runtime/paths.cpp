// Path splitting: see files.h. Only "/" separates; "\" is an ordinary
// character in a Linux name, so a name holding one is never cut apart.
#include "runtime/files.h"

#include <algorithm>

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

std::wstring rt_path_file_part(const std::wstring& path) {
    // after the last "/", or after an opening '"' of a bare quoted name
    const size_t slash = path.rfind(L'/');
    size_t start = slash == std::wstring::npos ? 0 : slash + 1;
    if (start == 0 && !path.empty() && path[0] == L'"') start = 1;
    const std::wstring_view name = std::wstring_view(path).substr(start);
    return std::wstring(name.substr(0, name.find(L'"')));
}

std::wstring rt_path_extension(const std::wstring& path) {
    const std::wstring name = rt_path_file_part(path);
    const size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos || dot == 0) return {};
    std::wstring extension = name.substr(dot + 1);
    if (extension.find(L' ') != std::wstring::npos) return {};
    return extension;
}
