// The rules of the account dialog, apart from its windows: what "Appliquer"
// and "Supprimer ce compte" decide and what they change in the document. The
// dialog reads its controls into an AccountForm, asks for a decision, shows
// the message or question it names, then applies.
#pragma once

#include "document/document.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kolvane {

// Controls and strings the decisions name.
inline constexpr int kAccountNameControl = 1126;
inline constexpr int kMessageEmptyAccountName = 20400;
inline constexpr int kMessageOutOfMemory = 20401;
inline constexpr int kMessageKeepOneActiveAccount = 20405;
inline constexpr int kQuestionModifyAccount = 20800;

// What the account dialog changed, as the frame is told.
enum class AccountOutcome { Unchanged, Created, Modified, MaskedOrDeleted };

// The two logo blocks of a bank (13 824 and 576 bytes); a bank without logo
// has neither.
struct LogoBlocks {
    const std::uint8_t* pixels = nullptr;
    const std::uint8_t* mask = nullptr;
};

// What the three pages show. Texts are Windows-1252.
struct AccountForm {
    // General page.
    std::string name; // combo box 1126
    double initialBalance = 0.0;
    bool initialBalanceEnabled = true; // 1121 is disabled when the initial operation is ticked
    double minimumAllowed = 0.0;
    double minimumWanted = 0.0;
    bool renameEnabled = false; // check box 1125
    bool renameChecked = false;
    std::string newName; // edit 1127

    // Personal page. -1 when no radio button is checked.
    int civility = 0;
    std::string holderName;
    std::string holderFirstNames;
    std::string address;
    std::string addressComplement;
    std::string city;
    std::string postCode;

    // Bank page.
    std::string bankName; // the text of list 1141
    std::string accountNumber;
    std::string bankCode;
    std::string branchCode;
    std::string ribKey;
    std::string domiciliation;
    std::string bic;
    std::string phone;
    std::string webAddress;
    // The logo of the bank chosen in 1141, or null when no bank is chosen.
    const LogoBlocks* selectedBank = nullptr;
};

enum class ApplyAction { EmptyName, Modify, Create };

struct ApplyDecision {
    ApplyAction action = ApplyAction::Create;
    AccountRecord* account = nullptr; // the account to modify
    int message = 0;                  // message (EmptyName) or question (Modify) to show
    int focusControl = 0;             // the control that gets the focus after the message
    bool showGeneralPage = false;
};

// Step one of "Appliquer": refuse an empty name (spaces alone count as empty),
// else modify the first account (masked ones included) whose name equals the
// typed one without its outer spaces, ignoring case, after question 20800,
// else create one.
ApplyDecision decideApply(const Document& doc, const AccountForm& form);

// The account that "Appliquer" would modify for `name`, or null.
AccountRecord* findAccountByName(const Document& doc, std::string_view nameCp1252);

// Applies the form to `target`, or creates an account when `target` is null
// (named without the outer spaces typed). The bank name is written only when
// a bank is chosen in the list, so an account keeps the bank it had.
// `applied` receives the account.
enum class AccountApplied {
    Created,
    Modified,
    // The new account is made but not its initial-balance operation: the
    // account stays, without operation, and the dialog ends as unchanged.
    CreatedWithoutOperation,
    // Not even the account record could be made: message 20401, the dialog
    // stays open.
    OutOfMemory,
};
[[nodiscard]] AccountApplied applyAccountForm(Document& doc, const AccountForm& form, AccountRecord* target, FileTime now,
                     AccountRecord** applied = nullptr);

// Gives the account a copy of the bank's logo, kept in the document's store.
// A bank without both blocks changes nothing. False when memory runs out:
// the account keeps the logo it had.
[[nodiscard]] bool copyBankLogo(Document& doc, AccountRecord& account, const LogoBlocks& bank);

// When `account` is the current account, the current account moves to the
// next active account after it, else the nearest active one before it, else
// none.
void moveCurrentOffAccount(Document& doc, const AccountRecord& account);

struct DeleteDecision {
    bool allowed = false;
    int message = 0; // 20405 when refused
};

// "Supprimer ce compte" needs at least two active accounts, whichever
// account is picked.
DeleteDecision decideDelete(const Document& doc);

// What the delete dialog 213 chose.
enum class DeleteChoice { Mask, Forever };

// Carries out the choice for the account picked in 1126: masking makes it
// inactive and reports -1; deleting reports its position among all accounts
// (masked ones included) for the caller to delete. Moves the current account
// off it in both cases. False, with nothing done, when no account is picked.
[[nodiscard]] bool applyDeleteChoice(Document& doc, AccountRecord* account, DeleteChoice choice,
                                     int* deletedPosition);

// "Masquer" is offered only for an account that is not masked already.
inline bool maskOffered(const AccountRecord& account) {
    return account.active != 0;
}

// The pages filled from a picked account. The bank list, the rename check box
// state and the logo are the dialog's: selectedBank is null, renameChecked false.
AccountForm fillFormFromAccount(const AccountRecord& account);

// The page (or tab) that Ctrl+Tab shows after `current` among `count`, or
// Ctrl+Shift+Tab before it; both wrap around. Without a current one, the first.
int nextPageIndex(int current, int count, bool backwards);

// Button refresh: "Appliquer" needs a name that is not only spaces.
bool applyEnabled(std::string_view nameText);
// Picking an account offers its removal only when it is active; the refresh
// after any later field change follows `existingSelected` alone, so a masked
// account can still be deleted for good (the delete dialog then offers
// "Supprimer" only, see maskOffered).
inline bool deleteEnabledOnPick(const AccountRecord& account) {
    return account.active != 0;
}
inline bool deleteEnabled(bool existingSelected) {
    return existingSelected;
}

} // namespace kolvane
