// Location texts and URIs of remote folders: see remote_location.h.
#include "platform/remote_location.h"

#include <array>
#include <cwctype>
#include <vector>

#include "runtime/text.h"

namespace {

// The schemes a pane can show, with the port a location leaves out.
struct Scheme {
    std::wstring_view name;
    int default_port;
    bool fold_host; // host names are case-blind; mtp device names are not
};
constexpr std::array<Scheme, 6> kSchemes{{
    {L"sftp", 22, true},
    {L"smb", 445, true},
    {L"dav", 80, true},
    {L"davs", 443, true},
    {L"ftp", 21, true},
    {L"mtp", 0, false},
}};

const Scheme* FindScheme(std::wstring_view name) {
    for (const Scheme& s : kSchemes) {
        if (s.name.size() != name.size()) continue;
        bool same = true;
        for (size_t i = 0; i < name.size() && same; ++i)
            same = std::towlower(static_cast<wint_t>(name[i])) == static_cast<wint_t>(s.name[i]);
        if (same) return &s;
    }
    return nullptr;
}

std::wstring Lower(std::wstring_view text) {
    std::wstring out(text);
    for (wchar_t& c : out) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return out;
}

// The four raw pieces of "scheme://userinfo@host:port/path".
template <class View> struct Pieces {
    View scheme, userinfo, hostport, path;
    bool has_userinfo = false;
};

template <class View> bool SplitPieces(View text, Pieces<View>* p) {
    const size_t colon = text.find(':');
    if (colon == View::npos || colon + 3 > text.size() || text[colon + 1] != '/' ||
        text[colon + 2] != '/')
        return false;
    p->scheme = text.substr(0, colon);
    View rest = text.substr(colon + 3);
    const size_t slash = rest.find('/');
    View authority = rest.substr(0, slash);
    p->path = slash == View::npos ? View() : rest.substr(slash);
    const size_t at = authority.rfind('@');
    p->has_userinfo = at != View::npos;
    p->userinfo = p->has_userinfo ? authority.substr(0, at) : View();
    p->hostport = p->has_userinfo ? authority.substr(at + 1) : authority;
    return true;
}

// Host and port of "host", "host:port" or "[v6]:port"; false for a bad port.
bool SplitHostPort(const std::wstring& hostport, std::wstring* host, int* port) {
    size_t end = hostport.size();
    if (!hostport.empty() && hostport[0] == L'[') {
        const size_t close = hostport.find(L']');
        if (close == std::wstring::npos) return false;
        end = close + 1;
        if (end < hostport.size() && hostport[end] != L':') return false;
    } else {
        const size_t colon = hostport.rfind(L':');
        if (colon != std::wstring::npos) end = colon;
    }
    *host = hostport.substr(0, end);
    *port = 0;
    const std::wstring digits = end < hostport.size() ? hostport.substr(end + 1) : L"";
    if (digits.empty()) return true; // "host" and "host:" alike
    if (digits.size() > 5) return false;
    for (wchar_t c : digits)
        if (c < L'0' || c > L'9') return false;
    *port = std::stoi(digits);
    return *port > 0 && *port <= 65535;
}

// A path from "/" with "//", "." and ".." folded by name; a final "/" (or a
// last "." or "..") keeps the path a folder's.
std::wstring FoldPath(std::wstring_view path) {
    std::vector<std::wstring_view> parts;
    bool folder = true;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(L'/', start);
        if (end == std::wstring_view::npos) end = path.size();
        const std::wstring_view part = path.substr(start, end - start);
        folder = part.empty() || part == L"." || part == L"..";
        if (part == L"..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != L".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::wstring out = L"/";
    for (size_t i = 0; i < parts.size(); ++i) {
        out += parts[i];
        if (i + 1 < parts.size() || folder) out += L'/';
    }
    return out;
}

// Fills out from the decoded pieces; false when they make no location.
bool Assemble(const std::wstring& scheme_text, const std::wstring& userinfo, bool has_userinfo,
              const std::wstring& hostport, const std::wstring& path, PfRemoteLocation* out) {
    const Scheme* scheme = FindScheme(scheme_text);
    if (!scheme) return false;
    PfRemoteLocation l;
    if (!SplitHostPort(hostport, &l.host, &l.port) || l.host.empty()) return false;
    if (scheme->fold_host) l.host = Lower(l.host);
    if (l.port == scheme->default_port) l.port = 0;
    l.scheme = std::wstring(scheme->name);
    if (has_userinfo) {
        const size_t colon = userinfo.find(L':');
        l.user = userinfo.substr(0, colon);
        if (colon != std::wstring::npos) l.password = userinfo.substr(colon + 1);
    }
    l.path = FoldPath(path);
    *out = std::move(l);
    return true;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Percent escapes turned back into bytes, then into text losslessly.
std::wstring Unescape(std::string_view s) {
    std::string bytes;
    bytes.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const int hi = s[i] == '%' && i + 2 < s.size() ? HexValue(s[i + 1]) : -1;
        const int lo = hi >= 0 ? HexValue(s[i + 2]) : -1;
        if (lo >= 0) {
            bytes += static_cast<char>(hi * 16 + lo);
            i += 2;
        } else {
            bytes += s[i];
        }
    }
    return rt_text_from_os(bytes);
}

// Bytes of text with every byte outside the unreserved characters and
// `allowed` written as %XX.
std::string Escape(std::wstring_view text, std::string_view allowed) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : rt_text_to_os(text)) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~' ||
                           (c && allowed.find(static_cast<char>(c)) != allowed.npos);
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

constexpr std::string_view kPathAllowed = "!$&'()*+,;=:@/";
constexpr std::string_view kUserAllowed = "!$&'()*+,;=";

} // namespace

int pf_remote_parse(std::wstring_view text, PfRemoteLocation* out) {
    Pieces<std::wstring_view> p;
    if (!SplitPieces(text, &p)) return 0;
    return Assemble(std::wstring(p.scheme), std::wstring(p.userinfo), p.has_userinfo,
                    std::wstring(p.hostport), std::wstring(p.path), out)
               ? 1
               : 0;
}

int pf_remote_parse_uri(std::string_view uri, PfRemoteLocation* out) {
    Pieces<std::string_view> p;
    if (!SplitPieces(uri, &p)) return 0;
    return Assemble(rt_text_from_os(p.scheme), Unescape(p.userinfo), p.has_userinfo,
                    Unescape(p.hostport), Unescape(p.path), out)
               ? 1
               : 0;
}

std::wstring pf_remote_text(const PfRemoteLocation& l) {
    std::wstring out = l.scheme + L"://";
    if (!l.user.empty()) out += l.user + L"@";
    out += l.host;
    if (l.port) out += L":" + std::to_wstring(l.port);
    out += l.path.empty() || l.path[0] != L'/' ? L"/" + l.path : l.path;
    return out;
}

std::string pf_remote_uri(const PfRemoteLocation& l) {
    std::string out = rt_text_to_os(l.scheme) + "://";
    if (!l.user.empty()) out += Escape(l.user, kUserAllowed) + "@";
    out += Escape(l.host, "[]:");
    if (l.port) {
        out += ':';
        out += std::to_string(l.port);
    }
    out += Escape(l.path.empty() || l.path[0] != L'/' ? L"/" + l.path : l.path, kPathAllowed);
    return out;
}

int pf_remote_is_location(std::wstring_view text) {
    const size_t colon = text.find(L':');
    return colon != std::wstring_view::npos && text.substr(colon).starts_with(L"://") &&
                   FindScheme(text.substr(0, colon))
               ? 1
               : 0;
}

std::wstring pf_remote_normalise(std::wstring_view text) {
    PfRemoteLocation l;
    return pf_remote_parse(text, &l) ? pf_remote_text(l) : std::wstring();
}

std::wstring pf_remote_parent(std::wstring_view text) {
    PfRemoteLocation l;
    if (!pf_remote_parse(text, &l) || l.path == L"/") return {};
    std::wstring path = l.path;
    if (path.back() == L'/') path.pop_back();
    path.erase(path.rfind(L'/') + 1);
    l.path = path;
    return pf_remote_text(l);
}

std::wstring pf_remote_root(std::wstring_view text) {
    PfRemoteLocation l;
    if (!pf_remote_parse(text, &l)) return {};
    l.path = L"/";
    return pf_remote_text(l);
}

std::wstring pf_remote_name(std::wstring_view text) {
    PfRemoteLocation l;
    if (!pf_remote_parse(text, &l) || l.path == L"/") return {};
    std::wstring path = l.path;
    if (path.back() == L'/') path.pop_back();
    return path.substr(path.rfind(L'/') + 1);
}

std::wstring pf_remote_child(std::wstring_view folder, std::wstring_view name) {
    std::wstring out(folder);
    if (out.empty() || out.back() != L'/') out += L'/';
    return out + std::wstring(name);
}

std::wstring pf_remote_key(std::wstring_view text) {
    std::wstring key = pf_remote_normalise(text);
    if (!key.empty() && key.back() == L'/') key.pop_back();
    return key;
}
