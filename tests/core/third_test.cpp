// Third parties: the tree and list of the "Tiers" tab, and the booking
// commands that create, change, mask, delete and transfer them. The file of
// register_sample.h: "Martin" (initial 0.00) is the counterparty of A's
// +45.00 "Avoir", so its balance is -45.00 over 2 operations.
#include "thirds/third_model.h"

#include "document/document_check.h"
#include "operations/booking.h"
#include "register_sample.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

using sample::line;

const FileTime kNow = sample::date(2024, 6, 1, 9);
constexpr PartyId kCanteen = Category | 0x0002;

ThirdEntry thirdEntry(const char* name, double initial, const char* note = "") {
    return ThirdEntry{utf8ToCp1252(name), initial, utf8ToCp1252(note), kNow};
}

class Thirds : public ::testing::Test {
  protected:
    void SetUp() override {
        s = sample::buildRegisterSample(doc);
        model.fill();
    }
    void TearDown() override { EXPECT_EQ(checkDocument(doc), std::vector<std::string>{}); }

    ThirdRecord* create(const char* name, double initial) {
        EXPECT_EQ(history.perform(makeNewThird(thirdEntry(name, initial))), BookingStatus::Done);
        return doc.thirds.last();
    }
    // An operation of A against `party`, as the entry pane books it.
    void book(double amount, PartyId party, std::vector<VentilationLine> lines = {}) {
        OperationEntry e;
        e.amount = amount;
        e.party = party;
        e.operationDate = sample::date(2024, 5, 1);
        e.label = "Essence";
        e.useLines = !lines.empty();
        e.lines = std::move(lines);
        e.now = kNow;
        ASSERT_EQ(history.perform(makeNewOperation(std::move(e))), BookingStatus::Done);
    }
    std::vector<std::string> names() {
        std::vector<std::string> out;
        for (const ThirdRecord* third : thirdTree(doc))
            out.push_back(cp1252ToUtf8(fieldText(third->name)));
        return out;
    }

    Document doc;
    sample::RegisterSample s;
    RegisterModel model{doc};
    BookingHistory history{model};
};

TEST(ThirdNames, OrderIgnoresCaseAndAccentsThenTellsThemApart) {
    const struct {
        const char* a;
        const char* b;
        int sign;
    } cases[] = {
        {"Émile", "eric", -1}, {"élodie", "Eloi", -1},    {"Ça va", "Cb", -1}, {"zoé", "Zoe", 1},
        {"Zoe", "zoe", 0},     {"Martin", "Martine", -1}, {"Œuvre", "Ot", 1},
    };
    for (const auto& c : cases) {
        const int result = compareThirdNames(utf8ToCp1252(c.a), utf8ToCp1252(c.b));
        EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a << " / " << c.b;
    }
}

TEST_F(Thirds, TheTreeShowsActivePartiesSortedAndSelectsTheNewest) {
    create("zoé", 0.0);
    ThirdRecord* emile = create("Émile", 0.0);
    create("Alain", 0.0);
    ThirdRecord* masked = create("eric", 0.0);
    ASSERT_EQ(history.perform(makeMaskThird(masked)), BookingStatus::Done);
    EXPECT_EQ(names(), (std::vector<std::string>{"Alain", "Émile", "Martin", "zoé"}));
    EXPECT_EQ(thirdSelectedAfterFill(doc), doc.thirds.previous(masked));
    ASSERT_EQ(history.perform(makeRenameThird(emile, "Zacharie")), BookingStatus::Done);
    EXPECT_EQ(names(), (std::vector<std::string>{"Alain", "Martin", "Zacharie", "zoé"}));
}

TEST_F(Thirds, RowsFollowBothSidesAndTheLinesWithARunningBalance) {
    ThirdRecord* dupont = create("Dupont", 25.0);
    book(-40.0, dupont->id);
    book(-50.0, Split, {line(dupont->id, -15.0), line(kCanteen, -35.0)});
    EXPECT_DOUBLE_EQ(dupont->balance, 80.0);
    EXPECT_EQ(dupont->operationCount, 3u);

    ThirdRows rows;
    rows.fill(doc, dupont);
    const char* expected[][kThirdColumnCount] = {
        {"", "Solde initial", "", "25.00", "25.00"},
        {" 01/05/2024", "Essence", "", "40.00", "65.00"},
        {" 01/05/2024", "Essence", "", "15.00", "80.00"},
    };
    const ThirdRowKind kinds[] = {ThirdRowKind::Initial, ThirdRowKind::Counterparty,
                                  ThirdRowKind::Line};
    ASSERT_EQ(rows.rowCount(), 3);
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(rows.kind(row), kinds[row]);
        for (int column = 0; column < kThirdColumnCount; ++column)
            EXPECT_EQ(cp1252ToUtf8(rows.cellText(row, column)), expected[row][column])
                << row << "," << column;
    }
    EXPECT_EQ(rows.rowLook(0).background, 0xFFF5F0u); // light blue, text (90, 90, 200)
    EXPECT_EQ(rows.rowLook(0).text, 0xC85A5Au);
    EXPECT_EQ(rows.rowLook(1).background, 0xFFFFFFu); // white, text dark blue
    EXPECT_EQ(rows.rowLook(1).text, 0x960000u);
    EXPECT_EQ(thirdStripTexts(dupont).balance, "80.00");

    // Martin: the credit of A is a debit on the counterparty side.
    rows.fill(doc, s.third);
    ASSERT_EQ(rows.rowCount(), 2);
    EXPECT_EQ(rows.cellText(1, kThirdDebit), "45.00");
    EXPECT_EQ(rows.cellText(1, kThirdBalance), "- 45.00");
    rows.fill(doc, nullptr);
    EXPECT_EQ(rows.rowCount(), 0);
    EXPECT_EQ(thirdStripTexts(nullptr).balance, "");
}

TEST(ThirdLayout, TheListTakesTheWidthPastThePanelAndScrollsBelow800By500) {
    const struct {
        int width, height;
        ThirdLayout expected;
    } cases[] = {
        {1000, 600, {600, 750, 574, 380, -1}},
        {800, 500, {500, 550, 474, 180, -1}},
        {700, 400, {500, 550, 474, 180, 95}},
    };
    for (const auto& c : cases) {
        const ThirdLayout l = thirdLayout(c.width, c.height);
        EXPECT_EQ(l.panelHeight, c.expected.panelHeight);
        EXPECT_EQ(l.listWidth, c.expected.listWidth);
        EXPECT_EQ(l.listHeight, c.expected.listHeight);
        EXPECT_EQ(l.labelWidth, c.expected.labelWidth);
        EXPECT_EQ(l.balanceWidth, c.expected.balanceWidth);
    }
    const auto cells = thirdStripCells(503);
    EXPECT_EQ(cells[1].left, 100);
    EXPECT_EQ(cells[1].right, 300);
    EXPECT_EQ(cells[3].left, 400);
    EXPECT_EQ(cells[3].right, 500);
}

TEST_F(Thirds, CreationBooksTheInitialBalanceAndReplacingChangesItsAmount) {
    const std::uint16_t number = doc.nextThirdNumber;
    ThirdRecord* dupont = create("Dupont", 25.0);
    EXPECT_EQ(dupont->id, Third | number);
    EXPECT_EQ(doc.operations.last()->id, dupont->initialOperationId);
    EXPECT_EQ(findThirdByName(doc, "DUPONT"), dupont);
    EXPECT_EQ(findThirdByName(doc, "Dupon"), nullptr);
    EXPECT_TRUE(deletesWithoutDialog(doc, *dupont));
    EXPECT_FALSE(deletesWithoutDialog(doc, *s.third));
    ThirdRecord named = *dupont; // counted once, but on no operation of its own
    named.id = Third | 0x7FFF;
    EXPECT_FALSE(deletesWithoutDialog(doc, named));

    // A masked party stays masked and keeps its name when replaced.
    ASSERT_EQ(history.perform(makeMaskThird(s.third)), BookingStatus::Done);
    ASSERT_EQ(history.perform(makeChangeThird(s.third, thirdEntry("MARTIN", 10.0, "voisin"))),
              BookingStatus::Done);
    EXPECT_DOUBLE_EQ(s.third->balance, -35.0);
    EXPECT_EQ(fieldText(s.third->name), "Martin");
    EXPECT_EQ(fieldText(s.third->note), "voisin");
    EXPECT_EQ(s.third->active, 0u);
    EXPECT_DOUBLE_EQ(findOperationById(doc, s.third->initialOperationId)->amount, 10.0);
}

// Deleting Martin with the transfer of its operations, worked out by hand.
TEST_F(Thirds, TransfersMoveEveryOperationAndLineWithTheirBalances) {
    const PartyId martin = s.third->id;
    ThirdRecord* dupont = create("Dupont", 0.0);
    book(-50.0, Split, {line(s.third->id, -20.0), line(kCanteen, -30.0)});
    EXPECT_DOUBLE_EQ(s.third->balance, -25.0);
    EXPECT_EQ(deletesWithoutDialog(doc, *s.third), false);
    setPointed(doc, *s.refund, 1);
    setPointed(doc, *s.refund, 1);                // already ticked: nothing moves
    EXPECT_DOUBLE_EQ(s.a->pointedBalance, 32.50); // -12.50 + 45.00

    // To B: the +45.00 of A now comes from B (B gives 45.00, ticked too).
    ASSERT_EQ(history.perform(makeTransferThird(s.third, s.b->id)), BookingStatus::Done);
    EXPECT_EQ(s.refund->counterpartyId, s.b->id);
    EXPECT_DOUBLE_EQ(s.b->balance, 320.0 - 45.0 + 20.0);
    EXPECT_DOUBLE_EQ(s.b->pointedBalance, -45.0);
    EXPECT_EQ(s.b->operationCount, 5u);
    EXPECT_EQ(findThirdById(doc, martin), nullptr);
    EXPECT_EQ(transferResult(doc, s.b->id), kThirdMoved);
    ASSERT_TRUE(history.stepBack());

    // To A itself: the "Avoir" has A on both sides and goes; A gives back
    // its 45.00 and its tick.
    ASSERT_EQ(history.perform(makeTransferThird(s.third, s.a->id)), BookingStatus::Done);
    EXPECT_EQ(findOperationById(doc, 8), nullptr);
    EXPECT_DOUBLE_EQ(s.a->balance, 1162.50 - 50.0 - 45.0 + 20.0);
    EXPECT_DOUBLE_EQ(s.a->pointedBalance, -12.50);
    EXPECT_EQ(s.a->operationCount, 7u);
    EXPECT_EQ(model.findRow(s.refund), -1);
    EXPECT_EQ(model.rowCount(), 7); // 6 + the split + its line to A - the "Avoir"
    EXPECT_EQ(transferResult(doc, s.a->id), kThirdMovedToCurrentAccount);
    ASSERT_TRUE(history.stepBack());

    // To another third party, and to a category (nothing to book on it).
    ASSERT_EQ(history.perform(makeTransferThird(s.third, dupont->id)), BookingStatus::Done);
    EXPECT_DOUBLE_EQ(dupont->balance, -25.0);
    EXPECT_EQ(dupont->operationCount, 3u);
    ASSERT_TRUE(history.stepBack());
    ASSERT_EQ(history.perform(makeTransferThird(s.third, kCanteen)), BookingStatus::Done);
    EXPECT_EQ(s.refund->counterpartyId, kCanteen);
    EXPECT_EQ(doc.thirds.count(), 1);
}

TEST_F(Thirds, TheTargetListOffersOtherPartiesAndRefusesItsOwnParty) {
    ChoiceList targets = thirdTargets(doc, *s.third);
    const int martin = findByItemData(&targets, s.third->id);
    EXPECT_EQ(checkThirdTarget(targets, targets.selected, *s.third), TargetCheck::Accepted);
    EXPECT_EQ(checkThirdTarget(targets, martin, *s.third), TargetCheck::SameThird);
    EXPECT_EQ(checkThirdTarget(targets, martin - 1, *s.third), TargetCheck::Heading);
    EXPECT_EQ(history.perform(makeTransferThird(s.third, s.third->id)), BookingStatus::SameThird);
    EXPECT_EQ(history.perform(makeTransferThird(s.third, 0)), BookingStatus::NoTarget);

    // No category shown: the first party other than Martin (account B).
    for (CategoryRecord& category : doc.categories)
        category.shown = 0;
    targets = thirdTargets(doc, *s.third);
    EXPECT_EQ(targets.rows[static_cast<std::size_t>(targets.selected)].itemData, s.b->id);
    // Nothing but Martin: the transfer is not offered.
    s.b->active = s.c->active = 0;
    EXPECT_EQ(thirdTargets(doc, *s.third).selected, -1);
    s.b->active = s.c->active = 1;
}

} // namespace
} // namespace kolvane
