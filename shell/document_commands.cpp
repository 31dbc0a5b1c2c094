#include "document_commands.h"

#include "file_messages.h"
#include "menu_rules.h"

#include "document/account_file.h"
#include "operations/account_steps.h"
#include "document/text.h"
#include "resources/resource_ids.h"
#include "users/user_rules.h"

#include <cstring>
#include <memory>
#include <new>

namespace kolvane {
namespace {

constexpr const char* kOutOfMemoryText = "Mémoire insuffisante ."; // string 20401

// The " Compte " popup begins with "Modifier ou créer un compte" and a separator.
constexpr int kFirstAccountItemPosition = 2;

std::string currentAccountName(const Document& doc) {
    return doc.currentAccount ? accountMenuText(fieldText(doc.currentAccount->name))
                              : std::string();
}

} // namespace

std::optional<int> welcomeEndCode(WelcomeButton button, int selectedIndex) {
    switch (button) {
    case WelcomeButton::Ok:
    case WelcomeButton::DoubleClick:
        if (selectedIndex < 0)
            return std::nullopt;
        return selectedIndex + kWelcomeRecentBase;
    case WelcomeButton::NewFile:
        return CMD_NEW_FILE;
    case WelcomeButton::Browse:
        return CMD_OPEN;
    case WelcomeButton::Cancel:
        break;
    }
    return 0;
}

WelcomeResult welcomeResult(int modalResult) {
    if (modalResult < 0)
        return {WelcomeEnd::NotShown, {}};
    if (modalResult == CMD_NEW_FILE)
        return {WelcomeEnd::NewFile, {}};
    if (modalResult == CMD_OPEN)
        return {WelcomeEnd::Browse, {}};
    if (modalResult >= kWelcomeRecentBase)
        return {WelcomeEnd::Recent, {modalResult - kWelcomeRecentBase}};
    return {WelcomeEnd::Cancelled, {}};
}

WelcomeChoice welcomeChoice(const WelcomeResult& result, int recentCount) {
    WelcomeChoice choice;
    switch (result.end) {
    case WelcomeEnd::NewFile:
        choice.action = WelcomeChoice::NewFile;
        break;
    case WelcomeEnd::Browse:
        choice.action = WelcomeChoice::OpenFile;
        break;
    case WelcomeEnd::Recent:
        if (result.out.recentIndex >= 0 && result.out.recentIndex < recentCount) {
            choice.action = WelcomeChoice::OpenRecent;
            choice.recentIndex = result.out.recentIndex;
        }
        break;
    case WelcomeEnd::Cancelled:
    case WelcomeEnd::NotShown:
        break;
    }
    return choice;
}

SaveAsStep firstSaveAsStep(const Document& doc) {
    if (doc.currentUser && doc.currentUser->password[0] == '\0')
        return SaveAsStep::UserIdentity;
    return SaveAsStep::ChooseFile;
}

SaveAsTransition nextSaveAsStep(SaveAsStep step, bool confirmed) {
    switch (step) {
    case SaveAsStep::UserIdentity:
        return confirmed ? SaveAsTransition{SaveAsStep::UserPassword, false}
                         : SaveAsTransition{SaveAsStep::Stop, false};
    case SaveAsStep::UserPassword:
        return confirmed ? SaveAsTransition{SaveAsStep::ChooseFile, true}
                         : SaveAsTransition{SaveAsStep::Stop, false};
    case SaveAsStep::ChooseFile:
    case SaveAsStep::Stop:
        break;
    }
    return {SaveAsStep::Stop, false};
}

AccountMenuEdit accountMenuEdit(const Document& doc, int previousIndex, AccountOutcome code) {
    AccountMenuEdit edit;
    if (previousIndex >= 0)
        edit.uncheckId = accountItemId(previousIndex);
    const int current = currentAccountIndex(doc);
    switch (code) {
    case AccountOutcome::Created:
        // The new account is the last one: numbered from 0, it is count - 1.
        edit.kind = AccountMenuEdit::Append;
        edit.itemId = CMD_ACCOUNT_FIRST - 1 + static_cast<unsigned>(countAccounts(doc, 1));
        edit.text = currentAccountName(doc);
        break;
    case AccountOutcome::Modified:
        edit.kind = AccountMenuEdit::Replace;
        edit.menuPosition = current + kFirstAccountItemPosition;
        edit.itemId = accountItemId(current);
        edit.text = currentAccountName(doc);
        break;
    case AccountOutcome::MaskedOrDeleted:
        edit.kind = AccountMenuEdit::Rebuild;
        break;
    case AccountOutcome::Unchanged:
        edit.kind = AccountMenuEdit::Recheck;
        if (current >= 0)
            edit.itemId = accountItemId(current);
        break;
    }
    return edit;
}

bool needsSaveQuestion(const Document& doc) {
    return doc.isOpen && doc.isModified;
}

bool commandNeedsAdministrator(unsigned id) {
    switch (id) {
    case CMD_EDIT_ACCOUNTS:
    case CMD_EDIT_MODES:
    case CMD_EDIT_CATEGORIES:
    case CMD_EDIT_LABELS:
    case CMD_NEW_USER:
    case CMD_LIST_USERS:
        return true;
    default:
        return false;
    }
}

DocumentCommands::DocumentCommands(Document& doc, Settings& settings, ShellUi& ui,
                                   FileSystem& fileSystem)
    : doc_(doc), settings_(settings), ui_(ui), fileSystem_(fileSystem) {}

void DocumentCommands::addCommands(CommandRouter& router) {
    // What a command answers (saved or not...) is for its callers: the menu drops it.
    auto run = [this](auto member) {
        return [this, member](unsigned) { (void)(this->*member)(); };
    };
    const CommandPredicate open = [](const CommandContext& c) { return c.document.isOpen != 0; };
    const CommandPredicate administrator = [](const CommandContext& c) {
        return !isLimited(c.document);
    };
    router.add(this, {CMD_NEW_FILE, run(&DocumentCommands::newFile)});
    router.add(this, {CMD_OPEN, run(&DocumentCommands::openFile)});
    router.add(this, {CMD_SAVE, run(&DocumentCommands::saveFile), [](const CommandContext& c) {
                          return c.document.isOpen && c.document.isModified;
                      }});
    router.add(this, {CMD_SAVE_AS, run(&DocumentCommands::saveFileAs), open});
    router.add(this, {CMD_CLOSE, run(&DocumentCommands::closeFile), open});

    router.add(this, {CMD_EDIT_ACCOUNTS, run(&DocumentCommands::editAccounts), administrator});
    router.add(this, {CMD_ACCOUNT_FIRST, [this](unsigned id) { chooseAccount(id); }, {},
                      [](const CommandContext& c) {
                          return static_cast<int>(c.id - CMD_ACCOUNT_FIRST) ==
                                 currentAccountIndex(c.document);
                      },
                      CMD_ACCOUNT_LAST});

    // The register adds its own commands over these once it is shown; until
    // then its items are greyed or unchecked.
    const CommandPredicate no = [](const CommandContext&) { return false; };
    router.add(this, {CMD_TOGGLE_ENTRY_PANE, {}, {}, no});
    router.add(this, {CMD_TOGGLE_POINTING, run(&DocumentCommands::togglePointingMode), {},
                      [](const CommandContext& c) { return c.document.pointingMode != 0; }});
    for (unsigned id : {CMD_DELETE_OPERATION, CMD_EDIT_OPERATION, CMD_SHOW_VENTILATION})
        router.add(this, {id, {}, no});
    router.add(this, {CMD_SORT_BY_ENTRY, {}, {},
                      [](const CommandContext& c) { return c.document.sortOrder == 0; }});
    router.add(this, {CMD_SORT_BY_OPERATION_DATE, {}, {},
                      [](const CommandContext& c) { return c.document.sortOrder == 1; }});

    router.add(this, {CMD_EDIT_MODES, run(&DocumentCommands::editModes), administrator});
    router.add(this, {CMD_EDIT_CATEGORIES, run(&DocumentCommands::editCategories), administrator});
    router.add(this, {CMD_EDIT_LABELS, run(&DocumentCommands::editLabels)});
    router.add(this, {CMD_NEW_USER, run(&DocumentCommands::newUser), administrator});
    router.add(this, {CMD_CHANGE_USER, run(&DocumentCommands::changeUser)});
    router.add(this, {CMD_CHANGE_PASSWORD, run(&DocumentCommands::changePassword)});
    router.add(this, {CMD_LIST_USERS, run(&DocumentCommands::listUsers), administrator});
    router.add(this, {CMD_TOGGLE_ALERTS, run(&DocumentCommands::toggleAlerts), {},
                      [](const CommandContext& c) { return c.document.alertsEnabled != 0; }});
    router.add(this, {CMD_NEW_THIRD, run(&DocumentCommands::newThird)});
}

bool DocumentCommands::askSaveChanges() {
    if (!needsSaveQuestion(doc_))
        return true;
    switch (ui_.askSaveChanges()) {
    case SaveAnswer::Yes:
        return saveFile(); // a cancelled or failed save keeps the file open
    case SaveAnswer::No:
        return true;
    case SaveAnswer::Cancel:
        break;
    }
    return false;
}

bool DocumentCommands::requireAdministrator() {
    if (mayAdminister(doc_))
        return true;
    ui_.showNotAllowed();
    return false;
}

// "Activer message d'alerte" shows the file's flag as its check mark; choosing
// it flips the flag, which is saved with the file.
void DocumentCommands::toggleAlerts() {
    if (!doc_.isOpen)
        return;
    doc_.alertsEnabled = doc_.alertsEnabled ? 0 : 1;
    markModified();
}

void DocumentCommands::togglePointingMode() {
    if (!doc_.isOpen)
        return;
    doc_.pointingMode = doc_.pointingMode ? 0 : 1;
    ui_.refreshRegister(1);
}

void DocumentCommands::markModified() {
    const bool wasModified = doc_.isModified != 0;
    changedOutsideHistory();
    if (!wasModified)
        ui_.updateMenus();
}

void DocumentCommands::changedOutsideHistory() {
    if (history_)
        history_->changedOutside();
    doc_.isModified = 1;
}

void DocumentCommands::clearHistory() {
    if (history_)
        history_->clear();
}

void DocumentCommands::showWelcome() {
    for (;;) {
        const WelcomeChoice choice = welcomeChoice(ui_.runWelcome(), settings_.recentCount);
        switch (choice.action) {
        case WelcomeChoice::NewFile:
            newFile();
            break;
        case WelcomeChoice::OpenFile:
            openFile();
            break;
        case WelcomeChoice::OpenRecent:
            openRecent(choice.recentIndex);
            break;
        case WelcomeChoice::Nothing:
            return;
        }
        // Whatever did not end with an open file brings the user back here.
        if (doc_.isOpen)
            return;
    }
}

DocumentCommands::OpenOutcome DocumentCommands::open(const std::string& path) {
    // A damaged file is refused before the login, from its layout alone.
    // Then the users come first, and the rest of the file is read while the
    // user says who they are: a large file does not keep the login waiting.
    bool loggedIn = false;
    LoadStatus status = checkAccountFile(path, fileSystem_);
    try {
        if (status == LoadStatus::Ok) {
            StagedLoad staged(doc_, path, fileSystem_);
            status = staged.readUsers();
            if (status == LoadStatus::Ok)
                status = staged.readRestWhile([&] { loggedIn = ui_.runLogin(); });
        }
    } catch (const std::bad_alloc&) {
        status = LoadStatus::OutOfMemory;
    }
    if (status == LoadStatus::Ok && loggedIn) {
        openLoggedInDocument();
        return OpenOutcome::Done;
    }
    const std::string reason = fileSystem_.lastError();
    documentClose(doc_);
    if (status == LoadStatus::Ok)
        return OpenOutcome::Done; // the login was cancelled
    if (status == LoadStatus::CannotOpen && !fileSystem_.exists(path))
        return OpenOutcome::Missing;
    ui_.showMessage(openFailureMessage(path, status, reason));
    return OpenOutcome::Done;
}

void DocumentCommands::openLoggedInDocument() {
    ui_.openViews();
    doc_.isOpen = 1;
    clearHistory();
    ui_.updateMenus();
    ui_.buildAccountsMenu();
    ui_.updateTitle();
    ui_.updateStatusBar();
    // A file whose only user never got a password opened without one: give
    // it one now, so that the file is protected from the next save on.
    if (doc_.currentUser && doc_.currentUser->password[0] == '\0' &&
        ui_.runPasswordDialog(doc_.currentUser, kNewPasswordTitle))
        markModified();
}

void DocumentCommands::openStartupFile(const std::string& path) {
    if (open(path) == OpenOutcome::Missing)
        ui_.showMessage(missingFileMessage(path));
}

void DocumentCommands::openRecent(int index) {
    if (index < 0 || index >= settings_.recentCount)
        return;
    if (doc_.isOpen && !closeFile())
        return;
    const std::string path = settings_.recentFiles[static_cast<std::size_t>(index)];
    if (open(path) == OpenOutcome::Missing && ui_.askYesNo(missingRecentFileQuestion(path)))
        removeRecentFile(settings_, index);
}

void DocumentCommands::newFile() {
    if (doc_.isOpen && !closeFile())
        return;
    if (ui_.runAccountDialog(true).code != AccountOutcome::Unchanged) {
        if (addDefaultUser(doc_) && addDefaultModes(doc_) && addDefaultCategories(doc_)) {
            ui_.openViews();
            doc_.isOpen = 1;
            clearHistory();
            changedOutsideHistory(); // never saved
        } else {
            documentClose(doc_); // out of memory: no half-made file
        }
    }
    ui_.updateMenus();
    ui_.buildAccountsMenu();
    ui_.updateTitle();
    ui_.updateStatusBar();
}

void DocumentCommands::openFile() {
    if (doc_.isOpen && !closeFile())
        return;
    std::optional<std::string> path = ui_.chooseFileToOpen();
    if (!path)
        return;
    openStartupFile(*path);
}

bool DocumentCommands::writeTo(const std::string& path) {
    std::string reason;
    if (saveDocument(doc_, path, fileSystem_, &reason))
        return true;
    ui_.showMessage(saveFailureMessage(path, reason));
    return false;
}

bool DocumentCommands::saveFile() {
    if (!doc_.isOpen)
        return false;
    if (doc_.filePath.empty())
        return saveFileAs();
    if (!writeTo(doc_.filePath))
        return false;
    if (history_)
        history_->markSaved();
    ui_.updateMenus();
    return true;
}

bool DocumentCommands::completeUserBeforeSave() {
    SaveAsStep step = firstSaveAsStep(doc_);
    while (step == SaveAsStep::UserIdentity || step == SaveAsStep::UserPassword) {
        const bool confirmed = step == SaveAsStep::UserIdentity
                                   ? ui_.runUserIdentity(doc_.currentUser)
                                   : ui_.runPasswordDialog(doc_.currentUser, "");
        const SaveAsTransition transition = nextSaveAsStep(step, confirmed);
        if (transition.updateStatusBar)
            ui_.updateStatusBar();
        step = transition.next;
    }
    return step != SaveAsStep::Stop;
}

bool DocumentCommands::saveFileAs() {
    if (!doc_.isOpen)
        return false;
    // A save that does not happen leaves the user as it was, pseudo included.
    UserRecord* user = doc_.currentUser;
    const UserRecord userBefore = user ? *user : UserRecord{};
    bool saved = false;
    if (completeUserBeforeSave()) {
        std::optional<std::string> path = ui_.chooseFileToSave();
        saved = path && writeTo(*path);
        if (saved)
            addRecentFile(settings_, *path);
    }
    if (!saved) {
        if (user && std::memcmp(user, &userBefore, sizeof userBefore) != 0) {
            *user = userBefore;
            ui_.updateStatusBar();
        }
        return false;
    }
    if (history_)
        history_->markSaved();
    ui_.updateMenus();
    ui_.updateTitle();
    return true;
}

bool DocumentCommands::closeFile() {
    if (!doc_.isOpen)
        return true;
    if (!askSaveChanges())
        return false;
    clearHistory();
    ui_.closeViews();
    ui_.removeAccountItems();
    documentClose(doc_);
    ui_.updateStatusBar();
    ui_.updateMenus();
    ui_.updateTitle();
    return true;
}

namespace {

AccountChange accountChangeOf(AccountOutcome code, bool deleted) {
    switch (code) {
    case AccountOutcome::Created:
        return AccountChange::Created;
    case AccountOutcome::MaskedOrDeleted:
        return deleted ? AccountChange::Deleted : AccountChange::Masked;
    case AccountOutcome::Unchanged:
    case AccountOutcome::Modified:
        break;
    }
    return AccountChange::Modified;
}

} // namespace

void DocumentCommands::editAccounts() {
    if (!doc_.isOpen || !requireAdministrator())
        return;
    const int previousIndex = currentAccountIndex(doc_);
    // What the dialog may change, kept for undo.
    std::unique_ptr<AccountStep> step;
    if (history_) {
        try {
            step = std::make_unique<AccountStep>(doc_);
        } catch (const std::bad_alloc&) {
            ui_.showMessage(kOutOfMemoryText);
            return;
        }
    }
    const AccountDialogResult result = ui_.runAccountDialog(false);
    if (result.code == AccountOutcome::Unchanged)
        return;
    AccountRecord* deleted = result.code == AccountOutcome::MaskedOrDeleted &&
                                     result.deletePosition != -1
                                 ? accountAt(doc_, result.deletePosition, 1)
                                 : nullptr;
    if (!step) {
        markModified();
    } else {
        if (!step->finish(accountChangeOf(result.code, deleted != nullptr), deleted))
            ui_.showMessage(kOutOfMemoryText); // the account stays, with its operations
        history_->perform(std::move(step));
        ui_.updateMenus();
    }
    const AccountMenuEdit edit = accountMenuEdit(doc_, previousIndex, result.code);
    if (edit.uncheckId)
        ui_.setAccountItemCheck(*edit.uncheckId, false);
    switch (edit.kind) {
    case AccountMenuEdit::Append:
        ui_.appendAccountItem(edit.itemId, edit.text, true);
        break;
    case AccountMenuEdit::Replace:
        ui_.replaceAccountItem(edit.menuPosition, edit.itemId, edit.text, true);
        ui_.redrawMenuBar();
        break;
    case AccountMenuEdit::Rebuild:
        ui_.removeAccountItems();
        if (!history_ && !deleteAccount(doc_, deleted))
            ui_.showMessage(kOutOfMemoryText); // the account stays, with its operations
        ui_.buildAccountsMenu();
        ui_.redrawMenuBar();
        break;
    case AccountMenuEdit::Recheck:
        if (doc_.currentAccount)
            ui_.setAccountItemCheck(edit.itemId, true);
        break;
    }
    ui_.refreshOverview();
    ui_.refreshRegister(1);
    ui_.updateStatusBar();
}

// The editors book their changes themselves (the file is already marked
// modified): the frame and the views that offer the lists follow.
void DocumentCommands::listsEdited(int refill) {
    doc_.isModified = 1;
    ui_.updateMenus();
    ui_.updateTitle();
    ui_.refreshRegister(refill);
}

void DocumentCommands::editCategories() {
    if (!doc_.isOpen || !requireAdministrator())
        return;
    if (ui_.runCategoryEditor()) {
        listsEdited(0);
        ui_.refreshGraph();
    }
}

void DocumentCommands::editLabels() {
    if (!doc_.isOpen || !requireAdministrator())
        return;
    if (ui_.runLabelEditor())
        listsEdited(0);
}

// The operations of a withdrawn mode show their new one: the rows are refilled.
void DocumentCommands::editModes() {
    if (!doc_.isOpen || !requireAdministrator())
        return;
    if (ui_.runModeEditor())
        listsEdited(1);
}

void DocumentCommands::newUser() {
    if (!doc_.isOpen || !requireAdministrator())
        return;
    // A user without password (a new file's) must first give itself one.
    if (!doc_.currentUser || doc_.currentUser->password[0] == '\0') {
        ui_.showMessage(kPasswordFirstText);
        return;
    }
    UserRecord user{};
    if (!ui_.runUserIdentity(&user))
        return;
    if (!ui_.runPasswordDialog(&user, ""))
        return;
    user.id = nextUserId(doc_);
    if (!doc_.users.append(user))
        return;
    markModified();
}

// Another user's steps are not this one's to take back.
void DocumentCommands::changeUser() {
    if (!doc_.isOpen)
        return;
    if (ui_.runLogin()) {
        clearHistory();
        ui_.updateStatusBar();
    }
}

void DocumentCommands::changePassword() {
    if (!doc_.isOpen || !ui_.runLogin())
        return;
    clearHistory();
    ui_.updateStatusBar();
    if (ui_.runPasswordDialog(doc_.currentUser, kChangePasswordTitle))
        markModified();
}

void DocumentCommands::listUsers() {
    if (!doc_.isOpen || !requireAdministrator())
        return;
    if (ui_.runUserList())
        markModified();
}

void DocumentCommands::newThird() {
    if (!doc_.isOpen)
        return;
    // The dialog's change is a step of the history, which keeps the
    // modified flag.
    if (ui_.runThirdDialog()) {
        ui_.refreshRegister(0);
        ui_.refreshThirdView(1);
        ui_.updateMenus();
    }
}

void DocumentCommands::chooseAccount(unsigned id) {
    const AccountChoice choice = chooseAccountItem(doc_, id);
    switch (choice.action) {
    case AccountChoice::Ignore:
        return;
    case AccountChoice::ShowRegister:
        ui_.showTab(kOperationsTab);
        return;
    case AccountChoice::SelectAccount:
        if (choice.uncheckId)
            ui_.setAccountItemCheck(*choice.uncheckId, false);
        ui_.setAccountItemCheck(id, true);
        doc_.currentAccount = accountAt(doc_, choice.index, 1);
        ui_.refreshRegister(1);
        ui_.showTab(kOperationsTab);
        ui_.updateStatusBar();
        return;
    }
}

} // namespace kolvane
