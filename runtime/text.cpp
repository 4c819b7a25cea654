// Lossless UTF-8 <-> UTF-32 conversion: see text.h.
#include "runtime/text.h"

namespace {

constexpr wchar_t kEscapeBase = 0xDC00;

// Length of the valid UTF-8 sequence at s[i], or 0 when it is not valid.
size_t utf8_sequence(std::string_view s, size_t i, char32_t* out) {
    const auto b = [&](size_t k) { return static_cast<unsigned char>(s[i + k]); };
    const unsigned char lead = b(0);
    if (lead < 0x80) {
        *out = lead;
        return 1;
    }
    size_t len;
    char32_t cp, min;
    if ((lead & 0xE0) == 0xC0)
        len = 2, cp = lead & 0x1F, min = 0x80;
    else if ((lead & 0xF0) == 0xE0)
        len = 3, cp = lead & 0x0F, min = 0x800;
    else if ((lead & 0xF8) == 0xF0)
        len = 4, cp = lead & 0x07, min = 0x10000;
    else
        return 0;
    if (i + len > s.size()) return 0;
    for (size_t k = 1; k < len; ++k) {
        if ((b(k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(k) & 0x3F);
    }
    // overlong forms, surrogates and values past U+10FFFF are not valid
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    *out = cp;
    return len;
}

std::wstring decode(std::string_view bytes, bool escape_controls) {
    std::wstring out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        char32_t cp;
        const size_t len = utf8_sequence(bytes, i, &cp);
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (len == 0 || (escape_controls && byte >= 0x01 && byte <= 0x1F)) {
            out.push_back(static_cast<wchar_t>(kEscapeBase + byte));
            ++i;
        } else {
            out.push_back(static_cast<wchar_t>(cp));
            i += len;
        }
    }
    return out;
}

void put_utf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string encode(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t wc : text) {
        const auto cp = static_cast<char32_t>(wc);
        const bool escaped_byte = (cp >= 0xDC80 && cp <= 0xDCFF) || (cp >= 0xDC01 && cp <= 0xDC1F);
        if (escaped_byte)
            out.push_back(static_cast<char>(cp - kEscapeBase));
        else if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
            put_utf8(out, 0xFFFD);
        else
            put_utf8(out, cp);
    }
    return out;
}

} // namespace

std::wstring rt_text_from_os(std::string_view bytes) {
    return decode(bytes, true);
}
std::string rt_text_to_os(std::wstring_view text) {
    return encode(text);
}
std::wstring rt_text_from_utf8(std::string_view bytes) {
    return decode(bytes, false);
}
std::string rt_text_to_utf8(std::wstring_view text) {
    return encode(text);
}

std::wstring rt_text_from_latin1(std::string_view bytes) {
    std::wstring out(bytes.size(), L'\0');
    for (size_t i = 0; i < bytes.size(); ++i) out[i] = static_cast<unsigned char>(bytes[i]);
    return out;
}

void rt_text_append_code_bytes(std::string& out, std::wstring_view text) {
    for (const wchar_t w : text) {
        const uint32_t c = static_cast<uint32_t>(w);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | ((c >> 18) & 0x07));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
}
