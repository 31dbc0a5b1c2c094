// The four dialogs of the users as a user meets them: what they show, each
// refusal with its exact message and the field that gets the focus, and what
// they store.
#include "users/user_dialogs.h"

#include "document/passwords.h"
#include "document/text.h"
#include "resources/resource_ids.h"
#include "shell/window_text_win32.h"
#include "tests/ui/dialog_driver.h"
#include "users/user_rules.h"

#include <commctrl.h>

#include <gtest/gtest.h>

namespace kolvane {
namespace {

using uitest::DialogDriver;

const wchar_t* const kNotAllowed =
    L"Vous n'êtes pas autorisés à utiliser cette fonction. \nAdressez-vous à un administrateur.";

// Checks that `id` has the keyboard focus.
std::function<void(HWND)> focusOn(int id) {
    return [id](HWND dialog) {
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, id)) << "focus expected on " << id;
    };
}

std::wstring cellText(HWND list, int row, int column) {
    wchar_t text[80] = {};
    ListView_GetItemText(list, row, column, text, 80);
    return text;
}

class UserDialogsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        documentInit(doc);
        marie = addUser("Marie", "secret", 1, 0);
        paul = addUser("Paul", "paul", 4, kUserLimited);
        refused = addUser("Zoé", "zoe", 7, kUserRefused);
        doc.currentUser = marie;
        doc.isOpen = 1;
    }
    void TearDown() override { documentClose(doc); }

    UserRecord* addUser(const char* name, const char* password, std::uint32_t id,
                        std::uint32_t flags) {
        UserRecord user{};
        setFieldUtf8(user.name, name);
        storePassword(user, password);
        user.id = id;
        user.flags = flags;
        return doc.users.append(user);
    }

    Document doc;
    UserRecord* marie = nullptr;
    UserRecord* paul = nullptr;
    UserRecord* refused = nullptr;
};

// --- Login -------------------------------------------------------------------------

TEST_F(UserDialogsTest, LoginRefusalsInTheirOrderWithTheirFocus) {
    DialogDriver driver;
    driver.expectDialog(IDD_LOGIN)
        .then([](HWND dialog) {
            EXPECT_EQ(win::windowText(dialog), L"Identifiez-vous");
            EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_USER_PASSWORD, EM_GETPASSWORDCHAR, 0, 0),
                      L'+');
        })
        .then(focusOn(IDC_USER_PSEUDO))
        .click(IDOK);
    driver.expectMessageBox(L" Saisissez votre pseudo .   ").press(IDOK);
    driver.expectDialog(IDD_LOGIN)
        .then(focusOn(IDC_USER_PSEUDO))
        .type(IDC_USER_PSEUDO, L"marie")
        .click(IDOK);
    driver.expectMessageBox(L" Saisissez votre mot de passe .   ").press(IDOK);
    driver.expectDialog(IDD_LOGIN)
        .then(focusOn(IDC_USER_PASSWORD))
        .type(IDC_USER_PASSWORD, L"secret")
        .click(IDOK);
    // The pseudo is compared with its capitals.
    driver.expectMessageBox(L" Votre pseudo n'existe pas !   ").press(IDOK);
    driver.expectDialog(IDD_LOGIN)
        .then(focusOn(IDC_USER_PSEUDO))
        .type(IDC_USER_PSEUDO, L"Marie")
        .type(IDC_USER_PASSWORD, L"Secret")
        .click(IDOK);
    driver.expectMessageBox(L" Mot de passe érroné !   ").press(IDOK);
    driver.expectDialog(IDD_LOGIN)
        .then(focusOn(IDC_USER_PASSWORD))
        .type(IDC_USER_PASSWORD, L"secret")
        .click(IDOK);
    int result = -1;
    doc.currentUser = paul;
    ASSERT_TRUE(driver.run([&] { result = runLogin(doc, nullptr); }));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(doc.currentUser, marie);
}

TEST_F(UserDialogsTest, RefusedUserIsToldOnlyOnceItsPasswordWasRight) {
    DialogDriver driver;
    driver.expectDialog(IDD_LOGIN)
        .type(IDC_USER_PSEUDO, L"Zoé")
        .type(IDC_USER_PASSWORD, L"faux")
        .click(IDOK);
    driver.expectMessageBox(L" Mot de passe érroné !   ").press(IDOK);
    driver.expectDialog(IDD_LOGIN).type(IDC_USER_PASSWORD, L"zoe").click(IDOK);
    driver.expectMessageBox(L"Accès non autorisé. Renseignez-vous à un administrateur").press(IDOK);
    driver.expectDialog(IDD_LOGIN).then(focusOn(IDC_USER_PSEUDO)).click(IDCANCEL);
    int result = -1;
    ASSERT_TRUE(driver.run([&] { result = runLogin(doc, nullptr); }));
    EXPECT_EQ(result, 0);
    EXPECT_EQ(doc.currentUser, marie); // unchanged by a cancelled login
}

TEST_F(UserDialogsTest, LoginFieldsTakeAtMost58And15Characters) {
    applyPassword(*paul, "abcdefghijklmnopqrst"); // kept as its first 15 characters
    DialogDriver driver;
    driver.expectDialog(IDD_LOGIN)
        .type(IDC_USER_PSEUDO, std::wstring(70, L'p'))
        .expectText(IDC_USER_PSEUDO, std::wstring(58, L'p'))
        .type(IDC_USER_PSEUDO, L"Paul")
        .type(IDC_USER_PASSWORD, L"abcdefghijklmnoXYZ")
        .expectText(IDC_USER_PASSWORD, L"abcdefghijklmno")
        .click(IDOK);
    int result = -1;
    ASSERT_TRUE(driver.run([&] { result = runLogin(doc, nullptr); }));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(doc.currentUser, paul);
}

TEST_F(UserDialogsTest, CloseBoxCancelsTheLogin) {
    DialogDriver driver;
    driver.expectDialog(IDD_LOGIN).type(IDC_USER_PSEUDO, L"Paul").closeBox();
    int result = -1;
    ASSERT_TRUE(driver.run([&] { result = runLogin(doc, nullptr); }));
    EXPECT_EQ(result, 0);
}

// --- Identity ----------------------------------------------------------------------

TEST_F(UserDialogsTest, IdentityShowsTheUserAndRefusesAnEmptyOrTakenName) {
    DialogDriver driver;
    driver.expectDialog(IDD_USER_IDENTITY)
        .then([](HWND dialog) { EXPECT_EQ(win::windowText(dialog), L"Nouvel utilisateur"); })
        .expectText(IDC_USER_PSEUDO, L"Paul")
        .expectChecked(IDC_USER_LIMITED)
        .expectChecked(IDC_USER_ADMINISTRATOR, false)
        .click(IDOK);
    // Keeping one's own name is refused too.
    driver.expectMessageBox(L" Ce nom utilisateur existe déjà . \n Saisissez un autre. ")
        .press(IDOK);
    driver.expectDialog(IDD_USER_IDENTITY)
        .then(focusOn(IDC_USER_PSEUDO))
        .setText(IDC_USER_PSEUDO, L"")
        .click(IDOK);
    driver.expectMessageBox(L" Saisissez le nom de l'utilisateur .  ").press(IDOK);
    driver.expectDialog(IDD_USER_IDENTITY)
        .then(focusOn(IDC_USER_PSEUDO))
        .type(IDC_USER_PSEUDO, L"Paul Durand")
        .tickRadio(IDC_USER_ADMINISTRATOR)
        .click(IDOK);
    int result = -1;
    ASSERT_TRUE(driver.run([&] { result = runUserIdentity(doc, paul, nullptr); }));
    EXPECT_EQ(result, 1);
    EXPECT_STREQ(paul->name, "Paul Durand");
    EXPECT_EQ(paul->flags, 0u);
}

TEST_F(UserDialogsTest, IdentityOfANewUserAsLimitedAndItsNameLimit) {
    UserRecord fresh{};
    DialogDriver driver;
    driver.expectDialog(IDD_USER_IDENTITY)
        .expectText(IDC_USER_PSEUDO, L"")
        .expectChecked(IDC_USER_ADMINISTRATOR)
        .type(IDC_USER_PSEUDO, std::wstring(45, L'n'))
        .expectText(IDC_USER_PSEUDO, std::wstring(39, L'n'))
        .type(IDC_USER_PSEUDO, L"Léa")
        .tickRadio(IDC_USER_LIMITED)
        .click(IDOK);
    int result = -1;
    ASSERT_TRUE(driver.run([&] { result = runUserIdentity(doc, &fresh, nullptr); }));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(cp1252ToUtf8(fieldText(fresh.name)), "Léa");
    EXPECT_EQ(fresh.flags, 0x80000000u);
}

TEST_F(UserDialogsTest, CancelledIdentityLeavesTheUserAlone) {
    DialogDriver driver;
    driver.expectDialog(IDD_USER_IDENTITY)
        .type(IDC_USER_PSEUDO, L"Autre")
        .tickRadio(IDC_USER_LIMITED)
        .click(IDCANCEL);
    int result = -1;
    ASSERT_TRUE(driver.run([&] { result = runUserIdentity(doc, nullptr, nullptr); }));
    EXPECT_EQ(result, 0);
    EXPECT_STREQ(marie->name, "Marie");
    EXPECT_EQ(marie->flags, 0u);
}

// --- Password ----------------------------------------------------------------------

TEST_F(UserDialogsTest, PasswordRefusalsAndTheStoredPassword) {
    DialogDriver driver;
    driver.expectDialog(IDD_PASSWORD)
        .then([](HWND dialog) { EXPECT_EQ(win::windowText(dialog), L"Modifier mot de passe"); })
        .expectText(IDC_USER_PSEUDO, L"Paul")
        .then(focusOn(IDC_USER_PASSWORD))
        .click(IDOK);
    driver.expectMessageBox(L" Saisissez votre mot de passe . ").press(IDOK);
    driver.expectDialog(IDD_PASSWORD)
        .then(focusOn(IDC_USER_PASSWORD))
        .type(IDC_USER_PASSWORD, L"nouveau")
        .click(IDOK);
    driver.expectMessageBox(L" Confirmez votre mot de passe . ").press(IDOK);
    driver.expectDialog(IDD_PASSWORD)
        .then(focusOn(IDC_USER_CONFIRMATION))
        .type(IDC_USER_CONFIRMATION, L"Nouveau")
        .click(IDOK);
    driver.expectMessageBox(L" Reconfirmez votre mot de passe . ").press(IDOK);
    driver.expectDialog(IDD_PASSWORD)
        .then(focusOn(IDC_USER_CONFIRMATION))
        .type(IDC_USER_CONFIRMATION, L"nouveau")
        .click(IDOK);
    int result = -1;
    ASSERT_TRUE(driver.run(
        [&] { result = runPasswordDialog(doc, paul, "Modifier mot de passe", nullptr); }));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(checkPassword("nouveau", paul->password, paul->passwordKey), 1);
    EXPECT_EQ(checkPassword("paul", paul->password, paul->passwordKey), 0);
}

TEST_F(UserDialogsTest, PasswordDialogKeepsItsCaptionWithoutTitleAndCancelStoresNothing) {
    const std::string before(marie->password, sizeof marie->password);
    DialogDriver driver;
    driver.expectDialog(IDD_PASSWORD)
        .then([](HWND dialog) {
            EXPECT_EQ(win::windowText(dialog), L"Nouvel utilisateur");
            EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_USER_CONFIRMATION, EM_GETPASSWORDCHAR, 0, 0),
                      L'+');
        })
        .expectText(IDC_USER_PSEUDO, L"Marie")
        .type(IDC_USER_PASSWORD, L"autre")
        .type(IDC_USER_CONFIRMATION, L"autre")
        .click(IDCANCEL);
    int result = -1;
    ASSERT_TRUE(driver.run([&] { result = runPasswordDialog(doc, nullptr, "", nullptr); }));
    EXPECT_EQ(result, 0);
    EXPECT_EQ(std::string(marie->password, sizeof marie->password), before);
}

// --- User list ---------------------------------------------------------------------

TEST_F(UserDialogsTest, UserListShowsEveryUserWithItsRoleAndMask) {
    DialogDriver driver;
    driver.expectDialog(IDD_USER_LIST)
        .then([](HWND dialog) {
            EXPECT_EQ(win::windowText(dialog), L"Liste des utilisateurs");
            HWND list = GetDlgItem(dialog, IDC_LIST_VIEW);
            ASSERT_EQ(ListView_GetItemCount(list), 3);
            EXPECT_EQ(cellText(list, 0, 0), L"Marie");
            EXPECT_EQ(cellText(list, 0, 1), L"Administrateur");
            EXPECT_EQ(cellText(list, 0, 2), L"");
            EXPECT_EQ(cellText(list, 1, 0), L"Paul");
            EXPECT_EQ(cellText(list, 1, 1), L"Utilisateur");
            EXPECT_EQ(cellText(list, 2, 0), L"Zoé");
            EXPECT_EQ(cellText(list, 2, 2), L"supprimé");
            EXPECT_EQ(ListView_GetTextColor(list), RGB(0, 0, 240));
            EXPECT_TRUE(ListView_GetExtendedListViewStyle(list) & LVS_EX_GRIDLINES);
            EXPECT_TRUE(ListView_GetExtendedListViewStyle(list) & LVS_EX_FULLROWSELECT);
            RECT client{};
            GetClientRect(list, &client);
            for (int column = 0; column < 3; ++column)
                EXPECT_EQ(ListView_GetColumnWidth(list, column), client.right / 3);
        })
        .expectEnabled(IDC_DELETE_BUTTON, false)
        .click(IDCANCEL);
    int result = -1;
    ASSERT_TRUE(driver.run([&] { result = runUserList(doc, nullptr); }));
    EXPECT_EQ(result, 0);
}

TEST_F(UserDialogsTest, CurrentUserCannotBeRemovedAndOthersToggle) {
    DialogDriver driver;
    driver.expectDialog(IDD_USER_LIST)
        .clickListViewRow(IDC_LIST_VIEW, 0)
        .expectEnabled(IDC_DELETE_BUTTON)
        .click(IDC_DELETE_BUTTON);
    driver
        .expectMessageBox(L"'Marie' est l'utilisateur courant. \nVous ne pouvez pas le supprimer.")
        .press(IDOK);
    driver.expectDialog(IDD_USER_LIST)
        .then(focusOn(IDC_LIST_VIEW))
        .clickListViewRow(IDC_LIST_VIEW, 1)
        .click(IDC_DELETE_BUTTON)
        .expectEnabled(IDC_DELETE_BUTTON, false)
        .then([](HWND dialog) {
            EXPECT_EQ(cellText(GetDlgItem(dialog, IDC_LIST_VIEW), 1, 2), L"supprimé");
        })
        .clickListViewRow(IDC_LIST_VIEW, 1)
        .click(IDC_DELETE_BUTTON)
        .then(
            [](HWND dialog) { EXPECT_EQ(cellText(GetDlgItem(dialog, IDC_LIST_VIEW), 1, 2), L""); })
        .clickListViewRow(IDC_LIST_VIEW, 2)
        .click(IDC_DELETE_BUTTON)
        .click(IDCANCEL);
    int result = -1;
    ASSERT_TRUE(driver.run([&] { result = runUserList(doc, nullptr); }));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(marie->flags, 0u);
    EXPECT_EQ(paul->flags, 0x80000000u); // refused, then back
    EXPECT_EQ(refused->flags, 0u);       // Zoé may log in again
    EXPECT_EQ(doc.users.count(), 3);
}

TEST_F(UserDialogsTest, ClickOnEmptySpaceDisablesSupprimer) {
    DialogDriver driver;
    driver.expectDialog(IDD_USER_LIST)
        .clickListViewRow(IDC_LIST_VIEW, 1)
        .expectEnabled(IDC_DELETE_BUTTON)
        .then([](HWND dialog) {
            NMITEMACTIVATE click{};
            click.hdr.hwndFrom = GetDlgItem(dialog, IDC_LIST_VIEW);
            click.hdr.idFrom = IDC_LIST_VIEW;
            click.hdr.code = NM_CLICK;
            click.iItem = -1;
            SendMessageW(dialog, WM_NOTIFY, IDC_LIST_VIEW, reinterpret_cast<LPARAM>(&click));
        })
        .expectEnabled(IDC_DELETE_BUTTON, false)
        .closeBox();
    int result = -1;
    ASSERT_TRUE(driver.run([&] { result = runUserList(doc, nullptr); }));
    EXPECT_EQ(result, 0);
    EXPECT_EQ(paul->flags, 0x80000000u);
}

// --- Rights ------------------------------------------------------------------------

TEST_F(UserDialogsTest, RequireAdministratorRefusesALimitedUser) {
    EXPECT_EQ(requireAdministrator(doc, nullptr), 1);
    doc.currentUser = paul;
    DialogDriver driver;
    driver.expectMessageBox(kNotAllowed).press(IDOK);
    int result = -1;
    ASSERT_TRUE(driver.run([&] { result = requireAdministrator(doc, nullptr); }));
    EXPECT_EQ(result, 0);
}

} // namespace
} // namespace kolvane
