// The third parties of the "Tiers" tab: the tree's order, the list of the
// selected party's operations and ventilation lines with its running balance,
// the strip, the layout, and the decisions of the creation and deletion
// dialogs. The changes themselves are booking commands (operations/booking.h).
//
// For the view: `thirdTree(doc)` is the tree in display order and
// `thirdSelectedAfterFill(doc)` the item to select after a refill (the newest
// active party, so that a party just created is the one shown).
// `ThirdRows` is the owner-data list's model; `fill` again after every
// change, since the rows point at the document's records. `kvn thirds`
// prints the same model.
#pragma once

#include "document/choice_lists.h"
#include "document/document.h"
#include "document/refusal.h"
#include "document/row_model.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

// --- Tree ------------------------------------------------------------------------

// Orders names as a French reader does: case and accents ignored (é = E),
// then the plain case-insensitive comparison breaks the tie. <0, 0 or >0.
int compareThirdNames(std::string_view a, std::string_view b);

// The active third parties in display order (equal names keep list order).
std::vector<ThirdRecord*> thirdTree(const Document& doc);
// The last active third party in list order, or null.
ThirdRecord* thirdSelectedAfterFill(const Document& doc);

// --- List ------------------------------------------------------------------------

enum ThirdColumn : int { kThirdDate, kThirdLabel, kThirdDebit, kThirdCredit, kThirdBalance, kThirdColumnCount };

struct ThirdColumnSpec {
    int headerStringId;
    int width; // at creation
    bool rightAligned;
    bool centred;
};
extern const ThirdColumnSpec kThirdColumns[kThirdColumnCount];
inline constexpr int kThirdRowHeight = 20;

// What a row is: the party's own side of an operation, the counterparty side,
// or a ventilation line naming it (always the counterparty side).
enum class ThirdRowKind { Initial, Party, Counterparty, Line };

class ThirdRows : public RowModel {
  public:
    // The rows of `third` (null: none) in list order, their running balances
    // written into the records as the view shows them.
    void fill(Document& doc, const ThirdRecord* third);
    const ThirdRecord* third() const { return third_; }

    int rowCount() const override { return static_cast<int>(rows_.size()); }
    std::string cellText(int row, int column) const override;
    RowLook rowLook(int row) const override;
    OperationRecord* record(int row) const;
    ThirdRowKind kind(int row) const;
    double runningBalance(int row) const;

  private:
    bool partySide(const OperationRecord& record) const { return record.partyId == third_->id; }

    const ThirdRecord* third_ = nullptr;
    std::vector<OperationRecord*> rows_;
};

// --- Layout and strip -----------------------------------------------------------

inline constexpr int kThirdPanelWidth = 250;
inline constexpr int kThirdVirtualWidth = 800;
inline constexpr int kThirdVirtualHeight = 500;
inline constexpr int kThirdStripHeight = 26;

// The list and strip of a view whose client area is `width` x `height`.
struct ThirdLayout {
    int panelHeight;
    int listWidth;
    int listHeight; // the strip starts there
    int labelWidth;
    int balanceWidth; // -1: the rest of the row
};
ThirdLayout thirdLayout(int width, int height);

struct ThirdStripTexts {
    std::string name;    // Windows-1252
    std::string balance; // empty when no third party is selected
};
ThirdStripTexts thirdStripTexts(const ThirdRecord* third);

// The strip's four pieces, from left to right: the "Tiers" caption
// (right-aligned), the name, the "Solde" caption (right-aligned), the balance.
struct ThirdStripCell {
    int left;
    int right;
    bool caption;
};
std::array<ThirdStripCell, 4> thirdStripCells(int width);

// --- Creation (dialog 214) --------------------------------------------------------

inline constexpr int kThirdNameLength = 39;
inline constexpr int kThirdNoteLength = 127;

// The record of the same name, case ignored, masked ones included; null if none.
ThirdRecord* findThirdByName(const Document& doc, std::string_view nameCp1252);

// --- Deletion (dialog 215) --------------------------------------------------------

// A party that only its initial balance names goes at once, with it.
bool deletesWithoutDialog(const Document& doc, const ThirdRecord& third);

// The targets offered: the entry pane's party list without "Opération
// ventillée". The selected row is the first sub-category, else the first
// other party that can be chosen; -1 when there is none: then the transfer
// is not offered, only masking.
ChoiceList thirdTargets(const Document& doc, const ThirdRecord& deleted);

enum class TargetCheck {
    Accepted,
    Heading,   // string 20403; the previous choice comes back
    SameThird, // kSameThirdMessage; the dialog stays open
};
// The refusal of a target check (a heading is no refusal: the previous
// choice comes back).
Refusal thirdTargetRefusal(TargetCheck check);
// "Nouveau Tiers" refuses an empty name.
Refusal thirdNameRefusal(std::string_view nameCp1252);
TargetCheck checkThirdTarget(const ChoiceList& targets, int index, const ThirdRecord& deleted);

// Dialog 215's results.
inline constexpr int kThirdDeleteCancelled = 0;
inline constexpr int kThirdMask = 4;
inline constexpr int kThirdMoved = 8;
inline constexpr int kThirdMovedToCurrentAccount = 16;
int transferResult(const Document& doc, PartyId target);

} // namespace kolvane
