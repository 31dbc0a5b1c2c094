#include "operations/register_model.h"

#include "register_sample.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace kolvane {
namespace {

using Cells = std::array<const char*, kRegisterColumnCount>;

std::vector<std::string> cellsOf(const RegisterModel& model, int row) {
    std::vector<std::string> cells;
    for (int column = 0; column < kRegisterColumnCount; ++column)
        cells.push_back(cp1252ToUtf8(model.cellText(row, column)));
    return cells;
}

void expectRows(const RegisterModel& model, const std::vector<Cells>& rows) {
    ASSERT_EQ(model.rowCount(), static_cast<int>(rows.size()));
    for (std::size_t row = 0; row < rows.size(); ++row)
        EXPECT_EQ(cellsOf(model, static_cast<int>(row)),
                  std::vector<std::string>(rows[row].begin(), rows[row].end()))
            << "row " << row;
}

class Register : public ::testing::Test {
  protected:
    void SetUp() override { s = sample::buildRegisterSample(doc); }
    Document doc;
    sample::RegisterSample s;
    RegisterModel model{doc};
};

TEST_F(Register, EveryKindOfRowInEntryOrder) {
    model.fill();
    expectRows(model, {
                          {"", "", "", "Solde initial", "", "", "1 000.00", "1 000.00"},
                          {" 05/03/2024", "Carte de paiement", "Alimentation : Supermarché",
                           "Courses", "P", "12.50", "", "987.50"},
                          {" 01/03/2024", "Virement émis", "Inter-compte : Compte B", "Virement",
                           "", "", "100.00", "1 087.50"},
                          {" 10/03/2024", "Carte de paiement", "Opération ventillée", "Partage", "",
                           "", "60.00", "1 147.50"},
                          {" 20/02/2024", "Carte de paiement", "Opération ventillée (en attente)",
                           "Divers", "", "30.00", "", "1 117.50"},
                          {" 07/03/2024", "Remise de chèque", "Tiers : Martin", "Avoir", "", "",
                           "45.00", "1 162.50"},
                      });
    struct Expected {
        std::uint32_t set;
        std::uint32_t clear;
    };
    const Expected flags[] = {
        {kRowInitialBalance | kRowMoneyIn, kRowOdd | kRowIncoming | kRowCanModify},
        {kRowTicked | kRowOdd, kRowMoneyIn | kRowCanModify},
        {kRowIncoming | kRowMoneyIn | kRowCanModify, kRowOdd | kRowLine | kRowCanConsult},
        {kRowIncoming | kRowLine | kRowMoneyIn | kRowOdd, kRowCanModify | kRowCanConsult},
        {kRowWaiting | kRowCanModify, kRowMoneyIn | kRowCanConsult | kRowOdd},
        {kRowMoneyIn | kRowCanModify | kRowOdd, kRowIncoming | kRowWaiting},
    };
    for (int row = 0; row < model.rowCount(); ++row) {
        const std::uint32_t f = model.rowFlags(row);
        EXPECT_EQ(f & flags[row].set, flags[row].set) << "row " << row;
        EXPECT_EQ(f & flags[row].clear, 0u) << "row " << row;
    }
    // What the list asks: even rows light blue, odd ones white; money in
    // orange (an own credit, an incoming debit of the other side), out blue.
    const RowModel& list = model;
    const std::uint32_t looks[][2] = {
        {kRowLightBlue, kMoneyInColour},  {kRowWhite, kMoneyOutColour},
        {kRowLightBlue, kMoneyInColour},  {kRowWhite, kMoneyInColour},
        {kRowLightBlue, kMoneyOutColour}, {kRowWhite, kMoneyInColour},
    };
    for (int row = 0; row < 6; ++row) {
        EXPECT_EQ(list.rowLook(row).background, looks[row][0]) << "row " << row;
        EXPECT_EQ(list.rowLook(row).text, looks[row][1]) << "row " << row;
    }
    EXPECT_EQ(model.record(3), &*s.split->lines->begin());
    EXPECT_EQ(model.record(6), nullptr);
    EXPECT_EQ(model.cellText(6, kColumnLabel), "");
}

TEST_F(Register, EqualDatesKeepTheirOrderAndAreFoundAmongTheirEquals) {
    const FileTime day = sample::date(2024, 4, 1);
    std::vector<OperationRecord*> same;
    for (int i = 0; i < 5; ++i)
        same.push_back(sample::addRecord(doc, s.a->id, Category | 0x0001, -1.0, day, 1, "Pain"));
    doc.sortOrder = 1;
    model.fill();
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(model.record(6 + i), same[static_cast<std::size_t>(i)]);
        EXPECT_EQ(model.findRow(same[static_cast<std::size_t>(i)]), 6 + i);
    }
    // A new equal goes after them; a changed one may stop at its own row.
    EXPECT_EQ(model.insertPosition(*same[0], -1), 11);
    EXPECT_EQ(model.insertPosition(*same[0], 8), 8);

    // Entered in the reverse order of their dates: far from sorted; a damaged
    // date beyond any calendar goes last.
    sample::addRecord(doc, s.a->id, Category | 0x0001, -1.0, 0x8000000000000000ull, 1, "Pain");
    for (int i = 0; i < 40; ++i)
        sample::addRecord(doc, s.a->id, Category | 0x0001, -1.0, day + DAY * (40 - i), 1, "Pain");
    // Times of one day a tick apart, also entered backwards.
    for (int i = 0; i < 3; ++i)
        sample::addRecord(doc, s.a->id, Category | 0x0001, -1.0, day + DAY * 50 + 3 - i, 1, "Pain");
    model.fill();
    for (int row = 12; row < model.rowCount(); ++row)
        EXPECT_LT(model.record(row - 1)->operationDate, model.record(row)->operationDate) << row;
    EXPECT_EQ(model.record(model.rowCount() - 1)->operationDate, 0x8000000000000000ull);
}

// Running balances are a cache written to the file: undoing a change must
// put back the very bytes, also where they were not running sums (a file
// from elsewhere, a negative zero).
TEST_F(Register, BalanceTrailsPutBackTheVeryBytes) {
    model.collectRows();
    const double odd[] = {-0.0, 5.0, 1005.0, 0.1 + 0.2, 7.0, 1e300};
    for (int row = 0; row < 6; ++row) {
        OperationRecord& r = *model.record(row);
        (r.partyId == s.a->id ? r.balanceAfterParty : r.balanceAfterCounterparty) = odd[row];
    }
    for (int from : {0, 2, 5, 6}) {
        const RegisterModel::BalanceTrail trail = model.captureBalances(from);
        model.recomputeFrom(from);
        model.restoreBalances(trail);
        for (int row = 0; row < 6; ++row) {
            const double value = model.runningBalance(row);
            EXPECT_EQ(std::memcmp(&value, &odd[row], sizeof value), 0) << from << ' ' << row;
        }
        EXPECT_FALSE(model.balancesChained());
    }
    // Running sums need no copy.
    model.recomputeFrom(0);
    EXPECT_TRUE(model.captureBalances(0).exceptions.empty());
    EXPECT_TRUE(model.balancesChained());
}

TEST(RegisterLayout, NeverNarrowerThan800NorLowerThan195) {
    struct Case {
        int width, height;
        bool pane;
        RegisterLayout expected;
    };
    const Case cases[] = {
        {1000, 600, false, {1000, 574, 574, 600}},
        {1000, 600, true, {1000, 449, 449, 475}},
        {600, 300, false, {800, 274, 274, 300}},
        {600, 300, true, {800, 195, 195, 221}},
    };
    for (const Case& c : cases) {
        const RegisterLayout layout = registerLayout(c.width, c.height, c.pane);
        EXPECT_EQ(layout.listWidth, c.expected.listWidth);
        EXPECT_EQ(layout.listHeight, c.expected.listHeight);
        EXPECT_EQ(layout.stripY, c.expected.stripY);
        EXPECT_EQ(layout.paneY, c.expected.paneY);
    }
    EXPECT_EQ(registerColumnWidths(900).label, 192);
    EXPECT_EQ(registerColumnWidths(708).balance, -1);
    EXPECT_EQ(registerColumnWidths(707).balance, 95);
}

TEST(BalanceStrip, SevenEqualCellsWithTheNameOverTwo) {
    // 800 / 7 = 114: the pixels left over stay blank at the right.
    const std::array<StripCell, kStripCellCount> cells = balanceStripCells(800);
    const int edges[][2] = {{0, 114}, {114, 342}, {342, 456}, {456, 570}, {570, 684}, {684, 798}};
    for (int i = 0; i < kStripCellCount; ++i) {
        EXPECT_EQ(cells[i].left, edges[i][0]) << i;
        EXPECT_EQ(cells[i].right, edges[i][1]) << i;
        EXPECT_EQ(cells[i].caption, i % 2 == 0) << i;
    }
    EXPECT_EQ(cells[1].piece, StripPiece::AccountName);
    EXPECT_EQ(cells[4].piece, StripPiece::BalanceCaption);
    EXPECT_EQ(stripPieceText(StripPiece::AccountCaption, "Compte"), " Compte : ");
    EXPECT_EQ(stripPieceText(StripPiece::PointedCaption, "Solde pointé : "), " Solde pointé :  ");
    EXPECT_EQ(stripPieceText(StripPiece::BalanceText, "- 20.00"), " - 20.00 ");
}

TEST(RegisterClicks, OnlyTheTickColumnInPointingModeTicks) {
    Document doc;
    doc.pointingMode = 1;
    EXPECT_TRUE(clickTicks(doc, 3, 2, kColumnTicked));
    EXPECT_FALSE(clickTicks(doc, 3, 3, kColumnTicked));
    EXPECT_FALSE(clickTicks(doc, 3, -1, kColumnTicked));
    EXPECT_FALSE(clickTicks(doc, 3, 0, kColumnDebit));
    doc.pointingMode = 0;
    EXPECT_FALSE(clickTicks(doc, 3, 0, kColumnTicked));
}

} // namespace
} // namespace kolvane
