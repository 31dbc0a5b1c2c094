// A bank statement as the readers give it: rows with a date, a signed amount
// and the texts the bank wrote, all in Windows-1252 like the records. A
// reader is all or nothing: it fills a `Statement` only when the whole file
// is well formed, and otherwise names the line and the reason.
#pragma once

#include "document/records.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

// One line of a split row (QIF "S", "E", "$").
struct StatementSplit {
    std::string category; // as written ("Alimentation:Supermarché", "[Compte]")
    std::string memo;
    double amount = 0.0; // same sign as the row's amount for a plain split
};

struct StatementRow {
    int line = 0;        // where the row starts in the file, from 1
    FileTime date = 0;   // midnight of the day
    double amount = 0.0; // money into the account > 0, rounded to the cent
    std::string label;   // spaces trimmed
    std::string memo;
    std::string number;        // cheque number (OFX CHECKNUM, QIF N)
    std::string kind;          // OFX TRNTYPE, the mode column of a CSV file
    std::string category;      // QIF L, the category column of a CSV file
    std::string bankReference; // OFX FITID
    std::vector<StatementSplit> splits;
};

// The bank account a statement says it is for (OFX only; empty otherwise).
struct StatementAccount {
    std::string bankId;
    std::string branchId;
    std::string accountId;
};

struct Statement {
    std::vector<StatementRow> rows;
    StatementAccount account;
};

// Why a file was refused: the line (from 1; 0 for the whole file) and the
// reason in French, UTF-8, ready for a message box.
struct ReadError {
    int line = 0;
    std::string reason;
};

// "Ligne 12 : montant illisible" (or the reason alone for line 0).
std::string describeReadError(const ReadError& error);

enum class StatementFormat { Ofx, Qif, Csv, Unknown };
// The format the bytes look like, from their first meaningful line; the file
// name's extension ("ofx", "qfx", "qif", "csv") decides when the bytes do
// not tell.
StatementFormat guessStatementFormat(std::span<const std::uint8_t> bytes,
                                     std::string_view fileName);

// Statements larger than this are refused before they are read.
inline constexpr std::size_t kMaxStatementBytes = 64u << 20;
// So is any line longer than this.
inline constexpr std::size_t kMaxStatementLine = 64u << 10;

} // namespace kolvane
