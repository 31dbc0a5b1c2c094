// Dialog 213: what to do with the account the user wants to remove.
#pragma once

#include "win/window_object.h"

#include <windows.h>

namespace kolvane {

// Ends with 1 "Masquer", 2 "Supprimer", 0 "Annuler" or the close box.
// "Masquer" is offered only when `maskOffered` (the account is not masked
// already).
struct AccountDeleteDialog : win::DialogObject<AccountDeleteDialog> {
    bool maskOffered = true;
    void onInit();
    void onCommand(int id, int code);
    void onCancel();
};

int runAccountDeleteDialog(AccountDeleteDialog& dialog, HWND owner);

} // namespace kolvane
