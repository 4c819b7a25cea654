// FormatSize: units, rounding and digit grouping.
#include "app/panes/size_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

TEST(SizeText, UnitsRoundingAndGrouping) {
    struct Case {
        int64_t value, unit;
        const wchar_t* text;
    };
    const Case cases[] = {
        {1234567, 0, L"1,234,567 Byte"},
        {1234567, 1, L"1,206 KB"},
        {0, 1, L"0 KB"},
        {0, 0, L"0 Byte"},
        {1023, 1, L"1 KB"},
        {1536, 1, L"2 KB"},
        {5LL * 1024 * 1024 * 1024, 3, L"5 GB"},
        {12345LL * 1024 * 1024, 2, L"12,345 MB"},
        {3LL << 60, 6, L"3 EB"},
        // something never reads as nothing: it rounds up to one of the unit
        {1, 1, L"1 KB"},
        {106, 1, L"1 KB"},
        {512, 1, L"1 KB"},
        {1, 2, L"1 MB"},
        {524288, 2, L"1 MB"},
        {1, 3, L"1 GB"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatSize(c.value, 0, c.unit), c.text) << c.value;
}

TEST(SizeText, DecimalsGrowPerUnitStepAndBadUnitsAreClamped) {
    EXPECT_EQ(FormatSize(1536, 1, 1), L"1.5 KB");
    EXPECT_EQ(FormatSize(1536, 1, 0), L"1,536 Byte");
    EXPECT_EQ(FormatSize(2048, 0, -3), L"2,048 Byte");
    EXPECT_EQ(FormatSize(1LL << 60, 0, 9), L"1 EB");
    EXPECT_EQ(FormatSize(10, 1, 2), L"0.01 MB"); // the smallest step shown
}

// The listing's whole-number road gives FormatSize's text, ties included
// (1.5 KB rounds to 2, 2.5 KB to 2, as "%.0f" does; 0.5 KB is never 0).
TEST(SizeText, AppendedTextsEqualFormatSize) {
    std::vector<int64_t> values = {0,
                                   1,
                                   511,
                                   512,
                                   513,
                                   1023,
                                   1024,
                                   1535,
                                   1536,
                                   2560,
                                   2561,
                                   999999,
                                   1000000,
                                   1048575,
                                   1048576,
                                   1572864,
                                   (int64_t(1) << 53) - 1,
                                   int64_t(1) << 53,
                                   INT64_MAX,
                                   -1,
                                   -1536};
    for (int64_t v = 1; v < (int64_t(1) << 40); v = v * 3 + 7) values.push_back(v);
    for (int64_t v : values)
        for (int64_t unit = -1; unit <= 7; ++unit) {
            std::wstring text = L"x";
            AppendSizeText(text, v, unit);
            EXPECT_EQ(L"x" + FormatSize(v, 0, unit), text) << v << " unit " << unit;
        }
}
