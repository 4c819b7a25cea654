// Date values are wall-clock counts: the same fields give the same value and
// the same texts under every time zone, and the clock follows TZ.
#include "runtime/dates.h"

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <string>

namespace {

// Sets TZ for the lifetime of the object and restores the old value.
class ScopedTz {
  public:
    explicit ScopedTz(const char* tz) {
        const char* old = getenv("TZ");
        had_old_ = old != nullptr;
        if (had_old_) old_ = old;
        setenv("TZ", tz, 1);
        tzset();
    }
    ~ScopedTz() {
        if (had_old_)
            setenv("TZ", old_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

  private:
    bool had_old_ = false;
    std::string old_;
};

const wchar_t* kPaneMask = L"%dd.%mm.%yyyy  %hh:%ii:%ss";

} // namespace

TEST(Dates, MakeCountsPlainCalendarSeconds) {
    EXPECT_EQ(rt_date_make(1970, 1, 1, 0, 0, 0), 0);
    EXPECT_EQ(rt_date_make(1970, 1, 1, 1, 2, 3), 3723);
    EXPECT_EQ(rt_date_make(1970, 1, 2, 0, 0, 0), 86400);
    EXPECT_EQ(rt_date_make(2009, 2, 13, 23, 31, 30), 1234567890);
    EXPECT_EQ(rt_date_make(2038, 1, 19, 3, 14, 7), 2147483647);
    EXPECT_EQ(rt_date_make(2038, 1, 19, 3, 14, 8), -1);
}

TEST(Dates, MakeRejectsImpossibleFields) {
    EXPECT_NE(rt_date_make(2000, 2, 29, 0, 0, 0), -1); // divisible by 400
    EXPECT_NE(rt_date_make(1996, 2, 29, 0, 0, 0), -1);
    const int bad[][6] = {
        {2001, 2, 29, 0, 0, 0},     {2000, 4, 31, 0, 0, 0}, {2000, 2, 30, 0, 0, 0},
        {1969, 12, 31, 23, 59, 59}, {2039, 1, 1, 0, 0, 0},  {2000, 0, 1, 0, 0, 0},
        {2000, 13, 1, 0, 0, 0},     {2000, 1, 0, 0, 0, 0},  {2000, 1, 1, 24, 0, 0},
        {2000, 1, 1, 0, 60, 0},     {2000, 1, 1, 0, 0, 60}, {2000, 1, 1, -1, 0, 0}};
    for (const auto& f : bad)
        EXPECT_EQ(rt_date_make(f[0], f[1], f[2], f[3], f[4], f[5]), -1) << f[0];
}

TEST(Dates, FormatReplacesTokensInAnyCase) {
    EXPECT_EQ(rt_format_date(kPaneMask, 1234567890), L"13.02.2009  23:31:30");
    EXPECT_EQ(rt_format_date(L"%mm.%dd.%yyyy", rt_date_make(1970, 1, 5, 12, 0, 0)), L"01.05.1970");
    EXPECT_EQ(rt_format_date(L"%YYYY-%Mm-%DD %yy", 1234567890), L"2009-02-13 09");
    // a lone or unknown "%" stays as it is
    EXPECT_EQ(rt_format_date(L"100% %x %y %", 0), L"100% %x %y %");
    EXPECT_EQ(rt_format_date(L"%%dd", 0), L"%01");
}

TEST(Dates, FormatOfNoDateGivesZeros) {
    EXPECT_EQ(rt_format_date(L"%dd.%mm.%yyyy", -1), L"00.00.0000");
    EXPECT_EQ(rt_format_date(L"%yy %hh:%ii:%ss", -1), L"00 00:00:00");
}

TEST(Dates, ParseReadsDigitsByMask) {
    EXPECT_EQ(rt_parse_date(L"%dd.%mm.%yy", L"03.04.70"), rt_date_make(1970, 4, 3, 0, 0, 0));
    EXPECT_EQ(rt_parse_date(L"%dd.%mm.%yy", L"03.04.12"), rt_date_make(2012, 4, 3, 0, 0, 0));
    EXPECT_EQ(rt_parse_date(L"%dd.%mm.%yy", L"03.04.69"), -1); // 2069
    EXPECT_EQ(rt_parse_date(L"%dd.%mm.%yyyy", L"3.4.2001"), rt_date_make(2001, 4, 3, 0, 0, 0));
    EXPECT_EQ(rt_parse_date(kPaneMask, L"13.02.2009  23:31:30"), 1234567890);
    EXPECT_EQ(rt_parse_date(L"%hh:%ii", L"01:02"), 3720); // absent fields: 1970-01-01
    // an unknown "%x" skips any one character
    EXPECT_EQ(rt_parse_date(L"%dd%-%mm%-%yyyy", L"03/04/2001"), rt_date_make(2001, 4, 3, 0, 0, 0));
}

TEST(Dates, ParseRejectsMismatches) {
    EXPECT_EQ(rt_parse_date(L"", L"03.04.2001"), -1);
    EXPECT_EQ(rt_parse_date(L"%dd.%mm.%yyyy", L""), -1);
    EXPECT_EQ(rt_parse_date(L"%dd.%mm.%yyyy", L"03.04.2001x"), -1);
    EXPECT_EQ(rt_parse_date(L"%dd.%mm.%yyyy", L"03-04-2001"), -1);
    EXPECT_EQ(rt_parse_date(L"%dd.%mm.%yyyy", L"03.xx.2001"), -1);
    EXPECT_EQ(rt_parse_date(L"%dd.%mm.%yyyy", L"03.04."), -1);
    EXPECT_EQ(rt_parse_date(L"%dd.%mm.%yyyy", L"31.04.2001"), -1);
    EXPECT_EQ(rt_parse_date(L"%dd%x", L"03"), -1);
}

TEST(Dates, IndependentOfTimeZone) {
    for (const char* tz : {"UTC0", "CET-1CEST,M3.5.0,M10.5.0/3", "EST5EDT,M3.2.0,M11.1.0"}) {
        ScopedTz scope(tz);
        SCOPED_TRACE(tz);
        EXPECT_EQ(rt_date_make(1970, 1, 2, 0, 0, 0), 86400);
        EXPECT_EQ(rt_date_make(2021, 7, 1, 14, 5, 9), 1625148309);
        EXPECT_EQ(rt_format_date(kPaneMask, 1625148309), L"01.07.2021  14:05:09");
        EXPECT_EQ(rt_parse_date(kPaneMask, L"01.07.2021  14:05:09"), 1625148309);
    }
}

TEST(Dates, NowFollowsTheLocalWallClock) {
    // The same instant read under two zones differs by the zones' offset.
    int64_t utc, plus5;
    time_t before, after;
    do {
        before = time(nullptr);
        {
            ScopedTz scope("UTC0");
            utc = rt_date_now();
        }
        {
            ScopedTz scope("XYZ-5"); // five hours east of UTC, no summer time
            plus5 = rt_date_now();
        }
        after = time(nullptr);
    } while (before != after); // a second boundary fell between the reads
    EXPECT_EQ(utc, static_cast<int64_t>(before));
    EXPECT_EQ(plus5 - utc, 5 * 3600);
}
