// The commands that create, open, save and close the account file, the
// welcome dialog's outcome, and the commands of " Compte " and " Outils" that
// run the dialogs of other subsystems and bring the frame up to date.
//
// The decisions live here; everything the user sees (message boxes, dialogs,
// menus, views) goes through `ShellUi`, which the main window implements and
// the tests replace by a scripted one.
#pragma once

#include "settings.h"

#include "accounts/account_editing.h"

#include "document/command_router.h"
#include "document/document.h"
#include "document/file_system.h"
#include "operations/booking.h"

#include <optional>
#include <string>
#include <string_view>

namespace kolvane {

enum class SaveAnswer { Yes, No, Cancel };

struct AccountDialogResult {
    AccountOutcome code = AccountOutcome::Unchanged;
    int deletePosition = -1; // with MaskedOrDeleted: among all accounts, or -1
};

// The welcome dialog's end codes: 0 cancelled, 1000 new file, 1001 open,
// 10 + i recent file i.
inline constexpr int kWelcomeRecentBase = 10;

// How the welcome dialog ended, and with Recent, which recent file was chosen.
enum class WelcomeEnd { NewFile, Browse, Recent, Cancelled, NotShown };
struct WelcomeOut {
    int recentIndex = -1;
};
struct WelcomeResult {
    WelcomeEnd end = WelcomeEnd::Cancelled;
    WelcomeOut out;
};
// From the dialog's end code, or runModal's -1 when it could not be made.
WelcomeResult welcomeResult(int modalResult);

class ShellUi {
  public:
    virtual ~ShellUi() = default;

    // Questions, messages and dialogs.
    virtual SaveAnswer askSaveChanges() = 0; // string 20025
    virtual void showNotAllowed() = 0;       // string 20402
    // A message (UTF-8) with the information icon, and a Yes/No question.
    virtual void showMessage(std::string_view text) = 0;
    virtual bool askYesNo(std::string_view text) = 0;
    virtual std::optional<std::string> chooseFileToOpen() = 0;
    virtual std::optional<std::string> chooseFileToSave() = 0;
    virtual WelcomeResult runWelcome() = 0;
    virtual bool runLogin() = 0;
    virtual bool runUserIdentity(UserRecord* user) = 0; // null: the current user
    virtual bool runPasswordDialog(UserRecord* user, std::string_view title) = 0;
    virtual bool runUserList() = 0;
    virtual AccountDialogResult runAccountDialog(bool newFile) = 0;
    virtual bool runCategoryEditor() = 0;
    virtual bool runLabelEditor() = 0;
    virtual bool runModeEditor() = 0;
    virtual bool runThirdDialog() = 0;

    // The frame.
    virtual void openViews() = 0;
    virtual void closeViews() = 0;
    virtual void showTab(int index) = 0;
    virtual void updateMenus() = 0;
    virtual void updateTitle() = 0;
    virtual void updateStatusBar() = 0;
    virtual void buildAccountsMenu() = 0;
    virtual void removeAccountItems() = 0;
    virtual void setAccountItemCheck(unsigned id, bool checked) = 0;
    virtual void appendAccountItem(unsigned id, std::string_view text, bool checked) = 0;
    virtual void replaceAccountItem(int position, unsigned id, std::string_view text,
                                    bool checked) = 0;
    virtual void redrawMenuBar() = 0;

    // The views.
    virtual void refreshRegister(int argument) = 0;
    virtual void refreshOverview() = 0;
    virtual void refreshThirdView(int argument) = 0;
    virtual void refreshGraph() = 0; // the picture drawn again from the categories
};

// The welcome dialog's own ending: "OK" or a double click ends with the
// selected line + 10 and does nothing without a selection.
enum class WelcomeButton { Ok, DoubleClick, NewFile, Browse, Cancel };
std::optional<int> welcomeEndCode(WelcomeButton button, int selectedIndex);

// What start-up does with the welcome dialog's result.
struct WelcomeChoice {
    enum Action { Nothing, NewFile, OpenFile, OpenRecent } action = Nothing;
    int recentIndex = -1;
};
WelcomeChoice welcomeChoice(const WelcomeResult& result, int recentCount);

// The steps of "Enregistrer sous" while the current user still needs a pseudo
// and a password (a new file's default user). Any step cancelled stops the
// whole save: a file is never written with a user who could not log in.
enum class SaveAsStep { UserIdentity, UserPassword, ChooseFile, Stop };
struct SaveAsTransition {
    SaveAsStep next;
    bool updateStatusBar;
};
SaveAsStep firstSaveAsStep(const Document& doc);
SaveAsTransition nextSaveAsStep(SaveAsStep step, bool confirmed);

// What the " Compte " popup needs after the account dialog returned `code`;
// `previousIndex` is the current account's position before the dialog.
struct AccountMenuEdit {
    enum Kind { Append, Replace, Rebuild, Recheck } kind = Recheck;
    std::optional<unsigned> uncheckId;
    unsigned itemId = 0;
    int menuPosition = -1; // Replace: position in the popup
    std::string text;      // UTF-8
};
AccountMenuEdit accountMenuEdit(const Document& doc, int previousIndex, AccountOutcome code);

// True when closing the document must first ask whether to save.
bool needsSaveQuestion(const Document& doc);

// The commands that refuse a limited user.
bool commandNeedsAdministrator(unsigned id);

class DocumentCommands {
  public:
    DocumentCommands(Document& doc, Settings& settings, ShellUi& ui, FileSystem& fileSystem);

    // The commands of the " Fichier ", " Compte ", " Opération " and " Outils"
    // menus and the account items, with the states of their items.
    void addCommands(CommandRouter& router);

    // The document's history: the account dialog's changes become its steps,
    // saving marks its saved state, closing and opening a file forget it.
    // Without one, changes are made for good.
    void setHistory(BookingHistory* history) { history_ = history; }

    // The welcome dialog comes back until a file is open or it is cancelled.
    void showWelcome();
    void newFile();
    void openFile();
    void openRecent(int index);
    // A file named on the command line: load and log in.
    void openStartupFile(const std::string& path);
    // True when the file was written; a failure is told with its reason.
    bool saveFile();
    bool saveFileAs();
    bool closeFile(); // false when the save question was cancelled or the save failed
    void editAccounts();
    void editCategories();
    void editLabels();
    void editModes();
    void newUser();
    void changeUser();
    void changePassword();
    void listUsers();
    void newThird();
    void chooseAccount(unsigned id);
    void toggleAlerts();
    void togglePointingMode();

    // The save question; false when the user cancels, or answers Yes and the
    // save is cancelled or fails (the caller stops: nothing is lost).
    bool askSaveChanges();
    // The rights check: false, after the message, for a limited user.
    bool requireAdministrator();
    // A change that no step takes back (users, passwords, the alerts flag).
    void markModified();
    void listsEdited(int refill);

  private:
    // Loads `path`, asks the user to log in and opens the views; a refusal
    // is told, except a missing file (the caller words it).
    enum class OpenOutcome { Done, Missing };
    OpenOutcome open(const std::string& path);
    // After a load and a login: the views and the frame.
    void openLoggedInDocument();
    // The identity and password steps of a first save; false when cancelled.
    bool completeUserBeforeSave();
    bool writeTo(const std::string& path);
    void clearHistory();
    // Sets the modified flag for a change no step takes back.
    void changedOutsideHistory();

    Document& doc_;
    BookingHistory* history_ = nullptr;
    Settings& settings_;
    ShellUi& ui_;
    FileSystem& fileSystem_;
};

} // namespace kolvane
