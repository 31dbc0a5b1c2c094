// The decisions of the operation entry pane and of the ventilation editor:
// which boxes the amounts enable, which entries may be chosen, what
// "Valider" refuses (message and field to focus) and what it books, and what
// an operation loaded for a change puts in the boxes. The pane reads its
// controls, calls one of these, and shows the result; the booking itself is
// a command of booking.h.
#pragma once

#include "document/choice_lists.h"
#include "document/refusal.h"
#include "operations/booking.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

inline constexpr const char* kAmountsLeftQuestion =
    "Il reste encore des montants à ventiller. \nCliquez sur OK pour retourner à la fenetre "
    "ventillation \nsinon cliquez sur Annuler.";

// The longest label "Valider" reads.
inline constexpr std::size_t kEntryLabelLength = 38;

// --- Amount boxes -------------------------------------------------------------

// What a change of the debit or credit box does to the mode list, the party
// list and "Valider" (amounts already rounded to two decimals).
enum class AmountsReaction {
    Nothing,
    EnableDebitSide,  // enable them, modes of the debit side
    EnableCreditSide, // enable them, modes of the credit side
    Disable,
};
AmountsReaction onAmountsChanged(bool choicesEnabled, double debit, double credit);

// --- Choices ------------------------------------------------------------------

// A party entry chosen in the pane's or the editor's list.
struct PartyChoice {
    bool refused = false;     // a header or separator: string 20403
    int select = -1;          // the entry to show selected
    bool dropDown = false;    // drop the list down again
    bool splitEditor = false; // enable "Editer la ventillation"
};
PartyChoice chooseParty(const ChoiceList& parties, int index, int lastPartyIndex);

// A label picked in the list or among the completion proposals: the party
// entry carrying its category (-1 when none) and "Editer la ventillation".
struct LabelPick {
    int party = -1;
    bool splitEditor = false;
};
LabelPick pickLabel(const ChoiceList& parties, CategoryId category);
// The label entry whose text is `text` ignoring case, or -1.
int findLabelEntry(const ChoiceList& labels, std::string_view textCp1252);

// --- Loading an operation for a change ----------------------------------------

struct EntryFields {
    double debit = 0.0;
    double credit = 0.0;
    bool debitFirst = false; // set the box that holds 0 first, the other second
    FileTime operationDate = 0;
    std::string label; // Windows-1252
    std::uint16_t modeId = 0;
    PartyId party = 0; // the party entry to select
    bool splitEditor = false;
};
// The boxes for `operation` seen from the current account.
EntryFields entryFieldsFor(const Document& doc, const OperationRecord& operation);

// --- "Editer la ventillation" -------------------------------------------------

struct VentilationStart {
    Refusal refusal;
    double amount = 0.0; // the amount handed to the editor (its `amount`)
};
VentilationStart startVentilation(double debit, double credit);
// Copies of an operation's lines, as working lines (empty without lines).
std::vector<VentilationLine> copyLines(const OperationRecord& operation);

// --- "Valider" ----------------------------------------------------------------

// What the pane holds when "Valider" is pressed.
struct EntryForm {
    double debit = 0.0;
    double credit = 0.0;
    std::string label;   // Windows-1252, as typed
    int labelIndex = -1; // selection of the label list, -1 when typed
    PartyId party = 0;   // value of the selected party entry
    std::uint16_t modeId = 0;
    FileTime operationDate = 0;
};

enum class Validation {
    Refused,        // show `refusal`, focus its field, book nothing
    AskLinesDiffer, // ask string 20410 (OK / Cancel); OK books without the lines
    Book,
};

struct ValidationResult {
    Validation outcome = Validation::Refused;
    Refusal refusal;
    OperationEntry entry; // what to book (lines included when they count)
    // The working lines after the check: when the pane had none and the
    // changed operation has lines, a copy of them (the pane keeps it).
    bool workingLinesCopied = false;
};

// `workingLines` is the pane's working ventilation, null when it has none;
// `edited` the operation being changed, null for a new one.
ValidationResult validateEntry(const EntryForm& form, const OperationRecord* edited,
                               const std::vector<VentilationLine>* workingLines, FileTime now);
// The entry booked after OK to string 20410: the lines are dropped and the
// operation stays waiting for its ventilation.
OperationEntry withoutLines(OperationEntry entry);

// --- The ventilation editor ---------------------------------------------------

// The lines being entered for one amount, with what is left to ventilate.
class VentilationDraft {
  public:
    // `amount` is the operation's (negative for a debit); `lines` the pane's
    // working lines, null when it has none; they count against the amount.
    VentilationDraft(double amount, const std::vector<VentilationLine>* lines);

    double total() const { return total_; } // what the "Total" box shows
    double remaining() const { return remaining_; }
    // The working lines; `hasLines()` false when there is no list at all.
    const std::vector<VentilationLine>& lines() const { return lines_; }
    bool hasLines() const { return hasList_; }
    // "Ajouter" is enabled for a nonzero amount.
    static bool canAdd(double value);

    // "Ajouter": a line of `value` for `party`, or the refusal of a zero value.
    Refusal add(double value, PartyId party);
    // "Supprimer": false for a ticked line or a row out of range.
    bool remove(int row);

    // The dialog's "Valider": close with result 1 keeping the lines, ask the
    // question of the amounts left (OK: back to the dialog; Cancel: drop the
    // lines, result 0), or close with result 0 when there is no list.
    enum class Closing { KeepLines, AskAmountsLeft, NoLines };
    Closing close() const;

  private:
    double total_;
    double remaining_;
    std::vector<VentilationLine> lines_;
    bool hasList_;
};

// The editor's line list: "Catégorie" and "Montant" (the amount as stored,
// negative for the lines of a debit). Windows-1252.
std::string ventilationLineText(const Document& doc, const VentilationLine& line, int column);

// The consult dialog: the operation on the first row (its account), then one
// row per line; a debit shows its total under "Débit" and its parts under
// "Crédit", so that the two columns balance.
struct ConsultRow {
    std::string party; // Windows-1252
    std::string debit;
    std::string credit;
    std::uint32_t background; // COLORREF
    std::uint32_t text;
};
std::vector<ConsultRow> ventilationConsultRows(const Document& doc,
                                               const OperationRecord& operation);

} // namespace kolvane
