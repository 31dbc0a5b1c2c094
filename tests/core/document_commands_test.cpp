#include "shell/document_commands.h"
#include "shell/menu_rules.h"

#include "document/account_file.h"
#include "document/passwords.h"
#include "document/text.h"
#include "shell_test_support.h"
#include "users/user_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace kolvane {
namespace {

using shelltest::MemoryFiles;

// A user interface whose answers are scripted and whose frame calls are
// written down, so that each branch of the commands can be followed.
class ScriptedUi : public ShellUi {
  public:
    std::vector<std::string> calls;
    std::deque<SaveAnswer> saveAnswers;
    std::deque<std::optional<std::string>> openPaths;
    std::deque<std::optional<std::string>> savePaths;
    int welcomeResult = 0;
    std::function<bool()> login = [] { return false; };
    std::function<bool(UserRecord*)> identity = [](UserRecord*) { return false; };
    std::function<bool(UserRecord*, std::string_view)> password =
        [](UserRecord*, std::string_view) { return false; };
    std::function<AccountDialogResult(bool)> accountDialog = [](bool) {
        return AccountDialogResult{};
    };
    bool userListChanges = false;
    bool editorChanges = false;
    bool thirdAdded = false;

    int count(const std::string& call) const {
        return static_cast<int>(std::count(calls.begin(), calls.end(), call));
    }
    bool called(const std::string& call) const { return count(call) > 0; }

    SaveAnswer askSaveChanges() override {
        calls.push_back("askSaveChanges");
        SaveAnswer answer = saveAnswers.empty() ? SaveAnswer::Cancel : saveAnswers.front();
        if (!saveAnswers.empty())
            saveAnswers.pop_front();
        return answer;
    }
    void showNotAllowed() override { calls.push_back("showNotAllowed"); }
    std::optional<std::string> chooseFileToOpen() override {
        calls.push_back("chooseFileToOpen");
        return take(openPaths);
    }
    std::optional<std::string> chooseFileToSave() override {
        calls.push_back("chooseFileToSave");
        return take(savePaths);
    }
    int runWelcome() override {
        calls.push_back("runWelcome");
        return welcomeResult;
    }
    bool runLogin() override {
        calls.push_back("runLogin");
        return login();
    }
    bool runUserIdentity(UserRecord* user) override {
        calls.push_back("runUserIdentity");
        return identity(user);
    }
    bool runPasswordDialog(UserRecord* user, std::string_view title) override {
        calls.push_back("runPasswordDialog:" + std::string(title));
        return password(user, title);
    }
    bool runUserList() override {
        calls.push_back("runUserList");
        return userListChanges;
    }
    AccountDialogResult runAccountDialog(bool newFile) override {
        calls.push_back(newFile ? "runAccountDialog:new" : "runAccountDialog");
        return accountDialog(newFile);
    }
    bool runCategoryEditor() override {
        calls.push_back("runCategoryEditor");
        return editorChanges;
    }
    bool runLabelEditor() override {
        calls.push_back("runLabelEditor");
        return editorChanges;
    }
    bool runThirdDialog() override {
        calls.push_back("runThirdDialog");
        return thirdAdded;
    }
    void openViews() override { calls.push_back("openViews"); }
    void closeViews() override { calls.push_back("closeViews"); }
    void showTab(int index) override { calls.push_back("showTab:" + std::to_string(index)); }
    void updateMenus() override { calls.push_back("updateMenus"); }
    void updateTitle() override { calls.push_back("updateTitle"); }
    void updateStatusBar() override { calls.push_back("updateStatusBar"); }
    void buildAccountsMenu() override { calls.push_back("buildAccountsMenu"); }
    void removeAccountItems() override { calls.push_back("removeAccountItems"); }
    void setAccountItemCheck(unsigned id, bool checked) override {
        calls.push_back((checked ? "check:" : "uncheck:") + std::to_string(id));
    }
    void appendAccountItem(unsigned id, std::string_view text, bool checked) override {
        calls.push_back("append:" + std::to_string(id) + ":" + std::string(text) +
                        (checked ? ":checked" : ""));
    }
    void replaceAccountItem(int position, unsigned id, std::string_view text,
                            bool checked) override {
        calls.push_back("replace:" + std::to_string(position) + ":" + std::to_string(id) + ":" +
                        std::string(text) + (checked ? ":checked" : ""));
    }
    void redrawMenuBar() override { calls.push_back("redrawMenuBar"); }
    void refreshRegister(int argument) override {
        calls.push_back("refreshRegister:" + std::to_string(argument));
    }
    void refreshOverview() override { calls.push_back("refreshOverview"); }
    void refreshThirdView(int argument) override {
        calls.push_back("refreshThirdView:" + std::to_string(argument));
    }

  private:
    static std::optional<std::string> take(std::deque<std::optional<std::string>>& queue) {
        if (queue.empty())
            return std::nullopt;
        std::optional<std::string> value = queue.front();
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
            if (newFile)
                createAccount(doc, "Compte courant", 100.0);
            return AccountDialogResult{kAccountCreated, -1};
        };
    }

    // A saved file on the memory disk with an administrator "Marie" (password
    // "secret"), a limited "Paul" ("paul") and two accounts.
    void writeSampleFile(const std::string& path) {
        Document sample;
        documentInit(sample);
        createAccount(sample, "Courant", 10.0);
        createAccount(sample, "Livret", 20.0);
        addDefaultModes(sample);
        addUser(sample, "Marie", "secret", 1, 0);
        addUser(sample, "Paul", "paul", 4, kUserLimited);
        sample.isOpen = 1;
        ASSERT_EQ(saveDocument(sample, path, files), 1);
    }

    static UserRecord* addUser(Document& target, const char* name, const char* plain,
                               std::uint32_t id, std::uint32_t flags) {
        UserRecord user{};
        setFieldUtf8(user.name, name);
        storePassword(user, plain);
        user.id = id;
        user.flags = flags;
        return target.users.append(user);
    }

    // Logs in as the named user when asked.
    void loginAs(const char* name) {
        ui.login = [this, name] {
            for (UserRecord* user = doc.users.first(); user; user = doc.users.next(user))
                if (fieldText(user->name) == name) {
                    doc.currentUser = user;
                    return true;
                }
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
};

// --- Opening ------------------------------------------------------------------------

TEST_F(DocumentCommandsTest, OpeningLogsInThenShowsTheFile) {
    writeSampleFile("C:\\Comptes\\famille.kvn");
    loginAs("Marie");
    ui.openPaths.push_back("C:\\Comptes\\famille.kvn");
    commands.dispatch(CMD_OPEN);
    EXPECT_EQ(doc.isOpen, 1u);
    EXPECT_EQ(doc.isModified, 0u);
    EXPECT_EQ(doc.accounts.count(), 2);
    EXPECT_EQ(ui.calls,
              (std::vector<std::string>{"chooseFileToOpen", "runLogin", "openViews", "updateMenus",
                                        "buildAccountsMenu", "updateTitle", "updateStatusBar"}));
    EXPECT_EQ(settings.recentCount, 0); // opening does not add to the recent files
}

TEST_F(DocumentCommandsTest, RefusedLoginLeavesNoFileOpen) {
    writeSampleFile("C:\\Comptes\\famille.kvn");
    ui.openPaths.push_back("C:\\Comptes\\famille.kvn");
    commands.openFile();
    EXPECT_EQ(doc.isOpen, 0u);
    EXPECT_EQ(doc.users.count(), 0);
    EXPECT_EQ(doc.accounts.count(), 0);
    EXPECT_FALSE(ui.called("openViews"));
}

TEST_F(DocumentCommandsTest, FileThatIsNotAnAccountFileOpensNothingWithoutMessage) {
    files.files["C:\\notes.kvn"] = {'h', 'e', 'l', 'l', 'o'};
    ui.openPaths.push_back("C:\\notes.kvn");
    commands.openFile();
    EXPECT_EQ(doc.isOpen, 0u);
    EXPECT_FALSE(ui.called("runLogin"));
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"chooseFileToOpen"}));
}

TEST_F(DocumentCommandsTest, CancelledOpenDialogDoesNothing) {
    ui.openPaths.push_back(std::nullopt);
    commands.openFile();
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"chooseFileToOpen"}));
}

TEST_F(DocumentCommandsTest, CancellingTheSaveQuestionOfOpenKeepsTheFileAsItWas) {
    openSample();
    doc.isModified = 1;
    AccountRecord* current = doc.currentAccount;
    ui.saveAnswers.push_back(SaveAnswer::Cancel);
    commands.openFile();
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"askSaveChanges"}));
    EXPECT_EQ(doc.isOpen, 1u);
    EXPECT_EQ(doc.isModified, 1u);
    EXPECT_EQ(doc.currentAccount, current);
    EXPECT_EQ(doc.filePath, "C:\\Comptes\\famille.kvn");
}

// --- Recent files and start-up ----------------------------------------------------------

TEST_F(DocumentCommandsTest, WelcomeDialogEndings) {
    EXPECT_EQ(welcomeEndCode(WelcomeButton::Ok, -1), std::nullopt); // no selection: stays open
    EXPECT_EQ(welcomeEndCode(WelcomeButton::DoubleClick, -1), std::nullopt);
    EXPECT_EQ(welcomeEndCode(WelcomeButton::Ok, 0), 10);
    EXPECT_EQ(welcomeEndCode(WelcomeButton::DoubleClick, 3), 13);
    EXPECT_EQ(welcomeEndCode(WelcomeButton::NewFile, 2), 1000);
    EXPECT_EQ(welcomeEndCode(WelcomeButton::Browse, 2), 1001);
    EXPECT_EQ(welcomeEndCode(WelcomeButton::Cancel, 2), 0);
}

TEST_F(DocumentCommandsTest, WelcomeResultsMapToCommands) {
    EXPECT_EQ(welcomeChoice(1000, 0).action, WelcomeChoice::NewFile);
    EXPECT_EQ(welcomeChoice(1001, 0).action, WelcomeChoice::OpenFile);
    EXPECT_EQ(welcomeChoice(0, 3).action, WelcomeChoice::Nothing);
    WelcomeChoice recent = welcomeChoice(12, 3);
    EXPECT_EQ(recent.action, WelcomeChoice::OpenRecent);
    EXPECT_EQ(recent.recentIndex, 2);
    EXPECT_EQ(welcomeChoice(13, 3).action, WelcomeChoice::Nothing); // beyond the list
    EXPECT_EQ(welcomeChoice(9, 3).action, WelcomeChoice::Nothing);
}

TEST_F(DocumentCommandsTest, WelcomeOpensTheChosenRecentFile) {
    writeSampleFile("C:\\B.kvn");
    addRecentFile(settings, "C:\\B.kvn");
    addRecentFile(settings, "C:\\A.kvn");
    loginAs("Paul");
    ui.welcomeResult = 11; // second line: C:\B.kvn
    commands.showWelcome();
    EXPECT_EQ(doc.isOpen, 1u);
    EXPECT_EQ(doc.filePath, "C:\\B.kvn");
    EXPECT_EQ(cp1252ToUtf8(fieldText(doc.currentUser->name)), "Paul");
}

TEST_F(DocumentCommandsTest, MissingRecentFileOpensNothingAndLeavesNoPartialData) {
    addRecentFile(settings, "C:\\Disparu.kvn");
    loginAs("Marie");
    ui.welcomeResult = 10;
    commands.showWelcome();
    EXPECT_EQ(doc.isOpen, 0u);
    EXPECT_EQ(doc.users.count() + doc.accounts.count() + doc.operations.count(), 0);
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"runWelcome"}));
}

TEST_F(DocumentCommandsTest, WelcomeCancelledDoesNothing) {
    ui.welcomeResult = 0;
    commands.showWelcome();
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"runWelcome"}));
}

TEST_F(DocumentCommandsTest, StartupFileThatCannotBeReadLeavesTheWindowEmpty) {
    commands.openStartupFile("C:\\absent.kvn");
    EXPECT_EQ(doc.isOpen, 0u);
    EXPECT_TRUE(ui.calls.empty());
}

// --- New file --------------------------------------------------------------------------

TEST_F(DocumentCommandsTest, NewFileGetsItsDefaultsAndIsModified) {
    commands.dispatch(CMD_NEW_FILE);
    EXPECT_EQ(doc.isOpen, 1u);
    EXPECT_EQ(doc.isModified, 1u);
    EXPECT_TRUE(doc.filePath.empty());
    EXPECT_EQ(doc.accounts.count(), 1);
    EXPECT_EQ(doc.users.count(), 1);
    EXPECT_EQ(cp1252ToUtf8(fieldText(doc.currentUser->name)), "Nouvel utilisateur");
    EXPECT_EQ(doc.modes.count(), 10);
    EXPECT_EQ(doc.categories.count(), 72);
    EXPECT_EQ(ui.calls,
              (std::vector<std::string>{"runAccountDialog:new", "openViews", "updateMenus",
                                        "buildAccountsMenu", "updateTitle", "updateStatusBar"}));
}

TEST_F(DocumentCommandsTest, CancelledNewFileStillRefreshesTheFrame) {
    ui.accountDialog = [](bool) { return AccountDialogResult{}; };
    commands.newFile();
    EXPECT_EQ(doc.isOpen, 0u);
    EXPECT_EQ(doc.users.count(), 0);
    EXPECT_EQ(ui.calls,
              (std::vector<std::string>{"runAccountDialog:new", "updateMenus", "buildAccountsMenu",
                                        "updateTitle", "updateStatusBar"}));
}

TEST_F(DocumentCommandsTest, NewFileStopsWhenClosingTheCurrentOneIsCancelled) {
    openSample();
    doc.isModified = 1;
    ui.saveAnswers.push_back(SaveAnswer::Cancel);
    commands.newFile();
    EXPECT_FALSE(ui.called("runAccountDialog:new"));
    EXPECT_EQ(doc.filePath, "C:\\Comptes\\famille.kvn");
}

// --- Closing and the save question -------------------------------------------------------

TEST_F(DocumentCommandsTest, UnchangedFileClosesWithoutQuestion) {
    openSample();
    EXPECT_TRUE(commands.closeFile());
    EXPECT_EQ(ui.calls,
              (std::vector<std::string>{"closeViews", "removeAccountItems", "updateStatusBar",
                                        "updateMenus", "updateTitle"}));
    EXPECT_EQ(doc.isOpen, 0u);
    EXPECT_EQ(doc.currentUser, nullptr);
    EXPECT_TRUE(doc.filePath.empty());
}

TEST_F(DocumentCommandsTest, SaveQuestionNoClosesWithoutSaving) {
    openSample();
    const auto before = files.files["C:\\Comptes\\famille.kvn"];
    createAccount(doc, "Nouveau", 1.0);
    doc.isModified = 1;
    ui.saveAnswers.push_back(SaveAnswer::No);
    EXPECT_TRUE(commands.closeFile());
    EXPECT_EQ(doc.isOpen, 0u);
    EXPECT_EQ(files.files["C:\\Comptes\\famille.kvn"], before);
}

TEST_F(DocumentCommandsTest, SaveQuestionYesSavesThenCloses) {
    openSample();
    createAccount(doc, "Nouveau", 1.0);
    doc.isModified = 1;
    ui.saveAnswers.push_back(SaveAnswer::Yes);
    EXPECT_TRUE(commands.closeFile());
    EXPECT_EQ(doc.isOpen, 0u);
    Document reloaded;
    documentInit(reloaded);
    ASSERT_EQ(loadDocument(reloaded, "C:\\Comptes\\famille.kvn", files), LoadStatus::Ok);
    EXPECT_EQ(reloaded.accounts.count(), 3);
}

TEST_F(DocumentCommandsTest, SaveQuestionCancelKeepsTheFileOpen) {
    openSample();
    doc.isModified = 1;
    ui.saveAnswers.push_back(SaveAnswer::Cancel);
    EXPECT_FALSE(commands.closeFile());
    EXPECT_EQ(doc.isOpen, 1u);
    EXPECT_EQ(doc.isModified, 1u);
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"askSaveChanges"}));
}

TEST_F(DocumentCommandsTest, YesThenCancellingTheSaveDialogStillCloses) {
    openNewFile();
    doc.currentUser->flags = 0;
    storePassword(*doc.currentUser, "mdp"); // no user step before the save dialog
    ui.saveAnswers.push_back(SaveAnswer::Yes);
    ui.savePaths.push_back(std::nullopt);
    EXPECT_TRUE(commands.closeFile());
    EXPECT_EQ(doc.isOpen, 0u);
    EXPECT_TRUE(files.files.empty());
    EXPECT_EQ(ui.calls.front(), "askSaveChanges");
    EXPECT_TRUE(ui.called("chooseFileToSave"));
    EXPECT_TRUE(ui.called("closeViews"));
}

TEST_F(DocumentCommandsTest, ClosingWithoutFileDoesNothing) {
    EXPECT_TRUE(commands.closeFile());
    commands.saveFile();
    commands.saveFileAs();
    EXPECT_TRUE(ui.calls.empty());
}

// --- Saving ----------------------------------------------------------------------------

TEST_F(DocumentCommandsTest, SaveWritesTheFileAndEnablesNoMoreSaving) {
    openSample();
    doc.isModified = 1;
    commands.dispatch(CMD_SAVE);
    EXPECT_EQ(doc.isModified, 0u);
    EXPECT_FALSE(menuState(doc, kAccountsTab).saveButtonEnabled);
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"updateMenus"}));
    EXPECT_EQ(settings.recentCount, 0);
}

TEST_F(DocumentCommandsTest, FailedSaveLeavesTheModifiedFlagAndTheFrame) {
    openSample();
    doc.isModified = 1;
    files.failAt = FailStep::Create;
    commands.saveFile();
    EXPECT_EQ(doc.isModified, 1u);
    EXPECT_TRUE(ui.calls.empty());
}

TEST_F(DocumentCommandsTest, SaveOfANeverSavedFileActsAsSaveAs) {
    openNewFile();
    storePassword(*doc.currentUser, "mdp");
    ui.savePaths.push_back("C:\\Nouveau.kvn");
    commands.saveFile();
    EXPECT_EQ(ui.calls,
              (std::vector<std::string>{"chooseFileToSave", "updateMenus", "updateTitle"}));
    EXPECT_EQ(doc.filePath, "C:\\Nouveau.kvn");
    EXPECT_EQ(doc.isModified, 0u);
    EXPECT_EQ(files.files.count("C:\\Nouveau.kvn"), 1u);
    ASSERT_EQ(settings.recentCount, 1);
    EXPECT_EQ(settings.recentFiles[0], "C:\\Nouveau.kvn");
}

TEST_F(DocumentCommandsTest, SaveAsOnANewFileAsksForPseudoAndPasswordFirst) {
    openNewFile();
    ui.identity = [](UserRecord* user) {
        setFieldUtf8(user->name, "Marie");
        return true;
    };
    ui.password = [](UserRecord* user, std::string_view) {
        storePassword(*user, "secret");
        return true;
    };
    ui.savePaths.push_back("C:\\Famille.kvn");
    commands.dispatch(CMD_SAVE_AS);
    EXPECT_EQ(ui.calls,
              (std::vector<std::string>{"runUserIdentity", "runPasswordDialog:", "updateStatusBar",
                                        "chooseFileToSave", "updateMenus", "updateTitle"}));
    // The saved file lets its new user log in.
    Document reloaded;
    documentInit(reloaded);
    ASSERT_EQ(loadDocument(reloaded, "C:\\Famille.kvn", files), LoadStatus::Ok);
    EXPECT_EQ(decideLogin(reloaded, "Marie", "secret").user, reloaded.users.first());
}

TEST_F(DocumentCommandsTest, CancellingThePasswordStepSavesNothing) {
    openNewFile();
    ui.identity = [](UserRecord*) { return true; };
    ui.password = [](UserRecord*, std::string_view) { return false; };
    ui.savePaths.push_back("C:\\Famille.kvn");
    commands.saveFileAs();
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"runUserIdentity", "runPasswordDialog:"}));
    EXPECT_TRUE(files.files.empty());
    EXPECT_EQ(doc.isModified, 1u);
    EXPECT_EQ(settings.recentCount, 0);
}

TEST_F(DocumentCommandsTest, CancellingTheIdentityStepGoesOnToTheSaveDialog) {
    openNewFile();
    ui.savePaths.push_back("C:\\Famille.kvn");
    commands.saveFileAs();
    EXPECT_EQ(ui.calls,
              (std::vector<std::string>{"runUserIdentity", "updateStatusBar", "chooseFileToSave",
                                        "updateMenus", "updateTitle"}));
    EXPECT_EQ(files.files.count("C:\\Famille.kvn"), 1u);
}

TEST_F(DocumentCommandsTest, SaveAsStepsTable) {
    EXPECT_EQ(nextSaveAsStep(SaveAsStep::UserIdentity, true).next, SaveAsStep::UserPassword);
    EXPECT_FALSE(nextSaveAsStep(SaveAsStep::UserIdentity, true).updateStatusBar);
    EXPECT_EQ(nextSaveAsStep(SaveAsStep::UserIdentity, false).next, SaveAsStep::ChooseFile);
    EXPECT_TRUE(nextSaveAsStep(SaveAsStep::UserIdentity, false).updateStatusBar);
    EXPECT_EQ(nextSaveAsStep(SaveAsStep::UserPassword, true).next, SaveAsStep::ChooseFile);
    EXPECT_TRUE(nextSaveAsStep(SaveAsStep::UserPassword, true).updateStatusBar);
    EXPECT_EQ(nextSaveAsStep(SaveAsStep::UserPassword, false).next, SaveAsStep::Stop);
}

TEST_F(DocumentCommandsTest, SavingAsAddsThePathToTheTopOfTheRecentFiles) {
    openSample();
    addRecentFile(settings, "C:\\Copie.kvn");
    addRecentFile(settings, "C:\\Autre.kvn");
    ui.savePaths.push_back("c:\\COPIE.kvn");
    commands.saveFileAs();
    ASSERT_EQ(settings.recentCount, 2);
    EXPECT_EQ(settings.recentFiles[0], "c:\\COPIE.kvn");
    EXPECT_EQ(settings.recentFiles[1], "C:\\Autre.kvn");
}

// --- Rights ----------------------------------------------------------------------------

TEST_F(DocumentCommandsTest, LimitedUserIsRefusedTheAdministratorCommands) {
    openSample("Paul");
    ui.editorChanges = true;
    ui.userListChanges = true;
    for (unsigned id : {1010u, 1022u, 1023u, 1024u, 1027u}) {
        ui.calls.clear();
        EXPECT_TRUE(commandNeedsAdministrator(id));
        commands.dispatch(id);
        EXPECT_EQ(ui.calls, (std::vector<std::string>{"showNotAllowed"})) << id;
    }
    EXPECT_EQ(doc.isModified, 0u);
    EXPECT_EQ(doc.users.count(), 2);
}

TEST_F(DocumentCommandsTest, LimitedUserMayStillChangeUserPasswordAndAddAThirdParty) {
    openSample("Paul");
    for (unsigned id : {1025u, 1026u, 1029u})
        EXPECT_FALSE(commandNeedsAdministrator(id));
    ui.thirdAdded = true;
    commands.dispatch(CMD_NEW_THIRD);
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"runThirdDialog", "refreshRegister:0",
                                                  "refreshThirdView:1", "updateMenus"}));
    EXPECT_EQ(doc.isModified, 1u);
}

// --- Users -----------------------------------------------------------------------------

TEST_F(DocumentCommandsTest, NewUserTakesOneMoreThanTheLargestId) {
    openSample(); // users 1 and 4
    ui.identity = [](UserRecord* user) {
        setFieldUtf8(user->name, "Léa");
        user->flags = kUserLimited;
        return true;
    };
    ui.password = [](UserRecord* user, std::string_view) {
        storePassword(*user, "lea");
        return true;
    };
    commands.dispatch(CMD_NEW_USER);
    ASSERT_EQ(doc.users.count(), 3);
    EXPECT_EQ(doc.users.last()->id, 5u);
    EXPECT_EQ(doc.users.last()->flags, kUserLimited);
    EXPECT_EQ(doc.isModified, 1u);
    EXPECT_EQ(ui.calls.back(), "updateMenus");
}

TEST_F(DocumentCommandsTest, NewUserCancelledAtThePasswordAddsNobody) {
    openSample();
    ui.identity = [](UserRecord*) { return true; };
    commands.newUser();
    EXPECT_EQ(doc.users.count(), 2);
    EXPECT_EQ(doc.isModified, 0u);
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"runUserIdentity", "runPasswordDialog:"}));
}

TEST_F(DocumentCommandsTest, NewUserDoesNothingWhileTheCurrentUserHasNoPassword) {
    openNewFile();
    commands.newUser();
    EXPECT_TRUE(ui.calls.empty());
    EXPECT_EQ(doc.users.count(), 1);
}

TEST_F(DocumentCommandsTest, LimitedUserCreatedThroughNewUserIsThenRefused) {
    openSample();
    ui.identity = [](UserRecord* user) {
        setFieldUtf8(user->name, "Léa");
        user->flags = kUserLimited;
        return true;
    };
    ui.password = [](UserRecord* user, std::string_view) {
        storePassword(*user, "lea");
        return true;
    };
    commands.newUser();
    loginAs("L\xE9"
            "a"); // the record's bytes
    commands.changeUser();
    ASSERT_EQ(doc.currentUser, doc.users.last());
    ui.calls.clear();
    commands.dispatch(CMD_EDIT_ACCOUNTS);
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"showNotAllowed"}));
}

TEST_F(DocumentCommandsTest, ChangeUserRefreshesTheStatusBarOnlyOnSuccess) {
    openSample();
    ui.login = [] { return false; };
    commands.changeUser();
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"runLogin"}));
    ui.calls.clear();
    loginAs("Paul");
    commands.changeUser();
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"runLogin", "updateStatusBar"}));
}

TEST_F(DocumentCommandsTest, ChangePasswordLogsInThenAsksTheNewPassword) {
    openSample();
    loginAs("Paul");
    UserRecord* asked = nullptr;
    ui.password = [&](UserRecord* user, std::string_view) {
        asked = user;
        return true;
    };
    commands.dispatch(CMD_CHANGE_PASSWORD);
    EXPECT_EQ(ui.calls,
              (std::vector<std::string>{"runLogin", "updateStatusBar",
                                        "runPasswordDialog:Modifier mot de passe", "updateMenus"}));
    EXPECT_EQ(asked, doc.currentUser);
    EXPECT_EQ(doc.isModified, 1u);
}

TEST_F(DocumentCommandsTest, UserListMarksModifiedOnlyWhenItChangedSomething) {
    openSample();
    commands.listUsers();
    EXPECT_EQ(doc.isModified, 0u);
    ui.userListChanges = true;
    commands.listUsers();
    EXPECT_EQ(doc.isModified, 1u);
}

// --- Accounts --------------------------------------------------------------------------

TEST_F(DocumentCommandsTest, CreatedAccountIsAppendedToTheMenuChecked) {
    openSample(); // Courant (current), Livret
    ui.accountDialog = [this](bool) {
        doc.currentAccount = createAccount(doc, "Vacances", 0.0);
        return AccountDialogResult{kAccountCreated, -1};
    };
    commands.dispatch(CMD_EDIT_ACCOUNTS);
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"runAccountDialog", "updateMenus", "uncheck:4000",
                                                  "append:4002:Vacances:checked", "refreshOverview",
                                                  "refreshRegister:1", "updateStatusBar"}));
    EXPECT_EQ(doc.isModified, 1u);
}

TEST_F(DocumentCommandsTest, AppendedItemNumberCountsMaskedAccounts) {
    openSample();
    doc.accounts.last()->active = 0; // Livret masked
    ui.accountDialog = [this](bool) {
        doc.currentAccount = createAccount(doc, "Vacances", 0.0);
        return AccountDialogResult{kAccountCreated, -1};
    };
    commands.editAccounts();
    EXPECT_TRUE(ui.called("append:4002:Vacances:checked"));
}

TEST_F(DocumentCommandsTest, ChangedAccountReplacesItsItem) {
    openSample();
    ui.accountDialog = [this](bool) {
        doc.currentAccount = accountAt(doc, 1, 1);
        setFieldUtf8(doc.currentAccount->name, "Livret A");
        return AccountDialogResult{kAccountModified, -1};
    };
    commands.editAccounts();
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"runAccountDialog", "updateMenus", "uncheck:4000",
                                                  "replace:3:4001:Livret A:checked",
                                                  "redrawMenuBar", "refreshOverview",
                                                  "refreshRegister:1", "updateStatusBar"}));
}

TEST_F(DocumentCommandsTest, AccountToDeleteIsRemovedAndTheMenuRebuilt) {
    openSample();
    ui.accountDialog = [](bool) { return AccountDialogResult{kAccountMaskedOrDeleted, 1}; };
    commands.editAccounts();
    EXPECT_EQ(doc.accounts.count(), 1);
    EXPECT_EQ(cp1252ToUtf8(fieldText(doc.accounts.first()->name)), "Courant");
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"runAccountDialog", "updateMenus", "uncheck:4000",
                                                  "removeAccountItems", "buildAccountsMenu",
                                                  "redrawMenuBar", "refreshOverview",
                                                  "refreshRegister:1", "updateStatusBar"}));
}

TEST_F(DocumentCommandsTest, DeletionWithoutPositionOnlyRebuildsTheMenu) {
    openSample();
    ui.accountDialog = [](bool) { return AccountDialogResult{kAccountMaskedOrDeleted, -1}; };
    commands.editAccounts();
    EXPECT_EQ(doc.accounts.count(), 2);
    EXPECT_TRUE(ui.called("buildAccountsMenu"));
}

TEST_F(DocumentCommandsTest, CancelledAccountDialogChangesNothing) {
    openSample();
    ui.accountDialog = [](bool) { return AccountDialogResult{}; };
    commands.editAccounts();
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"runAccountDialog"}));
    EXPECT_EQ(doc.isModified, 0u);
}

TEST_F(DocumentCommandsTest, OtherAccountResultChecksTheCurrentItemAgain) {
    openSample();
    ui.accountDialog = [](bool) { return AccountDialogResult{4, -1}; };
    commands.editAccounts();
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"runAccountDialog", "updateMenus", "uncheck:4000",
                                                  "check:4000", "refreshOverview",
                                                  "refreshRegister:1", "updateStatusBar"}));
}

TEST_F(DocumentCommandsTest, ChoosingAnAccountItemMakesItCurrent) {
    openSample();
    commands.dispatch(4001);
    EXPECT_EQ(doc.currentAccount, accountAt(doc, 1, 1));
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"uncheck:4000", "check:4001", "refreshRegister:1",
                                                  "showTab:1", "updateStatusBar"}));
    ui.calls.clear();
    commands.dispatch(4001);
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"showTab:1"}));
}

TEST_F(DocumentCommandsTest, EditorsMarkModifiedAndRefreshTheRegisterLists) {
    openSample();
    commands.editCategories();
    EXPECT_EQ(doc.isModified, 0u);
    ui.editorChanges = true;
    ui.calls.clear();
    commands.editLabels();
    EXPECT_EQ(ui.calls,
              (std::vector<std::string>{"runLabelEditor", "updateMenus", "refreshRegister:0"}));
    EXPECT_EQ(doc.isModified, 1u);
}

TEST_F(DocumentCommandsTest, UnknownCommandsAreLeftToTheCaller) {
    EXPECT_FALSE(commands.dispatch(CMD_CALCULATOR));
    EXPECT_FALSE(commands.dispatch(CMD_TOGGLE_POINTING));
    EXPECT_FALSE(commands.dispatch(CMD_QUIT));
}

} // namespace
} // namespace kolvane
