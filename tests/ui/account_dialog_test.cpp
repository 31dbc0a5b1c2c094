#include "accounts/account_delete_dialog.h"
#include "accounts/account_dialog.h"
#include "accounts/logo_drawing_win32.h"
#include "accounts/new_bank_dialog.h"
#include "document/calendar.h"
#include "document/text.h"
#include "resources/resource_ids.h"
#include "tests/ui/dialog_driver.h"

#include <commctrl.h>
#include <wincodec.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace kolvane {
namespace {

using uitest::DialogDriver;

const wchar_t* const kModifyQuestion =
    L"Vous êtes en train de modifier un compte bancaire .\nVoulez-vous continuer ?";
const wchar_t* const kMissingBankName =
    L"Vous devez saisir le nom de l'établissement avant de valider.";
const wchar_t* const kMissingLogo = L"Vous devez ajouter un logo pour cet établissement.";
const wchar_t* const kReplaceBank =
    L"Cet établissement bancaire existe déjà.\nVoulez-vous le remplacer ?";

std::wstring temporaryPath(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
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

// Writes a picture through the imaging component (`format` is its container,
// BMP or PNG): columns [0, opaqueWidth) in `color`, the rest fully transparent.
void writePicture(const std::wstring& path, REFGUID format, int width, int height, int opaqueWidth,
                  std::uint32_t color) {
    const bool comStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    IWICImagingFactory* factory = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr,
                                              CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                              reinterpret_cast<void**>(&factory)));
    ASSERT_HRESULT_SUCCEEDED(factory->CreateStream(&stream));
    ASSERT_HRESULT_SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE));
    ASSERT_HRESULT_SUCCEEDED(factory->CreateEncoder(format, nullptr, &encoder));
    ASSERT_HRESULT_SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache));
    ASSERT_HRESULT_SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr));
    ASSERT_HRESULT_SUCCEEDED(frame->Initialize(nullptr));
    ASSERT_HRESULT_SUCCEEDED(frame->SetSize(width, height));
    WICPixelFormatGUID pixelFormat = GUID_WICPixelFormat32bppBGRA;
    ASSERT_HRESULT_SUCCEEDED(frame->SetPixelFormat(&pixelFormat));
    // An encoder without alpha may answer 24 or 32 bits of blue, green, red.
    const int bytes = IsEqualGUID(pixelFormat, GUID_WICPixelFormat24bppBGR) ? 3 : 4;
    ASSERT_TRUE(bytes == 3 || IsEqualGUID(pixelFormat, GUID_WICPixelFormat32bppBGRA) ||
                IsEqualGUID(pixelFormat, GUID_WICPixelFormat32bppBGR));
    std::vector<std::uint8_t> pixels(std::size_t(width) * height * bytes, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < opaqueWidth; ++x) {
            std::uint8_t* p = &pixels[(std::size_t(y) * width + x) * bytes];
            p[0] = color & 0xFF;
            p[1] = (color >> 8) & 0xFF;
            p[2] = (color >> 16) & 0xFF;
            if (bytes == 4)
                p[3] = 255;
        }
    ASSERT_HRESULT_SUCCEEDED(
        frame->WritePixels(height, width * bytes, UINT(pixels.size()), pixels.data()));
    ASSERT_HRESULT_SUCCEEDED(frame->Commit());
    ASSERT_HRESULT_SUCCEEDED(encoder->Commit());
    frame->Release();
    encoder->Release();
    stream->Release();
    factory->Release();
    if (comStarted)
        CoUninitialize();
}

// Shows page `index` as a click on its tab would.
void showTab(HWND dialog, int index) {
    HWND tabs = GetDlgItem(dialog, IDC_ACCOUNT_TABS);
    SendMessageW(tabs, TCM_SETCURSEL, index, 0);
    NMHDR header{tabs, IDC_ACCOUNT_TABS, TCN_SELCHANGE};
    SendMessageW(dialog, WM_NOTIFY, IDC_ACCOUNT_TABS, reinterpret_cast<LPARAM>(&header));
}

int checkedCivility(HWND dialog) {
    for (int i = 0; i < 5; ++i)
        if (SendMessageW(uitest::findControl(dialog, IDC_ACCOUNT_MRS + i), BM_GETCHECK, 0, 0) ==
            BST_CHECKED)
            return i;
    return -1;
}

std::vector<std::wstring> comboItems(HWND dialog, int id) {
    HWND combo = uitest::findControl(dialog, id);
    std::vector<std::wstring> items;
    const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        items.emplace_back(text);
    }
    return items;
}

class AccountDialogTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
    }

    void SetUp() override {
        documentInit(doc);
        directory = temporaryPath(L"kolvane_account_test.kvb");
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

TEST_F(AccountDialogTest, FirstAccountOfANewFile) {
    DialogDriver driver;
    driver.expectDialog(IDD_ACCOUNT)
        .expectEnabled(IDOK, false)
        .expectEnabled(IDC_ACCOUNT_DELETE, false)
        .expectEnabled(IDC_ACCOUNT_RENAME, false)
        .expectEnabled(IDC_ACCOUNT_NEW_NAME, false)
        .expectText(IDC_ACCOUNT_INITIAL_BALANCE, L"0.00")
        .expectChecked(IDC_ACCOUNT_MRS)
        .type(IDC_ACCOUNT_NAME, L"Compte chèques")
        .expectEnabled(IDOK)
        .type(IDC_ACCOUNT_INITIAL_BALANCE, L"150.257") // the third decimal is refused
        .expectText(IDC_ACCOUNT_INITIAL_BALANCE, L"150.25")
        .setText(IDC_ACCOUNT_MINIMUM_ALLOWED, L"-200")
        .then([](HWND dialog) { showTab(dialog, 1); })
        .tickRadio(IDC_ACCOUNT_MR)
        .setText(IDC_ACCOUNT_HOLDER_NAME, L"Lefèvre")
        .type(IDC_ACCOUNT_POST_CODE, L"750012") // five characters at most
        .expectText(IDC_ACCOUNT_POST_CODE, L"75001")
        .click(IDOK);
    EXPECT_EQ(run(driver, nullptr), AccountDialogEnd::Created);

    ASSERT_EQ(doc.accounts.count(), 1);
    const AccountRecord& account = *doc.accounts.first();
    EXPECT_EQ(cp1252ToUtf8(fieldText(account.name)), "Compte chèques");
    EXPECT_DOUBLE_EQ(account.initialBalance, 150.25);
    EXPECT_DOUBLE_EQ(account.minimumAllowed, -200.0);
    EXPECT_EQ(account.civility, 2);
    EXPECT_EQ(cp1252ToUtf8(fieldText(account.holderName)), "Lefèvre");
    EXPECT_STREQ(account.postCode, "75001");
    EXPECT_EQ(doc.currentAccount, &account);
    ASSERT_EQ(doc.operations.count(), 1);
    EXPECT_STREQ(doc.operations.first()->label, "Solde initial");
    EXPECT_DOUBLE_EQ(doc.operations.first()->amount, 150.25);
}

TEST_F(AccountDialogTest, TypedNameInAnotherCaseModifiesAfterTheQuestion) {
    AccountRecord* current = addAccount("Courant", 100.0);
    addAccount("Livret", 0.0);
    current->balance = 80.0;
    DialogDriver driver;
    driver.expectDialog(IDD_ACCOUNT)
        .type(IDC_ACCOUNT_NAME, L"COURANT")
        .setText(IDC_ACCOUNT_INITIAL_BALANCE, L"150.00")
        .click(IDOK);
    // "Non" keeps the dialog as it was, then "Oui" applies.
    driver.expectMessageBox(kModifyQuestion).press(IDNO);
    driver.expectDialog(IDD_ACCOUNT)
        .expectText(IDC_ACCOUNT_NAME, L"COURANT")
        .expectText(IDC_ACCOUNT_INITIAL_BALANCE, L"150.00")
        .then([&](HWND) { EXPECT_DOUBLE_EQ(current->initialBalance, 100.0); })
        .click(IDOK);
    driver.expectMessageBox(kModifyQuestion).press(IDYES);
    EXPECT_EQ(run(driver, nullptr), AccountDialogEnd::Modified);
    EXPECT_STREQ(current->name, "Courant");
    EXPECT_DOUBLE_EQ(current->initialBalance, 150.0);
    EXPECT_DOUBLE_EQ(current->balance, 130.0);
    EXPECT_DOUBLE_EQ(findOperationById(doc, current->initialOperationId)->amount, 150.0);
    EXPECT_EQ(doc.accounts.count(), 2);
}

TEST_F(AccountDialogTest, PickingShowsTheAccountAndRenamingChangesItsName) {
    writeDirectory({{"Alpha", 0xFF0000}, {"Crédit Exemple", 0x0000FF}});
    addAccount("Courant", 100.0)->initialPointed = 1;
    AccountRecord* joint = addAccount("Compte joint", 12.5);
    joint->minimumWanted = 50.0;
    joint->civility = 4;
    setFieldUtf8(joint->city, "Orléans");
    setFieldUtf8(joint->bankName, "CRÉDIT EXEMPLE");
    setFieldText(joint->webAddress, "https://mon-agence.example");
    DialogDriver driver;
    driver.expectDialog(IDD_ACCOUNT)
        .expectText(IDC_ACCOUNT_BANK, L"Alpha")
        // A ticked initial operation fixes the initial balance.
        .selectCombo(IDC_ACCOUNT_NAME, 0)
        .expectEnabled(IDC_ACCOUNT_INITIAL_BALANCE, false)
        .expectText(IDC_ACCOUNT_INITIAL_BALANCE, L"100.00")
        .selectCombo(IDC_ACCOUNT_NAME, 1)
        .expectText(IDC_ACCOUNT_INITIAL_BALANCE, L"12.50")
        .expectText(IDC_ACCOUNT_MINIMUM_WANTED, L"50.00")
        .expectText(IDC_ACCOUNT_CITY, L"Orléans")
        .expectText(IDC_ACCOUNT_BANK, L"Crédit Exemple")            // its bank, whatever the case
        .expectText(IDC_ACCOUNT_WEB, L"https://mon-agence.example") // the account's own
        .then([](HWND dialog) { EXPECT_EQ(checkedCivility(dialog), 4); })
        .expectEnabled(IDOK, false) // until the next change
        .expectEnabled(IDC_ACCOUNT_INITIAL_BALANCE)
        .expectEnabled(IDC_ACCOUNT_NEW_NAME, false)
        .expectEnabled(IDC_ACCOUNT_DELETE)
        .check(IDC_ACCOUNT_RENAME)
        .expectEnabled(IDC_ACCOUNT_NEW_NAME)
        .setText(IDC_ACCOUNT_NEW_NAME, L"Compte commun")
        .expectEnabled(IDOK)
        .click(IDOK);
    driver.expectMessageBox(kModifyQuestion).press(IDYES);
    EXPECT_EQ(run(driver, nullptr), AccountDialogEnd::Modified);
    EXPECT_STREQ(joint->name, "Compte commun");
    EXPECT_DOUBLE_EQ(joint->balance, 12.5);
    EXPECT_EQ(joint->civility, 4);
    EXPECT_EQ(doc.currentAccount, joint);
}

// A bank the list showed for another account does not stick to the one
// picked; a new name typed over a picked account starts from a blank form.
TEST_F(AccountDialogTest, PickedAccountKeepsItsOwnBankAndANewNameStartsBlank) {
    writeDirectory({{"Alpha", 0xFF0000}});
    AccountRecord* courant = addAccount("Courant", 100.0); // no bank
    setFieldUtf8(courant->holderName, "Lefèvre");
    setFieldText(courant->bankCode, "30004");
    DialogDriver driver;
    driver.expectDialog(IDD_ACCOUNT)
        .expectText(IDC_ACCOUNT_BANK, L"Alpha")
        .selectCombo(IDC_ACCOUNT_NAME, 0)
        .expectText(IDC_ACCOUNT_BANK, L"")
        .expectText(IDC_ACCOUNT_BANK_CODE, L"30004")
        .type(IDC_ACCOUNT_NAME, L"Livret")
        .expectText(IDC_ACCOUNT_HOLDER_NAME, L"")
        .expectText(IDC_ACCOUNT_BANK_CODE, L"")
        .expectText(IDC_ACCOUNT_BANK, L"Alpha")
        .expectText(IDC_ACCOUNT_INITIAL_BALANCE, L"0.00")
        .type(IDC_ACCOUNT_NAME, L"   ") // spaces alone are no name
        .expectEnabled(IDOK, false)
        .selectCombo(IDC_ACCOUNT_NAME, 0)
        .setText(IDC_ACCOUNT_INITIAL_BALANCE, L"150,5") // only the balance changes
        .click(IDOK);
    driver.expectMessageBox(kModifyQuestion).press(IDYES);
    EXPECT_EQ(run(driver, nullptr), AccountDialogEnd::Modified);
    EXPECT_DOUBLE_EQ(courant->initialBalance, 150.5);
    EXPECT_STREQ(courant->bankName, "");
    EXPECT_EQ(courant->logo, kNoLogo);
    EXPECT_EQ(doc.accounts.count(), 1);
}

TEST_F(AccountDialogTest, CtrlTabTurnsThePagesBothWays) {
    auto press = [](bool shift) {
        return [shift](HWND dialog) {
            BYTE keys[256] = {};
            GetKeyboardState(keys);
            keys[VK_CONTROL] = 0x80;
            keys[VK_SHIFT] = shift ? 0x80 : 0;
            SetKeyboardState(keys);
            PostMessageW(GetDlgItem(dialog, IDC_ACCOUNT_TABS), WM_KEYDOWN, VK_TAB, 0);
        };
    };
    auto shownPage = [](int expected) {
        return [expected](HWND dialog) {
            BYTE keys[256] = {};
            GetKeyboardState(keys);
            keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
            SetKeyboardState(keys);
            EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_ACCOUNT_TABS, TCM_GETCURSEL, 0, 0), expected);
            const int onPage[3] = {IDC_ACCOUNT_INITIAL_BALANCE, IDC_ACCOUNT_CITY, IDC_ACCOUNT_BIC};
            for (int page = 0; page < 3; ++page)
                EXPECT_EQ(IsWindowVisible(uitest::findControl(dialog, onPage[page])) != 0,
                          page == expected)
                    << page;
        };
    };
    DialogDriver driver;
    driver.expectDialog(IDD_ACCOUNT).then(press(false));
    driver.expectDialog(IDD_ACCOUNT).then(shownPage(1)).then(press(true));
    driver.expectDialog(IDD_ACCOUNT).then(shownPage(0)).then(press(true));
    driver.expectDialog(IDD_ACCOUNT).then(shownPage(2)).click(IDCANCEL);
    EXPECT_EQ(run(driver, nullptr), AccountDialogEnd::Unchanged);
}

TEST_F(AccountDialogTest, EnterDoesNothingWhileAppliquerIsGreyed) {
    addAccount("Courant", 100.0);
    DialogDriver driver;
    driver.expectDialog(IDD_ACCOUNT).then([](HWND dialog) {
        showTab(dialog, 2);
        // Enter with no name: the default button's command.
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    driver.expectDialog(IDD_ACCOUNT)
        .then([](HWND dialog) { // no message, the page as it was
            EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_ACCOUNT_TABS, TCM_GETCURSEL, 0, 0), 2);
        })
        .click(IDCANCEL);
    EXPECT_EQ(run(driver, nullptr), AccountDialogEnd::Unchanged);
    EXPECT_EQ(doc.accounts.count(), 1);
}

TEST_F(AccountDialogTest, MaskingTheCurrentAccountMovesTheCurrentOne) {
    AccountRecord* first = addAccount("Courant", 0.0);
    AccountRecord* second = addAccount("Livret", 0.0);
    doc.currentAccount = second;
    DialogDriver driver;
    driver.expectDialog(IDD_ACCOUNT).selectCombo(IDC_ACCOUNT_NAME, 1).click(IDC_ACCOUNT_DELETE);
    driver.expectDialog(IDD_ACCOUNT_DELETE)
        .then([](HWND dialog) {
            wchar_t title[64] = {};
            GetWindowTextW(dialog, title, 64);
            EXPECT_STREQ(title, L"Kolvane v.Alpha");
            EXPECT_NE(SendDlgItemMessageW(dialog, IDC_WARNING_ICON, STM_GETICON, 0, 0), 0);
        })
        .expectEnabled(IDC_ACCOUNT_DELETE_MASK)
        .click(IDC_ACCOUNT_DELETE_MASK);
    int position = 99;
    EXPECT_EQ(run(driver, &position), AccountDialogEnd::MaskedOrDeleted);
    EXPECT_EQ(position, -1);
    EXPECT_EQ(second->active, 0);
    EXPECT_EQ(doc.currentAccount, first);
    EXPECT_EQ(doc.accounts.count(), 2);
}

TEST_F(AccountDialogTest, DeletingReportsThePositionAmongAllAccounts) {
    addAccount("Courant", 0.0);
    addAccount("Ancien", 0.0, false);
    addAccount("Livret", 0.0);
    DialogDriver driver;
    // Picked, a masked account is not offered for removal; the refresh after
    // any field change offers it again, and then only for good.
    driver.expectDialog(IDD_ACCOUNT)
        .then([](HWND dialog) {
            const std::vector<std::wstring> expected{L"Courant", L"Ancien", L"Livret"};
            EXPECT_EQ(comboItems(dialog, IDC_ACCOUNT_NAME), expected);
        })
        .selectCombo(IDC_ACCOUNT_NAME, 1)
        .expectEnabled(IDC_ACCOUNT_DELETE, false)
        .setText(IDC_ACCOUNT_CITY, L"Lyon")
        .expectEnabled(IDC_ACCOUNT_DELETE)
        .click(IDC_ACCOUNT_DELETE);
    // Closing the question changes nothing...
    driver.expectDialog(IDD_ACCOUNT_DELETE)
        .expectEnabled(IDC_ACCOUNT_DELETE_MASK, false)
        .closeBox();
    // ... "Supprimer" reports the account.
    driver.expectDialog(IDD_ACCOUNT).selectCombo(IDC_ACCOUNT_NAME, 2).click(IDC_ACCOUNT_DELETE);
    driver.expectDialog(IDD_ACCOUNT_DELETE).click(IDC_ACCOUNT_DELETE_REMOVE);
    int position = 99;
    EXPECT_EQ(run(driver, &position), AccountDialogEnd::MaskedOrDeleted);
    EXPECT_EQ(position, 2);
    EXPECT_EQ(doc.accounts.count(), 3); // the caller deletes it
}

TEST_F(AccountDialogTest, NewAccountTakesTheFirstBankOfTheSortedListWithItsLogo) {
    writeDirectory({{"Zeta", 0x00FF00}, {"Alpha", 0xFF0000}});
    DialogDriver driver;
    driver.expectDialog(IDD_ACCOUNT)
        .then([](HWND dialog) {
            const std::vector<std::wstring> expected{L"Alpha", L"Zeta"};
            EXPECT_EQ(comboItems(dialog, IDC_ACCOUNT_BANK), expected);
        })
        .expectText(IDC_ACCOUNT_BANK, L"Alpha")
        .expectText(IDC_ACCOUNT_WEB, L"https://Alpha.example")
        .type(IDC_ACCOUNT_NAME, L"Courant")
        .click(IDOK);
    EXPECT_EQ(run(driver, nullptr), AccountDialogEnd::Created);
    const AccountRecord& account = *doc.accounts.first();
    EXPECT_STREQ(account.bankName, "Alpha");
    EXPECT_STREQ(account.webAddress, "https://Alpha.example");
    TestLogo alpha(0xFF0000);
    const Logo* logo = accountLogo(doc, account);
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(logo->pixels, alpha.pixels);
    EXPECT_EQ(logo->mask, alpha.mask);
}

// "Nouvelle banque" over the account dialog: refusals, then a BMP logo.
TEST_F(AccountDialogTest, AddingABankFromABmpFile) {
    const std::wstring picture = temporaryPath(L"kolvane_logo_200x50.bmp");
    writePicture(picture, GUID_ContainerFormatBmp, 200, 50, 200, 0x2040C0);
    DialogDriver driver;
    driver.expectDialog(IDD_ACCOUNT)
        .then([](HWND dialog) { showTab(dialog, 2); })
        .click(IDC_ACCOUNT_NEW_BANK_LINK);
    driver.expectDialog(IDD_NEW_BANK).click(IDOK);
    driver.expectMessageBox(kMissingBankName).press(IDOK);
    driver.expectDialog(IDD_NEW_BANK)
        .then([](HWND dialog) { EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_BANK_NAME)); })
        .setText(IDC_BANK_NAME, L"Banque Bleue")
        .setText(IDC_BANK_WEB, L"https://bleue.example")
        .click(IDOK);
    driver.expectMessageBox(kMissingLogo).press(IDOK);
    driver.expectDialog(IDD_NEW_BANK).click(IDC_BANK_BROWSE);
    driver.expectDialogTitled(L"Ouvrir un fichier image...")
        .setText(0x047C, picture) // the file name box
        .click(IDOK);
    driver.expectDialog(IDD_NEW_BANK)
        .then([](HWND dialog) {
            auto* self = reinterpret_cast<NewBankDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
            ASSERT_NE(self, nullptr);
            EXPECT_NE(self->picture, nullptr);
            RECT box{};
            GetClientRect(GetDlgItem(dialog, IDC_BANK_LOGO), &box);
            EXPECT_EQ(box.right, 96);
            EXPECT_EQ(box.bottom, 48);
        })
        .click(IDOK);
    driver.expectDialog(IDD_ACCOUNT)
        .expectText(IDC_ACCOUNT_BANK, L"Banque Bleue")
        .expectText(IDC_ACCOUNT_WEB, L"https://bleue.example")
        .expectEnabled(IDOK, false) // no name yet
        .click(IDCANCEL);
    EXPECT_EQ(run(driver, nullptr), AccountDialogEnd::Unchanged);
    DeleteFileW(picture.c_str());

    // Saved at once: 200 x 50 is drawn 95 x 23 at (0, 12).
    BankDirectory saved;
    ASSERT_TRUE(loadBankDirectory(saved, wideToUtf8(directory)));
    ASSERT_EQ(saved.count(), 1);
    const BankRecord& bank = *saved.first();
    EXPECT_STREQ(bank.name, "Banque Bleue");
    EXPECT_STREQ(bank.webAddress, "https://bleue.example");
    const Logo* logo = bankLogo(saved, bank);
    ASSERT_NE(logo, nullptr);
    for (int y : {0, 11, 12, 34, 35, 47})
        for (int x : {0, 47, 94, 95}) {
            const bool inside = x <= 94 && y >= 12 && y <= 34;
            EXPECT_EQ(logoTransparent(logo->mask.data(), x, y), !inside) << x << "," << y;
            if (inside)
                EXPECT_TRUE(similarColor(logoColor(logo->pixels.data(), x, y), 0x2040C0))
                    << x << "," << y;
            else
                EXPECT_EQ(logoColor(logo->pixels.data(), x, y), 0u) << x << "," << y;
        }
    freeBankDirectory(saved);
}

// A PNG with a transparent half: the transparent part is laid on white.
TEST_F(AccountDialogTest, PngLogoAndReplacingABankNamedInAnotherCase) {
    writeDirectory({{"Banque Verte", 0x00FF00}, {"Autre", 0x0000FF}});
    const std::wstring picture = temporaryPath(L"kolvane_logo_10x10.png");
    writePicture(picture, GUID_ContainerFormatPng, 10, 10, 5, 0x0000FF);
    win::DialogResult<win::DialogEnd, NewBankOut> newBankResult;
    BankDirectory banks;
    ASSERT_TRUE(loadBankDirectory(banks, wideToUtf8(directory)));
    // Not a picture: told at once, by name.
    const std::wstring notAPicture = temporaryPath(L"kolvane_pas_une_image.bmp");
    HANDLE file = CreateFileW(notAPicture.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                              nullptr);
    DWORD written = 0;
    WriteFile(file, "ceci n'est pas une image", 24, &written, nullptr);
    CloseHandle(file);
    NewBankDialog dialog(&banks);
    DialogDriver driver;
    driver.expectDialog(IDD_NEW_BANK)
        .setText(IDC_BANK_NAME, L"BANQUE VERTE")
        .setText(IDC_BANK_WEB, L"https://verte.example")
        .then([&](HWND) { dialog.usePictureFile(notAPicture); })
        .then([&](HWND) { EXPECT_EQ(dialog.picture, nullptr); })
        .then([&](HWND) { dialog.usePictureFile(picture); })
        .click(IDOK);
    driver.expectMessageBox(L"L'image kolvane_pas_une_image.bmp ne peut pas être lue : ce n'est "
                            L"pas une image BMP, JPEG ou GIF, ou elle est endommagée.\nChoisissez "
                            L"une autre image.")
        .press(IDOK);
    driver.expectMessageBox(kReplaceBank).press(IDNO);
    driver.expectDialog(IDD_NEW_BANK).click(IDOK);
    driver.expectMessageBox(kReplaceBank).press(IDYES);
    EXPECT_TRUE(driver.run([&] { newBankResult = runNewBankDialog(dialog, nullptr); }));
    DeleteFileW(picture.c_str());
    DeleteFileW(notAPicture.c_str());

    EXPECT_EQ(newBankResult.end, win::DialogEnd::Confirmed);
    EXPECT_EQ(newBankResult.out.position, 0); // replaced in place
    ASSERT_EQ(banks.count(), 2);
    const BankRecord& bank = *banks.first();
    EXPECT_STREQ(bank.name, "BANQUE VERTE");
    EXPECT_STREQ(bank.webAddress, "https://verte.example");
    const Logo* logo = bankLogo(banks, bank);
    ASSERT_NE(logo, nullptr);
    // 10 x 10 is enlarged to 48 x 48 at (24, 0): blue on the left, white on the right.
    for (int y : {0, 24, 47}) {
        EXPECT_TRUE(logoTransparent(logo->mask.data(), 23, y));
        EXPECT_FALSE(logoTransparent(logo->mask.data(), 24, y));
        EXPECT_FALSE(logoTransparent(logo->mask.data(), 71, y));
        EXPECT_TRUE(logoTransparent(logo->mask.data(), 72, y));
        EXPECT_TRUE(similarColor(logoColor(logo->pixels.data(), 26, y), 0x0000FF)) << y;
        EXPECT_TRUE(similarColor(logoColor(logo->pixels.data(), 69, y), 0xFFFFFF)) << y;
    }
    EXPECT_STREQ(banks.next(banks.first())->name, "Autre");
    freeBankDirectory(banks);
}

TEST(LogoDrawing, MaskKeepsTheBackgroundWherePixelsAreTransparent) {
    TestLogo logo(0xFF0000); // red in columns 24 to 71
    LogoStore store;
    const LogoId id = store.add(logo.pixels, logo.mask);
    LogoBitmaps bitmaps;
    bitmaps.keep(store, id);
    ASSERT_EQ(bitmaps.count(), 1u);

    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 120, 60);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, canvas);
    HBRUSH green = CreateSolidBrush(RGB(0, 160, 0));
    RECT all{0, 0, 120, 60};
    FillRect(dc, &all, green);
    SetTextColor(dc, RGB(255, 255, 0)); // drawing must not depend on these
    SetBkColor(dc, RGB(0, 0, 255));
    bitmaps.draw(dc, 10, 5, id);
    EXPECT_EQ(GetPixel(dc, 10 + 10, 5 + 20), RGB(0, 160, 0)); // transparent
    EXPECT_EQ(GetPixel(dc, 10 + 30, 5 + 20), RGB(255, 0, 0)); // opaque logo
    EXPECT_EQ(GetPixel(dc, 10 + 80, 5 + 47), RGB(0, 160, 0)); // transparent
    EXPECT_EQ(GetPixel(dc, 10 + 71, 5 + 0), RGB(255, 0, 0));  // last opaque column
    EXPECT_EQ(GetPixel(dc, 5, 2), RGB(0, 160, 0));            // outside the logo
    EXPECT_EQ(GetTextColor(dc), RGB(255, 255, 0));

    // A logo no longer shown loses its bitmaps and draws nothing.
    bitmaps.keep(store, kNoLogo);
    EXPECT_EQ(bitmaps.count(), 0u);
    FillRect(dc, &all, green);
    bitmaps.draw(dc, 10, 5, id);
    EXPECT_EQ(GetPixel(dc, 10 + 30, 5 + 20), RGB(0, 160, 0));
    SelectObject(dc, old);
    DeleteObject(green);
    DeleteObject(canvas);
    DeleteDC(dc);
}

} // namespace
} // namespace kolvane
