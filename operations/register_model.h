// The register of the current account, as the "Opérations" tab shows it:
// which records are its rows, in which order, their running balances, and
// the texts, flags and colours of every cell. The rows point at the
// document's own records (operations, or ventilation lines of other
// accounts' splits); the model never owns them.
//
// For the register view (an owner-data list view over this model):
//   - it is the `RowModel` of the toolkit's list: `rowCount()`, `cellText(row,
//     column)` as drawn (Windows-1252) and `rowLook(row)` (brush and text
//     colour when not selected); `rowFlags(row)` says what kind of row it is
//     and what the menus allow on it; `kRegisterColumns` is the column table
//     (the balance column is bold). Ask only for the rows being painted:
//     nothing here walks the rows to answer.
//   - `record(row)` is the row's record, the "item data" of the row.
//   - every change (account chosen, order, new, change, delete, tick) goes
//     through the booking core (booking.h), which keeps the rows and their
//     running balances up to date and says which row to repaint from. The
//     view never changes records itself.
//   - `balanceStrip()` gives the three values of the strip under the list.
//   - after anything outside the booking core changed accounts or operations
//     (the account dialog, a deletion of an account or a third party), the
//     rows may point at records that are gone: clear the history and show
//     the account again.
#pragma once

#include "document/document.h"
#include "document/row_model.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

// Colours as the Win32 COLORREF holds them (0x00BBGGRR).
constexpr std::uint32_t rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return r | (g << 8) | (b << 16);
}
inline constexpr std::uint32_t kRowWhite = rgb(255, 255, 255);
inline constexpr std::uint32_t kRowLightBlue = rgb(240, 245, 255);
inline constexpr std::uint32_t kMoneyInColour = rgb(223, 110, 0);
inline constexpr std::uint32_t kMoneyOutColour = rgb(40, 40, 180);

enum RegisterColumn : int {
    kColumnDate,
    kColumnMode,
    kColumnCategory,
    kColumnLabel,
    kColumnTicked,
    kColumnDebit,
    kColumnCredit,
    kColumnBalance,
    kRegisterColumnCount
};

enum class TextAlign : std::uint8_t { Left, Centre, Right };

struct RegisterColumnSpec {
    int headerStringId;     // 0: the header is `headerText` itself
    const char* headerText; // UTF-8, as in the string table
    int width;              // at creation
    TextAlign headerAlign;
    TextAlign cellAlign;
    bool bold; // drawn with the bold font
};
extern const RegisterColumnSpec kRegisterColumns[kRegisterColumnCount];

inline constexpr int kRegisterRowHeight = 20;

// Where the list, the strip and the entry pane go in a register window of
// client size `width` x `height` (before scrolling by the page offsets).
struct RegisterLayout {
    int listWidth;  // never below 800
    int listHeight; // never below 195
    int stripY;
    int paneY; // meaningful when the pane is shown
};
inline constexpr int kBalanceStripHeight = 26;
inline constexpr int kEntryPaneHeight = 125;
RegisterLayout registerLayout(int width, int height, bool paneShown);

// Widths of the label column and of the balance column for a list whose
// client area is `listClientWidth` wide; a balance width of -1 asks the list
// to fill the rest of the row (its automatic width).
struct RegisterColumnWidths {
    int label;
    int balance;
};
RegisterColumnWidths registerColumnWidths(int listClientWidth);

// What a row is, and what may be done with it.
enum RegisterRowFlag : std::uint32_t {
    kRowIncoming = 1u << 0,       // booked by another account or party, seen from here
    kRowLine = 1u << 1,           // a ventilation line of another account's split
    kRowInitialBalance = 1u << 2, // the account's initial balance
    kRowTicked = 1u << 3,
    kRowOdd = 1u << 4,        // odd index: white; even index: light blue
    kRowMoneyIn = 1u << 5,    // money into the account; otherwise money out
    kRowWaiting = 1u << 6,    // a split whose ventilation is not entered yet
    kRowCanModify = 1u << 7,  // "Supprimer opération" and "Modifier opération"
    kRowCanConsult = 1u << 8, // "Consulter la ventillation"
};

// Colours of a row that is not selected (a selected row takes the system's
// highlight colours).
RowLook rowColours(std::uint32_t flags);

// The strip's values: the account's name, its ticked and its current balance.
struct BalanceStripTexts {
    std::string accountName; // Windows-1252
    std::string pointedText;
    std::string balanceText;
};
BalanceStripTexts balanceStripTexts(const AccountRecord* account);

// The question asked before a deletion.
inline constexpr const char* kDeleteQuestion = "Voulez-vous supprimer vraiment cette opération?";

// What a click on a cell does besides selecting the row: tick or untick it.
bool clickTicks(const Document& doc, int rowCount, int row, int column);

// A row and its sort key, while the rows are sorted.
struct SortItem {
    std::uint64_t key;
    OperationRecord* record;
};

class RegisterModel : public RowModel {
  public:
    explicit RegisterModel(Document& doc) : doc_(doc) {}
    RegisterModel(const RegisterModel&) = delete;
    RegisterModel& operator=(const RegisterModel&) = delete;

    Document& document() const { return doc_; }
    // The account whose rows are held: the current account at the last fill.
    AccountRecord* account() const { return account_; }

    // --- Reading the rows -------------------------------------------------
    int rowCount() const override { return static_cast<int>(rows_.size()); }
    OperationRecord* record(int row) const;
    const std::vector<OperationRecord*>& rows() const { return rows_; }
    // The row of `record`, or -1.
    int findRow(const OperationRecord* record) const;

    std::uint32_t rowFlags(int row) const;
    // The row's text in `column`, as drawn (Windows-1252); empty out of range.
    std::string cellText(int row, int column) const override;
    RowLook rowLook(int row) const override { return rowColours(rowFlags(row)); }
    // What the row moves into the account (negative: out of it).
    double movement(int row) const;
    // The running balance cached in the row's record.
    double runningBalance(int row) const;
    BalanceStripTexts balanceStrip() const { return balanceStripTexts(account_); }

    // --- Filling ------------------------------------------------------------
    // The rows of the current account in the order of `Document::sortOrder`,
    // with the running balances recomputed from the first row.
    void fill();
    // The same rows and order, without writing any running balance.
    void collectRows();
    // Sorts the rows again with the order of `Document::sortOrder`; equal rows
    // keep their relative order.
    void sortRows();
    // Puts back a row list saved from `rows()`, with what `balancesChained`
    // said then (undo of a fill or a sort).
    void restoreRows(AccountRecord* account, std::vector<OperationRecord*> rows, bool chained);
    // Room for `count` rows, so that inserting one cannot fail half-way.
    void reserveRows(int count) { rows_.reserve(static_cast<std::size_t>(count)); }

    // --- Changes (the booking core's) ---------------------------------------
    // The row at which `record` goes in the current order, after the rows
    // equal to it, the walk over equal rows stopping at `stopAt` (-1: none).
    int insertPosition(const OperationRecord& record, int stopAt) const;
    void insertRow(int row, OperationRecord* record);
    void removeRow(int row);
    // Moves the row at `from` so that it ends at index `to`.
    void moveRow(int from, int to);

    // Running balances. `recomputeFrom(row)` writes them from `row` to the
    // end, starting from the previous row's cached balance (0 at row 0). To
    // undo it exactly, a change first takes a `BalanceTrail` of the rows it
    // will move (in their order before the change) and, once the rows are
    // back in that order, `restoreBalances` writes the very same values again.
    struct BalanceTrail {
        int from = 0;
        bool chained = false; // the old values were the running sums themselves
        std::vector<std::pair<int, double>> exceptions; // rows whose value was not
    };
    void recomputeFrom(int row);
    BalanceTrail captureBalances(int from) const;
    void restoreBalances(const BalanceTrail& trail);
    // True when every row's cached balance is known to be the running sum.
    bool balancesChained() const { return chained_; }

  private:
    bool isOwn(const OperationRecord& record) const { return record.partyId == account_->id; }
    double& balanceField(OperationRecord& record) const {
        return isOwn(record) ? record.balanceAfterParty : record.balanceAfterCounterparty;
    }

    Document& doc_;
    AccountRecord* account_ = nullptr;
    std::vector<OperationRecord*> rows_;
    bool chained_ = false;
    std::vector<SortItem> sortInitial_, sortOthers_, sortBuffer_;
};

} // namespace kolvane
