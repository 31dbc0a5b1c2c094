// The dialogs of the users: login (202), identity (203), password (204) and
// the user list (205), and the rights check of the commands that need an
// administrator. Their decisions live in user_rules.h.
#pragma once

#include "document/document.h"
#include "win/dialog_result.h"

#include <windows.h>

#include <string>

namespace kolvane {

// Confirmed when a user logged in and became the current user.
win::DialogEnd runLogin(Document& document, HWND owner);

struct UserIdentityIn {
    UserRecord* user = nullptr; // null: the current user
};
// Confirmed when a pseudo and a role were stored in the user.
win::DialogEnd runUserIdentity(Document& document, const UserIdentityIn& in, HWND owner);

struct PasswordIn {
    UserRecord* user = nullptr; // null: the current user
    std::string title;          // UTF-8; empty keeps the dialog's caption
};
// Confirmed when a password was stored in the user.
win::DialogEnd runPasswordDialog(Document& document, const PasswordIn& in, HWND owner);

// Closed, with `changed` when the access of some user was changed.
win::EditorResult runUserList(Document& document, HWND owner);

// 1 when the current user is an administrator; otherwise shows string 20402
// and returns 0.
int requireAdministrator(Document& document, HWND owner);

} // namespace kolvane
