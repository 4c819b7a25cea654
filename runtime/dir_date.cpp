// rt_dir_entry_date: an entry's time as a wall-clock date value.
#include "runtime/dates.h"
#include "runtime/entry_info.h"
#include "runtime/files.h"

#include <ctime>

int64_t rt_dir_entry_date(int number, int which) {
    RtEntryInfo info;
    if (!rt_dir_entry_info(number, &info)) return 0;
    int64_t seconds;
    switch (which) {
    case RtDateCreated: seconds = info.created; break;
    case RtDateAccessed: seconds = info.accessed; break;
    case RtDateModified: seconds = info.modified; break;
    default: return 0;
    }
    // localtime_r applies the offset that held at that moment (summer or
    // winter time then), so a file's time reads as the clock showed it.
    const time_t t = static_cast<time_t>(seconds);
    struct tm local {};
    if (!localtime_r(&t, &local)) return 0;
    return rt_date_make(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                        local.tm_min, local.tm_sec);
}
