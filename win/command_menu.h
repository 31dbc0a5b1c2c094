// The command table on the screen: a popup about to open and the toolbar's
// check buttons show what the table says of their ids.
#pragma once

#include "document/command_router.h"

#include <windows.h>

namespace kolvane::win {

// Greys, enables, checks and unchecks the items of `menu` (not its
// sub-menus) that the router knows.
void applyCommandStates(const CommandRouter& router, HMENU menu);
// Checks and unchecks the check buttons of `toolbar` that the router knows.
void applyToolbarChecks(const CommandRouter& router, HWND toolbar);

} // namespace kolvane::win
