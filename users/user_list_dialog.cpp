// Dialog 205 "Liste des utilisateurs": who may open the file, and the access
// of each user switched off or back on. Nobody is ever removed.
#include "users/user_dialogs.h"

#include "resources/resource_ids.h"
#include "win/window_object.h"
#include "win/list_view.h"
#include "win/window_text.h"
#include "users/user_rules.h"

#include <optional>

namespace kolvane {
namespace {

constexpr win::ListColumn kColumns[] = {{L"Pseudo"}, {L"Fonction"}, {L"Masque"}};

struct UserListDialog : win::DialogObject<UserListDialog> {
    Document* document = nullptr;
    std::optional<UserRows> rows;
    win::ListView list;
    int selectedRow = -1;
    int changed = 0;

    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case WM_INITDIALOG:
            rows.emplace(*document);
            list.attach(item(IDC_LIST_VIEW), *rows, kColumns, {RGB(0, 0, 240), true});
            return TRUE;
        case WM_NOTIFY:
            return onNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_DRAWITEM:
            return list.drawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_DELETE_BUTTON)
                toggleSelected();
            else if (LOWORD(wParam) == IDCANCEL)
                endDialog(changed);
            return TRUE;
        default:
            return FALSE;
        }
    }

    INT_PTR onNotify(const NMHDR& header) {
        if (list.notify(header))
            return TRUE;
        if (header.hwndFrom == list.handle() && header.code == LVN_ITEMCHANGED) {
            // A row chosen with the arrows counts as a click on it.
            const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
            if ((change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_SELECTED) &&
                !(change.uOldState & LVIS_SELECTED) && change.iItem >= 0) {
                selectedRow = change.iItem;
                EnableWindow(item(IDC_DELETE_BUTTON), TRUE);
            }
            return TRUE;
        }
        if (header.hwndFrom == list.handle() && header.code == NM_CLICK) {
            selectedRow = reinterpret_cast<const NMITEMACTIVATE&>(header).iItem;
            EnableWindow(item(IDC_DELETE_BUTTON), selectedRow >= 0);
            return TRUE;
        }
        return FALSE;
    }

    void toggleSelected() {
        UserRecord* user = rows ? rows->user(selectedRow) : nullptr;
        if (!user)
            return;
        const AccessToggle toggle = toggleUserAccess(*document, *user);
        if (!toggle.toggled) {
            win::refuseEntry(window, toggle.message, IDC_LIST_VIEW);
            return;
        }
        list.redrawRow(selectedRow);
        selectedRow = -1;
        SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list.handle()), TRUE);
        EnableWindow(item(IDC_DELETE_BUTTON), FALSE);
        changed = 1;
    }
};

} // namespace

int runUserList(Document& document, HWND owner) {
    UserListDialog dialog;
    dialog.document = &document;
    return dialog.runModal(owner, IDD_USER_LIST) == 1 ? 1 : 0;
}

int requireAdministrator(Document& document, HWND owner) {
    if (mayAdminister(document))
        return 1;
    win::showStringMessage(owner, IDS_NOT_ALLOWED);
    return 0;
}

} // namespace kolvane
