// Number texts: integers and floats to text and back.
//
// Every conversion here is independent of the user's locale: the decimal
// point is "." unless a caller passes its own, and reading always takes "."
// as the decimal point. Infinities and not-a-number are spelt "+Infinity",
// "-Infinity" and "NaN" both ways. Negative zero (or a negative value that
// rounds to zero at the requested decimals) prints without a sign.
//
// Pure functions, safe from any thread; they allocate only the returned text.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Decimal text, "-" for negatives, no grouping.
std::wstring rt_str_from_int(int64_t value);

// x in fixed-point notation with `decimals` (clamped to 0-512) decimals,
// rounded as printf("%.*f") rounds; point replaces the ".", separator is put
// between every group of three integer digits. Either may be any text.
// 1234567.891, 2, L",", L"." gives "1.234.567,89".
std::wstring rt_format_number(double x, int decimals, std::wstring_view point,
                              std::wstring_view separator);

// rt_format_number with point "." and separator ",".
std::wstring rt_format_decimal(double x, int decimals);

// Truncation toward zero; infinities and not-a-number give 0, values beyond
// the 64-bit range give its nearest end.
int64_t rt_float_to_int(double x);

// Reads an integer: leading blanks and tabs, an optional sign, then "$" and
// hex digits, "%" and binary digits, or decimal digits, up to the first other
// character. No digits give 0. Overflow wraps modulo 2^64.
int64_t rt_val(std::wstring_view text);

// Reads a float with "." as the decimal point ("+Infinity", "-Infinity" and
// "NaN" in any case give those values); an unreadable text gives 0.
float rt_valf(std::wstring_view text);

// x with `decimals` decimals (clamped to 0-512); decimals -1 prints 10
// decimals and removes trailing zeros of the fraction, and the "." when
// nothing is left after it (1.5 gives "1.5", 2 gives "2").
std::wstring rt_strf(float x, int decimals);
