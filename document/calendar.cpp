#include "calendar.h"

#include <chrono>
#include <ctime>

namespace kolvane {
namespace {

// Days from 0000-03-01 style era arithmetic (H. Hinnant's civil algorithms),
// shifted to count from 1601-01-01.
long long daysFromEpoch0(int year, int month, int day) {
    long long y = static_cast<long long>(year) - (month <= 2 ? 1 : 0);
    long long era = (y >= 0 ? y : y - 399) / 400;
    long long yearOfEra = y - era * 400;
    long long monthIndex = month > 2 ? month - 3 : month + 9;
    long long dayOfYear = (153 * monthIndex + 2) / 5 + day - 1;
    long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra;
}

const long long kEpoch1601 = daysFromEpoch0(1601, 1, 1);

} // namespace

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

long long daysFromCivil(int year, int month, int day) {
    return daysFromEpoch0(year, month, day) - kEpoch1601;
}

CalendarTime calendarFromDays(long long days) {
    long long z = days + kEpoch1601;
    long long era = (z >= 0 ? z : z - 146096) / 146097;
    long long dayOfEra = z - era * 146097;
    long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    long long monthIndex = (5 * dayOfYear + 2) / 153;
    CalendarTime time;
    time.day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    time.month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    time.year = static_cast<int>(yearOfEra + era * 400 + (time.month <= 2 ? 1 : 0));
    // 1601-01-01 was a Monday.
    time.dayOfWeek = static_cast<int>(((days % 7) + 7 + 1) % 7);
    return time;
}

FileTime toFileTime(const CalendarTime& time) {
    long long days = daysFromCivil(time.year, time.month, time.day);
    long long milliseconds =
        ((static_cast<long long>(time.hour) * 60 + time.minute) * 60 + time.second) * 1000 +
        time.millisecond;
    return static_cast<FileTime>(days) * DAY +
           static_cast<FileTime>(milliseconds) * kTicksPerMillisecond;
}

CalendarTime toCalendarTime(FileTime fileTime) {
    CalendarTime time = calendarFromDays(static_cast<long long>(fileTime / DAY));
    FileTime rest = fileTime % DAY;
    long long milliseconds = static_cast<long long>(rest / kTicksPerMillisecond);
    time.millisecond = static_cast<int>(milliseconds % 1000);
    time.second = static_cast<int>((milliseconds / 1000) % 60);
    time.minute = static_cast<int>((milliseconds / 60000) % 60);
    time.hour = static_cast<int>(milliseconds / 3600000);
    return time;
}

CalendarTime localNow() {
    using namespace std::chrono;
    auto now = system_clock::now();
    std::time_t seconds = system_clock::to_time_t(now);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    CalendarTime time;
    time.year = local.tm_year + 1900;
    time.month = local.tm_mon + 1;
    time.day = local.tm_mday;
    time.dayOfWeek = local.tm_wday;
    time.hour = local.tm_hour;
    time.minute = local.tm_min;
    time.second = local.tm_sec;
    time.millisecond =
        static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    return time;
}

FileTime localNowFileTime() {
    return toFileTime(localNow());
}

FileTime initialBalanceDate(FileTime now) {
    return static_cast<FileTime>(daysFromCivil(2000, 1, 1)) * DAY + now % DAY;
}

} // namespace kolvane
