#include "users/user_rules.h"

#include "document/passwords.h"
#include "document/text.h"
#include "family_sample.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

class UserRules : public ::testing::Test {
  protected:
    void SetUp() override {
        documentInit(doc);
        marie = sample::addUser(doc, "Marie", "secret", 1, 0);
        paul = sample::addUser(doc, "Paul", "motdepasse", 5, kUserLimited);
        doc.currentUser = marie;
    }

    Document doc;
    UserRecord* marie = nullptr;
    UserRecord* paul = nullptr;
};

// --- Login -------------------------------------------------------------------------

TEST_F(UserRules, LoginRefusalsComeInTheirOrderWithTheirFocus) {
    const struct {
        const char* pseudo;
        const char* password;
        const char* text;
        RefusalField field;
    } cases[] = {
        {"", "", " Saisissez votre pseudo .   ", RefusalField::Pseudo},
        // The empty password is told before the unknown pseudo.
        {"Inconnu", "", " Saisissez votre mot de passe .   ", RefusalField::Password},
        {"Inconnu", "secret", " Votre pseudo n'existe pas !   ", RefusalField::Pseudo},
        {"marie", "secret", " Votre pseudo n'existe pas !   ", RefusalField::Pseudo},
        {"Marie", "Secret", " Mot de passe érroné !   ", RefusalField::Password},
    };
    for (const auto& c : cases) {
        const LoginDecision d = decideLogin(doc, c.pseudo, c.password);
        EXPECT_EQ(refusalText(d.refusal), c.text) << c.pseudo << "/" << c.password;
        EXPECT_EQ(d.refusal.field, c.field) << c.pseudo << "/" << c.password;
        EXPECT_EQ(d.user, nullptr);
    }
    const LoginDecision d = decideLogin(doc, "Marie", "secret");
    EXPECT_FALSE(d.refusal);
    EXPECT_EQ(d.user, marie);
}

TEST_F(UserRules, RefusedUserIsToldSoOnlyAfterPseudoAndPasswordWereRight) {
    setAccess(*paul, false);
    LoginDecision d = decideLogin(doc, "Paul", "faux");
    EXPECT_EQ(refusalText(d.refusal), " Mot de passe érroné !   ");
    d = decideLogin(doc, "Paul", "motdepasse");
    EXPECT_EQ(refusalText(d.refusal), "Accès non autorisé. Renseignez-vous à un administrateur");
    EXPECT_EQ(d.refusal.field, RefusalField::Pseudo);
    EXPECT_EQ(d.user, nullptr);
}

TEST_F(UserRules, OnlyTheSoleUserOfAFileWithoutPasswordLogsInWithAnEmptyOne) {
    applyPassword(*paul, ""); // two users: an empty password is refused even for him
    EXPECT_EQ(refusalText(decideLogin(doc, "Paul", "").refusal),
              " Saisissez votre mot de passe .   ");
    doc.users.remove(marie);
    EXPECT_EQ(decideLogin(doc, "Paul", "").user, paul);
    EXPECT_EQ(refusalText(decideLogin(doc, "Paul", "x").refusal), " Mot de passe érroné !   ");
    EXPECT_EQ(refusalText(decideLogin(doc, "Pierre", "").refusal),
              " Saisissez votre mot de passe .   ");
}

TEST_F(UserRules, LongPasswordsAreCutTo15WhenSetAndWhenTyped) {
    applyPassword(*marie, "abcdefghijklmnopqrst"); // 20 characters, 15 kept
    EXPECT_EQ(decideLogin(doc, "Marie", "abcdefghijklmnoXYZ").user, marie);
    EXPECT_EQ(refusalText(decideLogin(doc, "Marie", "abcdefghijklmn").refusal),
              " Mot de passe érroné !   ");
}

// --- Identity ----------------------------------------------------------------------

TEST_F(UserRules, IdentityRefusesAnEmptyNameAndAnotherUsersName) {
    UserRecord newcomer{};
    IdentityDecision d = decideIdentity(doc, newcomer, "", false);
    EXPECT_EQ(refusalText(d.refusal), " Saisissez le nom de l'utilisateur .  ");
    EXPECT_EQ(d.refusal.field, RefusalField::Pseudo);

    for (UserRecord* edited : {&newcomer, marie}) {
        d = decideIdentity(doc, *edited, "Paul", false);
        EXPECT_EQ(refusalText(d.refusal),
                  " Ce nom utilisateur existe déjà . \n Saisissez un autre. ");
        EXPECT_EQ(d.refusal.field, RefusalField::Pseudo);
    }
    // One's own name may be kept; another spelling is another name.
    d = decideIdentity(doc, *marie, "Marie", false);
    EXPECT_FALSE(d.refusal);
    EXPECT_EQ(d.name, "Marie");
    EXPECT_FALSE(decideIdentity(doc, newcomer, "marie", false).refusal);
    EXPECT_EQ(decideIdentity(doc, newcomer, "Léa", true).flags, kUserLimited);
}

TEST_F(UserRules, TheLastAdministratorCannotBeMadeLimitedOrRefused) {
    // Marie is the only administrator: limited, she would leave nobody in charge.
    IdentityDecision d = decideIdentity(doc, *marie, "Marie", true);
    EXPECT_EQ(refusalText(d.refusal).rfind(" Le fichier doit garder au moins un "
                                           "administrateur . ",
                                           0),
              0u);
    EXPECT_EQ(d.refusal.field, RefusalField::Role);
    EXPECT_EQ(decideIdentity(doc, *paul, "Paul", false).flags, 0u); // a second one is welcome
    doc.currentUser = paul;
    EXPECT_FALSE(toggleUserAccess(doc, *marie).toggled);
    EXPECT_TRUE(mayLogIn(marie->flags));
    // With a second administrator who may log in, either may step down.
    paul->flags = 0;
    EXPECT_FALSE(decideIdentity(doc, *marie, "Marie", true).refusal);
    EXPECT_TRUE(toggleUserAccess(doc, *marie).toggled);
    // Marie, refused now, no longer counts: Paul stays in charge.
    EXPECT_TRUE(decideIdentity(doc, *paul, "Paul", true).refusal);
}

// --- Password ----------------------------------------------------------------------

TEST_F(UserRules, PasswordRefusalsAndTheirFocus) {
    Refusal r = decidePassword("", "abc");
    EXPECT_EQ(refusalText(r), " Saisissez votre mot de passe . ");
    EXPECT_EQ(r.field, RefusalField::Password);
    r = decidePassword("abc", "");
    EXPECT_EQ(refusalText(r), " Confirmez votre mot de passe . ");
    EXPECT_EQ(r.field, RefusalField::Confirmation);
    r = decidePassword("abc", "abC");
    EXPECT_EQ(refusalText(r), " Reconfirmez votre mot de passe . ");
    EXPECT_EQ(r.field, RefusalField::Confirmation);
    EXPECT_FALSE(decidePassword("abc", "abc"));
    // Only the first 15 characters of each field are read.
    EXPECT_FALSE(decidePassword("123456789012345AAA", "123456789012345BBB"));
}

// --- User list ---------------------------------------------------------------------

TEST_F(UserRules, OnlyOtherUsersAccessTogglesBackAndForth) {
    AccessToggle t = toggleUserAccess(doc, *marie);
    EXPECT_FALSE(t.toggled);
    EXPECT_EQ(refusalText(t.refusal),
              "'Marie' est l'utilisateur courant. \nVous ne pouvez pas le supprimer.");
    EXPECT_EQ(marie->flags, 0u);

    t = toggleUserAccess(doc, *paul);
    EXPECT_TRUE(t.toggled);
    EXPECT_FALSE(t.refusal);
    EXPECT_EQ(paul->flags, 0xC0000000u);
    const UserRows rows(doc);
    auto cell = [&](int row, int column) { return cp1252ToUtf8(rows.cellText(row, column)); };
    EXPECT_EQ(rows.user(1), paul);
    EXPECT_EQ(cell(1, 0), "Paul");
    EXPECT_EQ(cell(1, 1), "Utilisateur");
    EXPECT_EQ(cell(1, 2), "supprimé");
    toggleUserAccess(doc, *paul);
    EXPECT_EQ(paul->flags, 0x80000000u);
    EXPECT_EQ(cell(1, 2), "");
    EXPECT_EQ(rows.rowCount(), 2); // nobody is ever removed
    marie->flags = kUserRefused;
    EXPECT_EQ(cell(0, 1), "Administrateur");
    EXPECT_EQ(cell(0, 2), "supprimé");
    EXPECT_EQ(cell(2, 0), "");
    EXPECT_EQ(rows.user(2), nullptr);
}

TEST_F(UserRules, NewUserIdIsOneMoreThanTheLargestNotTheCount) {
    EXPECT_EQ(nextUserId(doc), 6u); // ids 1 and 5
    documentClose(doc);
    EXPECT_EQ(nextUserId(doc), 1u);
}

} // namespace
} // namespace kolvane
