#include "document/choice_lists.h"

#include "document/text.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(list.rows[73].text, std::string(kSeparatorText));
    EXPECT_EQ(list.rows[74].text, "TIERS");
    EXPECT_EQ(list.rows[74].itemData, 0u);
    EXPECT_EQ(list.rows[75].text, "   Tiers : Boulangerie");
    EXPECT_EQ(list.rows[75].itemData, makePartyId(Third, 0));
    EXPECT_EQ(list.rows[77].text, "INTER-COMPTE");
    EXPECT_EQ(list.rows[78].text, "   Inter-compte : Livret");
    EXPECT_EQ(list.rows[78].itemData, makePartyId(Account, 1));
    EXPECT_EQ(list.rows[79].text, std::string(kSeparatorText));
    EXPECT_EQ(list.rows[80].text, cp("Opération ventillée"));
    EXPECT_EQ(list.rows[80].itemData, static_cast<std::uint32_t>(Split));
    EXPECT_EQ(list.selected, 1);
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
    EXPECT_EQ(list.rows[0].text, "LOGEMENT");
    EXPECT_EQ(list.rows[0].itemData, 0u); // a header is no party
    EXPECT_EQ(list.rows[1].text, "   Logement : Loyer");
    EXPECT_EQ(list.rows[1].itemData, 0x010101u);
    EXPECT_EQ(list.rows[2].text, "   Logement : Eau");
    EXPECT_EQ(list.selected, 1);
    EXPECT_EQ(findByItemData(&list, 0x010001), -1);
}

TEST_F(ChoiceLists, TheIncomeSeparatorComesBeforeTheFirstShownIncomeRow) {
    findCategory(doc, 0x8000)->shown = 0; // Revenus and its 4 subs
    ChoiceList list = fillCounterparties(0, doc);
    ASSERT_EQ(list.rows.size(), 68u); // 73 - 5
    EXPECT_EQ(list.rows[57].text, "   Frais financiers : Frais divers");
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
    EXPECT_EQ(debit.rows[0].text, "Carte de paiement");
    EXPECT_EQ(debit.rows[0].itemData, 0x0001u);
    EXPECT_EQ(debit.rows[4].text, "Tip");
    EXPECT_EQ(debit.selected, 0);

    ChoiceList credit = fillModes(doc, 0);
    ASSERT_EQ(credit.rows.size(), 3u);
    EXPECT_EQ(credit.rows[0].text, cp("Virement reçu"));
    EXPECT_EQ(credit.rows[2].itemData, 0x8003u);
    EXPECT_EQ(credit.selected, 0);
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
    EXPECT_EQ(list.rows[0].text, "Abonnement");
    EXPECT_EQ(list.rows[1].text, "boulangerie");
    EXPECT_EQ(list.rows[2].text, "Essence");
    EXPECT_EQ(list.rows[2].itemData, 0x010201u);
    EXPECT_EQ(list.rows[3].text, "Loyer");
    EXPECT_EQ(list.rows[4].text, cp("épicerie"));
    EXPECT_EQ(list.selected, -1);
}

} // namespace
} // namespace kolvane
