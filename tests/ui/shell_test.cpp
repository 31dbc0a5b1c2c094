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
#include "win/file_chooser.h"
#include "shell/frame_texts.h"
#include "shell/settings.h"
#include "win/window_text.h"
#include "tests/core/family_sample.h"
#include "tests/ui/dialog_driver.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

namespace kolvane::win {
namespace {

using uitest::DialogDriver;
using uitest::pumpMessagesUntil;

const wchar_t* const kSaveQuestion = L" Enregistrer les modifications ? ";
const wchar_t* const kNotAllowed =
    L"Vous n'êtes pas autorisés à utiliser cette fonction. \nAdressez-vous à un administrateur.";

std::string temporaryPath(const char* name) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    return wideToUtf8(folder) + name;
}

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

std::wstring menuItemText(HMENU menu, UINT position) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
    return text;
}

class ShellTest : public ::testing::Test {
  protected:
    void SetUp() override {
        documentInit(doc);
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
        if (main.window) {
            doc.isModified = 0; // no question on the way out
            DestroyWindow(main.window);
        }
        pumpMessagesUntil([] { return true; }, std::chrono::milliseconds(0));
        documentDestroy(doc);
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
    void openSample(const wchar_t* pseudo = L"Marie", const wchar_t* password = L"secret") {
        writeSampleFile(filePath);
        openAnswers.push_back(filePath);
        DialogDriver driver;
        driver.expectDialog(IDD_LOGIN)
            .type(IDC_USER_PSEUDO, pseudo)
            .type(IDC_USER_PASSWORD, password)
            .click(IDOK);
        ASSERT_TRUE(driver.runCommand(main.window, CMD_OPEN));
        ASSERT_EQ(doc.isOpen, 1u);
    }

    // A new file whose first account is "Compte courant".
    void createNewFile() {
        DialogDriver driver;
        driver.expectDialog(IDD_ACCOUNT).type(IDC_ACCOUNT_NAME, L"Compte courant").click(IDOK);
        ASSERT_TRUE(driver.runCommand(main.window, CMD_NEW_FILE));
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
    // Sends WM_INITMENUPOPUP as opening the popup would, then reads an item.
    UINT popupState(int position, UINT id) {
        SendMessageW(main.window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup(position)),
                     MAKELPARAM(position, FALSE));
        return GetMenuState(popup(position), id, MF_BYCOMMAND);
    }
    bool bandVisible(int band) const {
        REBARBANDINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = RBBIM_STYLE;
        SendMessageW(main.toolbars.rebar, RB_GETBANDINFOW, static_cast<WPARAM>(band),
                     reinterpret_cast<LPARAM>(&info));
        return !(info.fStyle & RBBS_HIDDEN);
    }
    bool saveButtonEnabled() const {
        return SendMessageW(main.toolbars.toolbars[0], TB_ISBUTTONENABLED, CMD_SAVE, 0) != 0;
    }
    HWND viewWindow(int tab) const {
        return main.views[static_cast<std::size_t>(tab)]->viewWindow();
    }
    void selectTab(int tab) {
        TabCtrl_SetCurSel(main.tabControl, tab);
        NMHDR header{main.tabControl, 0, static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageW(main.window, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
    }

    Document doc;
    MainWindow main{&doc};
    std::string filePath, otherPath, iniPath;
    std::deque<std::optional<std::string>> openAnswers, saveAnswers;
};

// --- Without a file --------------------------------------------------------------

TEST_F(ShellTest, WithoutFileOnlyTheFirstAndLastToolbarsAndTheDateShow) {
    EXPECT_EQ(title(), L"Kolvane v.Alpha");
    EXPECT_EQ(main.tabControl, nullptr);
    ASSERT_NE(main.toolbars.rebar, nullptr);
    EXPECT_EQ(SendMessageW(main.toolbars.rebar, RB_GETBANDCOUNT, 0, 0), 5);
    for (int band = 0; band < 5; ++band)
        EXPECT_EQ(bandVisible(band), band == 0 || band == 4) << band;
    EXPECT_FALSE(saveButtonEnabled());
    int edges[8] = {};
    ASSERT_EQ(SendMessageW(main.statusBar, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)), 5);
    EXPECT_EQ(std::vector<int>(edges, edges + 5), (std::vector<int>{100, 135, 170, 320, -1}));
    EXPECT_EQ(statusText(0), utf8ToWide(statusDateText(localNow())));
    EXPECT_EQ(statusText(3), L"");
    EXPECT_EQ(statusText(4), L"");
}

TEST_F(ShellTest, AboutShowsTheProgramNameInAMessageBox) {
    DialogDriver driver;
    driver.expectMessageBox(L"Kolvane v.Alpha\nTenue de comptes bancaires personnels.").press(IDOK);
    EXPECT_TRUE(driver.runCommand(main.window, CMD_ABOUT));
    EXPECT_TRUE(IsWindow(main.window));
}

// --- Opening ---------------------------------------------------------------------

TEST_F(ShellTest, OpeningShowsTheFileInTitleStatusMenusAndTabs) {
    openSample();
    EXPECT_EQ(title(), L"Kolvane v.Alpha  : [ kolvane_shell_famille.kvn ]");
    EXPECT_EQ(statusText(3), L" Marie");
    EXPECT_EQ(statusText(4), L" Compte ouvert: Courant");
    EXPECT_FALSE(barGreyed(1));
    EXPECT_TRUE(barGreyed(2)); // on the "Comptes" tab
    EXPECT_FALSE(barGreyed(3));
    EXPECT_TRUE(bandVisible(1));
    EXPECT_FALSE(saveButtonEnabled());

    ASSERT_NE(main.tabControl, nullptr);
    ASSERT_EQ(TabCtrl_GetItemCount(main.tabControl), 5);
    const wchar_t* labels[] = {L"Comptes", L"Opérations", L"Tiers", L"Simulation", L"Graphique"};
    const wchar_t* classes[] = {L"WndSynthesisClass", L"WndOperationClass", L"WndThirdClass",
                                L"WndLendingClass", L"WndGraphClass"};
    for (int i = 0; i < 5; ++i) {
        wchar_t text[64] = {};
        TCITEMW tab{};
        tab.mask = TCIF_TEXT;
        tab.pszText = text;
        tab.cchTextMax = 64;
        TabCtrl_GetItem(main.tabControl, i, &tab);
        EXPECT_STREQ(text, labels[i]);
        ASSERT_NE(viewWindow(i), nullptr) << i;
        wchar_t name[64] = {};
        GetClassNameW(viewWindow(i), name, 64);
        EXPECT_STREQ(name, classes[i]);
        EXPECT_EQ(GetParent(viewWindow(i)), main.tabControl);
        EXPECT_EQ(IsWindowVisible(viewWindow(i)) != 0, i == 0) << i;
    }
    EXPECT_EQ(TabCtrl_GetCurSel(main.tabControl), 0);

    HMENU accounts = popup(1);
    ASSERT_EQ(GetMenuItemCount(accounts), 4);
    EXPECT_EQ(GetMenuItemID(accounts, 2), 4000u);
    EXPECT_EQ(menuItemText(accounts, 2), L"Courant");
    EXPECT_TRUE(GetMenuState(accounts, 2, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_EQ(GetMenuItemID(accounts, 3), 4001u);
    EXPECT_EQ(menuItemText(accounts, 3), L"Livret");
    EXPECT_FALSE(GetMenuState(accounts, 3, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_EQ(main.settings.recentCount, 0); // opening does not add to the recent files
}

TEST_F(ShellTest, TabControlFillsTheSpaceBetweenTheBars) {
    openSample();
    SetWindowPos(main.window, nullptr, 0, 0, 720, 520, SWP_NOZORDER | SWP_NOMOVE);
    RECT client{}, tab{};
    GetClientRect(main.window, &client);
    GetWindowRect(main.tabControl, &tab);
    MapWindowPoints(nullptr, main.window, reinterpret_cast<POINT*>(&tab), 2);
    EXPECT_EQ(tab.left, 0);
    EXPECT_EQ(tab.top, main.rebarHeight());
    EXPECT_EQ(tab.right, client.right);
    EXPECT_EQ(tab.bottom, client.bottom - main.statusBarHeight());
    // The views follow the tab control's display area.
    const RECT area = main.viewArea();
    RECT view{};
    GetWindowRect(viewWindow(kOperationsTab), &view);
    MapWindowPoints(nullptr, main.tabControl, reinterpret_cast<POINT*>(&view), 2);
    EXPECT_EQ(view.left, area.left);
    EXPECT_EQ(view.top, area.top);
    EXPECT_EQ(view.right, area.right);
    EXPECT_EQ(view.bottom, area.bottom);
}

TEST_F(ShellTest, CtrlTabTurnsTheTabsAndToolbarButtonsTellTheirMenuText) {
    openSample();
    HACCEL table = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDA_MAIN));
    auto press = [&](bool shift) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = 0x80;
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        MSG key{viewWindow(TabCtrl_GetCurSel(main.tabControl)), WM_KEYDOWN, VK_TAB, 0x000F0001,
                0, {}};
        EXPECT_TRUE(TranslateAcceleratorW(main.window, table, &key));
        keys[VK_CONTROL] = keys[VK_SHIFT] = 0;
        SetKeyboardState(keys);
        return TabCtrl_GetCurSel(main.tabControl);
    };
    EXPECT_EQ(press(false), 1);
    EXPECT_TRUE(IsWindowVisible(viewWindow(1)));
    EXPECT_FALSE(barGreyed(2)); // the " Opération " menu follows the tab
    EXPECT_EQ(press(true), 0);
    EXPECT_EQ(press(true), 4);

    for (const auto& [command, text] : {std::pair{CMD_OPEN, L"Ouvrir"},
                                        std::pair{CMD_CHANGE_USER, L"Changer utilisateur"}}) {
        NMTTDISPINFOW tip{};
        tip.hdr = {reinterpret_cast<HWND>(
                       SendMessageW(main.toolbars.toolbars[0], TB_GETTOOLTIPS, 0, 0)),
                   static_cast<UINT_PTR>(command), UINT(TTN_GETDISPINFOW)};
        SendMessageW(main.window, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
        ASSERT_NE(tip.lpszText, nullptr);
        EXPECT_STREQ(tip.lpszText, text);
    }
}

TEST_F(ShellTest, CalculatorInsertsItsResultIntoTheAmountBoxThatHadTheFocus) {
    HWND box = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 10, 100, 20,
                               main.window, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(attachAmountEdit(box, false));
    SetFocus(box);
    ASSERT_EQ(GetFocus(), box);
    DialogDriver driver;
    driver.expectDialog(IDD_CALCULATOR)
        .then([&](HWND dialog) { // over the middle of the main window
            RECT frame{}, shown{};
            GetWindowRect(main.window, &frame);
            GetWindowRect(dialog, &shown);
            EXPECT_LE(std::abs((frame.left + frame.right) - (shown.left + shown.right)), 2);
            EXPECT_LE(std::abs((frame.top + frame.bottom) - (shown.top + shown.bottom)), 2);
        })
        .type(IDC_CALCULATOR_EXPRESSION, L"(1 234,5 + 0,5) × 2")
        .expectText(IDC_CALCULATOR_RESULT, L"= 2 470.00")
        .click(IDC_CALCULATOR_COPY)
        .click(IDC_CALCULATOR_INSERT);
    ASSERT_TRUE(driver.runCommand(main.window, CMD_CALCULATOR));
    EXPECT_EQ(windowText(box), L"2 470.00");
    ASSERT_TRUE(OpenClipboard(main.window));
    HANDLE copied = GetClipboardData(CF_UNICODETEXT);
    EXPECT_STREQ(copied ? static_cast<const wchar_t*>(GlobalLock(copied)) : L"", L"2 470.00");
    if (copied)
        GlobalUnlock(copied);
    CloseClipboard();

    // Without an amount box to write into, only "Copier" is offered.
    SetFocus(main.window);
    driver.expectDialog(IDD_CALCULATOR)
        .type(IDC_CALCULATOR_EXPRESSION, L"2+2")
        .expectEnabled(IDC_CALCULATOR_INSERT, false)
        .expectEnabled(IDC_CALCULATOR_COPY)
        .click(IDCANCEL);
    ASSERT_TRUE(driver.runCommand(main.window, CMD_CALCULATOR));
    DestroyWindow(box);
}

// --- The welcome dialog -----------------------------------------------------------

TEST_F(ShellTest, WelcomeListsTheRecentFilesAndOpensTheChosenOne) {
    writeSampleFile(filePath);
    addRecentFile(main.settings, filePath);
    addRecentFile(main.settings, "C:\\Ailleurs\\autre.kvn");
    DialogDriver driver;
    driver.expectDialog(IDD_WELCOME)
        .then([&](HWND dialog) {
            EXPECT_EQ(windowText(dialog), L"Bienvenue dans Kolvane v.Alpha.");
            HWND list = GetDlgItem(dialog, IDC_WELCOME_FILES);
            ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
            wchar_t line[MAX_PATH] = {};
            SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(line));
            EXPECT_STREQ(line, L"C:\\Ailleurs\\autre.kvn");
            SendMessageW(list, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(line));
            EXPECT_EQ(line, utf8ToWide(filePath));
            EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0); // the first is selected
        })
        .selectList(IDC_WELCOME_FILES, 1)
        .click(IDOK);
    driver.expectDialog(IDD_LOGIN)
        .type(IDC_USER_PSEUDO, L"Marie")
        .type(IDC_USER_PASSWORD, L"secret")
        .click(IDOK);
    ASSERT_TRUE(driver.run([&] { SendMessageW(main.window, WM_SHOW_WELCOME, 0, 0); }));
    EXPECT_EQ(doc.isOpen, 1u);
    EXPECT_EQ(doc.filePath, filePath);
}

TEST_F(ShellTest, WelcomeButtonsRunNewFileAndBrowse) {
    DialogDriver driver;
    driver.expectDialog(IDD_WELCOME).click(IDC_WELCOME_NEW_FILE);
    driver.expectDialog(IDD_ACCOUNT).click(IDCANCEL);
    driver.expectDialog(IDD_WELCOME).click(IDCANCEL);
    ASSERT_TRUE(driver.run([&] { SendMessageW(main.window, WM_SHOW_WELCOME, 0, 0); }));
    EXPECT_EQ(doc.isOpen, 0u);

    writeSampleFile(filePath);
    openAnswers.push_back(filePath);
    driver.expectDialog(IDD_WELCOME).click(IDC_WELCOME_BROWSE);
    driver.expectDialog(IDD_LOGIN)
        .type(IDC_USER_PSEUDO, L"Marie")
        .type(IDC_USER_PASSWORD, L"secret")
        .click(IDOK);
    ASSERT_TRUE(driver.run([&] { SendMessageW(main.window, WM_SHOW_WELCOME, 0, 0); }));
    EXPECT_EQ(doc.isOpen, 1u);
}

// The messages are the core's; what the system says of a folder comes from
// the Win32 file layer.
TEST_F(ShellTest, AFolderThatCannotBeReadIsToldWithTheSystemsReason) {
    std::wstring text;
    openAnswers.push_back(temporaryPath(""));
    DialogDriver driver;
    driver.expectMessageBox().readText(0, &text).press(IDOK);
    ASSERT_TRUE(driver.runCommand(main.window, CMD_OPEN));
    const std::wstring start = L"Le fichier " + utf8ToWide(temporaryPath("")) +
                               L" ne peut pas être ouvert (";
    EXPECT_EQ(text.rfind(start, 0), 0u) << wideToUtf8(text);
    EXPECT_GT(text.size(), start.size() + 3);
    EXPECT_EQ(doc.isOpen, 0u);
}

TEST_F(ShellTest, OpenDialogIsTheStandardOneWithItsTitle) {
    main.chooseFileToOpen = [](HWND owner) { return chooseFile(owner, kOpenAccountFile); };
    DialogDriver driver;
    driver.expectDialogTitled(L"Ouvrir un fichier Kolvane...").click(IDCANCEL);
    ASSERT_TRUE(driver.runCommand(main.window, CMD_OPEN));
    EXPECT_EQ(doc.isOpen, 0u);
}

// --- New file and saving ------------------------------------------------------------

TEST_F(ShellTest, NewFileIsSansTitreThenSaveAsAsksPseudoAndPassword) {
    createNewFile();
    EXPECT_EQ(title(), L"Kolvane v.Alpha  : [ sans titre ]");
    EXPECT_TRUE(saveButtonEnabled());
    EXPECT_EQ(statusText(3), L" Nouvel utilisateur");
    EXPECT_EQ(statusText(4), L" Compte ouvert: Compte courant");
    ASSERT_EQ(GetMenuItemCount(popup(1)), 3);
    EXPECT_EQ(menuItemText(popup(1), 2), L"Compte courant");
    EXPECT_TRUE(GetMenuState(popup(1), 2, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_EQ(popupState(0, CMD_SAVE) & MF_GRAYED, 0u);
    saveAnswers.push_back(otherPath);
    DialogDriver driver;
    driver.expectDialog(IDD_USER_IDENTITY)
        .expectText(IDC_USER_PSEUDO, L"Nouvel utilisateur")
        .expectChecked(IDC_USER_ADMINISTRATOR)
        .type(IDC_USER_PSEUDO, L"Marie")
        .click(IDOK);
    driver.expectDialog(IDD_PASSWORD)
        .then([](HWND dialog) { EXPECT_EQ(windowText(dialog), L"Nouvel utilisateur"); })
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
    EXPECT_EQ(statusText(3), L" Marie");
    ASSERT_EQ(main.settings.recentCount, 1);
    EXPECT_EQ(main.settings.recentFiles[0], otherPath);
    EXPECT_NE(popupState(0, CMD_SAVE) & MF_GRAYED, 0u);
}

TEST_F(ShellTest, AnswerNoClosesWithoutSavingAndEmptiesTheFrame) {
    openSample();
    EXPECT_TRUE(createAccount(doc, "Vacances", 0.0));
    modify();
    DialogDriver driver;
    driver.expectMessageBox(kSaveQuestion).press(IDNO);
    ASSERT_TRUE(driver.runCommand(main.window, CMD_CLOSE));
    EXPECT_EQ(doc.isOpen, 0u);
    EXPECT_EQ(main.tabControl, nullptr);
    EXPECT_EQ(GetMenuItemCount(popup(1)), 2);
    EXPECT_EQ(title(), L"Kolvane v.Alpha");
    EXPECT_EQ(statusText(3), L"");
    EXPECT_EQ(statusText(4), L"");
    EXPECT_TRUE(barGreyed(1));
    EXPECT_TRUE(barGreyed(3));
    EXPECT_FALSE(bandVisible(1));
    Document reloaded;
    documentInit(reloaded);
    ASSERT_EQ(loadDocument(reloaded, filePath), 1);
    EXPECT_EQ(reloaded.accounts.count(), 2);
}

TEST_F(ShellTest, CtrlSSavesThroughTheAccelerators) {
    openSample();
    EXPECT_TRUE(createAccount(doc, "Vacances", 0.0));
    modify();
    HACCEL table = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDA_MAIN));
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    MSG key{main.window, WM_KEYDOWN, 'S', 0x001F0001, 0, {}};
    EXPECT_TRUE(TranslateAcceleratorW(main.window, table, &key));
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(doc.isModified, 0u);
    EXPECT_FALSE(saveButtonEnabled());
}

// --- Closing the window -----------------------------------------------------------

TEST_F(ShellTest, AltF4AsksTheSaveQuestionAndCancelKeepsTheWindow) {
    openSample();
    modify();
    main.settingsFile = iniPath;
    DialogDriver driver;
    driver.expectMessageBox(kSaveQuestion).press(IDCANCEL);
    ASSERT_TRUE(driver.run([&] {
        SendMessageW(main.window, WM_SYSKEYDOWN, VK_F4, 0x20000001); // Alt held
        pumpMessagesUntil([] { return false; }, std::chrono::milliseconds(200));
    }));
    EXPECT_TRUE(IsWindow(main.window));
    EXPECT_FALSE(fileExists(iniPath));

    driver.expectMessageBox(kSaveQuestion).press(IDNO);
    ASSERT_TRUE(driver.run([&] { SendMessageW(main.window, WM_SYSCOMMAND, SC_CLOSE, 0); }));
    EXPECT_EQ(main.window, nullptr);
    EXPECT_TRUE(fileExists(iniPath));
}

TEST_F(ShellTest, SettingsAreWrittenOnCloseAndReadBack) {
    main.settingsFile = iniPath;
    addRecentFile(main.settings, "C:\\Comptes\\Été.kvn");
    SetWindowPos(main.window, nullptr, 30, 40, 640, 480, SWP_NOZORDER);
    SendMessageW(main.window, WM_CLOSE, 0, 0);
    ASSERT_FALSE(IsWindow(main.window));
    Settings back = loadSettings(platformFileSystem(), iniPath);
    EXPECT_EQ(back.fullScreen, 0);
    EXPECT_EQ(back.left, 30);
    EXPECT_EQ(back.top, 40);
    EXPECT_EQ(back.right, 670);
    EXPECT_EQ(back.bottom, 520);
    ASSERT_EQ(back.recentCount, 1);
    EXPECT_EQ(back.recentFiles[0], "C:\\Comptes\\Été.kvn");
}

// Maximised, the window is not measured: the rectangle it had stays.
TEST_F(ShellTest, MaximisedWindowWritesPleinEcranAndKeepsItsNormalRectangle) {
    main.settingsFile = iniPath;
    main.settings.left = 11, main.settings.top = 22;
    main.settings.right = 611, main.settings.bottom = 422;
    ShowWindow(main.window, SW_MAXIMIZE);
    ASSERT_TRUE(IsZoomed(main.window));
    SendMessageW(main.window, WM_CLOSE, 0, 0);
    Settings back = loadSettings(platformFileSystem(), iniPath);
    EXPECT_EQ(back.fullScreen, 1);
    EXPECT_EQ(std::vector<int>({back.left, back.top, back.right, back.bottom}),
              std::vector<int>({11, 22, 611, 422}));
}

// --- Tabs, menus and accounts ---------------------------------------------------------

TEST_F(ShellTest, OperationMenuOnlyOnTheOperationsTab) {
    openSample();
    selectTab(kOperationsTab);
    EXPECT_FALSE(barGreyed(2));
    EXPECT_TRUE(IsWindowVisible(viewWindow(kOperationsTab)));
    EXPECT_FALSE(IsWindowVisible(viewWindow(kAccountsTab)));
    selectTab(kThirdsTab);
    EXPECT_TRUE(barGreyed(2));
    EXPECT_TRUE(IsWindowVisible(viewWindow(kThirdsTab)));
    EXPECT_FALSE(IsWindowVisible(viewWindow(kOperationsTab)));
    for (int tab : {kLoanTab, kGraphTab, kAccountsTab}) {
        selectTab(tab);
        EXPECT_TRUE(barGreyed(2)) << tab;
    }
}

TEST_F(ShellTest, LimitedUserSeesAdministratorItemsGreyedAndIsRefused) {
    openSample(L"Paul", L"paul");
    EXPECT_NE(popupState(1, CMD_EDIT_ACCOUNTS) & MF_GRAYED, 0u);
    for (UINT id : {CMD_EDIT_MODES, CMD_EDIT_CATEGORIES, CMD_NEW_USER, CMD_LIST_USERS})
        EXPECT_NE(popupState(3, id) & MF_GRAYED, 0u) << id;
    for (UINT id : {CMD_EDIT_LABELS, CMD_CHANGE_USER, CMD_CHANGE_PASSWORD})
        EXPECT_EQ(popupState(3, id) & MF_GRAYED, 0u) << id;
    // Reached another way (a key), a command is refused with the message.
    DialogDriver driver;
    driver.expectMessageBox(kNotAllowed).press(IDOK);
    EXPECT_TRUE(driver.runCommand(main.window, CMD_LIST_USERS));
}

TEST_F(ShellTest, ChoosingAnAccountItemMovesTheCheckAndShowsItsOperations) {
    openSample();
    SendMessageW(main.window, WM_COMMAND, MAKEWPARAM(4001, 0), 0);
    EXPECT_EQ(cp1252ToUtf8(fieldText(doc.currentAccount->name)), "Livret");
    HMENU accounts = popup(1);
    EXPECT_FALSE(GetMenuState(accounts, 4000, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_TRUE(GetMenuState(accounts, 4001, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(statusText(4), L" Compte ouvert: Livret");
    EXPECT_EQ(TabCtrl_GetCurSel(main.tabControl), kOperationsTab);
    EXPECT_FALSE(barGreyed(2));

    selectTab(kAccountsTab);
    SendMessageW(main.window, WM_COMMAND, MAKEWPARAM(4001, 0), 0); // the current one
    EXPECT_EQ(TabCtrl_GetCurSel(main.tabControl), kOperationsTab);
    EXPECT_TRUE(GetMenuState(accounts, 4001, MF_BYCOMMAND) & MF_CHECKED);
}

// --- Users through the menu ------------------------------------------------------------

TEST_F(ShellTest, UserListChangesMarkTheFileModified) {
    openSample();
    DialogDriver driver;
    driver.expectDialog(IDD_USER_LIST)
        .clickListViewRow(IDC_LIST_VIEW, 1)
        .click(IDC_DELETE_BUTTON)
        .click(IDCANCEL);
    ASSERT_TRUE(driver.runCommand(main.window, CMD_LIST_USERS));
    EXPECT_EQ(doc.isModified, 1u);
    EXPECT_EQ(doc.users.last()->flags, 0xC0000000u);
}

} // namespace
} // namespace kolvane::win
