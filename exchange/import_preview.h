// The preview of an import, as its dialog's list shows it: one row per
// statement row with its date, label, amount, the proposed mode and
// category, its status (new, or already in the account: grey and left out
// unless ticked) and whether it will be imported. The user ticks rows in and
// out and changes the mode or category of new rows; `entries` then gives the
// operations to book.
#pragma once

#include "document/row_model.h"
#include "exchange/statement_import.h"

namespace kolvane {

enum ImportColumn : int {
    kImportTicked,
    kImportDate,
    kImportLabel,
    kImportAmount,
    kImportMode,
    kImportCategory,
    kImportStatus,
    kImportColumnCount
};

struct ImportColumnSpec {
    const char* title; // UTF-8
    int width;         // pixels; 0: what the others leave
    bool right; // right-aligned
};
extern const ImportColumnSpec kImportColumns[kImportColumnCount];

inline constexpr std::uint32_t kAlreadyThereColour = 0x808080; // grey

class ImportPreview : public RowModel {
  public:
    ImportPreview(const Document& doc, const AccountRecord& account, Statement statement);

    int rowCount() const override { return static_cast<int>(statement_.rows.size()); }
    // Windows-1252: "Oui" or "Non", " dd/mm/yyyy", the label, "- 12.50",
    // the mode's name, the party as the register writes it, "Nouvelle" or
    // "Déjà présente".
    std::string cellText(int row, int column) const override;
    RowLook rowLook(int row) const override;

    const Statement& statement() const { return statement_; }
    const ImportPlan& plan() const { return plan_; }
    const ImportRow* row(int row) const;

    // The file read again (a CSV file with other column roles): the rows
    // and their plan start afresh.
    void replaceStatement(Statement statement);

    void toggle(int row);
    // Proposals changed by the user (rows already there keep theirs).
    void setMode(int row, std::uint16_t modeId);
    void setParty(int row, PartyId party);

    int tickedCount() const;
    // "12 opérations lues : 8 nouvelles, 4 déjà présentes. 8 à importer." (UTF-8)
    std::string summary() const;

    std::vector<OperationEntry> entries(FileTime now) const;

  private:
    const Document& doc_;
    const AccountRecord& account_;
    Statement statement_;
    ImportPlan plan_;
};

// What the preview says of a CSV file as read (UTF-8): "Fichier CSV :
// séparateur « ; », virgule décimale, dates jj/mm/aaaa, encodage UTF-8."
std::string describeCsvLayout(const CsvLayout& layout);

// The columns the preview offers to give a role to (UTF-8): "Colonne 2 :
// Libellé" from the column names, or with the first row's cell as a sample
// when the file has no names; every column of the first rows and every
// column the layout lists.
std::vector<std::string> csvColumnChoices(std::span<const std::uint8_t> bytes,
                                          const CsvLayout& layout);

// The layout to read a CSV file with: the one remembered for the account
// when its text is valid and it reads this file, else the one guessed.
CsvLayout csvLayoutForImport(std::span<const std::uint8_t> bytes, std::string_view remembered);

// The question asked before importing a statement that names another bank
// account (UTF-8).
std::string accountMismatchQuestion(const StatementAccount& statementAccount,
                                    const AccountRecord& account);

} // namespace kolvane
