// The "Comptes" and "Opérations" tabs in the main window, on the register
// sample of the core tests: what reaches the booking core from clicks, keys
// and menus, and what the list, the strip and the links show afterwards. The
// rules themselves (rows, balances, ticks) are the core tests' business.
#include "accounts/synthesis_view.h"
#include "operations/operation_view.h"
#include "tests/ui/main_window_fixture.h"

#include <commctrl.h>

#include <gtest/gtest.h>

namespace kolvane::win {
namespace {

using uitest::DialogDriver;
using uitest::pumpMessagesUntil;

class RegisterViewTest : public uitest::MainWindowFixture {
  protected:
    void SetUp() override { openRegisterSample(); }

    OperationView& view() { return main.operationView(); }
    HWND registerList() { return view().list().handle(); }
    HWND overviewList() { return main.synthesisView().list().handle(); }

    void pressKey(WORD key) {
        NMLVKEYDOWN down{};
        down.hdr = {registerList(), kRegisterListId, LVN_KEYDOWN};
        down.wVKey = key;
        SendMessageW(view().window, WM_NOTIFY, kRegisterListId, reinterpret_cast<LPARAM>(&down));
    }
    bool linkEnabled(int i) {
        return IsWindowEnabled(GetDlgItem(main.synthesisView().window, kSynthesisFirstLinkId + i));
    }
};

std::wstring headerText(HWND list, int column) {
    wchar_t text[32] = {};
    LVCOLUMNW info{};
    info.mask = LVCF_TEXT | LVCF_FMT;
    info.pszText = text;
    info.cchTextMax = 32;
    ListView_GetColumn(list, column, &info);
    return std::wstring(text) + ((info.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT    ? L">"
                                 : (info.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_CENTER ? L"|"
                                                                                    : L"");
}

TEST_F(RegisterViewTest, ListColumnsAndStripOfTheCurrentAccount) {
    HWND list = registerList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(GetDlgCtrlID(list), kRegisterListId);
    EXPECT_EQ(ListView_GetItemCount(list), 6);
    const wchar_t* headers[] = {L"Date", L"Mode",   L"Catégorie", L"Libéllé",
                                L"P|",   L"Débit>", L"Crédit>",   L"Solde>"};
    for (int column = 0; column < kRegisterColumnCount; ++column)
        EXPECT_EQ(headerText(list, column), headers[column]) << column;
    // The label column takes what the others leave.
    RECT client{};
    GetClientRect(list, &client);
    EXPECT_EQ(ListView_GetColumnWidth(list, kColumnLabel), client.right - 708);

    // The strip sits right under the list.
    RECT listRect{}, stripRect{};
    GetWindowRect(list, &listRect);
    GetWindowRect(view().strip().window, &stripRect);
    EXPECT_EQ(stripRect.top, listRect.bottom);
    EXPECT_EQ(view().strip().texts.balanceText, "1 162.50");
}

// The tick cell's click is UndoRedoTest's; here, the space bar.
TEST_F(RegisterViewTest, SpaceTicksTheSelectedRowInPointingMode) {
    main.router.run(CMD_TOGGLE_POINTING);
    ASSERT_EQ(doc.pointingMode, 1u);
    view().list().select(2); // the transfer from B
    pressKey(VK_SPACE);
    EXPECT_EQ(s.transfer->pointed, 1);
    EXPECT_EQ(view().strip().texts.pointedText, "87.50");
}

// "Oui" is UndoRedoTest's.
TEST_F(RegisterViewTest, DeletionAsksFirstAndOnlyForRowsThatMayGo) {
    // "Supprimer opération" follows the selected row.
    const std::pair<int, bool> rows[] = {{-1, false}, {1, false}, {5, true}};
    for (auto [row, enabled] : rows) {
        view().list().select(row);
        EXPECT_EQ(main.router.state(CMD_DELETE_OPERATION).enabled, enabled) << row;
    }
    const wchar_t* question = L"Voulez-vous supprimer vraiment cette opération?";
    DialogDriver driver;
    driver.expectMessageBox(question).click(IDNO);
    ASSERT_TRUE(driver.runCommand(main.window, CMD_DELETE_OPERATION));
    EXPECT_EQ(ListView_GetItemCount(registerList()), 6);
}

TEST_F(RegisterViewTest, BothOrdersFromTheMenuKeepTheSelectedOperation) {
    view().list().select(5); // the refund of 07/03/2024
    main.router.run(CMD_SORT_BY_OPERATION_DATE);
    EXPECT_EQ(doc.sortOrder, 1u);
    EXPECT_EQ(view().model().record(1), s.waiting);
    EXPECT_EQ(view().selectedRow(), 4);
    EXPECT_EQ(main.router.state(CMD_SORT_BY_OPERATION_DATE).checked, true);
    main.router.run(CMD_SORT_BY_ENTRY);
    EXPECT_EQ(view().selectedRow(), 5);
}

TEST_F(RegisterViewTest, OverviewRowsLinksAndDoubleClickOpenTheOperations) {
    HWND list = overviewList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ListView_GetItemCount(list), 3);
    EXPECT_FALSE(linkEnabled(0));
    uitest::clickListCell(list, 1, 1);
    EXPECT_EQ(main.synthesisView().selectedRow(), 1);
    EXPECT_TRUE(linkEnabled(0));

    // "Compte A" has no web address.
    uitest::clickListCell(list, 0, 1);
    DialogDriver driver;
    driver.expectMessageBox(L"Ce compte n'a pas de lien internet .").click(IDOK);
    ASSERT_TRUE(driver.run(
        [&] { SendMessageW(main.synthesisView().window, WM_COMMAND, MAKEWPARAM(4003, 0), 0); }));

    // A double click on "Compte B" opens its operations on the second tab.
    uitest::clickListCell(list, 1, 1, NM_DBLCLK);
    EXPECT_TRUE(pumpMessagesUntil([&] { return doc.currentAccount == s.b; }));
    EXPECT_EQ(main.selectedTab(), 1);
    EXPECT_EQ(view().strip().texts.accountName, "Compte B");
}

} // namespace
} // namespace kolvane::win
