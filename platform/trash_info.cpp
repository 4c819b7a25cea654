// The trash's records and names: see trash_internal.h.
#include "platform/trash_internal.h"

#include <climits>
#include <cstring>

namespace {

constexpr std::string_view kGroup = "[Trash Info]";
constexpr std::string_view kInfoSuffix = ".trashinfo";
constexpr size_t kLongestExtension = 30; // bytes, dot included; longer is no extension

bool stays_plain(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           (c != 0 && std::strchr("/-_.!~*'()", c) != nullptr);
}

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// A cut at or before at that does not split a UTF-8 sequence.
size_t whole_characters(const std::string& s, size_t at) {
    while (at > 0 && at < s.size() && (static_cast<unsigned char>(s[at]) & 0xC0) == 0x80) --at;
    return at;
}

std::string_view trimmed_line(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

} // namespace

std::string pf_trash_encode(std::string_view bytes) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (stays_plain(c)) {
            out += ch;
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 0xF];
        }
    }
    return out;
}

bool pf_trash_decode(std::string_view text, std::string* out) {
    out->clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            *out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return false;
        const int high = hex_value(text[i + 1]), low = hex_value(text[i + 2]);
        if (high < 0 || low < 0) return false;
        *out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return true;
}

std::string pf_trash_name(const std::string& base, int n) {
    const size_t room = NAME_MAX - kInfoSuffix.size();
    if (n <= 1 && base.size() <= room) return base;
    const size_t dot = base.rfind('.');
    const bool has_ext =
        dot != std::string::npos && dot > 0 && base.size() - dot <= kLongestExtension;
    std::string stem = has_ext ? base.substr(0, dot) : base;
    const std::string ext = has_ext ? base.substr(dot) : std::string();
    const std::string suffix = n > 1 ? "." + std::to_string(n) : std::string();
    if (stem.size() + suffix.size() + ext.size() > room)
        stem.resize(whole_characters(stem, room - suffix.size() - ext.size()));
    return stem + suffix + ext;
}

std::string pf_trash_info_text(std::string_view path, time_t when) {
    struct tm local {};
    char date[32] = "";
    if (localtime_r(&when, &local)) strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    std::string text(kGroup);
    text += "\nPath=";
    text += pf_trash_encode(path);
    text += "\nDeletionDate=";
    text += date;
    text += '\n';
    return text;
}

bool pf_trash_info_parse(std::string_view text, std::string* path, std::string* date) {
    bool in_group = false, have_path = false;
    date->clear();
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = trimmed_line(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            if (in_group) break;
            in_group = line == kGroup;
        } else if (in_group && line.starts_with("Path=")) {
            have_path = pf_trash_decode(line.substr(5), path) && !path->empty();
        } else if (in_group && line.starts_with("DeletionDate=")) {
            *date = line.substr(13);
        }
    }
    return have_path;
}
