// Wall-clock date values of many file times, fast.
//
// A listing converts a date per entry; localtime_r per entry costs more than
// the entry's statx. RtWallClock remembers the offset from UTC per hour of
// file times: an hour whose start and end have the same offset (every hour
// but those of a clock change) is converted by adding it, the others the
// plain way. The result is what rt_dir_entry_date gives (runtime/dates.h).
//
// One object per thread (it is a cache, not shared); any thread.
#pragma once
#include <array>
#include <cstdint>
#include <ctime>

class RtWallClock {
  public:
    // The date value of a time in seconds since 1970 UTC; -1 outside the
    // range of date values.
    int64_t Convert(int64_t utc) {
        const int64_t hour = utc >= 0 ? utc / kHour : (utc - kHour + 1) / kHour;
        Slot& s = slots_[static_cast<size_t>(hour) % kOffsetSlots];
        if (!s.valid || s.hour != hour) {
            int64_t start = 0, end = 0;
            const bool ok = Offset(hour * kHour, &start) && Offset(hour * kHour + kHour - 1, &end);
            s = {true, hour, start, ok && start == end};
        }
        if (!s.uniform) return Slow(utc);
        const int64_t wall = utc + s.offset;
        return wall < 0 || wall > kLastDate ? -1 : wall;
    }

  private:
    static constexpr int64_t kHour = 3600;
    static constexpr int64_t kLastDate = 2147483647; // the last valid date value
    static constexpr size_t kOffsetSlots = 256;

    struct Slot {
        bool valid = false;
        int64_t hour = 0;
        int64_t offset = 0;
        bool uniform = false;
    };
    std::array<Slot, kOffsetSlots> slots_{};

    static bool Offset(int64_t utc, int64_t* offset) {
        const time_t t = static_cast<time_t>(utc);
        struct tm local {};
        if (!localtime_r(&t, &local)) return false;
        *offset = static_cast<int64_t>(timegm(&local)) - utc;
        return true;
    }
    // The plain road of rt_dir_entry_date.
    static int64_t Slow(int64_t utc) {
        const time_t t = static_cast<time_t>(utc);
        struct tm local {};
        if (!localtime_r(&t, &local)) return 0;
        const int64_t wall = static_cast<int64_t>(timegm(&local));
        return wall < 0 || wall > kLastDate ? -1 : wall;
    }
};
