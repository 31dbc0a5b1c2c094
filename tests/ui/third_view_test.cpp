// The "Tiers" tab in the main window, on the register sample of the core
// tests ("Martin", -45.00 over its initial balance and A's "Avoir"): what
// reaches the booking core from the links, keys, the tree's label editing
// and dialogs 214 and 215, and what the tree, list and strip show after.
#include "document/document_check.h"
#include "operations/operation_view.h"
#include "tests/ui/main_window_fixture.h"
#include "thirds/third_view.h"

#include <commctrl.h>

#include <gtest/gtest.h>

namespace kolvane::win {
namespace {

using uitest::DialogDriver;
using uitest::pumpMessagesUntil;

class ThirdViewTest : public uitest::MainWindowFixture {
  protected:
    void SetUp() override {
        openRegisterSample();
        main.showTab(kThirdsTab, true);
    }
    void TearDown() override {
        EXPECT_EQ(checkDocument(doc), std::vector<std::string>{});
        MainWindowFixture::TearDown();
    }

    ThirdView& view() { return *static_cast<ThirdView*>(main.views[kThirdsTab]); }
    std::vector<std::wstring> treeNames() {
        std::vector<std::wstring> names;
        HWND tree = view().tree();
        for (HTREEITEM item = TreeView_GetRoot(tree); item;
             item = TreeView_GetNextSibling(tree, item)) {
            wchar_t text[64] = {};
            TVITEMW data{};
            data.mask = TVIF_TEXT;
            data.hItem = item;
            data.pszText = text;
            data.cchTextMax = 64;
            TreeView_GetItem(tree, &data);
            names.push_back(text);
        }
        return names;
    }
    std::string cell(int row, int column) {
        return cp1252ToUtf8(view().rows().cellText(row, column));
    }
    bool linkEnabled(int id) { return IsWindowEnabled(GetDlgItem(view().window, id)); }
    void pressKey(WORD key) {
        NMTVKEYDOWN down{};
        down.hdr = {view().tree(), kThirdTreeId, TVN_KEYDOWN};
        down.wVKey = key;
        SendMessageW(view().window, WM_NOTIFY, kThirdTreeId, reinterpret_cast<LPARAM>(&down));
    }
};

TEST_F(ThirdViewTest, TheTabShowsTheNewestPartyWithItsRowsAndStrip) {
    EXPECT_EQ(treeNames(), std::vector<std::wstring>{L"Martin"});
    EXPECT_EQ(view().selectedThird(), s.third);
    EXPECT_EQ(ListView_GetItemCount(view().list().handle()), 2);
    EXPECT_EQ(cell(1, kThirdDebit), "45.00");
    EXPECT_EQ(cp1252ToUtf8(view().strip().texts.balance), "- 45.00");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(view().window, kThirdInitialId)));
    // "Modifier parametre Tiers.", a new initial balance, "Modifier".
    SendMessageW(view().window, WM_COMMAND, kThirdLinkSettings, 0);
    ASSERT_TRUE(IsWindowEnabled(GetDlgItem(view().window, kThirdInitialId)));
    SetDlgItemTextW(view().window, kThirdInitialId, L"10.00");
    SendMessageW(view().window, WM_COMMAND, IDOK, 0);
    EXPECT_DOUBLE_EQ(s.third->balance, -35.0);
    EXPECT_EQ(cell(1, kThirdBalance), "- 35.00");
}

TEST_F(ThirdViewTest, Command1029CreatesOrReplacesAndTheTreeFollows) {
    DialogDriver driver;
    driver.expectDialog(IDD_NEW_THIRD)
        .setText(IDC_THIRD_NAME, L"Élodie")
        .setText(IDC_THIRD_INITIAL_BALANCE, L"25.00")
        .click(IDOK);
    ASSERT_TRUE(driver.runCommand(main.window, CMD_NEW_THIRD));
    EXPECT_EQ(treeNames(), (std::vector<std::wstring>{L"Élodie", L"Martin"}));
    ThirdRecord* elodie = view().selectedThird();

    driver.expectDialog(IDD_NEW_THIRD)
        .setText(IDC_THIRD_NAME, L"ÉLODIE")
        .setText(IDC_THIRD_INITIAL_BALANCE, L"40.00")
        .click(IDOK);
    driver.expectMessageBox(L"Ce Tiers existe déjà .\nVoulez-vous le remplacer ?").click(IDYES);
    ASSERT_TRUE(driver.runCommand(main.window, CMD_NEW_THIRD));
    EXPECT_DOUBLE_EQ(elodie->balance, 40.0);
    EXPECT_EQ(cell(0, kThirdCredit), "40.00");
    // The whole of it is one step of the register's history.
    ASSERT_TRUE(main.history().undo());
    EXPECT_DOUBLE_EQ(elodie->balance, 25.0);
}

TEST_F(ThirdViewTest, RenamingInTheTreeSortsItAgain) {
    HWND tree = view().tree();
    pressKey(VK_F2);
    HWND edit = TreeView_GetEditControl(tree);
    ASSERT_NE(edit, nullptr);
    SetWindowTextW(edit, L"Albert");
    TreeView_EndEditLabelNow(tree, FALSE);
    EXPECT_EQ(fieldText(s.third->name), "Albert");
    pumpMessagesUntil([&] { return treeNames() == std::vector<std::wstring>{L"Albert"}; });
    EXPECT_EQ(treeNames(), std::vector<std::wstring>{L"Albert"});
}

TEST_F(ThirdViewTest, DeletionMovesTheOperationsToTheChosenParty) {
    // The operations go to account B: A's "Avoir" now comes from B.
    DialogDriver driver;
    driver.expectDialog(IDD_THIRD_DELETE)
        .expectChecked(IDC_THIRD_DELETE_TRANSFER)
        .then([&](HWND dialog) {
            EXPECT_TRUE(
                uitest::chooseComboData(GetDlgItem(dialog, IDC_THIRD_DELETE_TARGET), s.b->id));
        })
        .click(IDOK);
    ASSERT_TRUE(driver.run([&] { pressKey(VK_DELETE); }));
    EXPECT_TRUE(treeNames().empty());
    EXPECT_FALSE(linkEnabled(kThirdLinkDelete));
    EXPECT_EQ(s.refund->counterpartyId, s.b->id);
}

} // namespace
} // namespace kolvane::win
