// Export of an account's operations (or of every account's) as the account
// sees them, in date order, the initial balance left out:
//   - CSV: UTF-8 with its byte-order mark, ';' between cells, decimal comma,
//     dd/mm/yyyy: "Date;Libellé;Montant;Mode;Catégorie" (a first "Compte"
//     column when every account is exported); the category as the register
//     writes it;
//   - QIF: Windows-1252, "!Type:Bank", D dd/mm/yyyy, T with a decimal point,
//     P the label, N the mode, L the category ("Cat:Sub", "[Account]",
//     "Tiers : Name") and S/$ for each line of a split operation; every
//     account in its own "!Account" block when all are exported.
// Importing an export into an empty account gives the same operations (the
// CSV form keeps a split operation as one row, a split whose lines are still
// to enter once imported).
#pragma once

#include "document/document.h"

#include <string>

namespace kolvane {

enum class ExportFormat { Csv, Qif };

// `account` null: every account.
std::string exportOperations(const Document& doc, const AccountRecord* account,
                             ExportFormat format);

} // namespace kolvane
