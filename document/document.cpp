#include "document.h"

#include "edit_log.h"

#include "calendar.h"
#include "text.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <new>
#include <string_view>

namespace kolvane {
namespace {

struct DefaultMode {
    const char* name;
    std::uint16_t id;
    std::uint16_t kind;
};

constexpr DefaultMode kDefaultModes[] = {
    {"DEBIT", 0x0000, 2},       {"Carte de paiement", 0x0001, 1},
    {"Chèque émis", 0x0002, 1}, {"Virement émis", 0x0003, 1},
    {"Prélèvement", 0x0004, 1}, {"Tip", 0x0005, 1},
    {"CREDIT", 0x8000, 2},      {"Virement reçu", 0x8001, 1},
    {"Dépôt", 0x8002, 1},       {"Remise de chèque", 0x8003, 1},
};

struct DefaultCategory {
    std::uint8_t number;
    const char* name;
    std::initializer_list<const char*> subCategories;
};

const DefaultCategory kDefaultCategories[] = {
    {0x00, "Alimentation", {"Supermarché", "Cantine", "Restaurant", "Divers"}},
    {0x01,
     "Logement",
     {"Loyer", "Eléctricité", "Eau", "Charges", "Abonnement TV", "Internet", "Téléphone",
      "Ameublement", "Equipement", "Jardin", "Divers"}},
    {0x02,
     "Automobile",
     {"Carburant", "Amendes", "Entretien", "Réparation", "Stationnement", "Divers"}},
    {0x03,
     "Assurance",
     {"Automobiles", "Habitation", "Responsabilité civile", "Santé", "Vie", "Autres"}},
    {0x04, "Impôts", {"Impôts sur le revenu", "Taxe d'habitation", "Taxe foncière"}},
    {0x05, "Santé", {"Medecin", "Pharmacie", "Dentiste", "Hopital", "Mutuelle santé"}},
    {0x06, "Transport", {"Bus - metro", "Péage", "Train"}},
    {0x07, "Soins", {"Coiffeur", "Habillement"}},
    {0x08, "Loisirs", {"Spéctacle", "Discothèque", "Cinéma", "Sport", "Voyage", "Argent liquide"}},
    {0x09, "Frais financiers", {"Frais bancaire", "Frais divers"}},
    {0x80, "Revenus", {"Salaire", "Pensions", "Retraite complementaire", "Autres"}},
    {0x81,
     "Revenus divers",
     {"Allocation familiale", "Allocation chomage", "Mutuelle santé", "Sécurité sociale"}},
    {0x82, "Revenu de placement", {"Dividendes", "Interets", "Plus-values"}},
};

bool appendCategory(Document& doc, const char* name, std::uint16_t id) {
    CategoryRecord record{};
    setFieldUtf8(record.name, name);
    record.id = id;
    record.shown = 1;
    return doc.categories.append(record) != nullptr;
}

} // namespace

AccountRecord* neighbourActiveAccount(const Document& doc, const AccountRecord* account) {
    for (AccountRecord* a = doc.accounts.next(account); a; a = doc.accounts.next(a))
        if (isAccount(a->id) && a->active)
            return a;
    for (AccountRecord* a = doc.accounts.previous(account); a; a = doc.accounts.previous(a))
        if (isAccount(a->id) && a->active)
            return a;
    return nullptr;
}

Document::~Document() {
    documentDestroy(*this);
}

void releaseLines(OperationRecord& operation) {
    delete operation.lines; // the list's destructor frees its nodes
    operation.lines = nullptr;
}

void documentInit(Document& doc) {
    documentClose(doc);
    doc.sortOrder = 0;
}

void documentClose(Document& doc) {
    doc.operations.clear(releaseLines);
    doc.accounts.clear();
    doc.logos.clear();
    doc.users.clear();
    doc.reserved.clear();
    doc.categories.clear();
    doc.labels.clear();
    doc.modes.clear();
    doc.thirds.clear();
    doc.nextOperationId = 0;
    doc.nextAccountNumber = 0;
    doc.nextThirdNumber = 0;
    doc.currentUser = nullptr;
    doc.currentAccount = nullptr;
    doc.filePath.clear();
    doc.isOpen = 0;
    doc.isModified = 0;
    doc.alertsEnabled = 1;
    // Each file opens in entry order, whatever the one before was showing.
    doc.sortOrder = 0;
    doc.pointingMode = 0;
}

void documentDestroy(Document& doc) {
    documentClose(doc);
}

bool addDefaultUser(Document& doc) {
    UserRecord user{};
    setFieldUtf8(user.name, kNewUserName);
    user.id = 1;
    UserRecord* added = doc.users.append(user);
    if (!added)
        return false;
    doc.currentUser = added;
    return true;
}

bool addDefaultModes(Document& doc) {
    for (const DefaultMode& mode : kDefaultModes) {
        ModeRecord record{};
        setFieldUtf8(record.name, mode.name);
        record.id = mode.id;
        record.kind = mode.kind;
        if (!doc.modes.append(record))
            return false;
    }
    return true;
}

bool addDefaultCategories(Document& doc) {
    for (const DefaultCategory& category : kDefaultCategories) {
        std::uint16_t base = static_cast<std::uint16_t>(category.number << 8);
        if (!appendCategory(doc, category.name, base))
            return false;
        std::uint16_t sub = 1;
        for (const char* name : category.subCategories)
            if (!appendCategory(doc, name, static_cast<std::uint16_t>(base | sub++)))
                return false;
    }
    return true;
}

void setAccess(UserRecord& user, bool allowed) {
    if (allowed)
        user.flags &= ~kUserRefused;
    else
        user.flags |= kUserRefused;
}

AccountRecord* findAccountById(const Document& doc, PartyId id) {
    for (AccountRecord& account : doc.accounts)
        if (account.id == id)
            return &account;
    return nullptr;
}

AccountRecord* findAccountByAccountId(const Document& doc, PartyId id) {
    return isAccount(id) ? findAccountById(doc, id) : nullptr;
}

ThirdRecord* findThirdById(const Document& doc, PartyId id) {
    for (ThirdRecord& third : doc.thirds)
        if (third.id == id)
            return &third;
    return nullptr;
}

OperationRecord* findOperationById(const Document& doc, std::uint32_t id) {
    for (OperationRecord& operation : doc.operations)
        if (operation.id == id)
            return &operation;
    return nullptr;
}

int countAccounts(const Document& doc, int includeMasked) {
    int count = 0;
    for (const AccountRecord& account : doc.accounts)
        if (isAccount(account.id) && (includeMasked || account.active))
            ++count;
    return count;
}

AccountRecord* accountAt(const Document& doc, int index, int includeMasked) {
    if (index < 0)
        return nullptr;
    int position = 0;
    for (AccountRecord& account : doc.accounts) {
        if (!isAccount(account.id) || !(includeMasked || account.active))
            continue;
        if (position++ == index)
            return &account;
    }
    return nullptr;
}

int accountIndex(const Document& doc, const AccountRecord* account, int includeMasked) {
    if (!account || !isAccount(account->id))
        return -1;
    int position = 0;
    for (const AccountRecord& candidate : doc.accounts) {
        if (!isAccount(candidate.id) || !(includeMasked || candidate.active))
            continue;
        if (&candidate == account)
            return position;
        ++position;
    }
    return -1;
}

std::uint32_t currentUserId(const Document& doc) {
    return doc.currentUser ? doc.currentUser->id : 1;
}

AccountRecord* createAccount(Document& doc, std::string_view nameCp1252, double initialBalance) {
    AccountRecord* account = doc.accounts.appendEmpty();
    if (!account)
        return nullptr;
    account->active = 1;
    setFieldText(account->name, nameCp1252);
    account->id = makePartyId(Account, doc.nextAccountNumber);
    doc.nextAccountNumber = static_cast<std::uint16_t>(doc.nextAccountNumber + 1);
    account->initialBalance = initialBalance;

    OperationRecord* operation = doc.operations.appendEmpty();
    if (!operation)
        return nullptr;
    account->balance = initialBalance;
    FileTime now = localNowFileTime();
    operation->amount = initialBalance;
    operation->partyId = account->id;
    operation->counterpartyId = InitialBalance;
    operation->creatorUserId = operation->modifierUserId = currentUserId(doc);
    operation->id = doc.nextOperationId;
    setFieldUtf8(operation->label, kInitialBalanceLabel);
    operation->entryDate = operation->modifiedDate = now;
    operation->operationDate = initialBalanceDate(now);
    account->initialOperationId = operation->id;
    doc.nextOperationId += 1;
    account->operationCount += 1;
    return account;
}

bool deleteAccount(Document& doc, AccountRecord* account) {
    EditLog log; // releases what it took out when it goes
    return deleteAccount(doc, account, log);
}

bool deleteAccount(Document& doc, AccountRecord* account, EditLog& log) {
    if (!account)
        return true;
    try {
        const PartyId deleted = account->id;
        const FileTime now = localNowFileTime();
        OperationRecord* operation = doc.operations.first();
        while (operation) {
            OperationRecord* following = doc.operations.next(operation);
            bool hasLines = operation->lineCount != 0 && operation->lines != nullptr;
            if (operation->partyId != deleted && operation->counterpartyId != deleted) {
                if (isSplit(operation->counterpartyId) && hasLines)
                    for (VentilationLine& line : *operation->lines)
                        if (line.counterpartyId == deleted)
                            log.change(line.counterpartyId, PartyId{DeletedAccount});
                operation = following;
                continue;
            }
            bool deletedIsParty = operation->partyId == deleted;
            PartyId other = deletedIsParty ? operation->counterpartyId : operation->partyId;
            // A transfer of the account to itself goes with it, like its own
            // operations.
            if (isAccount(other) && other != deleted) {
                log.change(deletedIsParty ? operation->partyId : operation->counterpartyId,
                           PartyId{DeletedAccount});
            } else if (!isSplit(other) || !hasLines) {
                log.unlink(doc.operations, operation);
            } else {
                // Each account that received part of the split keeps its part
                // as an operation of its own.
                OperationRecord* insertAfter = operation;
                for (const VentilationLine& line : *operation->lines) {
                    // A part booked back to the deleted account goes with it.
                    if (!isAccount(line.counterpartyId) || line.counterpartyId == deleted)
                        continue;
                    OperationRecord kept = line;
                    kept.partyId = line.counterpartyId;
                    kept.counterpartyId = DeletedAccount;
                    kept.amount = -line.amount;
                    kept.balanceAfterParty = line.balanceAfterCounterparty;
                    kept.modifierUserId = currentUserId(doc);
                    kept.modifiedDate = now;
                    kept.lineCount = 0;
                    kept.lines = nullptr;
                    if (OperationRecord* added = log.insertAfter(doc.operations, insertAfter, kept))
                        insertAfter = added;
                }
                log.unlink(doc.operations, operation);
            }
            operation = following;
        }
        if (doc.currentAccount == account)
            log.change(doc.currentAccount, neighbourActiveAccount(doc, account));
        log.unlink(doc.accounts, account);
    } catch (const std::bad_alloc&) {
        log.undo();
        return false;
    }
    return true;
}

void setPointed(Document& doc, OperationRecord& operation, int pointed) {
    std::uint16_t wanted = pointed ? 1 : 0;
    if (operation.pointed == wanted)
        return;
    operation.pointed = wanted;
    AccountRecord* current = doc.currentAccount;
    if (!current)
        return;
    double value = wanted ? operation.amount : -operation.amount;
    PartyId other;
    if (operation.partyId == current->id) {
        current->pointedBalance += value;
        other = operation.counterpartyId;
    } else {
        current->pointedBalance -= value;
        other = operation.partyId;
        value = -value;
    }
    if (isAccount(other)) {
        if (AccountRecord* otherAccount = findAccountById(doc, other))
            otherAccount->pointedBalance -= value;
    } else if (isInitialBalance(other)) {
        current->initialPointed = wanted;
    }
}

double sumForParty(const OperationList& operations, PartyMatch match) {
    auto matches = [&](PartyId id) {
        if (match.mode & 2)
            return id == match.key;
        return (id & match.key) == match.key;
    };
    auto contribution = [&](const OperationRecord& record) {
        if (!(match.mode & 3))
            return record.amount;
        if (matches(record.partyId))
            return record.amount;
        if (matches(record.counterpartyId))
            return -record.amount;
        return 0.0;
    };
    double sum = 0.0;
    for (const OperationRecord& operation : operations) {
        sum += contribution(operation);
        if (operation.lineCount && operation.lines)
            for (const VentilationLine& line : *operation.lines)
                sum += contribution(line);
    }
    return sum;
}

} // namespace kolvane
