// Dialog 203 "Nouvel utilisateur": the pseudo and the role of a user.
#include "users/user_dialogs.h"

#include "resources/resource_ids.h"
#include "win/refusals.h"
#include "win/window_object.h"
#include "win/window_text.h"
#include "users/user_rules.h"

namespace kolvane {
namespace {

struct UserIdentityDialog : win::DialogObject<UserIdentityDialog> {
    Document* document = nullptr;
    UserRecord* user = nullptr; // never null once shown

    void onInit() {
        // The name field holds 39 characters; longer pseudos cannot be typed.
        SendMessageW(item(IDC_USER_PSEUDO), EM_LIMITTEXT, kUserNameMaxLength, 0);
        win::setWindowText1252(item(IDC_USER_PSEUDO), fieldText(user->name));
        CheckRadioButton(window, IDC_USER_ADMINISTRATOR, IDC_USER_LIMITED,
                         isAdministrator(user->flags) ? IDC_USER_ADMINISTRATOR : IDC_USER_LIMITED);
    }
    void onCancel() { endDialog(0); }

    void onOk() { // "Suivant"
        const IdentityDecision decision =
            decideIdentity(*document, *user, win::windowTextUtf8(item(IDC_USER_PSEUDO)),
                           IsDlgButtonChecked(window, IDC_USER_LIMITED) == BST_CHECKED);
        if (decision.refusal) {
            win::refuse(window, decision.refusal);
            return;
        }
        applyIdentity(*user, decision);
        endDialog(1);
    }
};

} // namespace

win::DialogEnd runUserIdentity(Document& document, const UserIdentityIn& in, HWND owner) {
    UserIdentityDialog dialog;
    dialog.document = &document;
    dialog.user = in.user ? in.user : document.currentUser;
    if (!dialog.user)
        return win::DialogEnd::NotShown;
    return win::confirmedOrCancelled(dialog.runModal(owner, IDD_USER_IDENTITY));
}

} // namespace kolvane
