// What the statement readers share: decoding the bytes into Windows-1252
// text, cutting it into lines, and reading amounts and dates the way banks
// write them. Also the label key that finds "the same label" across
// statements and the register.
#pragma once

#include "exchange/statement.h"

#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

enum class TextEncoding { Utf8, Windows1252 };

// UTF-8 when the bytes start with its byte-order mark, or are valid UTF-8
// holding at least one character beyond ASCII; Windows-1252 otherwise (a
// Windows-1252 text almost never forms valid UTF-8 sequences).
TextEncoding guessEncoding(std::string_view bytes);

// The bytes as Windows-1252 text: UTF-8 is converted (its byte-order mark
// dropped, characters Windows-1252 lacks becoming '?'), Windows-1252 kept.
// Refuses invalid UTF-8 and NUL bytes (a UTF-16 or binary file), naming the
// line.
[[nodiscard]] bool decodeStatementText(std::string_view bytes, TextEncoding encoding, std::string& text,
                         ReadError& error);

// The lines of `text`, ended by CR LF, LF or CR; refuses a line longer than
// `kMaxStatementLine`.
[[nodiscard]] bool splitStatementLines(std::string_view text, std::vector<std::string_view>& lines,
                         ReadError& error);

// `text` without its leading and trailing blanks (spaces, tabs, line ends,
// no-break spaces), inner runs of blanks made one space.
std::string tidyText(std::string_view text);

// An amount as banks write it: an optional sign before or after it
// ("-12,50", "12.50-", "+3"), digits and at most four decimals (rounded half
// away from zero to the cent), at most nine digits before the decimal mark,
// an optional currency ("€", "EUR") after it. `decimalMark` is ',' or '.',
// and then spaces, no-break spaces, apostrophes and the other mark group
// thousands; 0 accepts either mark and no grouping.
[[nodiscard]] bool parseStatementAmount(std::string_view text, char decimalMark, double& value);

enum class DateOrder { DayMonthYear, MonthDayYear, YearMonthDay };
// A date of three numbers separated by '/', '-', '.', '\'' or spaces, in
// `order`; two-digit years are 20yy below 70 (or after an apostrophe, as
// US-style QIF writes them) and 19yy otherwise. Also "yyyymmdd". The result
// is midnight of that day; years 1900 to 2999 only.
[[nodiscard]] bool parseStatementDate(std::string_view text, DateOrder order, FileTime& date);
// Which orders could read `text`, as bits 1 << DateOrder.
unsigned dateOrdersOf(std::string_view text);

// The label without what changes from one statement to the next: case,
// accents, words holding a digit (dates, references, card numbers) and runs
// of X or * that mask card numbers; the words left, joined by one space.
// "Paiement CB 12/03 Carrefour 4974XXXX1234" -> "PAIEMENT CB CARREFOUR".
std::string labelKey(std::string_view labelCp1252);

// Two labels are similar when their keys are equal, one key starts the
// other (a label cut at the record's length), or every word of the key with
// fewer words is among the words of the other ("CARREFOUR" and "CB
// CARREFOUR"). Labels whose key is empty are similar only when their tidied
// texts are equal, ignoring case.
bool similarLabels(std::string_view labelA, std::string_view labelB);
bool similarKeys(std::string_view keyA, std::string_view keyB);

} // namespace kolvane
