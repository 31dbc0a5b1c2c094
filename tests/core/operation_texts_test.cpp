#include "document/operation_texts.h"

#include "document/text.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

TEST(TextHelpers, TrimOnlyOuterSpacesAndTakeWhatIsThere) {
    EXPECT_EQ(trimSpaces("  Loyer de mai  "), "Loyer de mai");
    EXPECT_EQ(trimSpaces("\tLoyer \n"), "\tLoyer \n");
    EXPECT_EQ(trimSpaces("    "), "");
    EXPECT_EQ(substring("Bonjour", 3, 2), "jo");
    EXPECT_EQ(substring("Bonjour", -4, 3), "Bon");
    EXPECT_EQ(substring("Bonjour", 3, -1), "jour");
    EXPECT_EQ(substring("Bonjour", 3, 50), "jour");
    EXPECT_EQ(substring("Bonjour", 70, -1), "");
}

class PartyTexts : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(addDefaultModes(doc), 1);
        ASSERT_EQ(addDefaultCategories(doc), 1);
        account = createAccount(doc, utf8ToCp1252("Compte Épargne"), 100.0);
        ASSERT_NE(account, nullptr);
        ThirdRecord third{};
        setFieldUtf8(third.name, "Électricité de France");
        third.id = makePartyId(Third, 3);
        third.active = 1;
        ASSERT_NE(doc.thirds.append(third), nullptr);
    }

    Document doc;
    AccountRecord* account = nullptr;
};

TEST_F(PartyTexts, NamesEveryKindOfParty) {
    EXPECT_EQ(partyText(doc, Split), utf8ToCp1252("Opération ventillée"));
    EXPECT_EQ(partyText(doc, account->id), utf8ToCp1252("Inter-compte : Compte Épargne"));
    EXPECT_EQ(partyText(doc, makePartyId(Third, 3)), utf8ToCp1252("Tiers : Électricité de France"));
    EXPECT_EQ(partyText(doc, 0x010000), "Alimentation");
    EXPECT_EQ(partyText(doc, 0x018203), "Revenu de placement : Plus-values");
    // Missing records and placeholders have no text.
    EXPECT_EQ(partyText(doc, makePartyId(Account, 7)), "");
    EXPECT_EQ(partyText(doc, makePartyId(Third, 4)), "");
    EXPECT_EQ(partyText(doc, 0x010009), "");
    EXPECT_EQ(partyText(doc, InitialBalance), "");
}

TEST(PartyText, TheParentIsTheLastRowOfTheSameCategoryBeforeTheMatch) {
    Document doc;
    auto add = [&](const char* name, std::uint16_t id) {
        CategoryRecord record{};
        setFieldUtf8(record.name, name);
        record.id = id;
        record.shown = 1;
        ASSERT_NE(doc.categories.append(record), nullptr);
    };
    add("Logement", 0x0100);
    add("Automobile", 0x0200);
    add("Loyer", 0x0101);
    add("Maison", 0x0100); // a second row for category 1, after the sub-category
    EXPECT_EQ(partyText(doc, 0x010101), "Logement : Loyer");
    // The category row itself is named by the first record carrying its id.
    EXPECT_EQ(partyText(doc, 0x010100), "Logement");
}

TEST_F(PartyTexts, ModeNamesByIdentifier) {
    EXPECT_EQ(modeName(doc, 0x0002), utf8ToCp1252("Chèque émis"));
    EXPECT_EQ(modeName(doc, 0x8003), utf8ToCp1252("Remise de chèque"));
    EXPECT_EQ(modeName(doc, 0x0009), "");
}

} // namespace
} // namespace kolvane
