// Size texts: a byte count in one of the units Byte, KB, MB, GB, TB, PB, EB
// (each 1024 times the one before), with "," between groups of three digits
// and "." as decimal point, whatever the user's locale. Pure, any thread.
#pragma once

#include <cstdint>
#include <string>

// value / 1024^unit with decimals_per_step × unit decimals, a blank and the
// unit's name: (1234567, 0, 0) "1,234,567 Byte", (1234567, 0, 1) "1,206 KB".
// A unit outside 0..6 is taken as the nearest valid one. A value above 0
// that would round to 0 shows as the smallest shown step: (106, 0, 1)
// "1 KB", (10, 1, 2) "0.01 MB".
std::wstring FormatSize(int64_t value, int64_t decimals_per_step, int64_t unit);
// Appends FormatSize (value, 0, unit) to out: the same text, counted in whole
// numbers for the byte counts of real files (a listing writes one per row).
void AppendSizeText(std::wstring& out, int64_t value, int64_t unit);
