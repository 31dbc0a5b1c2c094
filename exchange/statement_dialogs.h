// " Fichier " > "Importer un relevé..." and "Exporter le compte...", on the
// current account: the statement read by the core's readers, a question when
// it names another bank account, then the preview dialog where the user
// ticks rows in and out, changes a mode or a category and, for a CSV file,
// the role of a column; the rows kept are booked as one step of the history.
// The caller chooses the file, keeps the CSV layout per account and shows the
// change; these functions only talk with the user about the statement.
#pragma once

#include "document/document.h"
#include "operations/booking.h"
#include "win/dialog_result.h"
#include "win/file_chooser.h"

#include <windows.h>

#include <string>

namespace kolvane {

// The file dialogs. The export's filters are its four choices, in the order
// of ExportChoice.
extern const win::FileChoice kOpenStatement;
extern const win::FileChoice kSaveExport;

struct StatementImportIn {
    std::string path;             // UTF-8
    std::string rememberedLayout; // the CSV layout last used for the account (its text)
};
// Refused: the file could not be read, and the user was told why.
enum class StatementImportEnd { Booked, Cancelled, Refused, NotShown, OutOfMemory };
struct StatementImportOut {
    std::string chosenLayout; // a CSV file booked: the layout its rows were read with
};
using StatementImportResult = win::DialogResult<StatementImportEnd, StatementImportOut>;
StatementImportResult importStatement(HWND owner, Document& doc, BookingHistory& history,
                                      const StatementImportIn& in);

// The filter chosen in the save dialog, from 1.
enum class ExportChoice { AccountCsv = 1, AccountQif, AllCsv, AllQif };
struct AccountExportIn {
    std::string path; // UTF-8
    ExportChoice choice = ExportChoice::AccountCsv;
};
enum class AccountExportResult { Written, Failed };
// Writes through a temporary file: a failed export leaves any older file whole.
AccountExportResult exportAccount(HWND owner, const Document& doc, const AccountExportIn& in);

} // namespace kolvane
