// Shows the account dialog filled with a sample account on each of its pages
// and waits on each for scripts/account_dialog_screenshots.sh to take its
// picture. Disabled in ordinary runs; the script runs it by name.
#include "accounts/account_dialog.h"
#include "accounts/logo_drawing_win32.h"
#include "accounts/new_bank_dialog.h"
#include "document/text.h"
#include "resources/resource_ids.h"
#include "tests/ui/dialog_driver.h"
#include "tests/ui/screenshot_support.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace kolvane {
namespace {

using uitest::DialogDriver;
using namespace std::chrono_literals;

// A 96 x 48 logo drawn with GDI: a filled oval with a word in it; whatever
// stays black around the oval is transparent.
void drawSampleLogo(COLORREF oval, const wchar_t* word, std::vector<std::uint8_t>& pixels,
                    std::vector<std::uint8_t>& mask) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kLogoWidth;
    info.bmiHeader.biHeight = -kLogoHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP canvas = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ oldBitmap = SelectObject(dc, canvas);
    RECT all{0, 0, kLogoWidth, kLogoHeight};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    HBRUSH brush = CreateSolidBrush(oval);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    Ellipse(dc, 2, 2, 95, 47);
    HFONT font = CreateFontW(-15, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                             ANTIALIASED_QUALITY, 0, L"Tahoma");
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    DrawTextW(dc, word, -1, &all, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    GdiFlush();
    pixels.assign(kLogoPixelBytes, 0);
    mask.assign(kLogoMaskBytes, 0);
    const auto* drawn = static_cast<const std::uint32_t*>(bits);
    for (int y = 0; y < kLogoHeight; ++y)
        for (int x = 0; x < kLogoWidth; ++x) {
            const std::uint32_t color = drawn[y * kLogoWidth + x] & 0xFFFFFF;
            std::uint8_t* pixel = &pixels[(47 - y) * 288 + x * 3];
            pixel[0] = color & 0xFF;
            pixel[1] = (color >> 8) & 0xFF;
            pixel[2] = (color >> 16) & 0xFF;
            if (color == 0)
                mask[(47 - y) * 12 + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        }
    SelectObject(dc, oldFont);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldBitmap);
    DeleteObject(font);
    DeleteObject(brush);
    DeleteDC(dc);
    DeleteObject(canvas);
}

// Writes the sample logo's oval, larger, as a 24-bit BMP file: a picture
// for "Nouvelle banque".
void writeSamplePicture(const std::wstring& path) {
    constexpr int width = 180;
    constexpr int height = 90;
    constexpr int rowBytes = (width * 3 + 3) & ~3;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP canvas = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ oldBitmap = SelectObject(dc, canvas);
    RECT all{0, 0, width, height};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HBRUSH brush = CreateSolidBrush(RGB(150, 30, 40));
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    RoundRect(dc, 4, 4, width - 4, height - 4, 30, 30);
    HFONT font = CreateFontW(-30, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                             ANTIALIASED_QUALITY, 0, L"Tahoma");
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    DrawTextW(dc, L"Rubis", -1, &all, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    GdiFlush();
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + rowBytes * height;
    FILE* out = _wfopen(path.c_str(), L"wb");
    ASSERT_NE(out, nullptr);
    std::fwrite(&file, sizeof file, 1, out);
    std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out);
    std::fwrite(bits, 1, rowBytes * height, out);
    std::fclose(out);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldBitmap);
    DeleteObject(font);
    DeleteObject(brush);
    DeleteDC(dc);
    DeleteObject(canvas);
}

void showTab(HWND dialog, int index) {
    HWND tabs = GetDlgItem(dialog, IDC_ACCOUNT_TABS);
    SendMessageW(tabs, TCM_SETCURSEL, index, 0);
    NMHDR header{tabs, IDC_ACCOUNT_TABS, TCN_SELCHANGE};
    SendMessageW(dialog, WM_NOTIFY, IDC_ACCOUNT_TABS, reinterpret_cast<LPARAM>(&header));
}

TEST(AccountDialogScreenshots, DISABLED_Pages) {
    const std::wstring folder = uitest::shotFolder();
    if (folder.empty())
        GTEST_SKIP() << "KOLVANE_SHOT_DIR is not set";

    const std::string directory = wideToUtf8(folder) + "\\etabid.kvb";
    {
        BankDirectory banks;
        std::vector<std::uint8_t> pixels, mask;
        drawSampleLogo(RGB(24, 72, 160), L"Exemple", pixels, mask);
        ASSERT_TRUE(storeBank(banks, -1, utf8ToCp1252("Banque Exemple"),
                              "https://banque-exemple.example", pixels.data(), mask.data()));
        drawSampleLogo(RGB(0, 128, 96), L"Caisse", pixels, mask);
        ASSERT_TRUE(storeBank(banks, -1, utf8ToCp1252("Caisse Régionale"), "https://caisse.example",
                              pixels.data(), mask.data()));
        ASSERT_TRUE(saveBankDirectory(banks, directory));
        freeBankDirectory(banks);
    }

    Document doc;
    documentInit(doc);
    AccountRecord* account = createAccount(doc, utf8ToCp1252("Compte courant"), 1250.0);
    account->minimumAllowed = -300.0;
    account->minimumWanted = 100.0;
    account->civility = 2;
    setFieldUtf8(account->holderName, "Lefèvre");
    setFieldUtf8(account->holderFirstNames, "Jean Pierre");
    setFieldUtf8(account->address, "12 rue des Lilas");
    setFieldUtf8(account->addressComplement, "Bâtiment B");
    setFieldUtf8(account->city, "Orléans");
    setFieldText(account->postCode, "45000");
    setFieldUtf8(account->bankName, "Banque Exemple");
    setFieldText(account->bankCode, "30003");
    setFieldText(account->branchCode, "01234");
    setFieldText(account->accountNumber, "00012345678");
    setFieldText(account->ribKey, "42");
    setFieldUtf8(account->domiciliation, "Orléans Centre");
    setFieldText(account->bic, "EXBKFRPPXXX");
    setFieldText(account->phone, "0238000000");
    setFieldText(account->webAddress, "https://banque-exemple.example/agence");
    ASSERT_TRUE(createAccount(doc, utf8ToCp1252("Livret A"), 0.0));

    const AccountDialogIn in{false, directory};
    DialogDriver driver(120000ms);
    driver.expectDialog(IDD_ACCOUNT)
        .selectCombo(IDC_ACCOUNT_NAME, 0)
        .then([&](HWND window) { uitest::waitForShot(folder, L"general", window); })
        .then([&](HWND window) {
            showTab(window, 1);
            uitest::waitForShot(folder, L"personal", window);
        })
        .then([&](HWND window) {
            showTab(window, 2);
            uitest::waitForShot(folder, L"bank", window);
        })
        .click(IDC_ACCOUNT_DELETE);
    driver.expectDialog(IDD_ACCOUNT_DELETE)
        .then([&](HWND window) { uitest::waitForShot(folder, L"delete", window); })
        .click(IDCANCEL);
    const std::wstring picture = folder + L"\\rubis.bmp";
    writeSamplePicture(picture);
    driver.expectDialog(IDD_ACCOUNT).click(IDC_ACCOUNT_NEW_BANK_LINK);
    driver.expectDialog(IDD_NEW_BANK)
        .setText(IDC_BANK_NAME, L"Banque Rubis")
        .setText(IDC_BANK_WEB, L"https://rubis.example")
        .then([&](HWND window) {
            auto* self = reinterpret_cast<NewBankDialog*>(GetWindowLongPtrW(window, DWLP_USER));
            self->usePictureFile(picture);
            uitest::waitForShot(folder, L"new_bank", window);
        })
        .click(IDCANCEL);
    driver.expectDialog(IDD_ACCOUNT).click(IDCANCEL);
    EXPECT_TRUE(driver.run([&] { runAccountDialog(doc, in, nullptr); }));
    documentClose(doc);
}

} // namespace
} // namespace kolvane
