// Locale-independent number texts: see numbers.h.
#include "runtime/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <stdlib.h>

namespace {

constexpr int kMaxDecimals = 512;
// sign + 309 integer digits of the largest double + "." + 512 decimals
constexpr size_t kFixedBufferSize = 1 + 309 + 1 + kMaxDecimals + 16;

// Text for infinities and not-a-number, or nullptr for finite x.
const wchar_t* special_text(double x) {
    if (std::isnan(x)) return L"NaN";
    if (std::isinf(x)) return x > 0 ? L"+Infinity" : L"-Infinity";
    return nullptr;
}

// x (finite) in fixed-point notation as plain ASCII. std::to_chars rounds the
// exact binary value like printf does, without looking at any locale. A
// minus sign in front of nothing but zeros is dropped.
std::string fixed_ascii(double x, int decimals) {
    if (decimals < 0) decimals = 0;
    if (decimals > kMaxDecimals) decimals = kMaxDecimals;
    char buf[kFixedBufferSize];
    const auto res = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, decimals);
    std::string out(buf, res.ptr);
    if (!out.empty() && out[0] == '-' && out.find_first_not_of("0.", 1) == std::string::npos)
        out.erase(0, 1);
    return out;
}

std::wstring widen(std::string_view ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

int digit_value(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return 99;
}

bool equals_ascii_nocase(std::wstring_view text, std::string_view word) {
    if (text.size() != word.size()) return false;
    for (size_t i = 0; i < word.size(); ++i) {
        wchar_t c = text[i];
        if (c >= L'A' && c <= L'Z') c += L'a' - L'A';
        char w = word[i];
        if (w >= 'A' && w <= 'Z') w += 'a' - 'A';
        if (c != static_cast<unsigned char>(w)) return false;
    }
    return true;
}

// The longest prefix of text (after leading white space) that has the shape
// of a decimal float: sign, digits, ".", digits, exponent. Words such as
// "inf" and hexadecimal forms are left out on purpose.
std::string decimal_float_prefix(std::wstring_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
    std::string out;
    const auto take_digits = [&] {
        size_t n = 0;
        for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i, ++n)
            out.push_back(static_cast<char>(text[i]));
        return n;
    };
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) out.push_back(char(text[i++]));
    size_t digits = take_digits();
    if (i < text.size() && text[i] == L'.') {
        out.push_back('.');
        ++i;
        digits += take_digits();
    }
    if (digits == 0) return {};
    if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
        const size_t mark = i;
        const size_t kept = out.size();
        out.push_back('e');
        ++i;
        if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) out.push_back(char(text[i++]));
        if (take_digits() == 0) out.resize(kept), i = mark; // "1e" is just "1"
    }
    return out;
}

// A "C" locale made once; strtof_l with it never sees the user's settings.
locale_t c_locale() {
    static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return loc;
}

} // namespace

std::wstring rt_str_from_int(int64_t value) {
    return std::to_wstring(value);
}

std::wstring rt_format_number(double x, int decimals, std::wstring_view point,
                              std::wstring_view separator) {
    if (const wchar_t* special = special_text(x)) return special;
    const std::string ascii = fixed_ascii(x, decimals);
    const size_t sign = ascii[0] == '-' ? 1 : 0;
    const size_t dot = ascii.find('.');
    const size_t int_end = dot == std::string::npos ? ascii.size() : dot;
    std::wstring out;
    out.reserve(ascii.size() * (1 + separator.size()) + point.size());
    out.append(ascii.begin(), ascii.begin() + sign);
    for (size_t i = sign; i < int_end; ++i) {
        // a separator before every digit whose distance from the end is a multiple of 3
        if (i > sign && (int_end - i) % 3 == 0) out += separator;
        out.push_back(ascii[i]);
    }
    if (dot != std::string::npos) {
        out += point;
        out.append(ascii.begin() + dot + 1, ascii.end());
    }
    return out;
}

std::wstring rt_format_decimal(double x, int decimals) {
    return rt_format_number(x, decimals, L".", L",");
}

int64_t rt_float_to_int(double x) {
    if (std::isnan(x) || std::isinf(x)) return 0;
    // 2^63 is exactly representable; anything at or past it does not fit
    constexpr double kLimit = 9223372036854775808.0;
    if (x >= kLimit) return INT64_MAX;
    if (x < -kLimit) return INT64_MIN;
    return static_cast<int64_t>(x);
}

int64_t rt_val(std::wstring_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
    unsigned base = 10;
    if (i < text.size() && text[i] == L'$')
        base = 16, ++i;
    else if (i < text.size() && text[i] == L'%')
        base = 2, ++i;
    // unsigned arithmetic: overflow wraps instead of being undefined
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const int d = digit_value(text[i]);
        if (d >= static_cast<int>(base)) break;
        value = value * base + static_cast<unsigned>(d);
    }
    return static_cast<int64_t>(negative ? 0 - value : value);
}

float rt_valf(std::wstring_view text) {
    if (equals_ascii_nocase(text, "+infinity")) return HUGE_VALF;
    if (equals_ascii_nocase(text, "-infinity")) return -HUGE_VALF;
    if (equals_ascii_nocase(text, "nan")) return NAN;
    const std::string number = decimal_float_prefix(text);
    if (number.empty()) return 0;
    return strtof_l(number.c_str(), nullptr, c_locale());
}

std::wstring rt_strf(float x, int decimals) {
    if (const wchar_t* special = special_text(x)) return special;
    if (decimals != -1) return widen(fixed_ascii(x, decimals));
    std::string ascii = fixed_ascii(x, 10);
    ascii.erase(ascii.find_last_not_of('0') + 1);
    if (ascii.back() == '.') ascii.pop_back();
    return widen(ascii);
}
