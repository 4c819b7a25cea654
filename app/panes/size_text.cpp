// FormatSize: see size_text.h.
#include "app/panes/size_text.h"

#include "app/panes/pane_texts.h"
#include "runtime/numbers.h"

#include <algorithm>
#include <cmath>

std::wstring FormatSize(int64_t value, int64_t decimals_per_step, int64_t unit) {
    unit = std::clamp<int64_t>(unit, 0, int64_t(SizeUnitNames.size()) - 1);
    double scaled = double(value) / std::pow(1024.0, double(unit));
    int decimals = int(std::clamp<int64_t>(decimals_per_step * unit, 0, 64));
    return rt_format_number(scaled, decimals, L".", L",") + L" " + SizeUnitNames[size_t(unit)];
}
