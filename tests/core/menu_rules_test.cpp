#include "shell/menu_rules.h"

#include "document/text.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kolvane {
namespace {

// A document with three accounts, the middle one masked.
class MenuRules : public ::testing::Test {
  protected:
    void SetUp() override {
        documentInit(doc);
        courant = addAccount("Courant", 0, 1);
        livret = addAccount("Livret", 1, 0);
        epargne = addAccount("Épargne", 2, 1);
        UserRecord user{};
        setFieldUtf8(user.name, "Marie");
        user.id = 1;
        doc.currentUser = doc.users.append(user);
        doc.currentAccount = courant;
        doc.isOpen = 1;
    }

    AccountRecord* addAccount(const char* name, std::uint32_t number, std::uint16_t active) {
        AccountRecord account{};
        setFieldUtf8(account.name, name);
        account.id = Account | number;
        account.active = active;
        return doc.accounts.append(account);
    }

    Document doc;
    AccountRecord* courant = nullptr;
    AccountRecord* livret = nullptr;
    AccountRecord* epargne = nullptr;
};

TEST_F(MenuRules, OperationMenuOnlyOnTheOperationsTabAndNoMenuWithoutFile) {
    for (int tab : {kAccountsTab, kThirdsTab, kLoanTab, kGraphTab, kNoTab}) {
        MenuState state = menuState(doc, tab);
        EXPECT_TRUE(state.compteEnabled) << tab;
        EXPECT_FALSE(state.operationEnabled) << tab;
        EXPECT_TRUE(state.outilsEnabled) << tab;
        EXPECT_TRUE(state.band1Visible) << tab;
    }
    EXPECT_TRUE(menuState(doc, kOperationsTab).operationEnabled);
    documentClose(doc);
    MenuState state = menuState(doc, kOperationsTab);
    EXPECT_FALSE(state.compteEnabled);
    EXPECT_FALSE(state.operationEnabled);
    EXPECT_FALSE(state.outilsEnabled);
    EXPECT_FALSE(state.saveButtonEnabled);
    EXPECT_FALSE(state.band1Visible);
}

TEST_F(MenuRules, AccountItemsNumberEveryAccountAndGreyTheMasked) {
    doc.currentAccount = epargne;
    auto items = accountMenuItems(doc);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].id, 4000u);
    EXPECT_FALSE(items[0].greyed);
    EXPECT_FALSE(items[0].checked);
    EXPECT_EQ(items[1].id, 4001u);
    EXPECT_TRUE(items[1].greyed);
    EXPECT_EQ(items[2].id, 4002u);
    EXPECT_EQ(items[2].text, "Épargne");
    EXPECT_TRUE(items[2].checked);
    // An ampersand is shown, not taken for a shortcut.
    EXPECT_EQ(accountMenuText("Pierre & Marie &&"), "Pierre && Marie &&&&");
}

TEST_F(MenuRules, AccountItemsThatNameNoAccountAreIgnored) {
    EXPECT_EQ(chooseAccountItem(doc, 4003).action, AccountChoice::Ignore); // only three
    EXPECT_EQ(chooseAccountItem(doc, 3999).action, AccountChoice::Ignore);
    doc.isOpen = 0;
    EXPECT_EQ(chooseAccountItem(doc, 4002).action, AccountChoice::Ignore);
}

} // namespace
} // namespace kolvane
