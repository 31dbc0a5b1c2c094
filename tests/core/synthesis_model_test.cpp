#include "accounts/synthesis_model.h"

#include "document/text.h"
#include "resources/resource_ids.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

TEST(Synthesis, ActiveAccountsWithTheirMenuPositions) {
    Document doc;
    documentInit(doc);
    AccountRecord* masked = createAccount(doc, "Ancien", 10.0);
    EXPECT_TRUE(createAccount(doc, "Courant", 1234.5));
    AccountRecord* savings = createAccount(doc, "Livret", -3.0);
    masked->active = 0;
    setFieldText(savings->webAddress, "https://banque.example");
    const std::vector<SynthesisRow> rows = synthesisRows(doc);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].name, "Courant");
    // The first row is the file's second account: double click posts 4001.
    EXPECT_EQ(synthesisClick(rows, 0, true).command, 4001);
    EXPECT_EQ(synthesisClick(rows, 1, true).command, 4002);
    const SynthesisClick single = synthesisClick(rows, 1, false);
    EXPECT_EQ(single.selectedRow, 1);
    EXPECT_TRUE(single.linksEnabled);
    EXPECT_EQ(single.command, 0);
    const SynthesisClick below = synthesisClick(rows, 2, true);
    EXPECT_EQ(below.selectedRow, -1);
    EXPECT_FALSE(below.linksEnabled);
    EXPECT_EQ(below.command, 0);

    SynthesisRows list;
    list.refill(doc);
    ASSERT_EQ(list.rowCount(), 2);
    EXPECT_EQ(list.cellText(0, 1), "1 234.50");
    EXPECT_EQ(list.cellText(1, 0), "Livret");
    EXPECT_EQ(list.cellText(1, 1), "- 3.00");
    EXPECT_EQ(list.cellText(2, 0), "");
    savings->balance = 1000000.0; // a booking since the refill
    EXPECT_EQ(list.cellText(1, 1), "1 000 000.00");

    EXPECT_EQ(openWebPage(rows[0]).messageId, IDS_NO_WEB_ADDRESS);
    EXPECT_EQ(openWebPage(rows[1]).messageId, 0);
    EXPECT_EQ(openWebPage(rows[1]).address, "https://banque.example");
}

TEST(Synthesis, TextsAreLaidOutIn36ths) {
    // Columns of 116 and 370 pixels: the text cell is 360 wide from x 122,
    // so a 36th is 10 pixels.
    const SynthesisCells cells = synthesisCells(0, 104, 116, 370);
    EXPECT_EQ(cells.logoY, 106);
    EXPECT_EQ(cells.caption.left, 122);
    EXPECT_EQ(cells.caption.right, 172);
    EXPECT_EQ(cells.name.left, 172);
    EXPECT_EQ(cells.name.right, 322);
    EXPECT_EQ(cells.balanceCaption.left, 322);
    EXPECT_EQ(cells.balanceCaption.right, 402);
    EXPECT_EQ(cells.balance.left, 402);
    EXPECT_EQ(cells.balance.right, 472);
    EXPECT_FALSE(cells.name.rightAligned);
    EXPECT_TRUE(cells.balance.rightAligned);
    // Fractions truncate: 5 x 35 / 36 = 4.86 -> 4.
    EXPECT_EQ(synthesisCells(0, 0, 116, 45).caption.right, 126);
}

} // namespace
} // namespace kolvane
