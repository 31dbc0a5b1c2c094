#include "win/command_menu.h"

#include <commctrl.h>

namespace kolvane::win {

void applyCommandStates(const CommandRouter& router, HMENU menu) {
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        const UINT id = GetMenuItemID(menu, position);
        if (id == static_cast<UINT>(-1)) // a sub-menu or a separator
            continue;
        const CommandState state = router.state(id);
        if (state.enabled)
            EnableMenuItem(menu, id, MF_BYCOMMAND | (*state.enabled ? MF_ENABLED : MF_GRAYED));
        if (state.checked)
            CheckMenuItem(menu, id, MF_BYCOMMAND | (*state.checked ? MF_CHECKED : MF_UNCHECKED));
    }
}

void applyToolbarChecks(const CommandRouter& router, HWND toolbar) {
    if (toolbar == nullptr)
        return;
    const int count = static_cast<int>(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        TBBUTTON button{};
        if (!SendMessageW(toolbar, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button)) ||
            !(button.fsStyle & BTNS_CHECK))
            continue;
        const CommandState state = router.state(static_cast<unsigned>(button.idCommand));
        if (state.checked)
            SendMessageW(toolbar, TB_CHECKBUTTON, button.idCommand, MAKELPARAM(*state.checked, 0));
    }
}

} // namespace kolvane::win
