// Reading and writing the lines of a preference file: see prefs_nodes.h.
#include "runtime/prefs_nodes.h"

#include "runtime/text.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trim_left(std::string_view s) {
    while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
    return s;
}

std::string_view trim_right(std::string_view s) {
    while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
    return s;
}

// ISO 8859-1 -> UTF-8, each byte at or above 128 as two bytes.
std::string latin1_to_utf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80) {
            out.push_back(ch);
        } else {
            out.push_back(static_cast<char>(0xC0 | (b >> 6)));
            out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
        }
    }
    return out;
}

// One line (without its line end, leading blanks already skipped) as a node.
PrefNode parse_line(std::string_view line) {
    if (line.front() == ';') {
        line.remove_prefix(1);
        if (!line.empty() && line.front() == ' ') line.remove_prefix(1);
        return {PrefNodeKind::Comment, std::string(line), {}};
    }
    if (line.front() == '[') {
        line.remove_prefix(1);
        return {PrefNodeKind::Group, std::string(line.substr(0, line.find(']'))), {}};
    }
    const size_t eq = line.find('=');
    const std::string_view key = trim_right(line.substr(0, eq));
    const std::string_view value =
        eq == std::string_view::npos ? std::string_view() : trim_left(line.substr(eq + 1));
    return {PrefNodeKind::Entry, std::string(key), std::string(value)};
}

// The escaped line breaks and the bytes that carry them in the file.
struct LineBreakEscape {
    wchar_t escaped;  // the character in texts
    const char* utf8; // generalized UTF-8 of that character
    wchar_t bytes[3]; // how rt_text_from_utf8 reads those (invalid) bytes back
};
constexpr LineBreakEscape kLineBreaks[] = {
    {0xDC0A, "\xED\xB0\x8A", {0xDCED, 0xDCB0, 0xDC8A}},
    {0xDC0D, "\xED\xB0\x8D", {0xDCED, 0xDCB0, 0xDC8D}},
};

const LineBreakEscape* line_break(wchar_t c) {
    if (c == L'\n' || c == 0xDC0A) return &kLineBreaks[0];
    if (c == L'\r' || c == 0xDC0D) return &kLineBreaks[1];
    return nullptr;
}

} // namespace

std::vector<PrefNode> pref_parse(std::string_view file_bytes) {
    std::string text;
    if (file_bytes.substr(0, 3) == kByteOrderMark)
        text = file_bytes.substr(3);
    else
        text = latin1_to_utf8(file_bytes);

    std::vector<PrefNode> nodes;
    std::string_view rest = text;
    while (!rest.empty()) {
        const size_t end = rest.find_first_of("\r\n");
        const std::string_view line = trim_left(rest.substr(0, end));
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (!line.empty()) nodes.push_back(parse_line(line));
    }
    return nodes;
}

std::string pref_serialize(const std::vector<PrefNode>& nodes) {
    std::string out(kByteOrderMark);
    out += kLineEnd;
    for (const PrefNode& n : nodes) {
        switch (n.kind) {
        case PrefNodeKind::Group: out += "[" + n.name + "]"; break;
        case PrefNodeKind::Comment: out += "; " + n.name; break;
        case PrefNodeKind::Entry: out += n.name + " = " + n.value; break;
        }
        out += kLineEnd;
    }
    return out;
}

bool pref_same_name(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    for (size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i])) return false;
    return true;
}

std::string pref_text_to_utf8(std::wstring_view text) {
    std::string out;
    size_t plain = 0; // start of the run not yet converted
    for (size_t i = 0; i < text.size(); ++i) {
        const LineBreakEscape* esc = line_break(text[i]);
        if (!esc) continue;
        out += rt_text_to_utf8(text.substr(plain, i - plain));
        out += esc->utf8;
        plain = i + 1;
    }
    out += rt_text_to_utf8(text.substr(plain));
    return out;
}

std::wstring pref_text_from_utf8(std::string_view bytes) {
    std::wstring text = rt_text_from_utf8(bytes);
    for (const LineBreakEscape& esc : kLineBreaks) {
        const std::wstring_view seq(esc.bytes, 3);
        for (size_t at = text.find(seq); at != std::wstring::npos; at = text.find(seq, at + 1))
            text.replace(at, 3, 1, esc.escaped);
    }
    return text;
}
