#include "document/dates.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

FileTime at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
            int millisecond = 0) {
    CalendarTime time;
    time.year = year;
    time.month = month;
    time.day = day;
    time.hour = hour;
    time.minute = minute;
    time.second = second;
    time.millisecond = millisecond;
    return toFileTime(time);
}

TEST(FormatDate, DayMonthYearWithTheFrenchDayName) {
    EXPECT_EQ(formatDate(at(1999, 10, 31, 23, 59, 59, 999)), " 31/10/1999");
    CalendarTime time;
    time.year = 2026;
    time.month = 12;
    time.day = 6; // a Sunday
    time.dayOfWeek = 0;
    EXPECT_EQ(formatDayDate(time), " Dim - 06/12/2026");
    time.day = 4; // out of range: worked out from the date
    time.dayOfWeek = -1;
    EXPECT_EQ(formatDayDate(time), " Ven - 04/12/2026");
}

TEST(DaysBetween, CountsMidnightsOrWholeDays) {
    const FileTime evening = at(2024, 3, 10, 23);
    const FileTime nextMorning = at(2024, 3, 11, 1);
    EXPECT_EQ(daysBetween(evening, nextMorning, 0), 1);
    EXPECT_EQ(daysBetween(evening, nextMorning, 1), 0);
    EXPECT_EQ(daysBetween(nextMorning, evening, 0), -1);
    EXPECT_EQ(daysBetween(nextMorning, evening, 1), 0);
    // Reaching midnight exactly counts it; leaving it does not.
    EXPECT_EQ(daysBetween(evening, at(2024, 3, 11), 0), 1);
    EXPECT_EQ(daysBetween(evening, at(2024, 3, 11), 1), 0);
    EXPECT_EQ(daysBetween(at(2024, 3, 11), at(2024, 3, 11, 23, 59), 0), 0);
    // 47 hours, crossing two midnights.
    const FileTime a = at(2024, 3, 10, 10);
    const FileTime b = at(2024, 3, 12, 9);
    EXPECT_EQ(daysBetween(a, b, 0), 2);
    EXPECT_EQ(daysBetween(a, b, 1), 1);
    EXPECT_EQ(daysBetween(b, a, 1), -1);
    EXPECT_EQ(daysBetween(at(2023, 1, 1), at(2024, 1, 1), 0), 365);
}

TEST(AddMonths, ClampsTheDayCarriesTheYearAndKeepsTheTimeOfDay) {
    EXPECT_EQ(addMonths(at(2023, 1, 31), 1), at(2023, 2, 28));
    EXPECT_EQ(addMonths(at(2024, 1, 31), 1), at(2024, 2, 29));
    EXPECT_EQ(addMonths(at(2023, 1, 31), 25), at(2025, 2, 28));
    EXPECT_EQ(addMonths(at(2023, 11, 15, 10, 20, 30, 456), 3), at(2024, 2, 15, 10, 20, 30));
    EXPECT_EQ(addMonths(at(2023, 12, 1), 12), at(2024, 12, 1));
    EXPECT_EQ(addMonths(at(30827, 11, 5, 6), 5), at(30827, 12, 31, 6)); // end of the range
    // Backwards, across one year and exactly a year.
    EXPECT_EQ(addMonths(at(2024, 1, 10), -1), at(2023, 12, 10));
    EXPECT_EQ(addMonths(at(2024, 1, 10), -12), at(2023, 1, 10));
    EXPECT_EQ(addMonths(at(2024, 3, 31), -13), at(2023, 2, 28));
    EXPECT_EQ(addMonths(at(1601, 1, 1), -1), 0u); // before the first file time
}

TEST(DaysInMonth, CountsFromTheFirstOfTheNextMonth) {
    FileTime lastDay = 0;
    EXPECT_EQ(daysInMonth(2, 2024, &lastDay), 29);
    EXPECT_EQ(lastDay, at(2024, 2, 29));
    EXPECT_EQ(daysInMonth(12, 2023, &lastDay), 31);
    EXPECT_EQ(lastDay, at(2023, 12, 31));
    EXPECT_EQ(daysInMonth(2, 1900), 28);
    EXPECT_EQ(daysInMonth(2, 2000), 29);
    EXPECT_EQ(daysInMonth(4, 2023), 30);
    EXPECT_EQ(daysInMonth(13, 2023, &lastDay), 0); // refused, nothing written
    EXPECT_EQ(lastDay, at(2023, 12, 31));
}

} // namespace
} // namespace kolvane
