// Booking: every change to the operations of the document is a command that
// applies it completely -- the balances and operation counts of the accounts
// and third parties on both sides and of every ventilation line, ticked
// balances, the register's rows and running balances, the identifier
// counter, the label list and the modified flag -- and can take it back
// exactly: after a revert the document saves to the very same bytes.
//
// Commands act on a `RegisterModel` (and through it on its `Document`); the
// current account is the register's account. The document's one
// `BookingHistory` (the main window's `history()`, over the register's
// model) applies them and keeps them for undo and redo. A new kind of change
// is a `BookingCommand` performed there: it needs only `apply`, `revert`,
// `name` (the tool-tip's "Annuler : ...") and, when it holds much memory,
// `memoryBytes`; the history keeps the modified flag and the undo buttons.
// A change made outside it must clear it (or say `changedOutside` when it
// touches nothing a step points at, as a password), and the history must be
// cleared before the document is closed.
//
// Records stay at their address for as long as a command may need them: a
// deleted operation is unlinked, not released, and linked back in place on
// undo, so a pointer held by a later command (or by the view) stays good.
//
// How the register view and the entry pane use it:
//   - showing an account (file opened, accounts menu, the overview's double
//     click): perform(makeSelectAccount(account)); menus 1320 and 1321:
//     perform(makeSortOrder(0 or 1));
//   - a click that `clickTicks`: perform(makeToggleTick(record, now));
//   - menu 1301, once `kDeleteQuestion` is answered Yes:
//     perform(makeDeleteOperation(record, row));
//   - "Valider": `validateEntry` (entry_rules.h), string 20410 asked when it
//     says so, then perform(makeNewOperation(entry)) or
//     perform(makeChangeOperation(editedRecord, editRow, entry));
//   - after each perform, undo or redo: the row count may have changed
//     (reload the list), make `lastRow()` visible, refresh the strip from
//     `model.balanceStrip()`; the history's `changed` brings the menus, the
//     buttons and the title up to date.
#pragma once

#include "operations/register_model.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kolvane {

enum class BookingStatus {
    Done,
    NoAccount,       // no current account, or the register shows another one
    NotARow,         // the record is not a row of the register
    Ticked,          // a ticked operation cannot be changed or deleted
    InitialBalance,  // nor can an initial balance
    VentilationLine, // lines are changed through their operation
    OutOfMemory,     // string 20401; nothing was changed
    NoTarget,        // a transfer of third-party operations needs a party to go to...
    SameThird,       // ...other than the third party being deleted
    ModeInUse,       // operations use the mode and none may take them (or a header)
};

// What "Valider" books, read from the entry pane.
struct OperationEntry {
    double amount = 0.0; // signed, seen from the current account (debit < 0)
    PartyId party = 0;   // the chosen category, third party, account or Split
    std::uint16_t modeId = 0;
    FileTime operationDate = 0;
    std::string label;        // Windows-1252
    bool labelChosen = false; // picked from the label list: not added to it
    // The ventilation to attach (its lines carry `partyId` Split, their
    // counterparty and their part of the amount). Attached only when
    // `useLines` is set and there is at least one line.
    bool useLines = false;
    std::vector<VentilationLine> lines;
    FileTime now = 0; // entry and change date
};

class BookingCommand {
  public:
    virtual ~BookingCommand() = default;
    // Applies the command; on anything but Done nothing was changed. A
    // reverted command can be applied again (redo).
    virtual BookingStatus apply(RegisterModel& model) = 0;
    virtual void revert(RegisterModel& model) = 0;
    // False for a change of what the register shows (its account, its
    // order), which rewrites only running balances.
    virtual bool changesDocument() const { return true; }
    // What the step is, for "Annuler : ..." (UTF-8).
    virtual const char* name() const = 0;
    // The row of the operation concerned after the last apply or revert,
    // -1 when it has none; the view makes it visible.
    int row() const { return row_; }
    // About the memory the command holds, for the history's bound.
    virtual std::size_t memoryBytes() const { return 256; }

  protected:
    int row_ = -1;
};

// "Valider" of a new operation: appended to the operations, booked on the
// current account and on the counterparty, its lines on theirs, the label
// added when typed, the row inserted after its equals.
std::unique_ptr<BookingCommand> makeNewOperation(OperationEntry entry);
// "Valider" of a change of `record`, shown at register row `row` (-1: look
// it up). An own row changes its counterparty, an incoming one its party.
std::unique_ptr<BookingCommand> makeChangeOperation(OperationRecord* record, int row,
                                                    OperationEntry entry);
// Deletion of an own or incoming row, with everything it booked.
std::unique_ptr<BookingCommand> makeDeleteOperation(OperationRecord* record, int row);
// Ticks the row's record when it is not ticked, unticks it otherwise.
std::unique_ptr<BookingCommand> makeToggleTick(OperationRecord* record, FileTime now);
// Shows another account in the register (its running balances recomputed).
std::unique_ptr<BookingCommand> makeSelectAccount(AccountRecord* account);
// Sorts the register by entry (0) or by operation date (1).
std::unique_ptr<BookingCommand> makeSortOrder(std::uint32_t sortOrder);
// An imported statement: each entry booked as "Valider" books a new
// operation (in order, each with the next identifier, no label added unless
// `labelChosen` is false), all in one step; the register's rows are
// collected again once.
std::unique_ptr<BookingCommand> makeImportOperations(std::vector<OperationEntry> entries);

// --- Third parties (third_booking.cpp) ----------------------------------------
// They leave the register's rows as a fresh fill finds them. Texts are
// Windows-1252, cut to the record's fields.
struct ThirdEntry {
    std::string name;
    double initialBalance = 0.0;
    std::string note;
    FileTime now = 0; // entry and change dates of the initial-balance operation
};
// "Nouveau Tiers": the third party and its initial-balance operation.
std::unique_ptr<BookingCommand> makeNewThird(ThirdEntry entry);
// A new initial balance and note for `third` (its name is not changed).
std::unique_ptr<BookingCommand> makeChangeThird(ThirdRecord* third, ThirdEntry entry);
std::unique_ptr<BookingCommand> makeRenameThird(ThirdRecord* third, std::string name);
// Hides `third` from the tree; its operations stay.
std::unique_ptr<BookingCommand> makeMaskThird(ThirdRecord* third);
// Removes a third party that only its initial balance names, with that
// operation (the first one it is the party of).
std::unique_ptr<BookingCommand> makeDeleteThird(ThirdRecord* third);
// Moves every operation and ventilation line of `third` to `target` (a
// category, a third party or an account), then removes `third` and its
// initial-balance operation.
std::unique_ptr<BookingCommand> makeTransferThird(ThirdRecord* third, PartyId target);

// --- The reference lists (category, label and mode editors) ---------------
// Records added stay at their address through undo and redo, and records
// taken out are kept until the command goes, so pointers held by later
// commands and by the editors stay good.

// Inserts `records` (one sub-category, or a category and its first
// sub-category) right after `after`, or at the front when null.
std::unique_ptr<BookingCommand> makeAddCategories(CategoryRecord* after,
                                                  std::vector<CategoryRecord> records);
// "Supprimer" / "Activer": flips `shown` of one category row.
std::unique_ptr<BookingCommand> makeToggleCategoryShown(CategoryRecord* category);
// A new label after `after` (at the front when null).
std::unique_ptr<BookingCommand> makeAddLabel(LabelRecord* after, const LabelRecord& label);
// Binds an existing label to another party.
std::unique_ptr<BookingCommand> makeRebindLabel(LabelRecord* label, CategoryId party);
std::unique_ptr<BookingCommand> makeDeleteLabel(LabelRecord* label);
// A new mode of transaction after `after` (at the front when null).
std::unique_ptr<BookingCommand> makeAddMode(ModeRecord* after, const ModeRecord& mode);
// Withdraws a mode; the operations that use it (and their ventilation lines)
// take `replacement` first. Without a replacement no operation may use it.
std::unique_ptr<BookingCommand> makeWithdrawMode(ModeRecord* mode, ModeRecord* replacement);
// Moves a mode to right after `after` (to the front when null).
std::unique_ptr<BookingCommand> makeMoveMode(ModeRecord* mode, ModeRecord* after);

// The document's one history: every step that changes the document goes
// through `perform`, whoever makes it (the register, the entry pane, the
// frame's dialogs). It keeps the modified flag: after each perform, undo and
// redo the document is modified exactly when it differs from the state last
// saved (`markSaved`).
class BookingHistory {
  public:
    // The oldest steps go first once there are more than this many, or once
    // they hold more memory than this; the newest step always stays.
    static constexpr std::size_t kMaxSteps = 1000;
    static constexpr std::size_t kMaxBytes = std::size_t{64} << 20;

    explicit BookingHistory(RegisterModel& model);
    ~BookingHistory() {
        changed = nullptr;
        clear();
    }
    BookingHistory(const BookingHistory&) = delete;
    BookingHistory& operator=(const BookingHistory&) = delete;

    RegisterModel& model() const { return model_; }

    // Applies the command and, when it is done, keeps it for undo (the steps
    // that were undone can no longer be redone).
    BookingStatus perform(std::unique_ptr<BookingCommand> command);

    // A user's undo: takes back the changes of view made since the last step
    // that changed the document, then that step. Redo brings back one step
    // and the changes of view that followed it.
    bool canUndo() const;
    bool canRedo() const;
    bool undo();
    bool redo();
    // One command back or forward, of any kind.
    bool stepBack();
    bool stepForward();
    // The command that the next undo or redo takes back or brings back.
    const BookingCommand* nextUndo() const;
    const BookingCommand* nextRedo() const;
    // The row to make visible after the last perform, undo or redo.
    int lastRow() const { return lastRow_; }

    // The document as it is now is the one in its file (after a save).
    void markSaved();
    // The document changed in a way no step takes back (a user, a
    // password): it is modified, whatever is undone afterwards.
    void changedOutside();

    // Steps kept for undo and redo, and the memory they hold.
    std::size_t stepCount() const { return done_.size() + undone_.size(); }
    std::size_t memoryBytes() const;

    // Forgets every step; the document as it is counts as saved when its
    // modified flag is clear. Before a file is closed or another opened.
    void clear();

    // Called after anything that may change what can be undone or redone,
    // or the modified flag (the frame's buttons and title follow).
    std::function<void()> changed;

  private:
    struct Step {
        std::unique_ptr<BookingCommand> command;
        std::uint64_t state; // the document's state once the step is applied
    };
    std::uint64_t currentState() const { return done_.empty() ? baseState_ : done_.back().state; }
    void followSavedState(); // and tells `changed`
    void dropOldSteps();
    // Takes the last step of `from`, plays it (apply or revert) and puts it
    // on `to`; false when `from` is empty.
    bool moveStep(std::vector<Step>& from, std::vector<Step>& to,
                  const std::function<void(BookingCommand&)>& play);

    RegisterModel& model_;
    std::vector<Step> done_;
    std::vector<Step> undone_;
    std::uint64_t baseState_ = 0;  // before the oldest step kept
    std::uint64_t lastState_ = 0;  // the last state handed out
    std::uint64_t savedState_ = 0; // kNoState: none of them
    int lastRow_ = -1;
};

} // namespace kolvane
