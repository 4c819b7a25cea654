// Dates: wall-clock date values, and masks that format and parse them.
//
// A date value is a signed 64-bit count of seconds from 1970-01-01 00:00:00
// to a calendar date and time of day, counted as if no time zone or
// daylight-saving time existed: every day has 86400 seconds and the local
// wall clock is used unchanged. So a file written at 14:05:09 local time
// formats as 14:05:09 whatever TZ says. -1 means "no valid date". Valid
// values run from 0 (1970-01-01 00:00:00) to 2147483647 (2038-01-19 03:14:07).
//
// Mask tokens (letters matched in any case): %yyyy %yy %mm %dd %hh %ii %ss
// for year, two-digit year, month, day, hour, minute, second. A "%" that
// starts no token is an ordinary character when formatting and skips one
// character when parsing.
//
// Pure functions except rt_date_now, which reads the clock and the process's
// time zone; all are safe from any thread.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

// Date value of the given wall-clock fields, or -1 when a field is out of
// range, the day does not exist (31 April, 29 February of a common year) or
// the moment lies outside 1970-01-01 00:00:00 .. 2038-01-19 03:14:07.
int64_t rt_date_make(int year, int month, int day, int hour, int minute, int second);

// The wall-clock fields of a date value; all zero for anything that is no
// date (negative, or past year 9999 where four digits no longer hold the
// year). Fields as rt_format_date shows them.
struct RtDateFields {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
RtDateFields rt_date_split(int64_t value);

// The current local date and time in whole seconds, as a date value.
int64_t rt_date_now();

// The mask with each token replaced by its field of value, zero-padded. For
// -1 (or any value that is no date) every field is 0 ("00.00.0000").
std::wstring rt_format_date(std::wstring_view mask, int64_t value);

// Reads text by mask: a token takes up to 4 ("%yyyy") or 2 digits, at least
// one; "%yy" means 2000+n below 70, else 1900+n; other characters must match
// exactly and nothing may be left over. Fields absent from the mask default
// to 1970-01-01 00:00:00. Returns the date value or -1.
int64_t rt_parse_date(std::wstring_view mask, std::wstring_view text);
