// The main window with a document: opening, creating, saving and closing
// files through the real dialogs and message boxes, the menus, toolbars,
// title and status bar that follow, the tabs, the rights of a limited user,
// the settings written at the end.
#include "shell/main_window.h"

#include "operations/amount_edit_control.h"

#include "document/account_file.h"
#include "document/calendar.h"
#include "document/passwords.h"
#include "document/text.h"
#include "resources/resource_ids.h"
#include "shell/frame_texts.h"
#include "shell/settings.h"
#include "win/window_text.h"
#include "tests/core/family_sample.h"
#include "tests/ui/main_window_fixture.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace kolvane::win {
namespace {

using uitest::DialogDriver;
using uitest::pumpMessagesUntil;
using uitest::temporaryPath;

const wchar_t* const kSaveQuestion = L" Enregistrer les modifications ? ";

bool fileExists(const std::string& path) {
    return GetFileAttributesW(utf8ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}
void removeFile(const std::string& path) {
    DeleteFileW(utf8ToWide(path).c_str());
    DeleteFileW(utf8ToWide(path + ".bak").c_str());
}

// The family file of the core's tests (family_sample.h).
void writeSampleFile(const std::string& path) {
    Document sample;
    sample::buildFamily(sample);
    ASSERT_EQ(saveDocument(sample, path), 1);
    documentDestroy(sample);
}

class ShellTest : public uitest::MainWindowFixture {
  protected:
    void SetUp() override {
        filePath = temporaryPath("kolvane_shell_famille.kvn");
        otherPath = temporaryPath("kolvane_shell_nouveau.kvn");
        iniPath = temporaryPath("kolvane_shell_test.ini");
        for (const std::string& path : {filePath, otherPath, iniPath})
            removeFile(path);
        main.chooseFileToOpen = [this](HWND) { return take(openAnswers); };
        main.chooseFileToSave = [this](HWND) { return take(saveAnswers); };
        ASSERT_NE(main.open(kDefaultPlacement, false, true), nullptr);
    }
    void TearDown() override {
        MainWindowFixture::TearDown();
        for (const std::string& path : {filePath, otherPath, iniPath})
            removeFile(path);
    }

    static std::optional<std::string> take(std::deque<std::optional<std::string>>& answers) {
        std::optional<std::string> answer;
        if (!answers.empty())
            answer = answers.front(), answers.pop_front();
        return answer;
    }

    // Opens the sample file through "Ouvrir" and the login dialog.
    void openSample() {
        writeSampleFile(filePath);
        openAnswers.push_back(filePath);
        DialogDriver driver;
        driver.expectDialog(IDD_LOGIN)
            .type(IDC_USER_PSEUDO, L"Marie")
            .type(IDC_USER_PASSWORD, L"secret")
            .click(IDOK);
        ASSERT_TRUE(driver.runCommand(main.window, CMD_OPEN));
        ASSERT_EQ(doc.isOpen, 1u);
    }

    void modify() {
        doc.isModified = 1;
        main.updateMenus();
    }

    std::wstring title() const { return windowText(main.window); }
    std::wstring statusText(int part) const {
        wchar_t text[256] = {};
        SendMessageW(main.statusBar, SB_GETTEXTW, static_cast<WPARAM>(part),
                     reinterpret_cast<LPARAM>(text));
        return text;
    }
    bool barGreyed(UINT position) const {
        return (GetMenuState(GetMenu(main.window), position, MF_BYPOSITION) & MF_GRAYED) != 0;
    }
    HMENU popup(int position) const { return GetSubMenu(GetMenu(main.window), position); }
    bool saveButtonEnabled() const { return buttonEnabled(0, CMD_SAVE); }
    HWND viewWindow(int tab) const {
        return main.views[static_cast<std::size_t>(tab)]->viewWindow();
    }

    std::string filePath, otherPath, iniPath;
    std::deque<std::optional<std::string>> openAnswers, saveAnswers;
};

// --- Without a file --------------------------------------------------------------

TEST_F(ShellTest, WithoutFileOnlyTheFirstAndLastToolbarsTheDateAndOpenShow) {
    EXPECT_EQ(title(), L"Kolvane v.Alpha");
    EXPECT_EQ(main.tabControl, nullptr);
    ASSERT_NE(main.toolbars.rebar, nullptr);
    EXPECT_EQ(SendMessageW(main.toolbars.rebar, RB_GETBANDCOUNT, 0, 0), 5);
    for (int band = 0; band < 5; ++band)
        EXPECT_EQ(bandVisible(band), band == 0 || band == 4) << band;
    EXPECT_FALSE(saveButtonEnabled());
    EXPECT_EQ(statusText(0), utf8ToWide(statusDateText(localNow())));
    EXPECT_EQ(statusText(4), L"");
}

// --- Opening ---------------------------------------------------------------------

TEST_F(ShellTest, OpeningShowsTheFileInTitleStatusMenusTabsAndToolTips) {
    openSample();
    EXPECT_EQ(title(), L"Kolvane v.Alpha  : [ kolvane_shell_famille.kvn ]");
    EXPECT_EQ(statusText(3), L" Marie");
    EXPECT_TRUE(barGreyed(2)); // on the "Comptes" tab
    EXPECT_TRUE(bandVisible(1));

    ASSERT_NE(main.tabControl, nullptr);
    ASSERT_EQ(TabCtrl_GetItemCount(main.tabControl), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(IsWindowVisible(viewWindow(i)) != 0, i == 0) << i;
    EXPECT_TRUE(GetMenuState(popup(1), 4000, MF_BYCOMMAND) & MF_CHECKED);

    // The tab control fills the space between the bars, the views its display area.
    SetWindowPos(main.window, nullptr, 0, 0, 720, 520, SWP_NOZORDER | SWP_NOMOVE);
    RECT client{}, tab{};
    GetClientRect(main.window, &client);
    GetWindowRect(main.tabControl, &tab);
    MapWindowPoints(nullptr, main.window, reinterpret_cast<POINT*>(&tab), 2);
    EXPECT_EQ(tab.bottom, client.bottom - main.statusBarHeight());
    const RECT area = main.viewArea();
    RECT view{};
    GetWindowRect(viewWindow(kOperationsTab), &view);
    MapWindowPoints(nullptr, main.tabControl, reinterpret_cast<POINT*>(&view), 2);
    EXPECT_TRUE(EqualRect(&view, &area));

    // Ctrl+Tab's command turns the tabs; toolbar buttons tell their menu text.
    SendMessageW(main.window, WM_COMMAND, CMD_NEXT_TAB, 0);
    EXPECT_EQ(TabCtrl_GetCurSel(main.tabControl), 1);
    EXPECT_TRUE(IsWindowVisible(viewWindow(1)));
    EXPECT_FALSE(barGreyed(2)); // the " Opération " menu follows the tab
    EXPECT_EQ(toolTip(CMD_OPEN), L"Ouvrir");
}

TEST_F(ShellTest, CalculatorInsertsItsResultIntoTheAmountBoxThatHadTheFocus) {
    HWND box = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 10, 100, 20, main.window,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(attachAmountEdit(box, false));
    SetFocus(box);
    ASSERT_EQ(GetFocus(), box);
    DialogDriver driver;
    driver.expectDialog(IDD_CALCULATOR)
        .type(IDC_CALCULATOR_EXPRESSION, L"(1 234,5 + 0,5) × 2")
        .expectText(IDC_CALCULATOR_RESULT, L"= 2 470.00")
        .click(IDC_CALCULATOR_INSERT);
    ASSERT_TRUE(driver.runCommand(main.window, CMD_CALCULATOR));
    EXPECT_EQ(windowText(box), L"2 470.00");
    DestroyWindow(box);
}

// --- The welcome dialog -----------------------------------------------------------

TEST_F(ShellTest, WelcomeListsTheRecentFilesAndItsButtonsRunTheirCommands) {
    writeSampleFile(filePath);
    addRecentFile(main.settings, filePath);
    addRecentFile(main.settings, "C:\\Ailleurs\\autre.kvn");
    DialogDriver driver;
    driver.expectDialog(IDD_WELCOME)
        .then([&](HWND dialog) {
            EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_WELCOME_FILES, LB_GETCOUNT, 0, 0), 2);
            SendDlgItemMessageW(dialog, IDC_WELCOME_FILES, LB_SETCURSEL, 1, 0);
        })
        .click(IDOK);
    driver.expectDialog(IDD_LOGIN)
        .type(IDC_USER_PSEUDO, L"Marie")
        .type(IDC_USER_PASSWORD, L"secret")
        .click(IDOK);
    ASSERT_TRUE(driver.run([&] { SendMessageW(main.window, WM_SHOW_WELCOME, 0, 0); }));
    EXPECT_EQ(doc.filePath, filePath);
}

// --- New file and saving ------------------------------------------------------------

TEST_F(ShellTest, NewFileIsSansTitreThenSaveAsAsksPseudoAndPassword) {
    openNewFile();
    EXPECT_EQ(title(), L"Kolvane v.Alpha  : [ sans titre ]");
    EXPECT_TRUE(saveButtonEnabled());
    EXPECT_EQ(statusText(3), L" Nouvel utilisateur");
    EXPECT_EQ(menuText(popup(1), 2), L"Compte courant");
    saveAnswers.push_back(otherPath);
    DialogDriver driver;
    driver.expectDialog(IDD_USER_IDENTITY).type(IDC_USER_PSEUDO, L"Marie").click(IDOK);
    driver.expectDialog(IDD_PASSWORD)
        .expectText(IDC_USER_PSEUDO, L"Marie")
        .type(IDC_USER_PASSWORD, L"secret")
        .type(IDC_USER_CONFIRMATION, L"secret")
        .click(IDOK);
    // "Enregistrer" on a never saved file is "Enregistrer sous".
    ASSERT_TRUE(driver.runCommand(main.window, CMD_SAVE));
    EXPECT_TRUE(fileExists(otherPath));
    EXPECT_EQ(doc.isModified, 0u);
    EXPECT_FALSE(saveButtonEnabled());
    EXPECT_EQ(title(), L"Kolvane v.Alpha  : [ kolvane_shell_nouveau.kvn ]");
    EXPECT_EQ(main.settings.recentFiles[0], otherPath);
}

// Alt+F4 asks the save question: "Annuler" keeps everything; "Fermer" with
// "Non" empties the frame without saving; the close box then ends the
// window and writes its rectangle into the settings.
TEST_F(ShellTest, TheSaveQuestionOnClosingAndTheSettingsWrittenAtTheEnd) {
    openSample();
    EXPECT_TRUE(createAccount(doc, "Vacances", 0.0));
    modify();
    main.settingsFile = iniPath;
    DialogDriver driver;
    driver.expectMessageBox(kSaveQuestion).click(IDCANCEL);
    ASSERT_TRUE(driver.run([&] {
        SendMessageW(main.window, WM_SYSKEYDOWN, VK_F4, 0x20000001); // Alt held
        pumpMessagesUntil([] { return false; }, std::chrono::milliseconds(200));
    }));
    EXPECT_TRUE(IsWindow(main.window));
    EXPECT_EQ(doc.isOpen, 1u);
    EXPECT_FALSE(fileExists(iniPath));

    driver.expectMessageBox(kSaveQuestion).click(IDNO);
    ASSERT_TRUE(driver.runCommand(main.window, CMD_CLOSE));
    EXPECT_EQ(doc.isOpen, 0u);
    EXPECT_EQ(main.tabControl, nullptr);
    EXPECT_EQ(title(), L"Kolvane v.Alpha");
    EXPECT_FALSE(bandVisible(1));
    Document reloaded;
    documentInit(reloaded);
    ASSERT_EQ(loadDocument(reloaded, filePath), 1);
    EXPECT_EQ(reloaded.accounts.count(), 2);
    documentDestroy(reloaded);

    SetWindowPos(main.window, nullptr, 30, 40, 640, 480, SWP_NOZORDER);
    SendMessageW(main.window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(main.window, nullptr);
    const Settings back = loadSettings(platformFileSystem(), iniPath);
    EXPECT_EQ(back.fullScreen, 0);
    EXPECT_EQ(std::vector<int>({back.left, back.top, back.right, back.bottom}),
              std::vector<int>({30, 40, 670, 520}));
}

// --- Tabs, menus and accounts ---------------------------------------------------------

TEST_F(ShellTest, AnAccountItemShowsItsOperations) {
    openSample();
    SendMessageW(main.window, WM_COMMAND, MAKEWPARAM(4001, 0), 0);
    EXPECT_EQ(cp1252ToUtf8(fieldText(doc.currentAccount->name)), "Livret");
    HMENU accounts = popup(1);
    EXPECT_FALSE(GetMenuState(accounts, 4000, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(accounts, 4001, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(statusText(4), L" Compte ouvert: Livret");
    EXPECT_EQ(TabCtrl_GetCurSel(main.tabControl), kOperationsTab);
    EXPECT_FALSE(barGreyed(2));
}

} // namespace
} // namespace kolvane::win
