// Dialog 205 "Liste des utilisateurs": who may open the file, and the access
// of each user switched off or back on. Nobody is ever removed.
#include "users/user_dialogs.h"

#include "resources/resource_ids.h"
#include "win/window_object.h"
#include "win/window_text.h"
#include "users/user_rules.h"

#include <commctrl.h>

namespace kolvane {
namespace {

struct UserListDialog : win::DialogObject<UserListDialog> {
    Document* document = nullptr;
    int selectedRow = -1;
    int changed = 0;
    std::wstring shownText; // the text handed out for the cell being drawn

    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case WM_INITDIALOG:
            fill();
            return TRUE;
        case WM_NOTIFY:
            return onNotify(*reinterpret_cast<const NMHDR*>(lParam), lParam);
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

    HWND list() const { return item(IDC_LIST_VIEW); }

    void fill() {
        HWND view = list();
        ListView_SetExtendedListViewStyle(view, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
        ListView_SetTextColor(view, RGB(0, 0, 240));
        RECT client{};
        GetClientRect(view, &client);
        const wchar_t* titles[] = {L"Pseudo", L"Fonction", L"Masque"};
        for (int i = 0; i < 3; ++i) {
            LVCOLUMNW column{};
            column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
            column.fmt = LVCFMT_LEFT;
            column.cx = client.right / 3;
            column.pszText = const_cast<wchar_t*>(titles[i]);
            ListView_InsertColumn(view, i, &column);
        }
        int row = 0;
        for (UserRecord* user = document->users.first(); user; user = document->users.next(user)) {
            LVITEMW entry{};
            entry.mask = LVIF_TEXT | LVIF_PARAM;
            entry.iItem = row++;
            entry.pszText = LPSTR_TEXTCALLBACKW;
            entry.lParam = reinterpret_cast<LPARAM>(user);
            ListView_InsertItem(view, &entry);
        }
    }

    INT_PTR onNotify(const NMHDR& header, LPARAM lParam) {
        if (header.idFrom != IDC_LIST_VIEW)
            return FALSE;
        if (header.code == LVN_GETDISPINFOW) {
            auto* info = reinterpret_cast<NMLVDISPINFOW*>(lParam);
            showCell(info->item);
            return TRUE;
        }
        if (header.code == LVN_ITEMCHANGED) {
            // A row chosen with the arrows counts as a click on it.
            const auto* change = reinterpret_cast<const NMLISTVIEW*>(lParam);
            if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED) &&
                !(change->uOldState & LVIS_SELECTED) && change->iItem >= 0) {
                selectedRow = change->iItem;
                EnableWindow(item(IDC_DELETE_BUTTON), TRUE);
            }
            return TRUE;
        }
        if (header.code == NM_CLICK) {
            const auto* click = reinterpret_cast<const NMITEMACTIVATE*>(lParam);
            selectedRow = click->iItem;
            EnableWindow(item(IDC_DELETE_BUTTON), selectedRow >= 0);
            return TRUE;
        }
        return FALSE;
    }

    void showCell(LVITEMW& cell) {
        if (!(cell.mask & LVIF_TEXT))
            return;
        const auto* user = reinterpret_cast<const UserRecord*>(cell.lParam);
        if (!user)
            return;
        switch (cell.iSubItem) {
        case 0:
            shownText = cp1252ToWide(fieldText(user->name));
            break;
        case 1:
            shownText = utf8ToWide(userRoleText(user->flags));
            break;
        default:
            shownText = utf8ToWide(userMaskText(user->flags));
            break;
        }
        cell.pszText = shownText.data();
    }

    UserRecord* userAt(int row) const {
        LVITEMW entry{};
        entry.mask = LVIF_PARAM;
        entry.iItem = row;
        if (!ListView_GetItem(list(), &entry))
            return nullptr;
        return reinterpret_cast<UserRecord*>(entry.lParam);
    }

    void toggleSelected() {
        UserRecord* user = selectedRow >= 0 ? userAt(selectedRow) : nullptr;
        if (!user)
            return;
        const AccessToggle toggle = toggleUserAccess(*document, *user);
        if (!toggle.toggled) {
            win::showMessage(window, utf8ToWide(toggle.message));
            SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list()), TRUE);
            return;
        }
        ListView_RedrawItems(list(), selectedRow, selectedRow);
        selectedRow = -1;
        SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list()), TRUE);
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
