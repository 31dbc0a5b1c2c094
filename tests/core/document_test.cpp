#include "document/calendar.h"
#include "document/document.h"
#include "document/text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kolvane {
namespace {

constexpr PartyId kAccountA = 0x080000;
constexpr PartyId kAccountB = 0x080001;
constexpr PartyId kAccountC = 0x080002;

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

TEST(DocumentLifecycle, InitThenCloseResetEverything) {
    Document doc;
    documentInit(doc);
    AccountRecord* logo = createAccount(doc, "Compte courant", 10.0);
    EXPECT_TRUE(createAccount(doc, "Livret", 0.0));
    EXPECT_TRUE(addDefaultUser(doc));
    EXPECT_TRUE(addDefaultModes(doc));
    EXPECT_TRUE(addDefaultCategories(doc));
    doc.labels.appendEmpty();
    doc.thirds.appendEmpty();
    doc.reserved.appendEmpty();
    // Lines are the document's to release (the address sanitizer reports a
    // leak otherwise); logos go with the file.
    const std::vector<std::uint8_t> pixels(kLogoPixelBytes), mask(kLogoMaskBytes);
    logo->logo = doc.logos.add(pixels, mask);
    const LogoId kept = logo->logo;
    ASSERT_NE(accountLogo(doc, *logo), nullptr);
    attachLines(*addOperation(doc, logo->id, Split, -10.0, 2),
                {{0x010001, -4.0}, {0x010002, -6.0}});
    doc.filePath = "/tmp/a.kvn";
    doc.isOpen = doc.isModified = 1;
    doc.alertsEnabled = 0;
    doc.pointingMode = 1;
    doc.sortOrder = 1;
    doc.nextThirdNumber = 9;
    doc.currentAccount = logo;
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
    EXPECT_EQ(doc.logos.find(kept), nullptr);
    const LogoId fresh = doc.logos.add(pixels, mask);
    EXPECT_NE(fresh, kept); // never the identifier of another file's logo
    EXPECT_NE(doc.logos.find(fresh), nullptr);
    EXPECT_EQ(doc.logos.find(fresh + 1), nullptr); // none handed out yet
    EXPECT_TRUE(doc.filePath.empty());
    EXPECT_EQ(doc.isOpen, 0u);
    EXPECT_EQ(doc.isModified, 0u);
    EXPECT_EQ(doc.alertsEnabled, 1u);
    EXPECT_EQ(doc.sortOrder, 0u); // the next file starts in entry order, as at start-up
    EXPECT_EQ(doc.pointingMode, 0u);
}

// One document holding every case at once; each operation's fate is checked.
TEST(DeleteAccount, EachKindOfOperationOfTheDeletedAccount) {
    Document doc;
    documentInit(doc);
    AccountRecord* a = createAccount(doc, "A", 100.0); // initial operation id 0
    ASSERT_TRUE(createAccount(doc, "B", 200.0));       // id 1
    ASSERT_TRUE(createAccount(doc, "C", 300.0));       // id 2
    UserRecord user{};
    user.id = 4;
    doc.currentUser = doc.users.append(user);
    doc.currentAccount = a;

    addOperation(doc, kAccountB, kAccountA, 50.0, 10); // A pays B: stays with B
    addOperation(doc, kAccountA, kAccountB, 20.0, 11); // B pays A: stays with B
    addOperation(doc, kAccountC, kAccountB, 5.0, 12);  // not concerned
    addOperation(doc, kAccountA, 0x010001, -30.0, 13); // A's own: category,
    addOperation(doc, kAccountA, 0x040000, -12.0, 14); // third party both ways,
    addOperation(doc, 0x040000, kAccountA, 8.0, 15);
    addOperation(doc, kAccountA, Split, -7.0, 16);    // split still waiting,
    addOperation(doc, kAccountA, kAccountA, 5.0, 17); // transfer to itself
    OperationRecord* otherSplit = addOperation(doc, kAccountB, Split, -100.0, 20);
    attachLines(*otherSplit, {{0x010101, -40.0}, {kAccountA, -35.0}, {kAccountC, -25.0}});
    OperationRecord* split = addOperation(doc, kAccountA, Split, -90.0, 21);
    split->modifiedDate = 2222;
    split->operationDate = 3333;
    split->modifierUserId = 2;
    setFieldText(split->label, "Courses");
    attachLines(*split, {{kAccountB, -60.0}, {0x010200, -10.0}, {kAccountC, -20.0}});
    split->lines->first()->balanceAfterCounterparty = 440.0;
    split->lines->last()->balanceAfterCounterparty = 980.0;
    // A line back to the deleted account leaves nothing behind.
    attachLines(*addOperation(doc, kAccountA, Split, -50.0, 22),
                {{kAccountA, -30.0}, {kAccountB, -15.0}});
    addOperation(doc, kAccountC, 0x010004, -4.0, 23);

    const FileTime before = localNowFileTime();
    ASSERT_TRUE(deleteAccount(doc, a));
    const FileTime after = localNowFileTime();

    // Parts of A's splits that went to accounts take the split's place, in line order.
    EXPECT_EQ(operationIds(doc),
              (std::vector<std::uint32_t>{1, 2, 10, 11, 12, 20, 21, 21, 22, 23}));
    const OperationRecord* toB = findOperationById(doc, 10);
    EXPECT_EQ(toB->partyId, kAccountB);
    EXPECT_EQ(toB->counterpartyId, 0x800000u);
    EXPECT_EQ(toB->amount, 50.0);
    EXPECT_EQ(findOperationById(doc, 11)->partyId, 0x800000u);
    EXPECT_EQ(findOperationById(doc, 11)->counterpartyId, kAccountB);
    EXPECT_EQ(findOperationById(doc, 12)->partyId, kAccountC);
    EXPECT_EQ(findOperationById(doc, 12)->counterpartyId, kAccountB);

    EXPECT_EQ(otherSplit->partyId, kAccountB);
    EXPECT_EQ(otherSplit->amount, -100.0);
    ASSERT_EQ(otherSplit->lines->count(), 3);
    const VentilationLine* line = otherSplit->lines->first();
    EXPECT_EQ(line->counterpartyId, 0x010101u);
    line = otherSplit->lines->next(line);
    EXPECT_EQ(line->counterpartyId, 0x800000u);
    EXPECT_EQ(line->amount, -35.0);
    EXPECT_EQ(otherSplit->lines->last()->counterpartyId, kAccountC);

    const OperationRecord* partB = doc.operations.next(otherSplit);
    const OperationRecord* partC = doc.operations.next(partB);
    const struct {
        const OperationRecord* part;
        PartyId party;
        double amount, balance;
    } parts[] = {{partB, kAccountB, 60.0, 440.0}, {partC, kAccountC, 20.0, 980.0}};
    for (const auto& expected : parts) {
        const OperationRecord* part = expected.part;
        EXPECT_EQ(part->partyId, expected.party);
        EXPECT_EQ(part->amount, expected.amount);
        EXPECT_EQ(part->balanceAfterParty, expected.balance);
        EXPECT_EQ(part->counterpartyId, 0x800000u);
        EXPECT_EQ(part->modifierUserId, 4u);
        EXPECT_GE(part->modifiedDate, before);
        EXPECT_LE(part->modifiedDate, after);
        // Everything else is the line's, which carries the split's fields.
        EXPECT_EQ(part->operationDate, 3333u);
        EXPECT_STREQ(part->label, "Courses");
        EXPECT_EQ(part->lineCount, 0u);
        EXPECT_EQ(part->lines, nullptr);
    }
    EXPECT_EQ(findOperationById(doc, 22)->partyId, kAccountB);
    EXPECT_EQ(findOperationById(doc, 22)->amount, 15.0);

    EXPECT_EQ(doc.accounts.count(), 2);
    EXPECT_EQ(findAccountById(doc, kAccountA), nullptr);
    // The current account never points at the freed record.
    EXPECT_TRUE(doc.currentAccount == nullptr || doc.currentAccount == doc.accounts.first() ||
                doc.currentAccount == doc.accounts.last());
}

TEST(SumForParty, ExactByKindOrEverything) {
    Document doc;
    documentInit(doc);
    addOperation(doc, kAccountA, 0x010001, -30.0, 1);
    addOperation(doc, kAccountB, kAccountA, 70.0, 2);
    attachLines(*addOperation(doc, kAccountA, Split, -100.0, 3),
                {{0x010101, -60.0}, {0x040002, -40.0}});
    // Exact: -30 (party) - 70 (counterparty) - 100 (party); lines name neither.
    EXPECT_EQ(sumForParty(doc.operations, {2, kAccountA}), -200.0);
    // Only the first line names the sub-category, as its counterparty.
    EXPECT_EQ(sumForParty(doc.operations, {2, 0x010101}), 60.0);
    EXPECT_EQ(sumForParty(doc.operations, {2, 0x010000}), 0.0);
    // By kind, every account: -30 (A) + 70 (B) - 100 (A).
    EXPECT_EQ(sumForParty(doc.operations, {1, Account}), -60.0);
    // Every category as counterparty: +30 and +60 from the first line.
    EXPECT_EQ(sumForParty(doc.operations, {1, Category}), 90.0);
    EXPECT_EQ(sumForParty(doc.operations, {1, Third}), 40.0);
    // Exact wins over kind.
    EXPECT_EQ(sumForParty(doc.operations, {3, Account}), -200.0);
    // No mode: -30 + 70 - 100 - 60 - 40.
    EXPECT_EQ(sumForParty(doc.operations, {0, 0x123456}), -160.0);
}

} // namespace
} // namespace kolvane
