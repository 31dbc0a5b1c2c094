// The open account file in memory: its record lists, the counters that hand
// out identifiers, and a little view state. There is one per process; every
// view and dialog changes its records in place.
#pragma once

#include "logo_store.h"
#include "record_list.h"
#include "records.h"

#include <string>

namespace kolvane {

class EditLog;

using OperationList = RecordList<OperationRecord>;
using AccountList = RecordList<AccountRecord>;
using ThirdList = RecordList<ThirdRecord>;
using UserList = RecordList<UserRecord>;
using CategoryList = RecordList<CategoryRecord>;
using ModeList = RecordList<ModeRecord>;
using LabelList = RecordList<LabelRecord>;
using ReservedList = RecordList<ReservedRecord>;

struct Document {
    std::uint32_t nextOperationId = 0;
    std::uint16_t nextAccountNumber = 0;
    std::uint16_t nextThirdNumber = 0;
    UserList users;
    UserRecord* currentUser = nullptr;
    OperationList operations;
    ReservedList reserved;
    CategoryList categories;
    LabelList labels;
    ModeList modes;
    ThirdList thirds;
    AccountList accounts;
    AccountRecord* currentAccount = nullptr;
    LogoStore logos;      // the accounts' logos
    std::string filePath; // UTF-8; empty for a new file never saved
    std::uint32_t isOpen = 0;
    std::uint32_t isModified = 0;
    std::uint32_t alertsEnabled = 1;
    std::uint32_t sortOrder = 0; // 0 by entry, 1 by operation date
    std::uint32_t pointingMode = 0;

    Document() = default;
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;
    ~Document();
};

// The texts that go into records, in UTF-8 here and converted when stored.
inline constexpr const char* kNewUserName = "Nouvel utilisateur";    // string 20001
inline constexpr const char* kInitialBalanceLabel = "Solde initial"; // string 20002

// Lifecycle.
void documentInit(Document& doc);
void documentClose(Document& doc);
void documentDestroy(Document& doc);

// Defaults of a new file.
[[nodiscard]] bool addDefaultUser(Document& doc);
[[nodiscard]] bool addDefaultModes(Document& doc);
[[nodiscard]] bool addDefaultCategories(Document& doc);

// Identifier kinds.
inline std::uint32_t partyKind(PartyId id) {
    return id & 0xFF0000u;
}
inline std::uint32_t partyNumber(PartyId id) {
    return id & 0xFFFFu;
}
inline PartyId makePartyId(std::uint32_t kind, std::uint32_t number) {
    return kind | number;
}
inline bool isCategory(PartyId id) {
    return partyKind(id) == Category;
}
inline bool isSplit(PartyId id) {
    return partyKind(id) == Split;
}
inline bool isThird(PartyId id) {
    return partyKind(id) == Third;
}
inline bool isAccount(PartyId id) {
    return partyKind(id) == Account;
}
inline bool isInitialBalance(PartyId id) {
    return partyKind(id) == InitialBalance;
}

// User flags.
inline bool isAdministrator(std::uint32_t flags) {
    return (flags & kUserLimited) == 0;
}
inline bool mayLogIn(std::uint32_t flags) {
    return (flags & kUserRefused) == 0;
}
void setAccess(UserRecord& user, bool allowed);

// Look-ups.
AccountRecord* findAccountById(const Document& doc, PartyId id);
AccountRecord* findAccountByAccountId(const Document& doc, PartyId id); // null unless kind Account
ThirdRecord* findThirdById(const Document& doc, PartyId id);
OperationRecord* findOperationById(const Document& doc, std::uint32_t id);
int countAccounts(const Document& doc, int includeMasked);
AccountRecord* accountAt(const Document& doc, int index, int includeMasked);
int accountIndex(const Document& doc, const AccountRecord* account, int includeMasked);
// The first active account after `account` in list order, else the nearest
// active one before it, else null: where the current account goes when its
// account is masked or deleted.
AccountRecord* neighbourActiveAccount(const Document& doc, const AccountRecord* account);

// The identifier of the current user, or 1 when nobody is logged in.
std::uint32_t currentUserId(const Document& doc);

// Releases an operation's ventilation lines.
void releaseLines(OperationRecord& operation);
// An account's logo, or null when it has none.
inline const Logo* accountLogo(const Document& doc, const AccountRecord& account) {
    return doc.logos.find(account.logo);
}

// Creates an account with its initial-balance operation, as the account
// command does. Returns the account, or null when memory runs out (with the
// account appended but no operation when only the operation failed).
[[nodiscard]] AccountRecord* createAccount(Document& doc, std::string_view nameCp1252, double initialBalance);

// Removes an account; its transfers stay with the other accounts, its own
// operations go. False when memory ran out, with nothing changed.
[[nodiscard]] bool deleteAccount(Document& doc, AccountRecord* account);
// The same, every change kept in `log` for undo; false when memory ran out,
// with nothing changed.
[[nodiscard]] bool deleteAccount(Document& doc, AccountRecord* account, EditLog& log);

// Ticks or unticks an operation seen from the current account.
void setPointed(Document& doc, OperationRecord& operation, int pointed);

struct PartyMatch {
    std::uint32_t mode; // bit 1: exact identifier; bit 0: by kind; neither: every amount
    PartyId key;
};
double sumForParty(const OperationList& operations, PartyMatch match);

} // namespace kolvane
