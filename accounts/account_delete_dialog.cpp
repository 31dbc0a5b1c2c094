#include "accounts/account_delete_dialog.h"

#include "resources/resource_ids.h"
#include "document/app_title.h"

namespace kolvane {

INT_PTR AccountDeleteDialog::handleMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowTextW(window, kAppTitleWide);
        SendDlgItemMessageW(window, IDC_WARNING_ICON, STM_SETICON,
                            reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_WARNING)), 0);
        EnableWindow(item(IDC_ACCOUNT_DELETE_MASK), maskOffered);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_ACCOUNT_DELETE_MASK:
            if (maskOffered)
                endDialog(1);
            return TRUE;
        case IDC_ACCOUNT_DELETE_REMOVE:
            endDialog(2);
            return TRUE;
        case IDCANCEL: // "Annuler", Escape and the close box
            endDialog(0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

int runAccountDeleteDialog(AccountDeleteDialog& dialog, HWND owner) {
    int result = dialog.runModal(owner, IDD_ACCOUNT_DELETE);
    return result < 0 ? 0 : result;
}

} // namespace kolvane
