// The wiring of "Importer un relevé..." and "Exporter le compte...": the menu
// items, the file dialog's answer, the preview reaching
// the core, the import as one step that one undo takes back, the export's
// choice of filter. The rules themselves (readers, rows already there,
// proposals, layouts) are tested in the core.
#include "document/operation_texts.h"
#include "document/text.h"
#include "operations/operation_view.h"
#include "tests/ui/main_window_fixture.h"
#include "win/window_text.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <chrono>
#include <fstream>

namespace kolvane::win {
namespace {

using uitest::DialogDriver;
using uitest::temporaryPath;

std::string fileText(const std::string& path) {
    std::ifstream in(utf8ToWide(path).c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Two rows, one with accents in Windows-1252, and a bank account that the
// file's account does not have (so no question).
constexpr char kStatement[] =
    "OFXHEADER:100\r\nDATA:OFXSGML\r\nCHARSET:1252\r\n\r\n<OFX>\r\n"
    "<STMTTRN>\r\n<TRNTYPE>POS\r\n<DTPOSTED>20240103\r\n<TRNAMT>-42.50\r\n"
    "<NAME>CB CARREFOUR MARKET\r\n</STMTTRN>\r\n"
    "<STMTTRN>\r\n<TRNTYPE>CREDIT\r\n<DTPOSTED>20240110\r\n<TRNAMT>1850.75\r\n"
    "<NAME>VIR SOCI\xC9T\xC9 G\xC9N\xC9RALE\r\n</STMTTRN>\r\n</OFX>\r\n";

class ImportTest : public uitest::MainWindowFixture {
  protected:
    void SetUp() override {
        statementPath = temporaryPath("kolvane_import_releve.ofx");
        exportPath = temporaryPath("kolvane_import_export.qif");
        std::ofstream(utf8ToWide(statementPath).c_str(), std::ios::binary) << kStatement;
        DeleteFileW(utf8ToWide(exportPath).c_str());
        main.chooseStatementFile = [this](HWND, const FileChoice& choice, int* filter) {
            chosenTitles.push_back(choice.title);
            if (filter)
                *filter = exportFilter;
            return std::optional<std::string>(choice.save       ? exportPath
                                              : example.empty() ? statementPath
                                                                : example);
        };
        openNewFile();
    }
    void TearDown() override {
        MainWindowFixture::TearDown();
        DeleteFileW(utf8ToWide(statementPath).c_str());
        DeleteFileW(utf8ToWide(exportPath).c_str());
    }

    std::string statementPath, exportPath;
    std::string example;  // a statement of examples/, read in place of statementPath
    int exportFilter = 2; // this account, QIF
    std::vector<std::wstring> chosenTitles;
};

TEST_F(ImportTest, ImportIsOneStepOfTheHistoryAndTheExportFollowsTheFilter) {
    EXPECT_EQ(popupState(0, CMD_IMPORT_STATEMENT) & MF_GRAYED, 0u);
    const AccountRecord& account = *doc.currentAccount;
    const int operations = doc.operations.count();
    const double before = account.balance;
    DialogDriver driver;
    driver.expectDialog(IDD_IMPORT_PREVIEW)
        .expectText(IDC_IMPORT_SUMMARY,
                    L"2 opérations lues : 2 nouvelles, 0 déjà présente. 2 à importer.")
        .then([](HWND dialog) {
            EXPECT_EQ(ListView_GetItemCount(GetDlgItem(dialog, IDC_IMPORT_LIST)), 2);
            EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_IMPORT_ROLE))); // not a CSV file
        })
        .clickListViewRow(IDC_IMPORT_LIST, 0)
        .selectComboText(IDC_IMPORT_CATEGORY, L"   Alimentation : Supermarché")
        .click(IDOK);
    ASSERT_TRUE(driver.runCommand(main.window, CMD_IMPORT_STATEMENT));
    EXPECT_EQ(chosenTitles, std::vector<std::wstring>{L"Importer un relevé"});
    EXPECT_NEAR(account.balance, before - 42.50 + 1850.75, 1e-9);
    ASSERT_EQ(doc.operations.count(), operations + 2);
    const OperationRecord* card = doc.operations.previous(doc.operations.last());
    EXPECT_EQ(cp1252ToUtf8(partyText(doc, card->counterpartyId)), "Alimentation : Supermarché");
    EXPECT_EQ(main.operationView().model().rowCount(), 3); // the initial balance too

    // The export goes by the filter chosen: this account in QIF.
    ASSERT_TRUE(driver.runCommand(main.window, CMD_EXPORT_ACCOUNT));
    const std::string qif = fileText(exportPath);
    EXPECT_EQ(qif.rfind("!Type:Bank\r\n", 0), 0u) << qif;
    EXPECT_NE(qif.find("PVIR SOCI\xC9T\xC9 G\xC9N\xC9RALE\r\n"), std::string::npos) << qif;

    // One undo takes the whole import back.
    ASSERT_TRUE(driver.runCommand(main.window, CMD_UNDO));
    EXPECT_EQ(doc.operations.count(), operations);
    EXPECT_NEAR(account.balance, before, 1e-9);
    EXPECT_EQ(main.operationView().model().rowCount(), 1);
}

// A CSV text that cannot be cut into cells: no preview to choose column roles in.
TEST_F(ImportTest, AMalformedStatementSaysWhereAndImportsNothing) {
    std::ofstream(utf8ToWide(statementPath).c_str(), std::ios::binary | std::ios::trunc)
        << "Date;Libell\xE9;Montant\r\n03/01/2024;\"CB CARREFOUR;-42,50\r\n";
    const int operations = doc.operations.count();
    DialogDriver driver;
    std::wstring text;
    driver.expectMessageBox().readMessage(&text).click(IDOK);
    ASSERT_TRUE(driver.runCommand(main.window, CMD_IMPORT_STATEMENT));
    EXPECT_EQ(text.rfind(L"Le relevé n'est pas importé.\nLigne ", 0), 0u) << text;
    EXPECT_EQ(doc.operations.count(), operations);
    EXPECT_FALSE(main.history().canUndo());
}

// Pictures for the README (scripts/import_screenshots.sh): the statements of
// examples/ as a French bank writes them, the OFX one naming a bank account
// that differs by one digit from the account's.
TEST_F(ImportTest, DISABLED_Screenshots) {
    setFieldText(doc.currentAccount->bankCode, "30004");
    setFieldText(doc.currentAccount->branchCode, "00815");
    setFieldText(doc.currentAccount->accountNumber, "00012345679");
    const auto shoot = [](const wchar_t* name) {
        return [name](HWND dialog) { uitest::waitForShot(uitest::shotFolder(), name, dialog); };
    };
    DialogDriver driver(std::chrono::milliseconds(60000));
    example = "examples\\releve-janvier.ofx";
    driver.expectMessageBox().then(shoot(L"question")).click(IDYES);
    driver.expectDialog(IDD_IMPORT_PREVIEW)
        .clickListViewRow(IDC_IMPORT_LIST, 1)
        .selectComboText(IDC_IMPORT_CATEGORY, L"   Alimentation : Supermarché")
        .clickListViewRow(IDC_IMPORT_LIST, 4)
        .selectComboText(IDC_IMPORT_CATEGORY, L"   Revenus : Salaire")
        .then(shoot(L"ofx"))
        .click(IDOK);
    ASSERT_TRUE(driver.runCommand(main.window, CMD_IMPORT_STATEMENT));
    example = "examples\\releve-fevrier.csv";
    driver.expectDialog(IDD_IMPORT_PREVIEW)
        .selectComboText(IDC_IMPORT_COLUMN, L"Colonne 6 : Type")
        .then(shoot(L"csv"))
        .click(IDOK);
    ASSERT_TRUE(driver.runCommand(main.window, CMD_IMPORT_STATEMENT));
}

} // namespace
} // namespace kolvane::win
