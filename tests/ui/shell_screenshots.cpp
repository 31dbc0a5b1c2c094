// Shows the main window through a short session (welcome, login, the open
// file, its tabs, the user dialogs, the save question, a refusal) and waits
// at each step for scripts/shell_screenshots.sh to take its picture.
// Disabled in ordinary runs; the script runs it by name.
#include "shell/main_window.h"

#include "document/account_file.h"
#include "document/passwords.h"
#include "document/text.h"
#include "resources/resource_ids.h"
#include "win/gui_resources.h"
#include "tests/core/family_sample.h"
#include "tests/ui/dialog_driver.h"
#include "tests/ui/screenshot_support.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace kolvane::win {
namespace {

using uitest::DialogDriver;
using namespace std::chrono_literals;

TEST(ShellScreenshots, DISABLED_Session) {
    const std::wstring folder = uitest::shotFolder();
    if (folder.empty())
        GTEST_SKIP() << "KOLVANE_SHOT_DIR is not set";
    const std::string samplePath = wideToUtf8(folder) + "\\Comptes famille.kvn";
    {
        Document sample;
        documentInit(sample);
        EXPECT_TRUE(createAccount(sample, utf8ToCp1252("Compte courant"), 1250.0));
        EXPECT_TRUE(createAccount(sample, utf8ToCp1252("Livret A"), 3000.0));
        createAccount(sample, utf8ToCp1252("Épargne logement"), 800.0)->active = 0;
        EXPECT_TRUE(addDefaultModes(sample));
        EXPECT_TRUE(addDefaultCategories(sample));
        sample::addUser(sample, "Marie", "secret", 1, 0);
        sample::addUser(sample, "Paul", "paul", 2, kUserLimited);
        sample::addUser(sample, "Zoé", "zoe", 3, kUserLimited | kUserRefused);
        ASSERT_EQ(saveDocument(sample, samplePath), 1);
        documentDestroy(sample);
    }

    GuiResources resources;
    createGuiResources(resources);
    setGuiResources(&resources);
    Document doc;
    documentInit(doc);
    MainWindow main(&doc);
    addRecentFile(main.settings, "C:\\Users\\Marie\\Documents\\Comptes 2025.kvn");
    addRecentFile(main.settings, samplePath);
    ASSERT_NE(main.open(RECT{0, 0, 800, 600}, false, true), nullptr);

    DialogDriver driver(120000ms);
    driver.expectDialog(IDD_WELCOME)
        .then([&](HWND) { uitest::waitForShot(folder, L"welcome"); })
        .click(IDOK);
    driver.expectDialog(IDD_LOGIN)
        .type(IDC_USER_PSEUDO, L"Marie")
        .type(IDC_USER_PASSWORD, L"secret")
        .then([&](HWND) { uitest::waitForShot(folder, L"login"); })
        .click(IDOK);
    ASSERT_TRUE(driver.run([&] { SendMessageW(main.window, WM_SHOW_WELCOME, 0, 0); }));
    uitest::waitForShot(folder, L"file_open");

    SendMessageW(main.window, WM_COMMAND, MAKEWPARAM(4001, 0), 0); // "Livret A", "Opérations"
    uitest::waitForShot(folder, L"operations_tab");

    driver.expectDialog(IDD_USER_LIST)
        .clickListViewRow(IDC_LIST_VIEW, 1)
        .then([&](HWND) { uitest::waitForShot(folder, L"user_list"); })
        .click(IDCANCEL);
    ASSERT_TRUE(driver.runCommand(main.window, CMD_LIST_USERS));

    driver.expectDialog(IDD_USER_IDENTITY)
        .type(IDC_USER_PSEUDO, L"Léa")
        .tickRadio(IDC_USER_LIMITED)
        .then([&](HWND) { uitest::waitForShot(folder, L"user_identity"); })
        .click(IDOK);
    driver.expectDialog(IDD_PASSWORD)
        .type(IDC_USER_PASSWORD, L"lea")
        .type(IDC_USER_CONFIRMATION, L"lea")
        .then([&](HWND) { uitest::waitForShot(folder, L"password"); })
        .click(IDOK);
    ASSERT_TRUE(driver.runCommand(main.window, CMD_NEW_USER));

    driver.expectMessageBox(L" Enregistrer les modifications ? ")
        .then([&](HWND) { uitest::waitForShot(folder, L"save_question"); })
        .press(IDCANCEL);
    ASSERT_TRUE(driver.runCommand(main.window, CMD_CLOSE));

    driver.expectDialog(IDD_LOGIN)
        .type(IDC_USER_PSEUDO, L"Paul")
        .type(IDC_USER_PASSWORD, L"paul")
        .click(IDOK);
    ASSERT_TRUE(driver.runCommand(main.window, CMD_CHANGE_USER));
    driver.expectMessageBox().then([&](HWND) { uitest::waitForShot(folder, L"not_allowed"); }).press(IDOK);
    ASSERT_TRUE(driver.runCommand(main.window, CMD_LIST_USERS));

    doc.isModified = 0;
    DestroyWindow(main.window);
    uitest::pumpMessagesUntil([] { return true; }, 0ms);
    documentDestroy(doc);
    setGuiResources(nullptr);
}

} // namespace
} // namespace kolvane::win
