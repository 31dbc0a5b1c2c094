#include "shell/document_commands.h"
#include "shell/menu_rules.h"

#include "document/account_file.h"
#include "document/passwords.h"
#include "document/text.h"
#include "family_sample.h"
#include "resources/resource_ids.h"
#include "shell_test_support.h"
#include "users/user_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace kolvane {
namespace {

using shelltest::Bytes;
using shelltest::MemoryFiles;
using Calls = std::vector<std::string>;

// Records each frame call; every decision is a std::function or a queue of answers.
class ScriptedUi : public ShellUi {
  public:
    Calls calls;
    std::deque<SaveAnswer> saveAnswers;
    std::deque<std::optional<std::string>> openPaths, savePaths;
    std::deque<int> welcomeResults; // the dialog's end codes, then 0: cancelled
    bool yesToQuestions = false;
    std::function<bool()> login = [] { return false; };
    std::function<bool(UserRecord*)> identity = [](UserRecord*) { return false; };
    std::function<bool(UserRecord*)> password = [](UserRecord*) { return false; };
    std::function<AccountDialogResult(bool)> accountDialog = [](bool) {
        return AccountDialogResult{};
    };
    bool userListChanges = false, editorChanges = false, thirdAdded = false;

    SaveAnswer askSaveChanges() override {
        return log("askSaveChanges"), take(saveAnswers, SaveAnswer::Cancel);
    }
    std::optional<std::string> chooseFileToOpen() override {
        return log("chooseFileToOpen"), take(openPaths, {});
    }
    std::optional<std::string> chooseFileToSave() override {
        return log("chooseFileToSave"), take(savePaths, {});
    }
    WelcomeResult runWelcome() override {
        return log("runWelcome"), welcomeResult(take(welcomeResults, 0));
    }
    void showMessage(std::string_view text) override { log("showMessage:" + std::string(text)); }
    bool askYesNo(std::string_view text) override {
        return log("askYesNo:" + std::string(text)), yesToQuestions;
    }
    bool runLogin() override { return log("runLogin"), login(); }
    bool runUserIdentity(UserRecord* u) override { return log("runUserIdentity"), identity(u); }
    bool runPasswordDialog(UserRecord* user, std::string_view title) override {
        return log("runPasswordDialog:" + std::string(title)), password(user);
    }
    bool runUserList() override { return log("runUserList"), userListChanges; }
    AccountDialogResult runAccountDialog(bool newFile) override {
        return log(newFile ? "runAccountDialog:new" : "runAccountDialog"), accountDialog(newFile);
    }
    bool runCategoryEditor() override { return log("runCategoryEditor"), editorChanges; }
    bool runLabelEditor() override { return log("runLabelEditor"), editorChanges; }
    bool runModeEditor() override { return log("runModeEditor"), editorChanges; }
    bool runThirdDialog() override { return log("runThirdDialog"), thirdAdded; }
    void showNotAllowed() override { log("showNotAllowed"); }
    void openViews() override { log("openViews"); }
    void closeViews() override { log("closeViews"); }
    void updateMenus() override { log("updateMenus"); }
    void updateTitle() override { log("updateTitle"); }
    void updateStatusBar() override { log("updateStatusBar"); }
    void buildAccountsMenu() override { log("buildAccountsMenu"); }
    void removeAccountItems() override { log("removeAccountItems"); }
    void redrawMenuBar() override { log("redrawMenuBar"); }
    void refreshOverview() override { log("refreshOverview"); }
    void refreshGraph() override { log("refreshGraph"); }
    void showTab(int index) override { log("showTab:" + std::to_string(index)); }
    void refreshRegister(int a) override { log("refreshRegister:" + std::to_string(a)); }
    void refreshThirdView(int a) override { log("refreshThirdView:" + std::to_string(a)); }
    void setAccountItemCheck(unsigned id, bool checked) override {
        log((checked ? "check:" : "uncheck:") + std::to_string(id));
    }
    void appendAccountItem(unsigned id, std::string_view text, bool checked) override {
        log("append:" + item(id, text, checked));
    }
    void replaceAccountItem(int position, unsigned id, std::string_view text,
                            bool checked) override {
        log("replace:" + std::to_string(position) + ":" + item(id, text, checked));
    }

  private:
    void log(std::string call) { calls.push_back(std::move(call)); }
    static std::string item(unsigned id, std::string_view text, bool checked) {
        return std::to_string(id) + ":" + std::string(text) + (checked ? ":checked" : "");
    }
    template <typename T> static T take(std::deque<T>& queue, T otherwise) {
        if (queue.empty())
            return otherwise;
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};

class DocumentCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        documentInit(doc);
        // The account dialog of a new file makes the first account current.
        ui.accountDialog = [this](bool newFile) {
            if (newFile) {
                EXPECT_TRUE(createAccount(doc, "Compte courant", 100.0));
            }
            return AccountDialogResult{AccountOutcome::Created, -1};
        };
    }

    // The family file (family_sample.h) saved on the memory disk.
    void writeSampleFile(const std::string& path) {
        Document sample;
        sample::buildFamily(sample);
        ASSERT_EQ(saveDocument(sample, path, files), 1);
    }

    // Logs in as the user whose name holds these bytes when asked.
    void loginAs(const char* name) {
        ui.login = [this, name] {
            for (UserRecord* user = doc.users.first(); user; user = doc.users.next(user))
                if (fieldText(user->name) == name)
                    return doc.currentUser = user, true;
            return false;
        };
    }

    void openSample(const char* user = "Marie") {
        writeSampleFile("C:\\Comptes\\famille.kvn");
        loginAs(user);
        ui.openPaths.push_back("C:\\Comptes\\famille.kvn");
        commands.openFile();
        ASSERT_EQ(doc.isOpen, 1u);
        ui.calls.clear();
    }

    // A new file, never saved, whose default user has no password yet.
    void openNewFile() {
        commands.newFile();
        ASSERT_EQ(doc.isOpen, 1u);
        ui.calls.clear();
    }

    Document doc;
    Settings settings;
    ScriptedUi ui;
    MemoryFiles files;
    DocumentCommands commands{doc, settings, ui, files};
    CommandRouter router = [this] {
        CommandRouter table(doc);
        commands.addCommands(table);
        return table;
    }();
};

// --- Opening and start-up --------------------------------------------------------------

TEST_F(DocumentCommandsTest, OpeningAsksForTheFileThenTheLoginThenShowsIt) {
    writeSampleFile("C:\\Comptes\\famille.kvn");
    const struct {
        std::optional<std::string> path;
        const char* user; // the login accepts only a user of the file
        Calls calls;
    } cases[] = {{std::nullopt, "Marie", {"chooseFileToOpen"}},
                 {"C:\\Comptes\\famille.kvn", "Personne", {"chooseFileToOpen", "runLogin"}},
                 {"C:\\Comptes\\famille.kvn",
                  "Marie",
                  {"chooseFileToOpen", "runLogin", "openViews", "updateMenus", "buildAccountsMenu",
                   "updateTitle", "updateStatusBar"}}};
    for (const auto& c : cases) {
        ui.calls.clear();
        loginAs(c.user);
        ui.openPaths.push_back(c.path);
        router.run(CMD_OPEN);
        EXPECT_EQ(ui.calls, c.calls);
        const bool opened = c.calls.size() > 2;
        EXPECT_EQ(doc.isOpen, opened ? 1u : 0u);
        EXPECT_EQ(doc.users.count() + doc.accounts.count(), opened ? 4 : 0); // nothing half-loaded
    }
    EXPECT_EQ(doc.isModified, 0u);
    EXPECT_EQ(settings.recentCount, 0); // opening does not add to the recent files
}

TEST_F(DocumentCommandsTest, RefusedFileIsNamedWithItsReasonAndNothingIsLoaded) {
    writeSampleFile("C:\\Comptes\\famille.kvn");
    Bytes cut = files.files["C:\\Comptes\\famille.kvn"];
    cut.pop_back();
    files.files["C:\\vide.kvn"] = {};
    files.files["C:\\notes.kvn"] = {'h', 'e', 'l', 'l', 'o'};
    files.files["C:\\coupe.kvn"] = cut;
    files.unreadable.insert("C:\\verrou.kvn");
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\vide.kvn", "Le fichier C:\\vide.kvn n'est pas un fichier compte Kolvane ou il est "
                         "endommagé (fichier vide)."},
        {"C:\\notes.kvn", "Le fichier C:\\notes.kvn n'est pas un fichier compte Kolvane ou il "
                          "est endommagé (en-tête inconnu)."},
        {"C:\\coupe.kvn", "Le fichier C:\\coupe.kvn n'est pas un fichier compte Kolvane ou il "
                          "est endommagé (fichier tronqué)."},
        {"C:\\verrou.kvn", "Le fichier C:\\verrou.kvn ne peut pas être ouvert (accès refusé)."},
        {"C:\\absent.kvn", "Le fichier C:\\absent.kvn est introuvable."}};
    for (const auto& [path, message] : cases) {
        ui.calls.clear();
        commands.openStartupFile(path);
        EXPECT_EQ(ui.calls, (Calls{std::string("showMessage:") + message}));
        EXPECT_EQ(doc.isOpen, 0u);
        EXPECT_EQ(doc.users.count() + doc.accounts.count() + doc.operations.count(), 0);
    }
}

TEST_F(DocumentCommandsTest, WelcomeEndCodesNameTheButtonAndTheRecentFile) {
    EXPECT_EQ(welcomeEndCode(WelcomeButton::Ok, -1), std::nullopt); // no selection: stays open
    EXPECT_EQ(welcomeEndCode(WelcomeButton::DoubleClick, 3), 13);
    EXPECT_EQ(welcomeEndCode(WelcomeButton::NewFile, 2), 1000);
    EXPECT_EQ(welcomeChoice(welcomeResult(13), 3).action, WelcomeChoice::Nothing); // 4th of 3
    EXPECT_EQ(welcomeResult(0).end, WelcomeEnd::Cancelled);
    EXPECT_EQ(welcomeResult(-1).end, WelcomeEnd::NotShown); // the dialog could not be made
    EXPECT_EQ(welcomeChoice(welcomeResult(-1), 3).action, WelcomeChoice::Nothing);
}

TEST_F(DocumentCommandsTest, WelcomeComesBackUntilAFileIsOpenAndOffersToForgetAMissingOne) {
    writeSampleFile("C:\\B.kvn");
    addRecentFile(settings, "C:\\B.kvn");
    addRecentFile(settings, "C:\\Disparu.kvn");
    addRecentFile(settings, "C:\\Autre.kvn");
    loginAs("Marie");
    ui.yesToQuestions = true;
    // Browse cancelled, then the missing second line, then the line that moved up.
    ui.welcomeResults = {1001, 11, 11};
    commands.showWelcome();
    EXPECT_EQ(ui.calls, (Calls{"runWelcome", "chooseFileToOpen", "runWelcome",
                               "askYesNo:Le fichier C:\\Disparu.kvn est introuvable.\nLe retirer "
                               "de la liste des fichiers récents ?",
                               "runWelcome", "runLogin", "openViews", "updateMenus",
                               "buildAccountsMenu", "updateTitle", "updateStatusBar"}));
    EXPECT_EQ(doc.filePath, "C:\\B.kvn");
    ASSERT_EQ(settings.recentCount, 2);
    EXPECT_EQ(settings.recentFiles[1], "C:\\B.kvn");

    // Kept in the list when the user says No; Annuler ends the welcome.
    ASSERT_TRUE(commands.closeFile());
    addRecentFile(settings, "C:\\Disparu.kvn");
    ui.yesToQuestions = false;
    ui.welcomeResults = {10};
    commands.showWelcome();
    EXPECT_EQ(settings.recentCount, 3);
    EXPECT_EQ(doc.isOpen, 0u);
}

// --- New file, closing and the save question ---------------------------------------------

TEST_F(DocumentCommandsTest, NewFileGetsItsDefaultsAndIsModified) {
    router.run(CMD_NEW_FILE);
    EXPECT_EQ(doc.isOpen, 1u);
    EXPECT_EQ(doc.isModified, 1u);
    EXPECT_TRUE(doc.filePath.empty());
    EXPECT_EQ(doc.accounts.count(), 1);
    EXPECT_EQ(cp1252ToUtf8(fieldText(doc.currentUser->name)), "Nouvel utilisateur");
    EXPECT_EQ(doc.modes.count(), 10);
    EXPECT_EQ(doc.categories.count(), 72);
    EXPECT_EQ(ui.calls, (Calls{"runAccountDialog:new", "openViews", "updateMenus",
                               "buildAccountsMenu", "updateTitle", "updateStatusBar"}));
}

TEST_F(DocumentCommandsTest, CancellingTheSaveQuestionKeepsTheModifiedFileAsItWas) {
    openSample();
    const std::function<void()> commandsAsking[] = {[&] { commands.openFile(); },
                                                    [&] { commands.newFile(); },
                                                    [&] { EXPECT_FALSE(commands.closeFile()); }};
    for (const auto& run : commandsAsking) {
        doc.isModified = 1;
        AccountRecord* current = doc.currentAccount;
        ui.calls.clear();
        ui.saveAnswers.push_back(SaveAnswer::Cancel);
        run();
        EXPECT_EQ(ui.calls, (Calls{"askSaveChanges"}));
        EXPECT_EQ(doc.isOpen, 1u);
        EXPECT_EQ(doc.isModified, 1u);
        EXPECT_EQ(doc.currentAccount, current);
        EXPECT_EQ(doc.filePath, "C:\\Comptes\\famille.kvn");
    }
}

TEST_F(DocumentCommandsTest, UnchangedFileClosesWithoutQuestion) {
    openSample();
    EXPECT_TRUE(commands.closeFile());
    EXPECT_EQ(ui.calls, (Calls{"closeViews", "removeAccountItems", "updateStatusBar", "updateMenus",
                               "updateTitle"}));
    EXPECT_EQ(doc.isOpen, 0u);
    EXPECT_EQ(doc.currentUser, nullptr);
    EXPECT_TRUE(doc.filePath.empty());
    // Without a file, closing and saving do nothing.
    ui.calls.clear();
    EXPECT_TRUE(commands.closeFile());
    commands.saveFile();
    commands.saveFileAs();
    EXPECT_TRUE(ui.calls.empty());
}

TEST_F(DocumentCommandsTest, SaveQuestionNoClosesWithoutSavingAndYesSavesFirst) {
    for (SaveAnswer answer : {SaveAnswer::No, SaveAnswer::Yes}) {
        openSample();
        EXPECT_TRUE(createAccount(doc, "Nouveau", 1.0));
        doc.isModified = 1;
        ui.saveAnswers.push_back(answer);
        EXPECT_TRUE(commands.closeFile());
        EXPECT_EQ(doc.isOpen, 0u);
        Document reloaded;
        documentInit(reloaded);
        ASSERT_EQ(loadDocument(reloaded, "C:\\Comptes\\famille.kvn", files), LoadStatus::Ok);
        EXPECT_EQ(reloaded.accounts.count(), answer == SaveAnswer::Yes ? 3 : 2);
    }
}

// --- Saving ----------------------------------------------------------------------------

TEST_F(DocumentCommandsTest, SaveClearsTheModifiedFlagOnlyWhenTheWriteSucceeded) {
    openSample();
    const Bytes before = files.files["C:\\Comptes\\famille.kvn"];
    doc.isModified = 1;
    // Each failing step is told with the system's words for it.
    const std::pair<FailStep, const char*> failures[] = {
        {FailStep::Create, "accès refusé"},         {FailStep::Write, "disque plein"},
        {FailStep::Flush, "erreur d'écriture"},     {FailStep::Close, "erreur à la fermeture"},
        {FailStep::KeepBackup, "copie impossible"}, {FailStep::Replace, "fichier verrouillé"}};
    for (const auto& [step, reason] : failures) {
        ui.calls.clear();
        files.failAt = step;
        EXPECT_FALSE(commands.saveFile());
        ASSERT_EQ(ui.calls.size(), 1u);
        EXPECT_NE(ui.calls[0].find(std::string(" enregistré (") + reason + ")."), std::string::npos)
            << ui.calls[0];
        EXPECT_EQ(doc.isModified, 1u);
        EXPECT_EQ(files.files["C:\\Comptes\\famille.kvn"], before);
        EXPECT_EQ(files.files.count("C:\\Comptes\\famille.kvn.tmp"), 0u);
    }
    ui.calls.clear();

    files.failAt = FailStep::None;
    router.run(CMD_SAVE);
    EXPECT_EQ(doc.isModified, 0u);
    EXPECT_FALSE(menuState(doc, kAccountsTab).saveButtonEnabled);
    EXPECT_EQ(ui.calls, (Calls{"updateMenus"}));
    EXPECT_EQ(settings.recentCount, 0);
}

TEST_F(DocumentCommandsTest, AlertsCommandFlipsTheFlagThatTheFileKeeps) {
    router.run(CMD_TOGGLE_ALERTS); // no file: nothing to change
    EXPECT_EQ(doc.alertsEnabled, 1u);
    EXPECT_TRUE(ui.calls.empty());

    openSample();
    router.run(CMD_TOGGLE_ALERTS);
    EXPECT_EQ(doc.alertsEnabled, 0u);
    EXPECT_EQ(doc.isModified, 1u);
    EXPECT_EQ(ui.calls, (Calls{"updateMenus"}));
    router.run(CMD_SAVE);
    EXPECT_EQ(files.files["C:\\Comptes\\famille.kvn"][8], 0); // the flag byte
    router.run(CMD_TOGGLE_ALERTS);
    EXPECT_EQ(doc.alertsEnabled, 1u);
}

TEST_F(DocumentCommandsTest, SaveOfANeverSavedFileActsAsSaveAs) {
    openNewFile();
    storePassword(*doc.currentUser, "mdp");
    ui.savePaths.push_back("C:\\Nouveau.kvn");
    commands.saveFile();
    EXPECT_EQ(ui.calls, (Calls{"chooseFileToSave", "updateMenus", "updateTitle"}));
    EXPECT_EQ(doc.filePath, "C:\\Nouveau.kvn");
    EXPECT_EQ(doc.isModified, 0u);
    EXPECT_EQ(files.files.count("C:\\Nouveau.kvn"), 1u);
    ASSERT_EQ(settings.recentCount, 1);
    EXPECT_EQ(settings.recentFiles[0], "C:\\Nouveau.kvn");
}

TEST_F(DocumentCommandsTest, AnyCancelledStepOfAFirstSaveWritesNothingAndKeepsTheUser) {
    openNewFile();
    const UserRecord before = *doc.currentUser;
    ui.identity = [](UserRecord* user) { return setFieldUtf8(user->name, "Marie"), true; };
    ui.password = [](UserRecord* user) { return storePassword(*user, "secret"), true; };
    const std::pair<std::function<void()>, Calls> cases[] = {
        {[&] { ui.identity = [](UserRecord*) { return false; }; }, {"runUserIdentity"}},
        {[&] {
             ui.identity = [](UserRecord* user) { return setFieldUtf8(user->name, "Marie"), true; };
             ui.password = [](UserRecord*) { return false; };
         },
         {"runUserIdentity", "runPasswordDialog:", "updateStatusBar"}},
        {[&] { ui.password = [](UserRecord* u) { return storePassword(*u, "secret"), true; }; },
         {"runUserIdentity", "runPasswordDialog:", "updateStatusBar", "chooseFileToSave",
          "updateStatusBar"}}};
    for (const auto& [answer, calls] : cases) {
        answer();
        ui.calls.clear();
        ui.savePaths.push_back(std::nullopt); // the last case cancels the file step
        EXPECT_FALSE(commands.saveFileAs());
        EXPECT_EQ(ui.calls, calls);
        EXPECT_TRUE(files.files.empty());
        EXPECT_EQ(doc.isModified, 1u);
        EXPECT_EQ(std::memcmp(doc.currentUser, &before, sizeof before), 0);
    }
    // The pseudo the identity step offers (the user's own) is accepted.
    EXPECT_FALSE(decideIdentity(doc, *doc.currentUser, "Nouvel utilisateur", false).refusal);
}

// --- Rights and users ------------------------------------------------------------------

TEST_F(DocumentCommandsTest, LimitedUserIsRefusedOnlyTheAdministratorCommands) {
    openSample("Paul");
    ui.editorChanges = ui.userListChanges = ui.thirdAdded = true;
    for (unsigned id : {1010u, 1021u, 1022u, 1023u, 1024u, 1027u}) {
        ui.calls.clear();
        router.run(id);
        EXPECT_EQ(ui.calls, (Calls{"showNotAllowed"})) << id;
    }
    EXPECT_EQ(doc.isModified, 0u);
    EXPECT_EQ(doc.users.count(), 2);
    ui.calls.clear();
    router.run(CMD_NEW_THIRD);
    EXPECT_EQ(ui.calls,
              (Calls{"runThirdDialog", "refreshRegister:0", "refreshThirdView:1", "updateMenus"}));
}

TEST_F(DocumentCommandsTest, NewUserOnAFileWhoseUserHasNoPasswordSaysWhy) {
    openNewFile();
    commands.newUser();
    ASSERT_EQ(ui.calls.size(), 1u);
    EXPECT_EQ(
        ui.calls[0].rfind("showMessage: L'utilisateur courant n'a pas encore de mot de passe", 0),
        0u);
    EXPECT_EQ(doc.users.count(), 1);
}

TEST_F(DocumentCommandsTest, ChangeUserAndPasswordRefreshOnlyOnSuccess) {
    openSample();
    ui.login = [] { return false; };
    commands.changeUser();
    EXPECT_EQ(ui.calls, (Calls{"runLogin"}));
    ui.calls.clear();
    loginAs("Paul");
    commands.changePassword(); // the password dialog cancelled: nothing changed
    EXPECT_EQ(doc.isModified, 0u);
    ui.calls.clear();
    UserRecord* asked = nullptr;
    ui.password = [&](UserRecord* user) { return asked = user, true; };
    router.run(CMD_CHANGE_PASSWORD);
    EXPECT_EQ(ui.calls, (Calls{"runLogin", "updateStatusBar",
                               "runPasswordDialog:Modifier mot de passe", "updateMenus"}));
    EXPECT_EQ(asked, doc.currentUser);
    EXPECT_EQ(doc.isModified, 1u);
    // The user list and editors mark the file modified only when they changed something.
    doc.currentUser = doc.users.first(); // back to the administrator
    doc.isModified = 0;
    commands.listUsers();
    commands.editCategories();
    EXPECT_EQ(doc.isModified, 0u);
    ui.userListChanges = true;
    commands.listUsers();
    EXPECT_EQ(doc.isModified, 1u);
    // The editors have marked the file themselves: the frame follows all the same.
    doc.isModified = 1;
    ui.editorChanges = true;
    ui.calls.clear();
    commands.editLabels();
    EXPECT_EQ(ui.calls,
              (Calls{"runLabelEditor", "updateMenus", "updateTitle", "refreshRegister:0"}));
    ui.calls.clear();
    router.run(CMD_EDIT_CATEGORIES);
    EXPECT_EQ(ui.calls, (Calls{"runCategoryEditor", "updateMenus", "updateTitle",
                               "refreshRegister:0", "refreshGraph"}));
    ui.calls.clear();
    router.run(CMD_EDIT_MODES); // the rows show the modes: they are refilled
    EXPECT_EQ(ui.calls,
              (Calls{"runModeEditor", "updateMenus", "updateTitle", "refreshRegister:1"}));
}

// --- Accounts --------------------------------------------------------------------------

TEST_F(DocumentCommandsTest, CreatedAccountIsAppendedCheckedAfterTheMaskedOnes) {
    openSample();                    // Courant (current), Livret
    doc.accounts.last()->active = 0; // a masked account keeps its number
    ui.accountDialog = [this](bool) {
        doc.currentAccount = createAccount(doc, "Vacances", 0.0);
        return AccountDialogResult{AccountOutcome::Created, -1};
    };
    router.run(CMD_EDIT_ACCOUNTS);
    EXPECT_EQ(ui.calls, (Calls{"runAccountDialog", "updateMenus", "uncheck:4000",
                               "append:4002:Vacances:checked", "refreshOverview",
                               "refreshRegister:1", "updateStatusBar"}));
    EXPECT_EQ(doc.isModified, 1u);
}

TEST_F(DocumentCommandsTest, CancelledDialogChangesNothingAChangedAccountReplacesItsItem) {
    openSample();
    ui.accountDialog = [](bool) { return AccountDialogResult{}; };
    commands.editAccounts();
    EXPECT_EQ(ui.calls, (Calls{"runAccountDialog"}));
    EXPECT_EQ(doc.isModified, 0u);
    ui.calls.clear();
    ui.accountDialog = [this](bool) {
        doc.currentAccount = accountAt(doc, 1, 1);
        setFieldUtf8(doc.currentAccount->name, "Livret A");
        return AccountDialogResult{AccountOutcome::Modified, -1};
    };
    commands.editAccounts();
    EXPECT_EQ(ui.calls, (Calls{"runAccountDialog", "updateMenus", "uncheck:4000",
                               "replace:3:4001:Livret A:checked", "redrawMenuBar",
                               "refreshOverview", "refreshRegister:1", "updateStatusBar"}));
}

TEST_F(DocumentCommandsTest, AccountToDeleteIsRemovedAndTheMenuRebuilt) {
    openSample();
    ui.accountDialog = [](bool) { return AccountDialogResult{AccountOutcome::MaskedOrDeleted, 1}; };
    commands.editAccounts();
    ASSERT_EQ(doc.accounts.count(), 1);
    EXPECT_EQ(cp1252ToUtf8(fieldText(doc.accounts.first()->name)), "Courant");
    EXPECT_EQ(ui.calls, (Calls{"runAccountDialog", "updateMenus", "uncheck:4000",
                               "removeAccountItems", "buildAccountsMenu", "redrawMenuBar",
                               "refreshOverview", "refreshRegister:1", "updateStatusBar"}));
    // Masking (no position) only rebuilds the menu.
    ui.accountDialog = [](bool) {
        return AccountDialogResult{AccountOutcome::MaskedOrDeleted, -1};
    };
    commands.editAccounts();
    EXPECT_EQ(doc.accounts.count(), 1);
}

TEST_F(DocumentCommandsTest, ChoosingAnAccountItemMakesItCurrent) {
    openSample();
    router.run(4001);
    EXPECT_EQ(doc.currentAccount, accountAt(doc, 1, 1));
    EXPECT_EQ(ui.calls, (Calls{"uncheck:4000", "check:4001", "refreshRegister:1", "showTab:1",
                               "updateStatusBar"}));
    ui.calls.clear();
    router.run(4001);
    EXPECT_EQ(ui.calls, (Calls{"showTab:1"}));
    EXPECT_FALSE(router.run(CMD_QUIT)); // left to the frame
}

// --- What the menu items show ---------------------------------------------------------

TEST_F(DocumentCommandsTest, ItemStatesFollowTheFileTheUserAndTheDocumentFlags) {
    auto enabled = [&](unsigned id) { return router.state(id).enabled; };
    auto checked = [&](unsigned id) { return router.state(id).checked; };
    for (unsigned id : {CMD_SAVE, CMD_SAVE_AS, CMD_CLOSE})
        EXPECT_EQ(enabled(id), false) << id; // no file
    EXPECT_EQ(router.run(CMD_TOGGLE_POINTING), true);
    EXPECT_EQ(doc.pointingMode, 0u); // no file: nothing to point

    openSample(); // Marie, administrator; the first account current
    EXPECT_EQ(enabled(CMD_SAVE), false);
    EXPECT_EQ(enabled(CMD_SAVE_AS), true);
    EXPECT_EQ(enabled(CMD_CLOSE), true);
    doc.isModified = 1;
    EXPECT_EQ(enabled(CMD_SAVE), true);
    EXPECT_EQ(checked(accountItemId(0)), true);
    EXPECT_EQ(checked(accountItemId(1)), false);

    const unsigned administrative[] = {CMD_EDIT_ACCOUNTS, CMD_EDIT_MODES, CMD_EDIT_CATEGORIES,
                                       CMD_NEW_USER, CMD_LIST_USERS};
    // A refused user keeps the administrator's rights once logged in.
    for (std::uint32_t flags : {0u, kUserRefused})
        for (unsigned id : administrative) {
            doc.currentUser->flags = flags;
            EXPECT_EQ(enabled(id), true) << id << " " << flags;
        }
    doc.currentUser->flags = kUserLimited;
    for (unsigned id : administrative)
        EXPECT_EQ(enabled(id), false) << id;
    // The label editor, change of user and of password stay as they are.
    for (unsigned id : {CMD_EDIT_LABELS, CMD_CHANGE_USER, CMD_CHANGE_PASSWORD})
        EXPECT_EQ(enabled(id), std::nullopt) << id;

    // Without the register its items are greyed or unchecked.
    EXPECT_EQ(checked(CMD_TOGGLE_ENTRY_PANE), false);
    for (unsigned id : {CMD_DELETE_OPERATION, CMD_EDIT_OPERATION, CMD_SHOW_VENTILATION})
        EXPECT_EQ(enabled(id), false) << id;

    doc.sortOrder = 1;
    doc.alertsEnabled = 0;
    ui.calls.clear();
    router.run(CMD_TOGGLE_POINTING);
    EXPECT_EQ(doc.pointingMode, 1u);
    EXPECT_EQ(ui.calls, (Calls{"refreshRegister:1"}));
    EXPECT_EQ(checked(CMD_TOGGLE_POINTING), true);
    EXPECT_EQ(checked(CMD_SORT_BY_ENTRY), false);
    EXPECT_EQ(checked(CMD_SORT_BY_OPERATION_DATE), true);
    EXPECT_EQ(checked(CMD_TOGGLE_ALERTS), false);
    router.run(CMD_TOGGLE_POINTING);
    EXPECT_EQ(doc.pointingMode, 0u);
}

} // namespace
} // namespace kolvane
