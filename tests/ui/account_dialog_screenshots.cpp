// Shows the account dialog filled with a sample account on each of its pages,
// with the bank directory shipped beside the program, and waits on each for
// scripts/account_dialog_screenshots.sh to take its picture. Disabled in
// ordinary runs; the script runs it by name from the source folder.
#include "accounts/account_dialog.h"
#include "accounts/logo_drawing_win32.h"
#include "accounts/new_bank_dialog.h"
#include "document/text.h"
#include "resources/resource_ids.h"
#include "tests/ui/dialog_driver.h"
#include "tests/ui/screenshot_support.h"

#include <commctrl.h>

#include <gtest/gtest.h>

namespace kolvane {
namespace {

TEST(AccountDialogScreenshots, DISABLED_Pages) {
    const std::wstring folder = uitest::shotFolder();
    if (folder.empty())
        GTEST_SKIP() << "KOLVANE_SHOT_DIR is not set";
    Document doc;
    documentInit(doc);
    AccountRecord* account = createAccount(doc, utf8ToCp1252("Compte courant"), 1250.0);
    account->minimumAllowed = -300.0;
    account->minimumWanted = 100.0;
    account->civility = 2;
    AccountRecord& a = *account;
    setFieldUtf8(a.holderName, "Lefèvre"), setFieldUtf8(a.holderFirstNames, "Jean Pierre");
    setFieldUtf8(a.address, "12 rue des Lilas"), setFieldUtf8(a.addressComplement, "Bâtiment B");
    setFieldUtf8(a.city, "Orléans"), setFieldUtf8(a.postCode, "45000");
    setFieldUtf8(a.bankName, "Crédit Mutuel"), setFieldUtf8(a.bankCode, "30003");
    setFieldUtf8(a.branchCode, "01234"), setFieldUtf8(a.accountNumber, "00012345678");
    setFieldUtf8(a.ribKey, "42"), setFieldUtf8(a.domiciliation, "Orléans Centre");
    setFieldUtf8(a.bic, "EXBKFRPPXXX"), setFieldUtf8(a.phone, "0238000000");
    setFieldUtf8(a.webAddress, "https://www.creditmutuel.fr");
    ASSERT_TRUE(createAccount(doc, utf8ToCp1252("Livret A"), 0.0));

    const auto shoot = [&](const wchar_t* name, int page = -1) {
        return [&folder, name, page](HWND dialog) {
            if (page >= 0) { // as a click on the tab does
                HWND tabs = GetDlgItem(dialog, IDC_ACCOUNT_TABS);
                SendMessageW(tabs, TCM_SETCURSEL, page, 0);
                NMHDR header{tabs, IDC_ACCOUNT_TABS, TCN_SELCHANGE};
                SendMessageW(dialog, WM_NOTIFY, IDC_ACCOUNT_TABS, reinterpret_cast<LPARAM>(&header));
            }
            uitest::waitForShot(folder, name, dialog);
        };
    };
    uitest::DialogDriver driver(std::chrono::minutes(2));
    driver.expectDialog(IDD_ACCOUNT)
        .selectCombo(IDC_ACCOUNT_NAME, 0)
        .then(shoot(L"general"))
        .then(shoot(L"personal", 1))
        .then(shoot(L"bank", 2))
        .click(IDC_ACCOUNT_DELETE);
    driver.expectDialog(IDD_ACCOUNT_DELETE).then(shoot(L"delete")).click(IDCANCEL);
    driver.expectDialog(IDD_ACCOUNT).click(IDC_ACCOUNT_NEW_BANK_LINK);
    driver.expectDialog(IDD_NEW_BANK)
        .setText(IDC_BANK_NAME, L"Banque Exemple")
        .setText(IDC_BANK_WEB, L"https://banque-exemple.example")
        .then([](HWND dialog) {
            reinterpret_cast<NewBankDialog*>(GetWindowLongPtrW(dialog, DWLP_USER))
                ->usePictureFile(L"resources\\pictures\\folders.bmp");
        })
        .then(shoot(L"new_bank"))
        .click(IDCANCEL);
    driver.expectDialog(IDD_ACCOUNT).click(IDCANCEL);
    const AccountDialogIn in{false, "resources\\etabid.kvb"};
    EXPECT_TRUE(driver.run([&] { runAccountDialog(doc, in, nullptr); }));
    documentClose(doc);
}

} // namespace
} // namespace kolvane
