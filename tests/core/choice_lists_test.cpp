#include "document/choice_lists.h"

#include "document/text.h"

#include <gtest/gtest.h>

#include <tuple>

namespace kolvane {
namespace {

std::string cp(const char* utf8) {
    return utf8ToCp1252(utf8);
}

CategoryRecord* findCategory(Document& doc, std::uint16_t id) {
    for (CategoryRecord& record : doc.categories)
        if (record.id == id)
            return &record;
    return nullptr;
}

class ChoiceLists : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(addDefaultModes(doc), 1);
        ASSERT_EQ(addDefaultCategories(doc), 1);
    }

    AccountRecord* addAccount(const char* name) {
        AccountRecord* account = createAccount(doc, cp(name), 0.0);
        EXPECT_NE(account, nullptr);
        return account;
    }

    void addThird(const char* name, std::uint16_t number) {
        ThirdRecord third{};
        setFieldUtf8(third.name, name);
        third.id = makePartyId(Third, number);
        third.active = 1;
        ASSERT_NE(doc.thirds.append(third), nullptr);
    }

    Document doc;
};

// The default categories alone: 10 expense categories with 48 sub-categories
// (rows 0 to 57), the separator (58), then 3 income categories with 11
// sub-categories (rows 59 to 72).
TEST_F(ChoiceLists, DefaultCategoriesGiveHeadersSubCategoriesAndOneSeparator) {
    ChoiceList list = fillCounterparties(0, doc);
    ASSERT_EQ(list.rows.size(), 73u);
    EXPECT_EQ(std::tuple(list.rows[0].text, list.rows[0].itemData, list.rows[1].text,
                         list.rows[1].itemData, list.selected),
              std::tuple("ALIMENTATION", 0u, cp("   Alimentation : Supermarché"), 0x010001u, 1));
    EXPECT_EQ(std::tuple(list.rows[57].text, list.rows[58].text, list.rows[58].itemData,
                         list.rows[59].text, list.rows[72].itemData),
              std::tuple("   Frais financiers : Frais divers", std::string(54, '_'), 0u, "REVENUS",
                         0x018203u));
}

TEST_F(ChoiceLists, ThirdPartiesAccountsAndSplitFollowTheCategories) {
    AccountRecord* current = addAccount("Courant");
    addAccount("Livret");
    AccountRecord* masked = addAccount("Ancien");
    masked->active = 0;
    doc.currentAccount = current;
    addThird("Boulangerie", 0);
    addThird("EDF", 1);

    ChoiceList list = fillCounterparties(1, doc);
    // 73 category rows, separator, TIERS, 2 thirds, INTER-COMPTE (no second
    // separator), Livret only, separator, split.
    ASSERT_EQ(list.rows.size(), 81u);
    EXPECT_EQ(std::tuple(list.rows[73].text, list.rows[74].text, list.rows[74].itemData,
                         list.rows[75].text),
              std::tuple(std::string(kSeparatorText), "TIERS", 0u, "   Tiers : Boulangerie"));
    EXPECT_EQ(std::tuple(list.rows[75].itemData, list.rows[77].text, list.rows[78].text,
                         list.rows[78].itemData),
              std::tuple(makePartyId(Third, 0), "INTER-COMPTE", "   Inter-compte : Livret",
                         makePartyId(Account, 1)));
    EXPECT_EQ(
        std::tuple(list.rows[79].text, list.rows[80].text, list.rows[80].itemData, list.selected),
        std::tuple(std::string(kSeparatorText), cp("Opération ventillée"),
                   static_cast<std::uint32_t>(Split), 1));
}

TEST_F(ChoiceLists, OneActiveAccountGivesNoTransferBlock) {
    doc.currentAccount = addAccount("Courant");
    addAccount("Ancien")->active = 0;
    EXPECT_EQ(fillCounterparties(0, doc).rows.size(), 73u);
    EXPECT_EQ(fillCounterparties(1, doc).rows.size(), 75u);
}

TEST_F(ChoiceLists, AWithdrawnCategoryHidesItsSubCategories) {
    findCategory(doc, 0x0000)->shown = 0; // Alimentation, whose 4 subs stay shown
    findCategory(doc, 0x0102)->shown = 0; // Logement : Eléctricité alone
    ChoiceList list = fillCounterparties(0, doc);
    ASSERT_EQ(list.rows.size(), 73u - 5u - 1u);
    EXPECT_EQ(std::tuple(list.rows[0].text, list.rows[1].text, list.rows[2].text, list.selected),
              std::tuple("LOGEMENT", "   Logement : Loyer", "   Logement : Eau", 1));
    EXPECT_EQ(findByItemData(&list, 0x010001), -1);
}

TEST_F(ChoiceLists, TheIncomeSeparatorComesBeforeTheFirstShownIncomeRow) {
    findCategory(doc, 0x8000)->shown = 0; // Revenus and its 4 subs
    ChoiceList list = fillCounterparties(0, doc);
    ASSERT_EQ(list.rows.size(), 68u);
    EXPECT_EQ(list.rows[58].text, std::string(kSeparatorText));
    EXPECT_EQ(list.rows[59].text, "REVENUS DIVERS");

    findCategory(doc, 0x8100)->shown = 0;
    findCategory(doc, 0x8200)->shown = 0;
    list = fillCounterparties(0, doc);
    ASSERT_EQ(list.rows.size(), 58u); // no income row, no separator
}

TEST_F(ChoiceLists, ModesOfOneSide) {
    ChoiceList debit = fillModes(doc, 1);
    ASSERT_EQ(debit.rows.size(), 5u);
    EXPECT_EQ(
        std::tuple(debit.rows[0].text, debit.rows[0].itemData, debit.rows[4].text, debit.selected),
        std::tuple("Carte de paiement", 0x0001u, "Tip", 0));

    ChoiceList credit = fillModes(doc, 0);
    ASSERT_EQ(credit.rows.size(), 3u);
    EXPECT_EQ(std::tuple(credit.rows[0].text, credit.rows[2].itemData, credit.selected),
              std::tuple(cp("Virement reçu"), 0x8003u, 0));
}

TEST_F(ChoiceLists, LabelsStayInCaseInsensitiveOrderWithoutDuplicates) {
    EXPECT_EQ(insertLabel(doc, "Essence", 0x010201), 1);
    EXPECT_EQ(insertLabel(doc, "boulangerie", 0x010001), 1);
    EXPECT_EQ(insertLabel(doc, cp("épicerie"), 0x010001), 1);
    EXPECT_EQ(insertLabel(doc, "Loyer", 0x010101), 1);
    EXPECT_EQ(insertLabel(doc, "Abonnement", 0), 1);
    // Equal ignoring case, accented capitals included.
    EXPECT_EQ(insertLabel(doc, cp("ÉPICERIE"), 0), 0);
    EXPECT_EQ(insertLabel(doc, "ESSENCE", 0), 0);

    ChoiceList list = fillLabels(doc);
    ASSERT_EQ(list.rows.size(), 5u);
    // 'é' (0xE9) sorts after every unaccented letter.
    EXPECT_EQ(
        std::tuple(list.rows[0].text, list.rows[1].text, list.rows[2].text, list.rows[2].itemData),
        std::tuple("Abonnement", "boulangerie", "Essence", 0x010201u));
    EXPECT_EQ(std::tuple(list.rows[3].text, list.rows[4].text, list.selected),
              std::tuple("Loyer", cp("épicerie"), -1));
}

TEST_F(ChoiceLists, ALongLabelIsComparedAsItIsStored) {
    const std::string longText(45, 'x');
    EXPECT_EQ(insertLabel(doc, longText, 0), 1);
    EXPECT_EQ(fieldText(doc.labels.first()->text), std::string(39, 'x'));
    EXPECT_EQ(insertLabel(doc, std::string(39, 'X'), 0), 0);
    EXPECT_EQ(doc.labels.count(), 1);
}

} // namespace
} // namespace kolvane
