#include "accounts/account_delete_dialog.h"
#include "accounts/account_dialog.h"
#include "accounts/logo_drawing_win32.h"
#include "accounts/new_bank_dialog.h"
#include "document/calendar.h"
#include "document/text.h"
#include "resources/resource_ids.h"
#include "tests/ui/dialog_driver.h"
#include "win/gdi_handles.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace kolvane {
namespace {

using uitest::DialogDriver;

const wchar_t* const kModifyQuestion =
    L"Vous êtes en train de modifier un compte bancaire .\nVoulez-vous continuer ?";
const wchar_t* const kReplaceBank =
    L"Cet établissement bancaire existe déjà.\nVoulez-vous le remplacer ?";

std::wstring temporaryPath(const char* name) {
    return utf8ToWide(uitest::temporaryPath(name));
}

// A logo whose middle columns [24, 72) are opaque in `color` (0x00RRGGBB),
// the rest transparent and black.
struct TestLogo {
    std::vector<std::uint8_t> pixels = std::vector<std::uint8_t>(kLogoPixelBytes, 0);
    std::vector<std::uint8_t> mask = std::vector<std::uint8_t>(kLogoMaskBytes, 0xFF);

    explicit TestLogo(std::uint32_t color) {
        for (int row = 0; row < kLogoHeight; ++row)
            for (int x = 24; x < 72; ++x) {
                std::uint8_t* pixel = &pixels[row * 288 + x * 3];
                pixel[0] = color & 0xFF;
                pixel[1] = (color >> 8) & 0xFF;
                pixel[2] = (color >> 16) & 0xFF;
                mask[row * 12 + x / 8] &= static_cast<std::uint8_t>(~(0x80 >> (x % 8)));
            }
    }
};

// The blue, green, red bytes of logo pixel (x, y), y counted from the top.
std::uint32_t logoColor(const std::uint8_t* pixels, int x, int y) {
    const std::uint8_t* p = pixels + (47 - y) * 288 + x * 3;
    return (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
}
bool logoTransparent(const std::uint8_t* mask, int x, int y) {
    return (mask[(47 - y) * 12 + x / 8] & (0x80 >> (x % 8))) != 0;
}
bool similarColor(std::uint32_t a, std::uint32_t b, int tolerance = 3) {
    for (int shift = 0; shift < 24; shift += 8) {
        int difference = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
        if (difference > tolerance || difference < -tolerance)
            return false;
    }
    return true;
}

// A 10 x 10 PNG: columns 0 to 4 opaque blue, the rest fully transparent.
constexpr char kHalfBluePng[] =
    "\x89\x50\x4E\x47\x0D\x0A\x1A\x0A\x00\x00\x00\x0D\x49\x48\x44\x52\x00\x00\x00\x0A\x00\x00"
    "\x00\x0A\x08\x06\x00\x00\x00\x8D\x32\xCF\xBD\x00\x00\x00\x15\x49\x44\x41\x54\x78\xDA\x63"
    "\x60\x60\xF8\xFF\x1F\x13\x63\x05\xA3\x0A\xE9\xA9\x10\x00\x4A\xDF\x63\x9D\x5E\x8A\x14\xEB"
    "\x00\x00\x00\x00\x49\x45\x4E\x44\xAE\x42\x60\x82";

void writeFile(const std::wstring& path, std::string_view bytes) {
    std::ofstream(path.c_str(), std::ios::binary)
        .write(bytes.data(), std::streamsize(bytes.size()));
}

// Shows page `index` as a click on its tab would.
void showTab(HWND dialog, int index) {
    HWND tabs = GetDlgItem(dialog, IDC_ACCOUNT_TABS);
    SendMessageW(tabs, TCM_SETCURSEL, index, 0);
    NMHDR header{tabs, IDC_ACCOUNT_TABS, TCN_SELCHANGE};
    SendMessageW(dialog, WM_NOTIFY, IDC_ACCOUNT_TABS, reinterpret_cast<LPARAM>(&header));
}

class AccountDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        documentInit(doc);
        directory = temporaryPath("kolvane_account_test.kvb");
        DeleteFileW(directory.c_str());
    }
    void TearDown() override {
        documentClose(doc);
        DeleteFileW(directory.c_str());
    }

    AccountRecord* addAccount(const char* utf8Name, double initial, bool active = true) {
        AccountRecord* account = createAccount(doc, utf8ToCp1252(utf8Name), initial);
        account->active = active ? 1 : 0;
        return account;
    }

    void writeDirectory(std::initializer_list<std::pair<const char*, std::uint32_t>> banks) {
        BankDirectory list;
        for (const auto& [name, color] : banks) {
            TestLogo logo(color);
            ASSERT_TRUE(storeBank(list, -1, utf8ToCp1252(name),
                                  "https://" + std::string(name) + ".example", logo.pixels.data(),
                                  logo.mask.data()));
        }
        ASSERT_TRUE(saveBankDirectory(list, wideToUtf8(directory)));
        freeBankDirectory(list);
    }

    AccountDialogEnd run(DialogDriver& driver, int* deletedPosition) {
        const AccountDialogIn in{deletedPosition == nullptr, wideToUtf8(directory)};
        win::DialogResult<AccountDialogEnd, AccountDialogOut> result;
        EXPECT_TRUE(driver.run([&] { result = runAccountDialog(doc, in, nullptr); }));
        if (deletedPosition && result.end == AccountDialogEnd::MaskedOrDeleted)
            *deletedPosition = result.out.deletedPosition;
        return result.end;
    }

    Document doc;
    std::wstring directory;
};

// Fields of both pages reach the core, and the first bank of the sorted list
// with its logo; Enter does nothing while "Appliquer" is greyed.
TEST_F(AccountDialogTest, FirstAccountOfANewFile) {
    writeDirectory({{"Zeta", 0x00FF00}, {"Alpha", 0xFF0000}});
    DialogDriver driver;
    driver.expectDialog(IDD_ACCOUNT).expectEnabled(IDOK, false).then([](HWND dialog) {
        PostMessageW(dialog, WM_COMMAND, IDOK, 0); // Enter: the default button's command
    });
    driver.expectDialog(IDD_ACCOUNT)
        .expectEnabled(IDC_ACCOUNT_DELETE, false)
        .expectChecked(IDC_ACCOUNT_MRS)
        .expectText(IDC_ACCOUNT_BANK, L"Alpha")
        .type(IDC_ACCOUNT_NAME, L"Compte chèques")
        .type(IDC_ACCOUNT_INITIAL_BALANCE, L"150.257") // the third decimal is refused
        .setText(IDC_ACCOUNT_MINIMUM_ALLOWED, L"-200")
        .then([](HWND dialog) { showTab(dialog, 1); })
        .check(IDC_ACCOUNT_MR)
        .setText(IDC_ACCOUNT_HOLDER_NAME, L"Lefèvre")
        .click(IDOK);
    EXPECT_EQ(run(driver, nullptr), AccountDialogEnd::Created);

    ASSERT_EQ(doc.accounts.count(), 1);
    const AccountRecord& account = *doc.accounts.first();
    EXPECT_EQ(cp1252ToUtf8(fieldText(account.name)), "Compte chèques");
    EXPECT_DOUBLE_EQ(account.initialBalance, 150.25);
    EXPECT_DOUBLE_EQ(account.minimumAllowed, -200.0);
    EXPECT_EQ(account.civility, 2);
    EXPECT_EQ(cp1252ToUtf8(fieldText(account.holderName)), "Lefèvre");
    EXPECT_STREQ(account.bankName, "Alpha");
    TestLogo alpha(0xFF0000);
    const Logo* logo = accountLogo(doc, account);
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->pixels, alpha.pixels);
    EXPECT_EQ(doc.currentAccount, &account);
}

// Picking an account fills the form from it (its bank chosen over the list's
// first); typing a new name over it starts from a blank one; the rename box
// and the question reach the core.
TEST_F(AccountDialogTest, PickingTypingAndRenamingAnAccount) {
    writeDirectory({{"Alpha", 0xFF0000}, {"Crédit Exemple", 0x0000FF}});
    addAccount("Courant", 100.0);
    AccountRecord* joint = addAccount("Compte joint", 12.5);
    joint->civility = 4;
    setFieldUtf8(joint->city, "Orléans");
    setFieldUtf8(joint->bankName, "CRÉDIT EXEMPLE");
    DialogDriver driver;
    driver.expectDialog(IDD_ACCOUNT)
        .selectCombo(IDC_ACCOUNT_NAME, 1)
        .expectText(IDC_ACCOUNT_INITIAL_BALANCE, L"12.50")
        .expectText(IDC_ACCOUNT_CITY, L"Orléans")
        .expectText(IDC_ACCOUNT_BANK, L"Crédit Exemple")
        .expectChecked(IDC_ACCOUNT_MRS + 4)
        .expectEnabled(IDOK, false)        // until the next change
        .type(IDC_ACCOUNT_NAME, L"Livret") // a new name starts a blank form
        .expectText(IDC_ACCOUNT_CITY, L"")
        .expectText(IDC_ACCOUNT_BANK, L"Alpha")
        .selectCombo(IDC_ACCOUNT_NAME, 1)
        .check(IDC_ACCOUNT_RENAME)
        .setText(IDC_ACCOUNT_NEW_NAME, L"Compte commun")
        .click(IDOK);
    // "Non" keeps the dialog as it was, then "Oui" applies.
    driver.expectMessageBox(kModifyQuestion).click(IDNO);
    driver.expectDialog(IDD_ACCOUNT)
        .expectText(IDC_ACCOUNT_NEW_NAME, L"Compte commun")
        .then([&](HWND) { EXPECT_STREQ(joint->name, "Compte joint"); })
        .click(IDOK);
    driver.expectMessageBox(kModifyQuestion).click(IDYES);
    EXPECT_EQ(run(driver, nullptr), AccountDialogEnd::Modified);
    EXPECT_STREQ(joint->name, "Compte commun");
    EXPECT_EQ(joint->civility, 4);
    EXPECT_EQ(doc.currentAccount, joint);
    EXPECT_EQ(doc.accounts.count(), 2);
}

// The question's buttons reach the core: "Masquer" masks, "Supprimer" reports
// the position among all accounts.
TEST_F(AccountDialogTest, TheDeletionQuestionMasksOrReportsThePosition) {
    addAccount("Courant", 0.0);
    addAccount("Ancien", 0.0, false);
    AccountRecord* livret = addAccount("Livret", 0.0);
    for (int button : {IDC_ACCOUNT_DELETE_MASK, IDC_ACCOUNT_DELETE_REMOVE}) {
        DialogDriver driver;
        driver.expectDialog(IDD_ACCOUNT).selectCombo(IDC_ACCOUNT_NAME, 2).click(IDC_ACCOUNT_DELETE);
        driver.expectDialog(IDD_ACCOUNT_DELETE).click(button);
        int position = 99;
        EXPECT_EQ(run(driver, &position), AccountDialogEnd::MaskedOrDeleted);
        EXPECT_EQ(position, button == IDC_ACCOUNT_DELETE_MASK ? -1 : 2);
        EXPECT_EQ(livret->active, button == IDC_ACCOUNT_DELETE_MASK ? 0 : 1);
        livret->active = 1;
    }
    EXPECT_EQ(doc.accounts.count(), 3); // the caller deletes it
}

// "Nouvelle banque" over the account dialog: an unreadable file, a PNG chosen
// in the file dialog (its transparent half laid on white), the question
// before replacing a bank named in another case.
TEST_F(AccountDialogTest, ANewBankFromAPngReplacesOneOfTheSameName) {
    writeDirectory({{"Banque Verte", 0x00FF00}});
    const std::wstring picture = temporaryPath("kolvane_logo_10x10.png");
    writeFile(picture, std::string_view(kHalfBluePng, sizeof kHalfBluePng - 1));
    const std::wstring notAPicture = temporaryPath("kolvane_pas_une_image.bmp");
    writeFile(notAPicture, "ceci n'est pas une image");
    DialogDriver driver;
    driver.expectDialog(IDD_ACCOUNT)
        .then([](HWND dialog) { showTab(dialog, 2); })
        .click(IDC_ACCOUNT_NEW_BANK_LINK);
    driver.expectDialog(IDD_NEW_BANK)
        .setText(IDC_BANK_NAME, L"BANQUE VERTE")
        .setText(IDC_BANK_WEB, L"https://verte.example")
        .then([&](HWND dialog) {
            reinterpret_cast<NewBankDialog*>(GetWindowLongPtrW(dialog, DWLP_USER))
                ->usePictureFile(notAPicture);
        });
    driver
        .expectMessageBox(L"L'image kolvane_pas_une_image.bmp ne peut pas être lue : ce n'est "
                          L"pas une image BMP, JPEG ou GIF, ou elle est endommagée.\nChoisissez "
                          L"une autre image.")
        .click(IDOK);
    driver.expectDialog(IDD_NEW_BANK).click(IDC_BANK_BROWSE);
    driver.expectDialogTitled(L"Ouvrir un fichier image...")
        .setText(0x047C, picture) // the file name box
        .click(IDOK);
    driver.expectDialog(IDD_NEW_BANK).click(IDOK);
    driver.expectMessageBox(kReplaceBank).click(IDYES);
    driver.expectDialog(IDD_ACCOUNT)
        .expectText(IDC_ACCOUNT_BANK, L"BANQUE VERTE")
        .expectText(IDC_ACCOUNT_WEB, L"https://verte.example")
        .click(IDCANCEL);
    EXPECT_EQ(run(driver, nullptr), AccountDialogEnd::Unchanged);
    DeleteFileW(picture.c_str());
    DeleteFileW(notAPicture.c_str());

    BankDirectory saved; // saved at once, in place of the old one
    ASSERT_TRUE(loadBankDirectory(saved, wideToUtf8(directory)));
    ASSERT_EQ(saved.count(), 1);
    const BankRecord& bank = *saved.first();
    EXPECT_STREQ(bank.webAddress, "https://verte.example");
    const Logo* logo = bankLogo(saved, bank);
    ASSERT_NE(logo, nullptr);
    // 10 x 10 is enlarged to 48 x 48 at (24, 0): blue on the left, white on the right.
    EXPECT_TRUE(logoTransparent(logo->mask.data(), 23, 0));
    EXPECT_FALSE(logoTransparent(logo->mask.data(), 71, 47));
    EXPECT_TRUE(similarColor(logoColor(logo->pixels.data(), 26, 0), 0x0000FF));
    EXPECT_TRUE(similarColor(logoColor(logo->pixels.data(), 69, 47), 0xFFFFFF));
    freeBankDirectory(saved);
}

// Shows the account dialog filled with a sample account on each of its pages,
// with the bank directory shipped beside the program, and waits on each for
// scripts/account_dialog_screenshots.sh to take its picture. Disabled in
// ordinary runs; the script runs it by name from the source folder.
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
            if (page >= 0)
                showTab(dialog, page);
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

// The bitmaps a view keeps for a logo: drawn with its mask, dropped once the
// logo is no longer shown.
TEST(LogoDrawing, MaskKeepsTheBackgroundWherePixelsAreTransparent) {
    TestLogo logo(0xFF0000); // red in columns 24 to 71
    LogoStore store;
    const LogoId id = store.add(logo.pixels, logo.mask);
    LogoBitmaps bitmaps;
    bitmaps.keep(store, id);
    ASSERT_EQ(bitmaps.count(), 1u);
    win::WindowDC screen(nullptr);
    win::MemoryDC dc(CreateCompatibleDC(screen.get()));
    win::GdiObject<HBITMAP> canvas(CreateCompatibleBitmap(screen.get(), 120, 60));
    win::SelectedObject keep(dc.get(), canvas.get());
    win::GdiObject<HBRUSH> green(CreateSolidBrush(RGB(0, 160, 0)));
    RECT all{0, 0, 120, 60};
    FillRect(dc.get(), &all, green.get());
    SetTextColor(dc.get(), RGB(255, 255, 0)); // drawing must not depend on these
    SetBkColor(dc.get(), RGB(0, 0, 255));
    bitmaps.draw(dc.get(), 10, 5, id);
    EXPECT_EQ(GetPixel(dc.get(), 10 + 23, 5 + 20), RGB(0, 160, 0)); // transparent
    EXPECT_EQ(GetPixel(dc.get(), 10 + 24, 5 + 47), RGB(255, 0, 0)); // opaque logo
    EXPECT_EQ(GetPixel(dc.get(), 10 + 72, 5 + 0), RGB(0, 160, 0));

    bitmaps.keep(store, kNoLogo);
    EXPECT_EQ(bitmaps.count(), 0u);
    FillRect(dc.get(), &all, green.get());
    bitmaps.draw(dc.get(), 10, 5, id);
    EXPECT_EQ(GetPixel(dc.get(), 10 + 24, 5 + 47), RGB(0, 160, 0));
}

} // namespace
} // namespace kolvane
