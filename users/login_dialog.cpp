// Dialog 202 "Identifiez-vous".
#include "users/user_dialogs.h"

#include "document/passwords.h"
#include "resources/resource_ids.h"
#include "win/refusals.h"
#include "win/window_object.h"
#include "win/window_text.h"
#include "users/user_rules.h"

namespace kolvane {
namespace {

struct LoginDialog : win::DialogObject<LoginDialog> {
    Document* document = nullptr;

    bool onInit() {
        SendDlgItemMessageW(window, IDC_USER_PSEUDO, EM_LIMITTEXT, kLoginPseudoMaxLength, 0);
        SendDlgItemMessageW(window, IDC_USER_PASSWORD, EM_LIMITTEXT, kPasswordMaxLength, 0);
        SendDlgItemMessageW(window, IDC_USER_PASSWORD, EM_SETPASSWORDCHAR, L'+', 0);
        SetFocus(GetDlgItem(window, IDC_USER_PSEUDO));
        return false; // the focus is set
    }
    void onCancel() { endDialog(0); }

    void onOk() {
        const LoginDecision decision =
            decideLogin(*document, win::windowTextUtf8(GetDlgItem(window, IDC_USER_PSEUDO)),
                        win::windowTextUtf8(GetDlgItem(window, IDC_USER_PASSWORD)));
        if (decision.refusal) {
            win::refuse(window, decision.refusal);
            return;
        }
        document->currentUser = decision.user;
        endDialog(1);
    }
};

} // namespace

win::DialogEnd runLogin(Document& document, HWND owner) {
    LoginDialog dialog;
    dialog.document = &document;
    return win::confirmedOrCancelled(dialog.runModal(owner, IDD_LOGIN));
}

} // namespace kolvane
