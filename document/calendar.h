// Calendar arithmetic on file times (100 ns units since 1 January 1601). The
// file times of the documents hold local time read as if it were UTC, so the
// conversions here are plain proleptic Gregorian arithmetic, no time zones.
#pragma once

#include "records.h"

namespace kolvane {

inline constexpr FileTime kTicksPerMillisecond = 10000;
inline constexpr FileTime kTicksPerSecond = 10000000;
inline constexpr FileTime DAY = 864000000000ull;

struct CalendarTime {
    int year = 1601;
    int month = 1;     // 1 to 12
    int day = 1;       // 1 to 31
    int dayOfWeek = 1; // 0 = Sunday
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// Day count from 1601-01-01 of a date, and back.
long long daysFromCivil(int year, int month, int day);
CalendarTime calendarFromDays(long long days);

// The day of week is ignored; out-of-range fields are not normalised.
FileTime toFileTime(const CalendarTime& time);
CalendarTime toCalendarTime(FileTime fileTime);

bool isLeapYear(int year);

// The local date and time now, as a file time. The only call that asks the
// operating system.
CalendarTime localNow();
FileTime localNowFileTime();

// 1 January 2000 at the time of day of `now`: the date of initial-balance
// operations.
FileTime initialBalanceDate(FileTime now);

} // namespace kolvane
