// CSV statements. Banks each write their own: the separator (';', ',' or a
// tab), the decimal mark, the date order, the encoding, a few lines of
// account details before the column names, and which column holds what.
// `guessCsvLayout` works all that out from the bytes; the preview shows it
// and lets the user change the column roles before `readCsv` reads the file
// with the layout chosen. The layout is kept per account as a short text.
#pragma once

#include "exchange/statement.h"
#include "exchange/statement_text.h"

#include <string>
#include <vector>

namespace kolvane {

enum class CsvRole : std::uint8_t {
    Ignored,
    Date,
    Label,
    Amount,
    Debit,
    Credit,
    Mode,
    Category,
    Memo
};
inline constexpr int kCsvRoleCount = 9;
// The most roles a layout's text lists (the columns up to the last one used).
inline constexpr std::size_t kMaxCsvRoles = 256;
// The role's name in the preview (UTF-8): "Date", "Libellé", "Montant"...
const char* csvRoleName(CsvRole role);

struct CsvLayout {
    char separator = ';';
    char decimalMark = ',';
    DateOrder dateOrder = DateOrder::DayMonthYear;
    TextEncoding encoding = TextEncoding::Utf8;
    int skippedLines = 0;       // records before the column names or the first row
    bool header = true;         // the first record read names the columns
    std::vector<CsvRole> roles; // one per column; missing ones are ignored
};

CsvLayout guessCsvLayout(std::span<const std::uint8_t> bytes);

// The cells of the file's records as `layout` cuts them (Windows-1252), the
// skipped lines left out, at most `maxRecords` of them; for the preview.
[[nodiscard]] bool readCsvCells(std::span<const std::uint8_t> bytes, const CsvLayout& layout,
                  std::vector<std::vector<std::string>>& records, ReadError& error,
                  std::size_t maxRecords = static_cast<std::size_t>(-1));

// Reads every row; needs a Date column and either an Amount column or a
// Debit and/or Credit column. Debits count as money out whatever their sign.
[[nodiscard]] bool readCsv(std::span<const std::uint8_t> bytes, const CsvLayout& layout, Statement& statement,
             ReadError& error);

// The layout as one line of text, and back ("sep=;|dec=,|date=dmy|enc=utf8|
// skip=0|header=1|roles=date,label,amount"); parsing refuses anything else.
std::string csvLayoutText(const CsvLayout& layout);
[[nodiscard]] bool parseCsvLayoutText(std::string_view text, CsvLayout& layout);

} // namespace kolvane
