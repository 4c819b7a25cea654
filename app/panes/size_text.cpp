// FormatSize: see size_text.h.
#include "app/panes/size_text.h"

#include "app/panes/pane_texts.h"
#include "runtime/numbers.h"

#include <algorithm>
#include <cmath>

namespace {

// Below this a byte count and its quotient by 1024^unit are exact doubles,
// so whole-number arithmetic rounds as the formatter does.
constexpr int64_t kExactBelow = int64_t(1) << 53;
constexpr int kUnitBits = 10; // 1024 = 2^10

int64_t ClampUnit(int64_t unit) {
    return std::clamp<int64_t>(unit, 0, int64_t(SizeUnitNames.size()) - 1);
}

} // namespace

std::wstring FormatSize(int64_t value, int64_t decimals_per_step, int64_t unit) {
    unit = ClampUnit(unit);
    double scaled = double(value) / std::pow(1024.0, double(unit));
    int decimals = int(std::clamp<int64_t>(decimals_per_step * unit, 0, 64));
    // Something is never shown as nothing: below the last shown digit it
    // counts as one of it ("1 KB" for 106 bytes).
    const double step = std::pow(10.0, -decimals);
    if (value > 0 && scaled < step) scaled = step;
    return rt_format_number(scaled, decimals, L".", L",") + L" " + SizeUnitNames[size_t(unit)];
}

void AppendSizeText(std::wstring& out, int64_t value, int64_t unit) {
    unit = ClampUnit(unit);
    if (value < 0 || value >= kExactBelow) {
        out += FormatSize(value, 0, unit);
        return;
    }
    // value / 2^shift rounded to the nearest whole number, ties to even, as
    // "%.0f" rounds the exact quotient
    const int shift = kUnitBits * static_cast<int>(unit);
    uint64_t whole = static_cast<uint64_t>(value) >> shift;
    if (shift > 0) {
        const uint64_t rest = static_cast<uint64_t>(value) & ((uint64_t(1) << shift) - 1);
        const uint64_t half = uint64_t(1) << (shift - 1);
        if (rest > half || (rest == half && (whole & 1))) ++whole;
    }
    if (value > 0 && whole == 0) whole = 1; // as FormatSize: never 0 for something
    wchar_t digits[32];
    int n = 0;
    do {
        if (n % 4 == 3) digits[n++] = L','; // a separator after every three digits
        digits[n++] = static_cast<wchar_t>(L'0' + whole % 10);
        whole /= 10;
    } while (whole);
    while (n) out += digits[--n];
    out += L' ';
    out += SizeUnitNames[static_cast<size_t>(unit)];
}
