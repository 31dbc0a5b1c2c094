// Dates as the views show them and the calendar arithmetic of the loan
// simulator and the graph periods, all on file times (see calendar.h).
#pragma once

#include "calendar.h"

#include <string>

namespace kolvane {

// " dd/mm/yyyy", with its leading space.
std::string formatDate(FileTime fileTime);
// " Ven - dd/mm/yyyy": the day name, then the date. A `dayOfWeek` outside 0-6
// is worked out from the date.
std::string formatDayDate(const CalendarTime& time);

// Days from `a` to `b`, negative when `b` is earlier. With `wholeDays` 0 it
// counts the midnights crossed (23:00 to 01:00 the next day is 1); otherwise
// whole 24-hour periods (that same span is 0).
long long daysBetween(FileTime a, FileTime b, int wholeDays);

// `n` months later, the day lowered to the last day of the target month when
// it does not exist there (31 January + 1 = 28 or 29 February), the time of
// day kept and the milliseconds cleared. A negative `n` goes back the same
// way (31 March - 1 = end of February). Results before 1601 give 0 (the
// first file time); results after year 30827 stop at 31 December 30827.
FileTime addMonths(FileTime fileTime, int n);

// Days of `month` (1 to 12) in `year`; 0 for a month out of range. When
// `lastDay` is given it receives the month's last day at 00:00 (left as it is
// when that day has no file time, before 1601).
int daysInMonth(int month, int year, FileTime* lastDay = nullptr);

} // namespace kolvane
