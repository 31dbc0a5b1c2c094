// The amortisation table for other programs, as French spreadsheets read it:
// a title line, then one line per row with the date as dd/mm/yyyy and the
// amounts with a decimal comma and no space between thousands. Tab-separated
// for the clipboard, `;`-separated (UTF-8 with its byte order mark) for a
// CSV file. Lines end with CR LF. The texts are UTF-8.
#pragma once

#include "loan/lending.h"

#include <string>
#include <string_view>

namespace kolvane {

// The fields of one line: the row's number, date and five amounts. The
// opening row has only its number and the amount borrowed.
std::string lendingExportLine(const LendingRow& row, char separator);

// The tab-separated table (CF_UNICODETEXT once widened).
std::string lendingTableTabText(const LendingSchedule& schedule);
// The CSV file's bytes.
std::string lendingTableCsv(const LendingSchedule& schedule);

// "12.68 %": a rate in percent as the "Détails" group shows it.
std::string lendingRateText(double percent);

// What the user reads when the CSV file could not be written; `reason` is
// the system's words, left out when empty.
std::string lendingExportFailureMessage(std::string_view path, std::string_view reason);

} // namespace kolvane
