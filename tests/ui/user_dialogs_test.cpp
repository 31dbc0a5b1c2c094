// The four dialogs of the users as a user meets them: what they show, a
// refusal with its message and the field that gets the focus, and what
// they store.
#include "users/user_dialogs.h"

#include "document/passwords.h"
#include "document/text.h"
#include "resources/resource_ids.h"
#include "win/window_text.h"
#include "tests/core/family_sample.h"
#include "tests/ui/dialog_driver.h"
#include "users/user_rules.h"

#include <commctrl.h>

#include <gtest/gtest.h>

namespace kolvane {
namespace {

using uitest::DialogDriver;

// Checks that `id` has the keyboard focus.
std::function<void(HWND)> focusOn(int id) {
    return [id](HWND dialog) {
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, id)) << "focus expected on " << id;
    };
}

class UserDialogsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        documentInit(doc);
        marie = sample::addUser(doc, "Marie", "secret", 1, 0);
        paul = sample::addUser(doc, "Paul", "paul", 4, kUserLimited);
        refused = sample::addUser(doc, "Zoé", "zoe", 7, kUserRefused);
        doc.currentUser = marie;
        doc.isOpen = 1;
    }
    void TearDown() override { documentClose(doc); }

    Document doc;
    UserRecord* marie = nullptr;
    UserRecord* paul = nullptr;
    UserRecord* refused = nullptr;
};

// --- Login -------------------------------------------------------------------------

TEST_F(UserDialogsTest, LoginRefusalWithItsFocusThenTheUserAndAnnuler) {
    DialogDriver driver;
    driver.expectDialog(IDD_LOGIN).type(IDC_USER_PSEUDO, L"Marie").click(IDOK);
    driver.expectMessageBox(L" Saisissez votre mot de passe .   ").click(IDOK);
    driver.expectDialog(IDD_LOGIN)
        .then(focusOn(IDC_USER_PASSWORD))
        .type(IDC_USER_PASSWORD, L"secretXYZabcdefgh") // 15 at most
        .expectText(IDC_USER_PASSWORD, L"secretXYZabcdef")
        .type(IDC_USER_PASSWORD, L"secret")
        .click(IDOK);
    win::DialogEnd result = win::DialogEnd::NotShown;
    doc.currentUser = paul;
    ASSERT_TRUE(driver.run([&] { result = runLogin(doc, nullptr); }));
    EXPECT_EQ(result, win::DialogEnd::Confirmed);
    EXPECT_EQ(doc.currentUser, marie);

    // "Annuler" leaves the current user.
    driver.expectDialog(IDD_LOGIN).type(IDC_USER_PSEUDO, L"Paul").click(IDCANCEL);
    ASSERT_TRUE(driver.run([&] { result = runLogin(doc, nullptr); }));
    EXPECT_EQ(result, win::DialogEnd::Cancelled);
    EXPECT_EQ(doc.currentUser, marie);
}

// --- Identity ----------------------------------------------------------------------

TEST_F(UserDialogsTest, IdentityShowsTheUserRefusesATakenNameAndStoresTheRole) {
    DialogDriver driver;
    driver.expectDialog(IDD_USER_IDENTITY)
        .expectText(IDC_USER_PSEUDO, L"Paul")
        .expectChecked(IDC_USER_LIMITED)
        .type(IDC_USER_PSEUDO, L"Marie")
        .click(IDOK);
    driver.expectMessageBox(L" Ce nom utilisateur existe déjà . \n Saisissez un autre. ")
        .click(IDOK);
    driver.expectDialog(IDD_USER_IDENTITY)
        .then(focusOn(IDC_USER_PSEUDO))
        .type(IDC_USER_PSEUDO, L"Paul Durand")
        .check(IDC_USER_ADMINISTRATOR)
        .click(IDOK);
    win::DialogEnd result = win::DialogEnd::NotShown;
    ASSERT_TRUE(driver.run([&] { result = runUserIdentity(doc, {paul}, nullptr); }));
    EXPECT_EQ(result, win::DialogEnd::Confirmed);
    EXPECT_STREQ(paul->name, "Paul Durand");
    EXPECT_EQ(paul->flags, 0u);
}

// --- Password ----------------------------------------------------------------------

TEST_F(UserDialogsTest, PasswordRefusalAndTheStoredPassword) {
    DialogDriver driver;
    driver.expectDialog(IDD_PASSWORD)
        .then([](HWND dialog) { EXPECT_EQ(win::windowText(dialog), L"Modifier mot de passe"); })
        .expectText(IDC_USER_PSEUDO, L"Paul")
        .type(IDC_USER_PASSWORD, L"nouveau")
        .type(IDC_USER_CONFIRMATION, L"Nouveau")
        .click(IDOK);
    driver.expectMessageBox(L" Reconfirmez votre mot de passe . ").click(IDOK);
    driver.expectDialog(IDD_PASSWORD)
        .then(focusOn(IDC_USER_CONFIRMATION))
        .type(IDC_USER_CONFIRMATION, L"nouveau")
        .click(IDOK);
    win::DialogEnd result = win::DialogEnd::NotShown;
    ASSERT_TRUE(driver.run([&] {
        result = runPasswordDialog(doc, {paul, "Modifier mot de passe"}, nullptr);
    }));
    EXPECT_EQ(result, win::DialogEnd::Confirmed);
    EXPECT_EQ(checkPassword("nouveau", paul->password, paul->passwordKey), 1);
}

// --- User list ---------------------------------------------------------------------

// Which user may be refused is the core's rule; here, the rows, the button
// that follows the selection, the refusal's message and the toggled column.
TEST_F(UserDialogsTest, UserListShowsEveryUserAndSupprimerTogglesTheSelectedOne) {
    DialogDriver driver;
    driver.expectDialog(IDD_USER_LIST)
        .then([](HWND dialog) {
            HWND list = GetDlgItem(dialog, IDC_LIST_VIEW);
            ASSERT_EQ(ListView_GetItemCount(list), 3);
            EXPECT_EQ(uitest::listCell(list, 2, 0), L"Zoé");
            EXPECT_EQ(uitest::listCell(list, 2, 2), L"supprimé");
        })
        .expectEnabled(IDC_DELETE_BUTTON, false)
        .clickListViewRow(IDC_LIST_VIEW, 0)
        .click(IDC_DELETE_BUTTON);
    driver
        .expectMessageBox(L"'Marie' est l'utilisateur courant. \nVous ne pouvez pas le supprimer.")
        .click(IDOK);
    driver.expectDialog(IDD_USER_LIST)
        .then(focusOn(IDC_LIST_VIEW))
        .clickListViewRow(IDC_LIST_VIEW, 2)
        .click(IDC_DELETE_BUTTON)
        .then([](HWND dialog) {
            EXPECT_EQ(uitest::listCell(GetDlgItem(dialog, IDC_LIST_VIEW), 2, 2), L"");
        })
        .click(IDCANCEL);
    win::EditorResult result;
    ASSERT_TRUE(driver.run([&] { result = runUserList(doc, nullptr); }));
    EXPECT_EQ(result.end, win::EditorEnd::Closed);
    EXPECT_TRUE(result.out.changed);
    EXPECT_EQ(refused->flags, 0u); // Zoé may log in again
}

} // namespace
} // namespace kolvane
