// Dialog 205 "Liste des utilisateurs": who may open the file, and the access
// of each user switched off or back on. Nobody is ever removed.
#include "users/user_dialogs.h"

#include "resources/resource_ids.h"
#include "win/refusals.h"
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

    void onInit() {
        rows.emplace(*document);
        list.attach(item(IDC_LIST_VIEW), *rows, kColumns, {RGB(0, 0, 240), true});
    }
    std::optional<LRESULT> onNotify(const NMHDR& header) {
        if (std::optional<LRESULT> answer = list.notify(header))
            return answer;
        const std::optional<int> row = list.chosenRow(header);
        if (!row)
            return std::nullopt;
        selectedRow = *row;
        EnableWindow(item(IDC_DELETE_BUTTON), selectedRow >= 0);
        return 0;
    }
    bool onDrawItem(const DRAWITEMSTRUCT& draw) { return list.drawItem(draw); }
    void onCommand(int id, int) {
        if (id == IDC_DELETE_BUTTON)
            toggleSelected();
    }
    void onCancel() { endDialog(changed); }

    void toggleSelected() {
        UserRecord* user = rows ? rows->user(selectedRow) : nullptr;
        if (!user)
            return;
        const AccessToggle toggle = toggleUserAccess(*document, *user);
        if (!toggle.toggled) {
            win::refuse(window, toggle.refusal);
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

win::EditorResult runUserList(Document& document, HWND owner) {
    UserListDialog dialog;
    dialog.document = &document;
    return win::editorResult(dialog.runModal(owner, IDD_USER_LIST));
}

int requireAdministrator(Document& document, HWND owner) {
    if (mayAdminister(document))
        return 1;
    win::showStringMessage(owner, IDS_NOT_ALLOWED);
    return 0;
}

} // namespace kolvane
