// What an import of a statement into one account will do, worked out before
// anything is booked: which rows are already in the account, and the mode
// and category proposed for each new one. The preview shows the plan and
// lets the user untick rows and change proposals; `importEntries` then gives
// the operations to book as one step (makeImportOperations, booking.h).
//
// Already there: a row matches an operation of the account with the same
// amount, a date at most 3 days away and a similar label (statement_text.h);
// each operation matches at most one row, the nearest in date first. So
// importing a statement twice adds nothing, and overlapping statements add
// only their new rows.
//
// Proposals: a category or mode the file names and the document knows wins;
// otherwise the category and mode of the account's most recent operation
// with the same label key; otherwise a mode read from the bank's kind of
// transaction or the label's first words ("CB", "PRLV", "VIR", "CHQ"...),
// and no category.
#pragma once

#include "exchange/csv_reader.h"
#include "exchange/statement.h"
#include "operations/booking.h"

#include <vector>

namespace kolvane {

// Reads a statement in `format` (Unknown: refused); a CSV file with `layout`,
// or with the layout guessed from it when `layout` is null.
[[nodiscard]] bool readStatement(std::span<const std::uint8_t> bytes, StatementFormat format,
                   const CsvLayout* layout, Statement& statement, ReadError& error);

struct ImportRow {
    bool alreadyThere = false;
    const OperationRecord* match = nullptr; // the operation it matched
    PartyId party = 0;                      // Split for a split row
    std::uint16_t modeId = 0;
    bool learned = false; // party and mode come from the account's history
    bool selected = true; // booked; rows already there start unticked
};

struct ImportPlan {
    std::vector<ImportRow> rows; // one per statement row, in the same order
    bool accountDiffers = false; // the statement names another bank account
    int newCount() const;
};

ImportPlan planImport(const Document& doc, const AccountRecord& account,
                      const Statement& statement);

// True when the statement names a bank, branch or account number and the
// account's own differs (spaces, and a RIB key after the number, ignored).
bool statementAccountDiffers(const StatementAccount& statementAccount,
                             const AccountRecord& account);

// The party a text names, as the exports write them: "Cat:Sub" or "Cat :
// Sub", a category or sub-category name alone, "[Account]" or "Inter-compte
// : Account" (never `account` itself), "Tiers : Name" or a third party's
// name; "Opération ventillée" is a split whose lines are still to enter.
// 0 when nothing matches.
PartyId resolvePartyText(const Document& doc, const AccountRecord& account,
                         std::string_view textCp1252);

// The mode named so, on the side of `amount` (or else on the other side),
// 0 if none.
std::uint16_t resolveModeText(const Document& doc, std::string_view textCp1252, double amount);

// The operations to book for the selected rows, in statement order.
std::vector<OperationEntry> importEntries(const Document& doc, const AccountRecord& account,
                                          const Statement& statement, const ImportPlan& plan,
                                          FileTime now);

} // namespace kolvane
