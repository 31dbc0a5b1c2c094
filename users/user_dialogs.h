// The dialogs of the users: login (202), identity (203), password (204) and
// the user list (205), and the rights check of the commands that need an
// administrator. Their decisions live in user_rules.h.
#pragma once

#include "document/document.h"

#include <windows.h>

#include <string>

namespace kolvane {

// 1 when a user logged in and became the current user, else 0.
int runLogin(Document& document, HWND owner);
// 1 when a pseudo and a role were stored in `user` (null: the current user).
int runUserIdentity(Document& document, UserRecord* user, HWND owner);
// 1 when a password was stored in `user` (null: the current user). A non-empty
// `title` (UTF-8) replaces the dialog's caption.
int runPasswordDialog(Document& document, UserRecord* user, const std::string& title, HWND owner);
// 1 when the access of some user was changed.
int runUserList(Document& document, HWND owner);

// 1 when the current user is an administrator; otherwise shows string 20402
// and returns 0.
int requireAdministrator(Document& document, HWND owner);

} // namespace kolvane
