#include "dates.h"

#include "vocabulary.h"

#include <charconv>

namespace kolvane {
namespace {

constexpr int kLastYear = 30827; // the last year Windows converts

// Appends `value` with at least `width` digits, zero-padded (like "%02i").
void appendNumber(std::string& out, int value, int width) {
    char buffer[16];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (error != std::errc())
        return;
    std::string_view digits(buffer, static_cast<std::size_t>(end - buffer));
    if (!digits.empty() && digits[0] == '-') {
        out += '-';
        digits.remove_prefix(1);
    }
    for (int i = static_cast<int>(digits.size()); i < width; ++i)
        out += '0';
    out.append(digits);
}

void appendDate(std::string& out, int day, int month, int year) {
    appendNumber(out, day, 2);
    out += '/';
    appendNumber(out, month, 2);
    out += '/';
    appendNumber(out, year, 1);
}

// Floor division and its remainder, for month counts that may be negative.
int floorDiv(long long a, int b) {
    long long q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return static_cast<int>(q);
}

} // namespace

std::string formatDate(FileTime fileTime) {
    CalendarTime time = toCalendarTime(fileTime);
    std::string out = " ";
    appendDate(out, time.day, time.month, time.year);
    return out;
}

std::string formatDayDate(const CalendarTime& time) {
    int dayOfWeek = time.dayOfWeek;
    if (dayOfWeek < 0 || dayOfWeek > 6)
        dayOfWeek = calendarFromDays(daysFromCivil(time.year, time.month, time.day)).dayOfWeek;
    std::string out = " ";
    out += kDayNames[static_cast<std::size_t>(dayOfWeek)];
    out += " - ";
    appendDate(out, time.day, time.month, time.year);
    return out;
}

long long daysBetween(FileTime a, FileTime b, int wholeDays) {
    if (a == b)
        return 0;
    const bool forward = a < b;
    const FileTime from = forward ? a : b;
    const FileTime span = forward ? b - a : a - b;
    long long days = static_cast<long long>(span / DAY);
    // Both remainders are below DAY, so their sum cannot overflow.
    if (!wholeDays && (from % DAY) + (span % DAY) >= DAY)
        days += 1;
    return forward ? days : -days;
}

FileTime addMonths(FileTime fileTime, int n) {
    CalendarTime time = toCalendarTime(fileTime);
    const long long monthIndex = static_cast<long long>(time.month) - 1 + n;
    const int yearShift = floorDiv(monthIndex, 12);
    const long long year = static_cast<long long>(time.year) + yearShift;
    if (year < 1601)
        return 0;
    if (year > kLastYear) {
        CalendarTime last = time;
        last.year = kLastYear;
        last.month = 12;
        last.day = 31;
        last.millisecond = 0;
        return toFileTime(last);
    }
    time.year = static_cast<int>(year);
    time.month = static_cast<int>(monthIndex - static_cast<long long>(yearShift) * 12) + 1;
    time.millisecond = 0;
    const int lastDay = daysInMonth(time.month, time.year);
    if (time.day > lastDay)
        time.day = lastDay;
    return toFileTime(time);
}

int daysInMonth(int month, int year, FileTime* lastDay) {
    if (month < 1 || month > 12)
        return 0;
    // December's following month is 1 January of the next year, reached
    // from 31 December so that no year overflows.
    const long long firstOfNext =
        month == 12 ? daysFromCivil(year, 12, 31) + 1 : daysFromCivil(year, month + 1, 1);
    const long long last = firstOfNext - 1;
    if (lastDay && last >= 0)
        *lastDay = static_cast<FileTime>(last) * DAY;
    return calendarFromDays(last).day;
}

} // namespace kolvane
