// Dialog 204: a user's password, typed twice.
#include "users/user_dialogs.h"

#include "document/passwords.h"
#include "resources/resource_ids.h"
#include "win/refusals.h"
#include "win/window_object.h"
#include "win/window_text.h"
#include "users/user_rules.h"

namespace kolvane {
namespace {

struct PasswordDialog : win::DialogObject<PasswordDialog> {
    Document* document = nullptr;
    UserRecord* user = nullptr; // never null once shown
    std::string title;          // UTF-8; empty keeps the template's caption

    bool onInit() {
        win::setWindowText1252(item(IDC_USER_PSEUDO), fieldText(user->name));
        if (!title.empty())
            win::setWindowTextUtf8(window, title);
        for (int id : {IDC_USER_PASSWORD, IDC_USER_CONFIRMATION}) {
            SendMessageW(item(id), EM_LIMITTEXT, kPasswordMaxLength, 0);
            SendMessageW(item(id), EM_SETPASSWORDCHAR, L'+', 0);
        }
        SetFocus(item(IDC_USER_PASSWORD));
        return false; // the focus is set
    }
    void onCancel() { endDialog(0); }

    void onOk() {
        const std::string password = win::windowTextUtf8(item(IDC_USER_PASSWORD));
        const Refusal refusal =
            decidePassword(password, win::windowTextUtf8(item(IDC_USER_CONFIRMATION)));
        if (refusal) {
            win::refuse(window, refusal);
            return;
        }
        applyPassword(*user, password);
        endDialog(1);
    }
};

} // namespace

win::DialogEnd runPasswordDialog(Document& document, const PasswordIn& in, HWND owner) {
    PasswordDialog dialog;
    dialog.document = &document;
    dialog.user = in.user ? in.user : document.currentUser;
    dialog.title = in.title;
    if (!dialog.user)
        return win::DialogEnd::NotShown;
    return win::confirmedOrCancelled(dialog.runModal(owner, IDD_PASSWORD));
}

} // namespace kolvane
