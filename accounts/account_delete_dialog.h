// Dialog 213: what to do with the account the user wants to remove.
#pragma once

#include "win/window_object.h"

#include <windows.h>

namespace kolvane {

// "Masquer" (1), "Supprimer" (2), or "Annuler" and the close box (0).
// "Masquer" is offered only when `maskOffered` (the account is not masked
// already).
struct AccountDeleteDialog : win::DialogObject<AccountDeleteDialog> {
    bool maskOffered = true;
    void onInit();
    void onCommand(int id, int code);
    void onCancel();
};

struct AccountDeleteIn {
    bool maskOffered = true;
};
enum class AccountDeleteEnd { Mask, Remove, Cancelled, NotShown };
AccountDeleteEnd runAccountDeleteDialog(const AccountDeleteIn& in, HWND owner);

} // namespace kolvane
