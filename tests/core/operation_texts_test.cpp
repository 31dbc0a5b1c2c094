#include "document/operation_texts.h"

#include "document/text.h"

#include <gtest/gtest.h>

#include <tuple>

namespace kolvane {
namespace {

TEST(TextHelpers, TrimOnlyOuterSpacesAndTakeWhatIsThere) {
    EXPECT_EQ(std::tuple(trimSpaces("  Loyer de mai  "), trimSpaces("\tLoyer \n"),
                         trimSpaces("    "), substring("Bonjour", 3, 2)),
              std::tuple("Loyer de mai", "\tLoyer \n", "", "jo"));
    EXPECT_EQ(std::tuple(substring("Bonjour", -4, 3), substring("Bonjour", 3, -1),
                         substring("Bonjour", 3, 50), substring("Bonjour", 70, -1)),
              std::tuple("Bon", "jour", "jour", ""));
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
    EXPECT_EQ(std::tuple(partyText(doc, Split), partyText(doc, account->id),
                         partyText(doc, makePartyId(Third, 3)), partyText(doc, 0x010000),
                         partyText(doc, 0x018203)),
              std::tuple(utf8ToCp1252("Opération ventillée"),
                         utf8ToCp1252("Inter-compte : Compte Épargne"),
                         utf8ToCp1252("Tiers : Électricité de France"), "Alimentation",
                         "Revenu de placement : Plus-values"));
    // Missing records and placeholders have no text.
    EXPECT_EQ(std::tuple(partyText(doc, makePartyId(Account, 7)),
                         partyText(doc, makePartyId(Third, 4)), partyText(doc, 0x010009),
                         partyText(doc, InitialBalance)),
              std::tuple("", "", "", ""));
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
    EXPECT_EQ(std::tuple(modeName(doc, 0x0002), modeName(doc, 0x8003), modeName(doc, 0x0009)),
              std::tuple(utf8ToCp1252("Chèque émis"), utf8ToCp1252("Remise de chèque"), ""));
}

} // namespace
} // namespace kolvane
