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

    const MenuItemState* find(const std::vector<MenuItemState>& items, unsigned id) {
        auto found = std::find_if(items.begin(), items.end(),
                                  [&](const MenuItemState& item) { return item.id == id; });
        return found == items.end() ? nullptr : &*found;
    }

    Document doc;
    AccountRecord* courant = nullptr;
    AccountRecord* livret = nullptr;
    AccountRecord* epargne = nullptr;
};

TEST_F(MenuRules, MenuBarAndToolbarWithoutFile) {
    documentClose(doc);
    MenuState state = menuState(doc, kNoTab);
    EXPECT_FALSE(state.compteEnabled);
    EXPECT_FALSE(state.operationEnabled);
    EXPECT_FALSE(state.outilsEnabled);
    EXPECT_FALSE(state.saveButtonEnabled);
    EXPECT_FALSE(state.band1Visible);
}

TEST_F(MenuRules, OperationMenuOnlyOnTheOperationsTab) {
    for (int tab : {kAccountsTab, kThirdsTab, kLoanTab, kGraphTab, kNoTab}) {
        MenuState state = menuState(doc, tab);
        EXPECT_TRUE(state.compteEnabled) << tab;
        EXPECT_FALSE(state.operationEnabled) << tab;
        EXPECT_TRUE(state.outilsEnabled) << tab;
        EXPECT_TRUE(state.band1Visible) << tab;
    }
    EXPECT_TRUE(menuState(doc, kOperationsTab).operationEnabled);
}

TEST_F(MenuRules, SaveFollowsTheModifiedFlagAndFileItemsTheOpenFile) {
    auto items = popupItemStates(doc, 0);
    EXPECT_EQ(find(items, 1002)->enabled, false); // open, unchanged
    EXPECT_EQ(find(items, 1003)->enabled, true);
    EXPECT_EQ(find(items, 1004)->enabled, true);
    doc.isModified = 1;
    EXPECT_EQ(find(popupItemStates(doc, 0), 1002)->enabled, true);
    EXPECT_TRUE(menuState(doc, kAccountsTab).saveButtonEnabled);

    documentClose(doc);
    items = popupItemStates(doc, 0);
    EXPECT_EQ(find(items, 1002)->enabled, false);
    EXPECT_EQ(find(items, 1003)->enabled, false);
    EXPECT_EQ(find(items, 1004)->enabled, false);
}

TEST_F(MenuRules, AccountPopupChecksTheCurrentAccountCountingMaskedOnes) {
    doc.currentAccount = epargne; // third of all accounts, second of the shown ones
    auto items = popupItemStates(doc, 1);
    EXPECT_EQ(find(items, 1010)->enabled, true);
    ASSERT_NE(find(items, 4002), nullptr);
    EXPECT_EQ(find(items, 4002)->checked, true);
    EXPECT_EQ(find(items, 4001), nullptr);

    doc.currentUser->flags = kUserRefused; // refused to log in, but still administrator
    EXPECT_EQ(find(popupItemStates(doc, 1), 1010)->enabled, true);
    doc.currentUser->flags = kUserLimited;
    EXPECT_EQ(find(popupItemStates(doc, 1), 1010)->enabled, false);
    doc.currentAccount = nullptr;
    EXPECT_EQ(popupItemStates(doc, 1).size(), 1u);
}

TEST_F(MenuRules, OperationPopupReflectsTheRegisterAndTheDocument) {
    doc.sortOrder = 1;
    doc.pointingMode = 1;
    RegisterMenuFacts facts;
    facts.entryPaneShown = true;
    auto items = popupItemStates(doc, 2, facts);
    EXPECT_EQ(find(items, 1300)->checked, true);
    EXPECT_EQ(find(items, 1082)->checked, true);
    EXPECT_EQ(find(items, 1301)->enabled, false);
    EXPECT_EQ(find(items, 1303)->enabled, false);
    EXPECT_EQ(find(items, 1320)->checked, false);
    EXPECT_EQ(find(items, 1321)->checked, true);

    facts.hasSelection = true;
    items = popupItemStates(doc, 2, facts);
    EXPECT_EQ(find(items, 1302)->enabled, true);
    EXPECT_EQ(find(items, 1303)->enabled, false); // not a split
    facts.selectionIsSplit = true;
    EXPECT_EQ(find(popupItemStates(doc, 2, facts), 1303)->enabled, true);

    doc.sortOrder = 0;
    EXPECT_EQ(find(popupItemStates(doc, 2, facts), 1320)->checked, true);
}

TEST_F(MenuRules, ToolsPopupGreysOnlyTheAdministratorCommandsForALimitedUser) {
    doc.alertsEnabled = 1;
    auto items = popupItemStates(doc, 3);
    for (unsigned id : {1021u, 1022u, 1024u, 1027u})
        EXPECT_EQ(find(items, id)->enabled, true) << id;
    EXPECT_EQ(find(items, 1028)->checked, true);

    doc.currentUser->flags = kUserLimited;
    doc.alertsEnabled = 0;
    items = popupItemStates(doc, 3);
    for (unsigned id : {1021u, 1022u, 1024u, 1027u})
        EXPECT_EQ(find(items, id)->enabled, false) << id;
    // The label editor, change of user and of password stay available.
    for (unsigned id : {1023u, 1025u, 1026u})
        EXPECT_EQ(find(items, id), nullptr) << id;
    EXPECT_EQ(find(items, 1028)->checked, false);
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
