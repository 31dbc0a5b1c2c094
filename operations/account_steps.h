// The account dialog's changes as steps of the history: creating, modifying
// or masking an account, and deleting one with its operations.
//
// The dialog changes the document itself; the step is taken around it:
//     auto step = std::make_unique<AccountStep>(doc); // before the dialog runs
//     ... the dialog applies its form or its delete choice ...
//     step->finish(AccountChange::Deleted, account);  // after it
//     history.perform(std::move(step));
// The step keeps what the dialog may change as it was before and after (the
// accounts' records and logos, their initial-balance operations, the
// counters, the current account), the records the dialog added, and the
// deletion of an account with its operations. Applying it also shows the
// current account in the register, with its running balances.
#pragma once

#include "operations/booking.h"
#include "operations/booking_journal.h"

#include "document/edit_log.h"

#include <cstdint>
#include <vector>

namespace kolvane {

enum class AccountChange { Created, Modified, Masked, Deleted };

class AccountStep : public BookingCommand {
  public:
    explicit AccountStep(Document& doc);

    // After the dialog: what it did, and the account to delete for good with
    // its operations (Deleted), or null. False when memory ran out during
    // the deletion: nothing was deleted.
    bool finish(AccountChange change, AccountRecord* deleted = nullptr);

    BookingStatus apply(RegisterModel& model) override;
    void revert(RegisterModel& model) override;
    const char* name() const override;
    std::size_t memoryBytes() const override;

  private:
    struct AccountState {
        AccountRecord* record;
        AccountRecord fields;
    };
    struct OperationState {
        OperationRecord* record;
        OperationRecord fields;
    };
    struct Side {
        std::vector<AccountState> accounts;
        std::vector<OperationState> operations;
        std::uint16_t nextAccountNumber = 0;
        std::uint32_t nextOperationId = 0;
        AccountRecord* currentAccount = nullptr;
    };
    void take(Side& side) const;
    void put(const Side& side);
    void showCurrentAccount(RegisterModel& model);

    Document& doc_;
    AccountChange change_ = AccountChange::Modified;
    Side before_, after_;
    AccountRecord* lastAccount_;     // the last records before the dialog:
    OperationRecord* lastOperation_; // those after them are the dialog's
    EditLog log_;                    // the records added, then the deletion
    bool finished_ = false;
    bool fresh_ = false; // finished, not applied yet: the change is made
    bool applied_ = false;
    // The register as it was, and the running balances written over.
    AccountRecord* registerAccount_ = nullptr;
    std::vector<OperationRecord*> registerRows_;
    bool registerChained_ = false;
    Journal balances_;
};

} // namespace kolvane
