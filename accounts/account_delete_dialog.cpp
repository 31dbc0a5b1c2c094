#include "accounts/account_delete_dialog.h"

#include "resources/resource_ids.h"
#include "document/app_title.h"

namespace kolvane {

void AccountDeleteDialog::onInit() {
    SetWindowTextW(window, kAppTitleWide);
    SendDlgItemMessageW(window, IDC_WARNING_ICON, STM_SETICON,
                        reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_WARNING)), 0);
    EnableWindow(item(IDC_ACCOUNT_DELETE_MASK), maskOffered);
}

void AccountDeleteDialog::onCommand(int id, int) {
    if (id == IDC_ACCOUNT_DELETE_MASK && maskOffered)
        endDialog(1);
    else if (id == IDC_ACCOUNT_DELETE_REMOVE)
        endDialog(2);
}

void AccountDeleteDialog::onCancel() { // "Annuler", Escape and the close box
    endDialog(0);
}

AccountDeleteEnd runAccountDeleteDialog(const AccountDeleteIn& in, HWND owner) {
    AccountDeleteDialog dialog;
    dialog.maskOffered = in.maskOffered;
    switch (dialog.runModal(owner, IDD_ACCOUNT_DELETE)) {
    case 1:
        return AccountDeleteEnd::Mask;
    case 2:
        return AccountDeleteEnd::Remove;
    case 0:
        return AccountDeleteEnd::Cancelled;
    default:
        return AccountDeleteEnd::NotShown;
    }
}

} // namespace kolvane
