#include "document/calendar.h"
#include "document/document.h"
#include "document/text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace kolvane {
namespace {

// File time of 2000-01-01 00:00: 145 731 days after 1601-01-01
// (399 years of 365 days and 96 leap days).
constexpr FileTime kYear2000 = 145731ull * 864000000000ull;
static_assert(kYear2000 == 125911584000000000ull);

constexpr PartyId kAccountA = 0x080000;
constexpr PartyId kAccountB = 0x080001;
constexpr PartyId kAccountC = 0x080002;

std::string utf8Of(std::string_view cp1252) {
    return cp1252ToUtf8(cp1252);
}

OperationRecord* addOperation(Document& doc, PartyId party, PartyId counterparty, double amount,
                              std::uint32_t id) {
    OperationRecord* operation = doc.operations.appendEmpty();
    operation->partyId = party;
    operation->counterpartyId = counterparty;
    operation->amount = amount;
    operation->id = id;
    return operation;
}

// Attaches ventilation lines (Split on the party side, as the ventilation
// editor makes them) that carry the operation's id and label.
void attachLines(OperationRecord& operation, const std::vector<std::pair<PartyId, double>>& parts) {
    operation.lines = new OperationList;
    for (const auto& [counterparty, amount] : parts) {
        VentilationLine line = operation;
        line.partyId = Split;
        line.counterpartyId = counterparty;
        line.amount = amount;
        line.lineCount = 0;
        line.lines = nullptr;
        operation.lines->append(line);
    }
    operation.lineCount = static_cast<std::uint32_t>(parts.size());
}

std::vector<std::uint32_t> operationIds(const Document& doc) {
    std::vector<std::uint32_t> ids;
    for (const OperationRecord& operation : doc.operations)
        ids.push_back(operation.id);
    return ids;
}

// --- Defaults of a new file --------------------------------------------------

struct ExpectedRow {
    const char* name;
    std::uint16_t id;
};

TEST(DocumentDefaults, ModesAreTheTenRowsInOrder) {
    Document doc;
    documentInit(doc);
    ASSERT_EQ(addDefaultModes(doc), 1);
    const struct {
        const char* name;
        std::uint16_t id;
        std::uint16_t kind;
    } expected[] = {
        {"DEBIT", 0x0000, 2},       {"Carte de paiement", 0x0001, 1},
        {"Chèque émis", 0x0002, 1}, {"Virement émis", 0x0003, 1},
        {"Prélèvement", 0x0004, 1}, {"Tip", 0x0005, 1},
        {"CREDIT", 0x8000, 2},      {"Virement reçu", 0x8001, 1},
        {"Dépôt", 0x8002, 1},       {"Remise de chèque", 0x8003, 1},
    };
    ASSERT_EQ(doc.modes.count(), 10);
    const ModeRecord* mode = doc.modes.first();
    for (const auto& row : expected) {
        ASSERT_NE(mode, nullptr);
        EXPECT_EQ(utf8Of(fieldText(mode->name)), row.name);
        EXPECT_EQ(mode->id, row.id) << row.name;
        EXPECT_EQ(mode->kind, row.kind) << row.name;
        mode = doc.modes.next(mode);
    }
    // The names are stored as Windows-1252 bytes: "Chèque émis" has è = E8, é = E9.
    const ModeRecord* cheque = doc.modes.next(doc.modes.next(doc.modes.first()));
    EXPECT_EQ(std::memcmp(cheque->name, "Ch\xE8que \xE9mis", 12), 0);
}

TEST(DocumentDefaults, CategoriesAreTheSeventyTwoRowsInOrder) {
    Document doc;
    documentInit(doc);
    ASSERT_EQ(addDefaultCategories(doc), 1);
    const ExpectedRow expected[] = {
        {"Alimentation", 0x0000},
        {"Supermarché", 0x0001},
        {"Cantine", 0x0002},
        {"Restaurant", 0x0003},
        {"Divers", 0x0004},
        {"Logement", 0x0100},
        {"Loyer", 0x0101},
        {"Eléctricité", 0x0102},
        {"Eau", 0x0103},
        {"Charges", 0x0104},
        {"Abonnement TV", 0x0105},
        {"Internet", 0x0106},
        {"Téléphone", 0x0107},
        {"Ameublement", 0x0108},
        {"Equipement", 0x0109},
        {"Jardin", 0x010A},
        {"Divers", 0x010B},
        {"Automobile", 0x0200},
        {"Carburant", 0x0201},
        {"Amendes", 0x0202},
        {"Entretien", 0x0203},
        {"Réparation", 0x0204},
        {"Stationnement", 0x0205},
        {"Divers", 0x0206},
        {"Assurance", 0x0300},
        {"Automobiles", 0x0301},
        {"Habitation", 0x0302},
        {"Responsabilité civile", 0x0303},
        {"Santé", 0x0304},
        {"Vie", 0x0305},
        {"Autres", 0x0306},
        {"Impôts", 0x0400},
        {"Impôts sur le revenu", 0x0401},
        {"Taxe d'habitation", 0x0402},
        {"Taxe foncière", 0x0403},
        {"Santé", 0x0500},
        {"Medecin", 0x0501},
        {"Pharmacie", 0x0502},
        {"Dentiste", 0x0503},
        {"Hopital", 0x0504},
        {"Mutuelle santé", 0x0505},
        {"Transport", 0x0600},
        {"Bus - metro", 0x0601},
        {"Péage", 0x0602},
        {"Train", 0x0603},
        {"Soins", 0x0700},
        {"Coiffeur", 0x0701},
        {"Habillement", 0x0702},
        {"Loisirs", 0x0800},
        {"Spéctacle", 0x0801},
        {"Discothèque", 0x0802},
        {"Cinéma", 0x0803},
        {"Sport", 0x0804},
        {"Voyage", 0x0805},
        {"Argent liquide", 0x0806},
        {"Frais financiers", 0x0900},
        {"Frais bancaire", 0x0901},
        {"Frais divers", 0x0902},
        {"Revenus", 0x8000},
        {"Salaire", 0x8001},
        {"Pensions", 0x8002},
        {"Retraite complementaire", 0x8003},
        {"Autres", 0x8004},
        {"Revenus divers", 0x8100},
        {"Allocation familiale", 0x8101},
        {"Allocation chomage", 0x8102},
        {"Mutuelle santé", 0x8103},
        {"Sécurité sociale", 0x8104},
        {"Revenu de placement", 0x8200},
        {"Dividendes", 0x8201},
        {"Interets", 0x8202},
        {"Plus-values", 0x8203},
    };
    static_assert(std::size(expected) == 72);
    ASSERT_EQ(doc.categories.count(), 72);
    const CategoryRecord* category = doc.categories.first();
    for (const ExpectedRow& row : expected) {
        ASSERT_NE(category, nullptr);
        EXPECT_EQ(utf8Of(fieldText(category->name)), row.name);
        EXPECT_EQ(category->id, row.id) << row.name;
        EXPECT_EQ(category->shown, 1) << row.name;
        category = doc.categories.next(category);
    }
    EXPECT_EQ(category, nullptr);
}

TEST(DocumentDefaults, CategoryIdentifiersNameTheirRows) {
    Document doc;
    documentInit(doc);
    ASSERT_EQ(addDefaultCategories(doc), 1);
    auto nameOf = [&](CategoryId id) -> std::string {
        if (!isCategory(id))
            return "(not a category)";
        for (const CategoryRecord& category : doc.categories)
            if (category.id == partyNumber(id))
                return utf8Of(fieldText(category.name));
        return "(none)";
    };
    EXPECT_EQ(nameOf(0x010000), "Alimentation");
    EXPECT_EQ(nameOf(0x010001), "Supermarché");
    EXPECT_EQ(nameOf(0x018000), "Revenus");
    EXPECT_EQ(nameOf(0x018203), "Plus-values");
    EXPECT_EQ(nameOf(0x018104), "Sécurité sociale");
    EXPECT_EQ(nameOf(0x010A00), "(none)");
    // "Supermarché" in Windows-1252: é is the single byte E9.
    const CategoryRecord* supermarket = doc.categories.next(doc.categories.first());
    EXPECT_STREQ(supermarket->name, "Supermarch\xE9");
}

TEST(DocumentDefaults, DefaultUserIsCurrentAdministratorNumberOne) {
    Document doc;
    documentInit(doc);
    ASSERT_EQ(addDefaultUser(doc), 1);
    ASSERT_EQ(doc.users.count(), 1);
    const UserRecord* user = doc.users.first();
    EXPECT_EQ(doc.currentUser, user);
    EXPECT_STREQ(user->name, "Nouvel utilisateur");
    EXPECT_EQ(user->password[0], '\0');
    EXPECT_EQ(user->passwordKey, 0u);
    EXPECT_EQ(user->id, 1u);
    EXPECT_EQ(user->flags, 0u);
    EXPECT_TRUE(isAdministrator(user->flags));
    EXPECT_TRUE(mayLogIn(user->flags));
}

// --- Lifecycle ---------------------------------------------------------------

TEST(DocumentLifecycle, InitThenCloseResetEverything) {
    Document doc;
    documentInit(doc);
    EXPECT_EQ(doc.sortOrder, 0u);
    EXPECT_EQ(doc.alertsEnabled, 1u);
    EXPECT_EQ(doc.isOpen, 0u);

    createAccount(doc, "Compte courant", 10.0);
    createAccount(doc, "Livret", 0.0);
    addDefaultUser(doc);
    addDefaultModes(doc);
    addDefaultCategories(doc);
    doc.labels.appendEmpty();
    doc.thirds.appendEmpty();
    doc.reserved.appendEmpty();
    doc.filePath = "/tmp/a.kvn";
    doc.isOpen = doc.isModified = 1;
    doc.alertsEnabled = 0;
    doc.pointingMode = 1;
    doc.nextThirdNumber = 9;
    doc.currentAccount = doc.accounts.first();
    ASSERT_EQ(doc.nextAccountNumber, 2);
    ASSERT_EQ(doc.nextOperationId, 2u);

    documentClose(doc);
    EXPECT_EQ(doc.nextOperationId, 0u);
    EXPECT_EQ(doc.nextAccountNumber, 0);
    EXPECT_EQ(doc.nextThirdNumber, 0);
    EXPECT_EQ(doc.users.count() + doc.operations.count() + doc.reserved.count() +
                  doc.categories.count() + doc.labels.count() + doc.modes.count() +
                  doc.thirds.count() + doc.accounts.count(),
              0);
    EXPECT_EQ(doc.currentUser, nullptr);
    EXPECT_EQ(doc.currentAccount, nullptr);
    EXPECT_TRUE(doc.filePath.empty());
    EXPECT_EQ(doc.isOpen, 0u);
    EXPECT_EQ(doc.isModified, 0u);
    EXPECT_EQ(doc.alertsEnabled, 1u);
    EXPECT_EQ(doc.sortOrder, 1u);
    EXPECT_EQ(doc.pointingMode, 0u);

    // The next file starts its numbering again.
    AccountRecord* first = createAccount(doc, "Nouveau", 0.0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->id, 0x080000u);
    EXPECT_EQ(first->initialOperationId, 0u);
    EXPECT_EQ(doc.operations.first()->id, 0u);
}

TEST(DocumentLifecycle, CloseReleasesLinesAndLogos) {
    // Run under the address sanitizer this shows that nothing leaks.
    Document doc;
    documentInit(doc);
    AccountRecord* account = createAccount(doc, "Logo", 0.0);
    account->logoPixels = static_cast<std::uint8_t*>(std::malloc(kLogoPixelBytes));
    account->logoMask = static_cast<std::uint8_t*>(std::malloc(kLogoMaskBytes));
    OperationRecord* split = addOperation(doc, account->id, Split, -10.0, 1);
    attachLines(*split, {{0x010001, -4.0}, {0x010002, -6.0}});
    documentClose(doc);
    EXPECT_EQ(doc.operations.count(), 0);
    EXPECT_EQ(doc.accounts.count(), 0);
}

// --- Creating accounts -------------------------------------------------------

TEST(CreateAccount, MakesTheAccountAndItsInitialBalanceOperation) {
    Document doc;
    documentInit(doc);
    doc.nextAccountNumber = 3;
    doc.nextOperationId = 41;
    const FileTime before = localNowFileTime();
    AccountRecord* account = createAccount(doc, "Compte joint", 1234.5);
    const FileTime after = localNowFileTime();
    ASSERT_NE(account, nullptr);

    EXPECT_STREQ(account->name, "Compte joint");
    EXPECT_EQ(account->id, 0x080003u);
    EXPECT_EQ(account->active, 1);
    EXPECT_EQ(account->initialBalance, 1234.5);
    EXPECT_EQ(account->balance, 1234.5);
    EXPECT_EQ(account->pointedBalance, 0.0);
    EXPECT_EQ(account->operationCount, 1u);
    EXPECT_EQ(account->initialOperationId, 41u);
    EXPECT_EQ(account->logoPixels, nullptr);
    EXPECT_EQ(doc.nextAccountNumber, 4);
    EXPECT_EQ(doc.nextOperationId, 42u);

    ASSERT_EQ(doc.operations.count(), 1);
    const OperationRecord& operation = *doc.operations.first();
    EXPECT_EQ(operation.partyId, 0x080003u);
    EXPECT_EQ(operation.counterpartyId, 0x100000u);
    EXPECT_EQ(operation.amount, 1234.5);
    EXPECT_EQ(operation.id, 41u);
    // "Solde initial" is plain ASCII, so its Windows-1252 bytes are the same.
    EXPECT_EQ(std::memcmp(operation.label, "Solde initial", 14), 0);
    EXPECT_EQ(operation.creatorUserId, 1u);
    EXPECT_EQ(operation.modifierUserId, 1u);
    EXPECT_GE(operation.entryDate, before);
    EXPECT_LE(operation.entryDate, after);
    EXPECT_EQ(operation.modifiedDate, operation.entryDate);
    // 1 January 2000 at the time of day of the entry.
    EXPECT_EQ(operation.operationDate / DAY, 145731u);
    EXPECT_EQ(operation.operationDate, kYear2000 + operation.entryDate % DAY);
    EXPECT_EQ(operation.lineCount, 0u);
    EXPECT_EQ(operation.lines, nullptr);
    EXPECT_EQ(operation.pointed, 0);
}

TEST(CreateAccount, InitialOperationCarriesTheLoggedInUser) {
    Document doc;
    documentInit(doc);
    UserRecord user{};
    user.id = 7;
    doc.currentUser = doc.users.append(user);
    createAccount(doc, "A", 0.0);
    EXPECT_EQ(doc.operations.first()->creatorUserId, 7u);
    EXPECT_EQ(doc.operations.first()->modifierUserId, 7u);
}

TEST(CreateAccount, NameIsCutToThirtyNineBytes) {
    Document doc;
    documentInit(doc);
    std::string longName(60, 'x');
    AccountRecord* account = createAccount(doc, longName, 0.0);
    EXPECT_EQ(fieldText(account->name), std::string(39, 'x'));
}

// --- Identifiers and look-ups ------------------------------------------------

TEST(PartyIds, KindTests) {
    struct Case {
        PartyId id;
        bool category, split, third, account, initial;
    };
    const Case cases[] = {
        {0x010000, true, false, false, false, false},
        {0x018203, true, false, false, false, false},
        {0x020000, false, true, false, false, false},
        {0x040007, false, false, true, false, false},
        {0x08FFFF, false, false, false, true, false},
        {0x100000, false, false, false, false, true},
        {0x800000, false, false, false, false, false},
        {0x0C0000, false, false, false, false, false},
        {0x000005, false, false, false, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(isCategory(c.id), c.category) << std::hex << c.id;
        EXPECT_EQ(isSplit(c.id), c.split) << std::hex << c.id;
        EXPECT_EQ(isThird(c.id), c.third) << std::hex << c.id;
        EXPECT_EQ(isAccount(c.id), c.account) << std::hex << c.id;
        EXPECT_EQ(isInitialBalance(c.id), c.initial) << std::hex << c.id;
    }
    EXPECT_EQ(partyKind(0x0480FF), 0x040000u);
    EXPECT_EQ(partyNumber(0x0480FF), 0x80FFu);
    EXPECT_EQ(makePartyId(Account, 5), 0x080005u);
    EXPECT_EQ(makePartyId(Third, 0x1234), 0x041234u);
}

TEST(UserFlags, RoleAndAccessBits) {
    EXPECT_TRUE(isAdministrator(0));
    EXPECT_FALSE(isAdministrator(0x80000000u));
    EXPECT_TRUE(isAdministrator(0x40000000u));
    EXPECT_FALSE(mayLogIn(0x40000000u));
    EXPECT_TRUE(mayLogIn(0x80000000u));
    UserRecord user{};
    user.flags = 0x80000000u;
    setAccess(user, false);
    EXPECT_EQ(user.flags, 0xC0000000u);
    setAccess(user, false);
    EXPECT_EQ(user.flags, 0xC0000000u);
    setAccess(user, true);
    EXPECT_EQ(user.flags, 0x80000000u);
}

class AccountNumbering : public ::testing::Test {
  protected:
    void SetUp() override {
        documentInit(doc);
        a = createAccount(doc, "A", 0.0);
        b = createAccount(doc, "B", 0.0);
        b->active = 0;
        // A record that is not an account (damaged file): never counted.
        stray = doc.accounts.appendEmpty();
        stray->id = 0x040001;
        stray->active = 1;
        c = createAccount(doc, "C", 0.0);
    }
    Document doc;
    AccountRecord *a = nullptr, *b = nullptr, *stray = nullptr, *c = nullptr;
};

TEST_F(AccountNumbering, CountSkipsMaskedAccountsUnlessAsked) {
    EXPECT_EQ(countAccounts(doc, 0), 2);
    EXPECT_EQ(countAccounts(doc, 1), 3);
}

TEST_F(AccountNumbering, AccountAtCountsTheSameWay) {
    EXPECT_EQ(accountAt(doc, 0, 0), a);
    EXPECT_EQ(accountAt(doc, 1, 0), c);
    EXPECT_EQ(accountAt(doc, 2, 0), nullptr);
    EXPECT_EQ(accountAt(doc, 0, 1), a);
    EXPECT_EQ(accountAt(doc, 1, 1), b);
    EXPECT_EQ(accountAt(doc, 2, 1), c);
    EXPECT_EQ(accountAt(doc, 3, 1), nullptr);
    EXPECT_EQ(accountAt(doc, -1, 1), nullptr);
}

TEST_F(AccountNumbering, AccountIndexOfMaskedAccountIsMinusOneWhenMaskedSkipped) {
    EXPECT_EQ(accountIndex(doc, a, 0), 0);
    EXPECT_EQ(accountIndex(doc, b, 0), -1);
    EXPECT_EQ(accountIndex(doc, c, 0), 1);
    EXPECT_EQ(accountIndex(doc, b, 1), 1);
    EXPECT_EQ(accountIndex(doc, c, 1), 2);
    EXPECT_EQ(accountIndex(doc, stray, 1), -1);
    EXPECT_EQ(accountIndex(doc, nullptr, 1), -1);
}

TEST_F(AccountNumbering, FindById) {
    EXPECT_EQ(findAccountById(doc, 0x080001), b);
    EXPECT_EQ(findAccountById(doc, 0x080009), nullptr);
    EXPECT_EQ(findAccountById(doc, 0x040001), stray);
    EXPECT_EQ(findAccountByAccountId(doc, 0x040001), nullptr);
    EXPECT_EQ(findAccountByAccountId(doc, 0x080002), c);
    ThirdRecord third{};
    third.id = 0x040003;
    ThirdRecord* added = doc.thirds.append(third);
    EXPECT_EQ(findThirdById(doc, 0x040003), added);
    EXPECT_EQ(findThirdById(doc, 0x040004), nullptr);
}

// --- Deleting an account -----------------------------------------------------

class DeleteAccount : public ::testing::Test {
  protected:
    void SetUp() override {
        documentInit(doc);
        a = createAccount(doc, "A", 100.0); // initial operation id 0
        createAccount(doc, "B", 200.0);     // id 1
        createAccount(doc, "C", 300.0);     // id 2
        UserRecord user{};
        user.id = 4;
        doc.currentUser = doc.users.append(user);
        doc.currentAccount = a;
    }
    Document doc;
    AccountRecord* a = nullptr;
};

TEST_F(DeleteAccount, TransfersStayWithTheOtherAccount) {
    addOperation(doc, kAccountB, kAccountA, 50.0, 10); // A pays B
    addOperation(doc, kAccountA, kAccountB, 20.0, 11); // B pays A
    addOperation(doc, kAccountC, kAccountB, 5.0, 12);  // not concerned
    deleteAccount(doc, a);

    EXPECT_EQ(operationIds(doc), (std::vector<std::uint32_t>{1, 2, 10, 11, 12}));
    const OperationRecord* toB = findOperationById(doc, 10);
    EXPECT_EQ(toB->partyId, kAccountB);
    EXPECT_EQ(toB->counterpartyId, 0x800000u);
    EXPECT_EQ(toB->amount, 50.0);
    const OperationRecord* fromB = findOperationById(doc, 11);
    EXPECT_EQ(fromB->partyId, 0x800000u);
    EXPECT_EQ(fromB->counterpartyId, kAccountB);
    EXPECT_EQ(fromB->amount, 20.0);
    const OperationRecord* other = findOperationById(doc, 12);
    EXPECT_EQ(other->partyId, kAccountC);
    EXPECT_EQ(other->counterpartyId, kAccountB);

    EXPECT_EQ(doc.accounts.count(), 2);
    EXPECT_EQ(findAccountById(doc, kAccountA), nullptr);
    // The current account never points at the freed record.
    EXPECT_TRUE(doc.currentAccount == nullptr || doc.currentAccount == doc.accounts.first() ||
                doc.currentAccount == doc.accounts.last());
}

TEST_F(DeleteAccount, OwnOperationsGo) {
    addOperation(doc, kAccountA, 0x010001, -30.0, 10); // category
    addOperation(doc, kAccountA, 0x040000, -12.0, 11); // third party
    addOperation(doc, 0x040000, kAccountA, 8.0, 12);   // third party, other way
    addOperation(doc, kAccountA, Split, -7.0, 13);     // split still waiting
    OperationRecord* keep = addOperation(doc, kAccountB, 0x010002, -1.0, 14);
    deleteAccount(doc, a);
    // Initial operation 0 and 10 to 13 are gone.
    EXPECT_EQ(operationIds(doc), (std::vector<std::uint32_t>{1, 2, 14}));
    EXPECT_EQ(doc.operations.last(), keep);
}

TEST_F(DeleteAccount, LinesOfOtherSplitsArePointedAtTheDeletedPlaceholder) {
    OperationRecord* split = addOperation(doc, kAccountB, Split, -100.0, 10);
    attachLines(*split, {{0x010101, -40.0}, {kAccountA, -35.0}, {kAccountC, -25.0}});
    deleteAccount(doc, a);

    ASSERT_EQ(findOperationById(doc, 10), split);
    EXPECT_EQ(split->partyId, kAccountB);
    EXPECT_EQ(split->counterpartyId, static_cast<PartyId>(Split));
    EXPECT_EQ(split->amount, -100.0);
    ASSERT_EQ(split->lineCount, 3u);
    ASSERT_EQ(split->lines->count(), 3);
    const VentilationLine* line = split->lines->first();
    EXPECT_EQ(line->counterpartyId, 0x010101u);
    EXPECT_EQ(line->amount, -40.0);
    line = split->lines->next(line);
    EXPECT_EQ(line->counterpartyId, 0x800000u);
    EXPECT_EQ(line->amount, -35.0);
    line = split->lines->next(line);
    EXPECT_EQ(line->counterpartyId, kAccountC);
    EXPECT_EQ(line->amount, -25.0);
}

TEST_F(DeleteAccount, SplitOfTheDeletedAccountLeavesEachOtherAccountItsPart) {
    addOperation(doc, kAccountC, 0x010003, -3.0, 9);
    OperationRecord* split = addOperation(doc, kAccountA, Split, -90.0, 10);
    split->modeId = 3;
    split->pointed = 1;
    split->entryDate = 1111;
    split->modifiedDate = 2222;
    split->operationDate = 3333;
    split->creatorUserId = split->modifierUserId = 2;
    setFieldText(split->label, "Courses");
    attachLines(*split, {{kAccountB, -60.0}, {0x010200, -10.0}, {kAccountC, -20.0}});
    VentilationLine* toB = split->lines->first();
    toB->balanceAfterParty = 7.0;
    toB->balanceAfterCounterparty = 440.0;
    VentilationLine* toC = split->lines->last();
    toC->balanceAfterParty = 8.0;
    toC->balanceAfterCounterparty = 980.0;
    addOperation(doc, kAccountC, 0x010004, -4.0, 11);

    const FileTime before = localNowFileTime();
    deleteAccount(doc, a);
    const FileTime after = localNowFileTime();

    // The two parts that went to accounts take the split's place, in line order.
    EXPECT_EQ(operationIds(doc), (std::vector<std::uint32_t>{1, 2, 9, 10, 10, 11}));
    const OperationRecord* partB = doc.operations.next(findOperationById(doc, 9));
    const OperationRecord* partC = doc.operations.next(partB);
    ASSERT_NE(partC, nullptr);
    EXPECT_EQ(partB->partyId, kAccountB);
    EXPECT_EQ(partB->counterpartyId, 0x800000u);
    EXPECT_EQ(partB->amount, 60.0);
    EXPECT_EQ(partB->balanceAfterParty, 440.0);
    EXPECT_EQ(partC->partyId, kAccountC);
    EXPECT_EQ(partC->counterpartyId, 0x800000u);
    EXPECT_EQ(partC->amount, 20.0);
    EXPECT_EQ(partC->balanceAfterParty, 980.0);
    for (const OperationRecord* part : {partB, partC}) {
        EXPECT_EQ(part->modifierUserId, 4u);
        EXPECT_GE(part->modifiedDate, before);
        EXPECT_LE(part->modifiedDate, after);
        // Everything else is the line's, which carries the split's fields.
        EXPECT_EQ(part->creatorUserId, 2u);
        EXPECT_EQ(part->entryDate, 1111u);
        EXPECT_EQ(part->operationDate, 3333u);
        EXPECT_EQ(part->modeId, 3);
        EXPECT_EQ(part->pointed, 1);
        EXPECT_STREQ(part->label, "Courses");
        EXPECT_EQ(part->lineCount, 0u);
        EXPECT_EQ(part->lines, nullptr);
    }
}

TEST_F(DeleteAccount, SplitLineBackToTheDeletedAccountLeavesNoOperationBehind) {
    OperationRecord* split = addOperation(doc, kAccountA, Split, -50.0, 10);
    attachLines(*split, {{kAccountA, -30.0}, {kAccountB, -20.0}});
    addOperation(doc, kAccountA, kAccountA, 5.0, 11); // a transfer to itself
    deleteAccount(doc, a);
    EXPECT_EQ(operationIds(doc), (std::vector<std::uint32_t>{1, 2, 10}));
    for (const OperationRecord& operation : doc.operations) {
        EXPECT_NE(operation.partyId, kAccountA);
        EXPECT_NE(operation.counterpartyId, kAccountA);
    }
    EXPECT_EQ(doc.operations.last()->partyId, kAccountB);
    EXPECT_EQ(doc.operations.last()->amount, 20.0);
}

TEST_F(DeleteAccount, ReleasesTheLogo) {
    a->logoPixels = static_cast<std::uint8_t*>(std::malloc(kLogoPixelBytes));
    a->logoMask = static_cast<std::uint8_t*>(std::malloc(kLogoMaskBytes));
    deleteAccount(doc, a); // the address sanitizer reports a leak otherwise
    EXPECT_EQ(doc.accounts.count(), 2);
    EXPECT_EQ(countAccounts(doc, 1), 2);
}

// --- Ticking -----------------------------------------------------------------

class Ticking : public ::testing::Test {
  protected:
    void SetUp() override {
        documentInit(doc);
        a = createAccount(doc, "A", 100.0);
        b = createAccount(doc, "B", 0.0);
        doc.currentAccount = a;
    }
    Document doc;
    AccountRecord* a = nullptr;
    AccountRecord* b = nullptr;
};

TEST_F(Ticking, OwnOperationMovesOnlyTheCurrentAccount) {
    OperationRecord* expense = addOperation(doc, kAccountA, 0x010001, -30.0, 10);
    setPointed(doc, *expense, 1);
    EXPECT_EQ(expense->pointed, 1);
    EXPECT_EQ(a->pointedBalance, -30.0);
    setPointed(doc, *expense, 1); // already ticked: nothing moves
    EXPECT_EQ(a->pointedBalance, -30.0);
    setPointed(doc, *expense, 0);
    EXPECT_EQ(expense->pointed, 0);
    EXPECT_EQ(a->pointedBalance, 0.0);
    setPointed(doc, *expense, 0);
    EXPECT_EQ(a->pointedBalance, 0.0);
    EXPECT_EQ(b->pointedBalance, 0.0);
}

TEST_F(Ticking, TransferSeenFromTheCounterpartySide) {
    // A pays 50 to B; the register of A shows it.
    OperationRecord* transfer = addOperation(doc, kAccountB, kAccountA, 50.0, 10);
    setPointed(doc, *transfer, 1);
    EXPECT_EQ(a->pointedBalance, -50.0);
    EXPECT_EQ(b->pointedBalance, 50.0);
    setPointed(doc, *transfer, 0);
    EXPECT_EQ(a->pointedBalance, 0.0);
    EXPECT_EQ(b->pointedBalance, 0.0);
}

TEST_F(Ticking, TransferSeenFromThePartySide) {
    // B pays 20 to A.
    OperationRecord* transfer = addOperation(doc, kAccountA, kAccountB, 20.0, 10);
    setPointed(doc, *transfer, 1);
    EXPECT_EQ(a->pointedBalance, 20.0);
    EXPECT_EQ(b->pointedBalance, -20.0);
    // From B's register the same operation unticks back to zero.
    doc.currentAccount = b;
    setPointed(doc, *transfer, 0);
    EXPECT_EQ(a->pointedBalance, 0.0);
    EXPECT_EQ(b->pointedBalance, 0.0);
}

TEST_F(Ticking, ThirdPartyOnTheOtherSideChangesNoAccount) {
    OperationRecord* fromThird = addOperation(doc, kAccountA, 0x040000, 12.5, 10);
    OperationRecord* toThird = addOperation(doc, 0x040000, kAccountA, 2.5, 11);
    setPointed(doc, *fromThird, 1);
    setPointed(doc, *toThird, 1);
    EXPECT_EQ(a->pointedBalance, 10.0);
    EXPECT_EQ(b->pointedBalance, 0.0);
}

TEST_F(Ticking, InitialBalanceTicksTheAccountFlag) {
    OperationRecord* initial = doc.operations.first();
    ASSERT_EQ(initial->counterpartyId, 0x100000u);
    setPointed(doc, *initial, 1);
    EXPECT_EQ(a->pointedBalance, 100.0);
    EXPECT_EQ(a->initialPointed, 1);
    setPointed(doc, *initial, 1);
    EXPECT_EQ(a->pointedBalance, 100.0);
    setPointed(doc, *initial, 0);
    EXPECT_EQ(a->pointedBalance, 0.0);
    EXPECT_EQ(a->initialPointed, 0);
    EXPECT_EQ(b->initialPointed, 0);
}

// --- Sums --------------------------------------------------------------------

class Sums : public ::testing::Test {
  protected:
    void SetUp() override {
        documentInit(doc);
        addOperation(doc, kAccountA, 0x010001, -30.0, 1);
        addOperation(doc, kAccountB, kAccountA, 70.0, 2);
        OperationRecord* split = addOperation(doc, kAccountA, Split, -100.0, 3);
        attachLines(*split, {{0x010101, -60.0}, {0x040002, -40.0}});
    }
    Document doc;
};

TEST_F(Sums, ExactIdentifier) {
    // -30 (party) - 70 (counterparty) - 100 (party); lines name neither.
    EXPECT_EQ(sumForParty(doc.operations, {2, kAccountA}), -200.0);
    // Only the first line names the sub-category, as its counterparty.
    EXPECT_EQ(sumForParty(doc.operations, {2, 0x010101}), 60.0);
    EXPECT_EQ(sumForParty(doc.operations, {2, 0x040002}), 40.0);
    EXPECT_EQ(sumForParty(doc.operations, {2, 0x010000}), 0.0);
}

TEST_F(Sums, ByKind) {
    // Every account: -30 (A) + 70 (B) - 100 (A).
    EXPECT_EQ(sumForParty(doc.operations, {1, Account}), -60.0);
    // Every category as counterparty: +30 and +60 from the first line.
    EXPECT_EQ(sumForParty(doc.operations, {1, Category}), 90.0);
    EXPECT_EQ(sumForParty(doc.operations, {1, Third}), 40.0);
}

TEST_F(Sums, ExactWinsOverKind) {
    EXPECT_EQ(sumForParty(doc.operations, {3, Account}), -200.0);
}

TEST_F(Sums, NoModeAddsEveryAmount) {
    // -30 + 70 - 100 - 60 - 40.
    EXPECT_EQ(sumForParty(doc.operations, {0, 0x123456}), -160.0);
    OperationList empty;
    EXPECT_EQ(sumForParty(empty, {0, 0}), 0.0);
}

// --- Copies ------------------------------------------------------------------

TEST(CopyOperations, CopiesOwnTheirLines) {
    Document doc;
    documentInit(doc);
    addOperation(doc, kAccountA, 0x010001, -5.0, 1);
    OperationRecord* split = addOperation(doc, kAccountA, Split, -10.0, 2);
    attachLines(*split, {{0x010001, -4.0}, {0x010002, -6.0}});

    OperationList copy;
    ASSERT_EQ(copyOperations(copy, doc.operations), 1);
    ASSERT_EQ(copy.count(), 2);
    EXPECT_EQ(copy.first()->lines, nullptr);
    OperationRecord* splitCopy = copy.last();
    ASSERT_NE(splitCopy->lines, nullptr);
    EXPECT_NE(splitCopy->lines, split->lines);
    EXPECT_EQ(splitCopy->lineCount, 2u);
    ASSERT_EQ(splitCopy->lines->count(), 2);
    EXPECT_EQ(splitCopy->lines->first()->amount, -4.0);
    EXPECT_EQ(splitCopy->lines->last()->amount, -6.0);

    // Changing or dropping the copy's lines leaves the original alone.
    splitCopy->lines->first()->amount = -9.0;
    splitCopy->lines->remove(splitCopy->lines->last());
    EXPECT_EQ(split->lines->first()->amount, -4.0);
    EXPECT_EQ(split->lines->count(), 2);
    for (OperationRecord& operation : copy)
        releaseLines(operation);
}

} // namespace
} // namespace kolvane
