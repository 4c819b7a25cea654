// Wall-clock date values by plain calendar arithmetic: see dates.h.
#include "runtime/dates.h"

#include <ctime>

namespace {

constexpr int64_t kSecondsPerDay = 86400;
constexpr int64_t kLastDate = 2147483647; // 2038-01-19 03:14:07

bool is_leap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int days_in_month(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && is_leap(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to the given proleptic Gregorian date (month 1-12).
// The usual era-based count: years start in March so the leap day comes last.
int64_t days_from_civil(int64_t y, int m, int d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// Inverse of days_from_civil for days >= 0.
void civil_from_days(int64_t z, RtDateFields* f) {
    z += 719468;
    const int64_t era = z / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    f->year = static_cast<int>(yoe + era * 400 + (month <= 2));
    f->month = month;
    f->day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
}

wchar_t lower(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? c + (L'a' - L'A') : c;
}

// One mask token: "%" followed by `letters` copies of `letter`.
struct Token {
    wchar_t letter;
    int letters;
    int RtDateFields::*field;
};

// "%yyyy" comes before "%yy" so the longer token wins.
constexpr Token kTokens[] = {
    {L'y', 4, &RtDateFields::year},   {L'y', 2, &RtDateFields::year},
    {L'm', 2, &RtDateFields::month},  {L'd', 2, &RtDateFields::day},
    {L'h', 2, &RtDateFields::hour},   {L'i', 2, &RtDateFields::minute},
    {L's', 2, &RtDateFields::second},
};

// The token starting at mask[i] (which holds "%"), or nullptr.
const Token* token_at(std::wstring_view mask, size_t i) {
    for (const Token& t : kTokens) {
        if (i + 1 + t.letters > mask.size()) continue;
        bool match = true;
        for (int k = 1; k <= t.letters && match; ++k) match = lower(mask[i + k]) == t.letter;
        if (match) return &t;
    }
    return nullptr;
}

void append_padded(std::wstring& out, int value, int width) {
    std::wstring digits = std::to_wstring(value);
    if (digits.size() < static_cast<size_t>(width)) out.append(width - digits.size(), L'0');
    out += digits;
}

bool is_digit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

} // namespace

RtDateFields rt_date_split(int64_t value) {
    RtDateFields f;
    constexpr int64_t kYear10000 = 253402300800; // 10000-01-01 00:00:00
    if (value < 0 || value >= kYear10000) return f;
    civil_from_days(value / kSecondsPerDay, &f);
    const int64_t secs = value % kSecondsPerDay;
    f.hour = static_cast<int>(secs / 3600);
    f.minute = static_cast<int>(secs / 60 % 60);
    f.second = static_cast<int>(secs % 60);
    return f;
}

int64_t rt_date_make(int year, int month, int day, int hour, int minute, int second) {
    if (year < 1970 || year > 2038 || month < 1 || month > 12) return -1;
    if (day < 1 || day > days_in_month(year, month)) return -1;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return -1;
    const int64_t value =
        days_from_civil(year, month, day) * kSecondsPerDay + hour * 3600 + minute * 60 + second;
    return value > kLastDate ? -1 : value;
}

int64_t rt_date_now() {
    const time_t now = time(nullptr);
    struct tm local {};
    if (!localtime_r(&now, &local)) return -1;
    return rt_date_make(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                        local.tm_min, local.tm_sec);
}

std::wstring rt_format_date(std::wstring_view mask, int64_t value) {
    const RtDateFields f = rt_date_split(value);
    std::wstring out;
    out.reserve(mask.size() + 8);
    for (size_t i = 0; i < mask.size();) {
        const Token* t = mask[i] == L'%' ? token_at(mask, i) : nullptr;
        if (!t) {
            out.push_back(mask[i++]);
            continue;
        }
        const int v = f.*(t->field);
        // "%yy" shows the last two digits; every other token at least its width
        append_padded(out, t->letter == L'y' && t->letters == 2 ? v % 100 : v, t->letters);
        i += 1 + t->letters;
    }
    return out;
}

int64_t rt_parse_date(std::wstring_view mask, std::wstring_view text) {
    if (mask.empty() || text.empty()) return -1;
    RtDateFields f{1970, 1, 1, 0, 0, 0};
    size_t pos = 0;
    for (size_t i = 0; i < mask.size();) {
        const Token* t = mask[i] == L'%' ? token_at(mask, i) : nullptr;
        if (t) {
            const int max_digits = t->letters == 4 ? 4 : 2;
            int n = 0, digits = 0;
            for (; digits < max_digits && pos < text.size() && is_digit(text[pos]); ++digits)
                n = n * 10 + (text[pos++] - L'0');
            if (digits == 0) return -1;
            if (t->letter == L'y' && t->letters == 2) n += n < 70 ? 2000 : 1900;
            f.*(t->field) = n;
            i += 1 + t->letters;
        } else if (mask[i] == L'%' && i + 1 < mask.size()) {
            // an unknown "%x" stands for any one character of the text
            if (pos >= text.size()) return -1;
            ++pos;
            i += 2;
        } else {
            if (pos >= text.size() || text[pos] != mask[i]) return -1;
            ++pos;
            ++i;
        }
    }
    if (pos != text.size()) return -1;
    return rt_date_make(f.year, f.month, f.day, f.hour, f.minute, f.second);
}
