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
    int width;
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

} // namespace kolvane
