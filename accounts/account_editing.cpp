#include "account_editing.h"

#include "document/calendar.h"
#include "document/operation_texts.h"
#include "document/text.h"

#include <cstring>

namespace kolvane {
namespace {

constexpr std::size_t kNameLength = sizeof(AccountRecord::name) - 1;

// The name as the 39-character combo box can hold it, without outer spaces.
std::string boundedName(std::string_view name) {
    return trimSpaces(name.substr(0, kNameLength));
}

// The initial-balance operation of `account`. The identifier alone is not
// trusted: an account whose operation could never be made holds 0 there,
// which is another account's operation in a new file.
OperationRecord* initialOperationOf(const Document& doc, const AccountRecord& account) {
    OperationRecord* operation = findOperationById(doc, account.initialOperationId);
    if (!operation || operation->partyId != account.id ||
        !isInitialBalance(operation->counterpartyId))
        return nullptr;
    return operation;
}

void changeInitialBalance(Document& doc, AccountRecord& account, double wanted, FileTime now) {
    account.balance += wanted - account.initialBalance;
    account.initialBalance = wanted;
    if (OperationRecord* operation = initialOperationOf(doc, account)) {
        operation->amount = wanted;
        operation->modifierUserId = currentUserId(doc);
        operation->modifiedDate = now;
    }
}

void copyFormTexts(AccountRecord& account, const AccountForm& form) {
    account.minimumAllowed = form.minimumAllowed;
    account.minimumWanted = form.minimumWanted;
    setFieldText(account.holderName, form.holderName);
    setFieldText(account.holderFirstNames, form.holderFirstNames);
    if (form.civility >= 0 && form.civility <= 4)
        account.civility = static_cast<std::uint8_t>(form.civility);
    setFieldText(account.address, form.address);
    setFieldText(account.addressComplement, form.addressComplement);
    setFieldText(account.city, form.city);
    setFieldText(account.postCode, form.postCode);
    if (form.selectedBank)
        setFieldText(account.bankName, form.bankName);
    setFieldText(account.accountNumber, form.accountNumber);
    setFieldText(account.bankCode, form.bankCode);
    setFieldText(account.branchCode, form.branchCode);
    setFieldText(account.ribKey, form.ribKey);
    setFieldText(account.domiciliation, form.domiciliation);
    setFieldText(account.bic, form.bic);
    setFieldText(account.phone, form.phone);
    setFieldText(account.webAddress, form.webAddress);
}

// Without memory for the logo the account keeps the one it had: the rest of
// the form is still worth applying.
void keepBankLogo(Document& doc, AccountRecord& account, const LogoBlocks& bank) {
    static_cast<void>(copyBankLogo(doc, account, bank));
}

void modifyAccount(Document& doc, AccountRecord& account, const AccountForm& form, FileTime now) {
    const std::string newName = boundedName(form.newName);
    if (form.renameEnabled && form.renameChecked && !newName.empty())
        setFieldText(account.name, newName);
    // A ticked initial operation keeps its amount: the ticked balance holds
    // it, and 1121 is disabled for that reason.
    if (form.initialBalanceEnabled && !account.initialPointed)
        changeInitialBalance(doc, account, form.initialBalance, now);
    if (form.selectedBank)
        keepBankLogo(doc, account, *form.selectedBank);
}

} // namespace

int nextPageIndex(int current, int count, bool backwards) {
    if (count <= 0 || current < 0 || current >= count)
        return 0;
    return (current + (backwards ? count - 1 : 1)) % count;
}

bool applyEnabled(std::string_view nameText) {
    return !trimSpaces(nameText).empty();
}

AccountRecord* findAccountByName(const Document& doc, std::string_view nameCp1252) {
    const std::string name = boundedName(nameCp1252);
    for (AccountRecord& account : doc.accounts)
        if (isAccount(account.id) && equalNoCase(fieldText(account.name), name))
            return &account;
    return nullptr;
}

ApplyDecision decideApply(const Document& doc, const AccountForm& form) {
    ApplyDecision decision;
    if (boundedName(form.name).empty()) {
        decision.action = ApplyAction::EmptyName;
        decision.message = kMessageEmptyAccountName;
        decision.focusControl = kAccountNameControl;
        decision.showGeneralPage = true;
        return decision;
    }
    if (AccountRecord* account = findAccountByName(doc, form.name)) {
        decision.action = ApplyAction::Modify;
        decision.account = account;
        decision.message = kQuestionModifyAccount;
        return decision;
    }
    decision.action = ApplyAction::Create;
    return decision;
}

bool copyBankLogo(Document& doc, AccountRecord& account, const LogoBlocks& bank) {
    if (!bank.pixels || !bank.mask)
        return true;
    // The same picture again keeps its identifier: the account is unchanged.
    if (const Logo* current = accountLogo(doc, account))
        if (std::memcmp(current->pixels.data(), bank.pixels, kLogoPixelBytes) == 0 &&
            std::memcmp(current->mask.data(), bank.mask, kLogoMaskBytes) == 0)
            return true;
    const LogoId logo = doc.logos.add({bank.pixels, kLogoPixelBytes}, {bank.mask, kLogoMaskBytes});
    if (logo == kNoLogo)
        return false;
    account.logo = logo;
    return true;
}

AccountApplied applyAccountForm(Document& doc, const AccountForm& form, AccountRecord* target,
                                FileTime now, AccountRecord** applied) {
    if (applied)
        *applied = nullptr;
    AccountApplied result = AccountApplied::Modified;
    if (target) {
        modifyAccount(doc, *target, form, now);
    } else {
        const int countBefore = doc.accounts.count();
        target = createAccount(doc, boundedName(form.name), form.initialBalance);
        if (!target) {
            // The record itself, or only its initial operation, failed.
            if (doc.accounts.count() == countBefore)
                return AccountApplied::OutOfMemory;
            if (applied)
                *applied = doc.accounts.last();
            return AccountApplied::CreatedWithoutOperation;
        }
        // createAccount stamps its operation with the clock; keep one "now".
        if (OperationRecord* operation = initialOperationOf(doc, *target)) {
            operation->entryDate = operation->modifiedDate = now;
            operation->operationDate = initialBalanceDate(now);
        }
        if (form.selectedBank)
            keepBankLogo(doc, *target, *form.selectedBank);
        result = AccountApplied::Created;
    }
    copyFormTexts(*target, form);
    if (doc.currentAccount == target && !target->active)
        moveCurrentOffAccount(doc, *target);
    else if (target->active)
        doc.currentAccount = target;
    if (applied)
        *applied = target;
    return result;
}

void moveCurrentOffAccount(Document& doc, const AccountRecord& account) {
    if (doc.currentAccount == &account)
        doc.currentAccount = neighbourActiveAccount(doc, &account);
}

DeleteDecision decideDelete(const Document& doc) {
    DeleteDecision decision;
    decision.allowed = countAccounts(doc, 0) >= 2;
    if (!decision.allowed)
        decision.message = kMessageKeepOneActiveAccount;
    return decision;
}

bool applyDeleteChoice(Document& doc, AccountRecord* account, DeleteChoice choice,
                       int* deletedPosition) {
    if (!account)
        return false;
    if (choice == DeleteChoice::Mask) {
        account->active = 0;
        if (deletedPosition)
            *deletedPosition = -1;
    } else if (deletedPosition) {
        *deletedPosition = accountIndex(doc, account, 1);
    }
    moveCurrentOffAccount(doc, *account);
    return true;
}

AccountForm fillFormFromAccount(const AccountRecord& account) {
    AccountForm form;
    form.name = std::string(fieldText(account.name));
    form.initialBalance = account.initialBalance;
    form.initialBalanceEnabled = account.initialPointed == 0;
    form.minimumAllowed = account.minimumAllowed;
    form.minimumWanted = account.minimumWanted;
    form.renameEnabled = true;
    form.civility = account.civility <= 4 ? account.civility : -1;
    form.holderName = std::string(fieldText(account.holderName));
    form.holderFirstNames = std::string(fieldText(account.holderFirstNames));
    form.address = std::string(fieldText(account.address));
    form.addressComplement = std::string(fieldText(account.addressComplement));
    form.city = std::string(fieldText(account.city));
    form.postCode = std::string(fieldText(account.postCode));
    form.bankName = std::string(fieldText(account.bankName));
    form.accountNumber = std::string(fieldText(account.accountNumber));
    form.bankCode = std::string(fieldText(account.bankCode));
    form.branchCode = std::string(fieldText(account.branchCode));
    form.ribKey = std::string(fieldText(account.ribKey));
    form.domiciliation = std::string(fieldText(account.domiciliation));
    form.bic = std::string(fieldText(account.bic));
    form.phone = std::string(fieldText(account.phone));
    form.webAddress = std::string(fieldText(account.webAddress));
    return form;
}

} // namespace kolvane
