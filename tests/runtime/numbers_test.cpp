// Number texts: rounding, grouping, special values and the integer and float
// readers.
#include "runtime/numbers.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
} // namespace

TEST(Numbers, FormatNumberGroupsAndRounds) {
    EXPECT_EQ(rt_format_number(1234567.891, 2, L",", L"."), L"1.234.567,89");
    EXPECT_EQ(rt_format_number(-123, 0, L".", L","), L"-123");
    EXPECT_EQ(rt_format_number(-123456, 0, L".", L","), L"-123,456"); // no separator after "-"
    EXPECT_EQ(rt_format_number(999.996, 2, L".", L","), L"1,000.00");
    EXPECT_EQ(rt_format_number(12.5, 0, L".", L","), L"12"); // printf: ties to even
    EXPECT_EQ(rt_format_number(1234, 1, L" Komma ", L"'"), L"1'234 Komma 0");
    EXPECT_EQ(rt_format_decimal(1234567.5, 1), L"1,234,567.5");
}

TEST(Numbers, FormatNumberClampsDecimals) {
    EXPECT_EQ(rt_format_number(3.7, -5, L".", L","), L"4");
    const std::wstring wide = rt_format_number(-1.7976931348623157e308, 10000, L".", L"");
    EXPECT_EQ(wide.size(), 1 + 309 + 1 + 512u);
}

TEST(Numbers, SpecialValuesAndNegativeZero) {
    EXPECT_EQ(rt_format_number(kInf, 2, L".", L","), L"+Infinity");
    EXPECT_EQ(rt_format_number(-kInf, 2, L".", L","), L"-Infinity");
    EXPECT_EQ(rt_format_number(kNaN, 2, L".", L","), L"NaN");
    EXPECT_EQ(rt_format_number(-0.0, 2, L".", L","), L"0.00");
    EXPECT_EQ(rt_format_number(-0.001, 2, L".", L","), L"0.00");
    EXPECT_EQ(rt_strf(std::numeric_limits<float>::infinity(), 2), L"+Infinity");
    EXPECT_EQ(rt_strf(-std::numeric_limits<float>::infinity(), -1), L"-Infinity");
    EXPECT_EQ(rt_strf(std::nanf(""), -1), L"NaN");
    EXPECT_EQ(rt_strf(-0.0f, -1), L"0");
    EXPECT_EQ(rt_strf(-0.0f, 2), L"0.00");
}

TEST(Numbers, StrfTrimsAutomaticDecimals) {
    EXPECT_EQ(rt_strf(1.5f, -1), L"1.5");
    EXPECT_EQ(rt_strf(2.0f, -1), L"2");
    EXPECT_EQ(rt_strf(-20.0f, -1), L"-20");
    EXPECT_EQ(rt_strf(0.1f, -1), L"0.1000000015"); // the float's own value, 10 decimals
    EXPECT_EQ(rt_strf(1.25f, 1), L"1.2");
    EXPECT_EQ(rt_strf(1.25f, -7), L"1");
}

TEST(Numbers, FloatToIntTruncates) {
    EXPECT_EQ(rt_float_to_int(2.9), 2);
    EXPECT_EQ(rt_float_to_int(-2.9), -2);
    EXPECT_EQ(rt_float_to_int(kInf), 0);
    EXPECT_EQ(rt_float_to_int(-kInf), 0);
    EXPECT_EQ(rt_float_to_int(kNaN), 0);
    EXPECT_EQ(rt_float_to_int(1e300), INT64_MAX);
    EXPECT_EQ(rt_float_to_int(-1e300), INT64_MIN);
}

TEST(Numbers, ValReadsDecimalHexAndBinary) {
    EXPECT_EQ(rt_val(L" -$1F"), -31);
    EXPECT_EQ(rt_val(L"\t$ff"), 255);
    EXPECT_EQ(rt_val(L"%101"), 5);
    EXPECT_EQ(rt_val(L"-%1012"), -5);
    EXPECT_EQ(rt_val(L"12abc"), 12);
    EXPECT_EQ(rt_val(L"9223372036854775807"), INT64_MAX);
    EXPECT_EQ(rt_val(L"-9223372036854775808"), INT64_MIN);
    for (const wchar_t* none : {L"", L"abc", L"-", L"$", L"%2", L"$G", L"\n5", L"- 5"})
        EXPECT_EQ(rt_val(none), 0) << none;
}

TEST(Numbers, ValfReadsEnglishFloats) {
    EXPECT_FLOAT_EQ(rt_valf(L"1.5"), 1.5f);
    EXPECT_FLOAT_EQ(rt_valf(L"  -2.25e2x"), -225.0f);
    EXPECT_FLOAT_EQ(rt_valf(L".5"), 0.5f);
    EXPECT_FLOAT_EQ(rt_valf(L"3e"), 3.0f);
    EXPECT_FLOAT_EQ(rt_valf(L"1,5"), 1.0f); // the comma is no decimal point
    EXPECT_EQ(rt_valf(L"+INFINITY"), std::numeric_limits<float>::infinity());
    EXPECT_EQ(rt_valf(L"-infinity"), -std::numeric_limits<float>::infinity());
    EXPECT_TRUE(std::isnan(rt_valf(L"nan")));
    for (const wchar_t* none : {L"", L"abc", L".", L"0x10", L"inf", L"-"})
        EXPECT_EQ(rt_valf(none), 0.0f) << none;
}
