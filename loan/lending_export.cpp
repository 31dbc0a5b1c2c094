#include "loan/lending_export.h"

#include "document/amounts.h"
#include "document/calendar.h"
#include "loan/lending_rules.h"

#include <charconv>
#include <cmath>

namespace kolvane {
namespace {

// Two decimals after a comma, a '-' before negative values, never "-0,00".
std::string spreadsheetAmount(double value) {
    double rounded = roundAmount(value, 2);
    if (!std::isfinite(rounded))
        return {};
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, rounded,
                                      std::chars_format::fixed, 2);
    std::string text(buffer, result.ptr);
    if (text == "-0.00")
        text = "0.00";
    text[text.size() - 3] = ',';
    return text;
}

std::string twoDigits(int value) {
    return {static_cast<char>('0' + value / 10 % 10), static_cast<char>('0' + value % 10)};
}

std::string spreadsheetDate(FileTime date) {
    const CalendarTime time = toCalendarTime(date);
    return twoDigits(time.day) + '/' + twoDigits(time.month) + '/' + std::to_string(time.year);
}

constexpr const char* kTitles[kLendingColumnCount] = {
    "Numéro", "Date", "Intérêt", "Principal", "Assurance", "Echéance", "Capital dû"};

std::string tableText(const LendingSchedule& schedule, char separator) {
    std::string text;
    for (int column = 0; column < kLendingColumnCount; ++column) {
        if (column > 0)
            text += separator;
        text += kTitles[column];
    }
    text += "\r\n";
    for (const LendingRow& row : schedule.rows) {
        text += lendingExportLine(row, separator);
        text += "\r\n";
    }
    return text;
}

} // namespace

std::string lendingExportLine(const LendingRow& row, char separator) {
    std::string line = std::to_string(row.number);
    const bool opening = row.number == 0;
    line += separator;
    if (!opening)
        line += spreadsheetDate(row.date);
    for (double amount : {row.interest, row.principal, row.insurance, row.instalment}) {
        line += separator;
        if (!opening)
            line += spreadsheetAmount(amount);
    }
    line += separator;
    line += spreadsheetAmount(row.remainingCapital);
    return line;
}

std::string lendingTableTabText(const LendingSchedule& schedule) {
    return tableText(schedule, '\t');
}

std::string lendingTableCsv(const LendingSchedule& schedule) {
    return "\xEF\xBB\xBF" + tableText(schedule, ';');
}

std::string lendingRateText(double percent) {
    return formatAmount(percent) + " %";
}

std::string lendingExportFailureMessage(std::string_view path, std::string_view reason) {
    std::string text = "Le tableau n'a pas pu être exporté dans ";
    text += path;
    if (!reason.empty()) {
        text += " (";
        text += reason;
        text += ')';
    }
    return text + " .";
}

} // namespace kolvane
