// How a dialog says a refusal of the core (document/refusal.h): the message
// box, then the focus on the control of the refused field. The one table
// from the core's fields to the dialogs' controls is behind it.
#pragma once

#include "document/refusal.h"

#include <windows.h>

namespace kolvane::win {

// The control of `field` in the dialog that shows it; 0 for none.
int refusalControl(RefusalField field);

// Says `refusal` over `dialog` and moves the focus to its field; the dialog
// stays open. Nothing for an accepted entry.
void refuse(HWND dialog, const Refusal& refusal);

} // namespace kolvane::win
