// FormatSize: units, rounding and digit grouping.
#include "app/panes/size_text.h"

#include <gtest/gtest.h>

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
    };
    for (const Case& c : cases) EXPECT_EQ(FormatSize(c.value, 0, c.unit), c.text) << c.value;
}

TEST(SizeText, DecimalsGrowPerUnitStepAndBadUnitsAreClamped) {
    EXPECT_EQ(FormatSize(1536, 1, 1), L"1.5 KB");
    EXPECT_EQ(FormatSize(1536, 1, 0), L"1,536 Byte");
    EXPECT_EQ(FormatSize(2048, 0, -3), L"2,048 Byte");
    EXPECT_EQ(FormatSize(1LL << 60, 0, 9), L"1 EB");
}
