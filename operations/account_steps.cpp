#include "account_steps.h"

#include <cstddef>
#include <cstring>
#include <new>

namespace kolvane {
namespace {

// The bytes of a record that the file holds; what follows is memory only
// (the logo, the ventilation lines). An account's logo is put back on its own:
// the store keeps every former logo, so its identifier is all there is to keep.
constexpr std::size_t kAccountFields = offsetof(AccountRecord, logo);
constexpr std::size_t kOperationFields = offsetof(OperationRecord, lines);

} // namespace

AccountStep::AccountStep(Document& doc)
    : doc_(doc), lastAccount_(doc.accounts.last()), lastOperation_(doc.operations.last()) {
    take(before_);
}

void AccountStep::take(Side& side) const {
    side.accounts.clear();
    for (AccountRecord& account : doc_.accounts)
        side.accounts.push_back(AccountState{&account, account});
    // The dialog changes no operation but an initial balance.
    side.operations.clear();
    for (OperationRecord& operation : doc_.operations)
        if (isInitialBalance(operation.counterpartyId))
            side.operations.push_back(OperationState{&operation, operation});
    side.nextAccountNumber = doc_.nextAccountNumber;
    side.nextOperationId = doc_.nextOperationId;
    side.currentAccount = doc_.currentAccount;
}

void AccountStep::put(const Side& side) {
    for (const AccountState& state : side.accounts) {
        AccountRecord& account = *state.record;
        std::memcpy(&account, &state.fields, kAccountFields);
        account.logo = state.fields.logo;
    }
    for (const OperationState& state : side.operations)
        std::memcpy(state.record, &state.fields, kOperationFields);
    doc_.nextAccountNumber = side.nextAccountNumber;
    doc_.nextOperationId = side.nextOperationId;
    doc_.currentAccount = side.currentAccount;
}

bool AccountStep::finish(AccountChange change, AccountRecord* deleted) {
    change_ = change;
    finished_ = true;
    fresh_ = true;
    // The records the dialog appended.
    for (AccountRecord* account = doc_.accounts.next(lastAccount_); account;
         account = doc_.accounts.next(account))
        log_.linked(doc_.accounts, doc_.accounts.previous(account), account);
    for (OperationRecord* operation = doc_.operations.next(lastOperation_); operation;
         operation = doc_.operations.next(operation))
        log_.linked(doc_.operations, doc_.operations.previous(operation), operation);

    // Both sides of what the dialog changed; the rest is dropped.
    take(after_);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < before_.accounts.size(); ++i) {
        const AccountState& was = before_.accounts[i];
        const AccountState& is = after_.accounts[i];
        if (std::memcmp(&was.fields, &is.fields, kAccountFields) == 0 &&
            was.fields.logo == is.fields.logo)
            continue;
        before_.accounts[kept] = before_.accounts[i];
        after_.accounts[kept] = after_.accounts[i];
        ++kept;
    }
    before_.accounts.resize(kept);
    after_.accounts.resize(kept);
    kept = 0;
    for (std::size_t i = 0; i < before_.operations.size(); ++i) {
        if (std::memcmp(&before_.operations[i].fields, &after_.operations[i].fields,
                        kOperationFields) == 0)
            continue;
        before_.operations[kept] = before_.operations[i];
        after_.operations[kept] = after_.operations[i];
        ++kept;
    }
    before_.operations.resize(kept);
    after_.operations.resize(kept);
    before_.accounts.shrink_to_fit();
    before_.operations.shrink_to_fit();
    after_.accounts.shrink_to_fit();
    after_.operations.shrink_to_fit();

    return !deleted || deleteAccount(doc_, deleted, log_);
}

const char* AccountStep::name() const {
    switch (change_) {
    case AccountChange::Created:
        return "création d'un compte";
    case AccountChange::Masked:
        return "masquage d'un compte";
    case AccountChange::Deleted:
        return "suppression d'un compte";
    case AccountChange::Modified:
        break;
    }
    return "modification d'un compte";
}

BookingStatus AccountStep::apply(RegisterModel& model) {
    if (!finished_ || applied_)
        return BookingStatus::NoAccount;
    // The first time, the dialog has just made the change.
    if (!fresh_) {
        put(after_);
        log_.redo();
    }
    fresh_ = false;
    applied_ = true;
    showCurrentAccount(model);
    return BookingStatus::Done;
}

void AccountStep::showCurrentAccount(RegisterModel& model) {
    try {
        registerAccount_ = model.account();
        registerRows_ = model.rows();
        registerChained_ = model.balancesChained();
        model.collectRows();
        if (const AccountRecord* account = model.account()) {
            const std::size_t rows = model.rows().size();
            balances_.reserve(rows, rows * sizeof(double));
            for (OperationRecord* r : model.rows())
                balances_.save(r->partyId == account->id ? r->balanceAfterParty
                                                         : r->balanceAfterCounterparty);
        }
        model.recomputeFrom(0);
    } catch (const std::bad_alloc&) {
        // The register shows nothing; the next refresh fills it.
        balances_.restore();
        model.restoreRows(nullptr, {}, false);
    }
    row_ = model.rowCount() - 1;
}

void AccountStep::revert(RegisterModel& model) {
    if (!applied_)
        return;
    balances_.restore();
    model.restoreRows(registerAccount_, std::move(registerRows_), registerChained_);
    registerRows_.clear();
    log_.undo();
    put(before_);
    applied_ = false;
    row_ = model.rowCount() - 1;
}

std::size_t AccountStep::memoryBytes() const {
    std::size_t bytes = sizeof(*this) + log_.memoryBytes() + balances_.memoryBytes() +
                        registerRows_.capacity() * sizeof(OperationRecord*);
    for (const Side* side : {&before_, &after_})
        bytes += side->operations.capacity() * sizeof(OperationState) +
                 side->accounts.capacity() * sizeof(AccountState);
    return bytes;
}

} // namespace kolvane
