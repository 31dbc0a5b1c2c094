// The calculator (command 1020): a small dialog where an expression is typed
// and its result shown as it is typed; "Copier" puts the result on the
// clipboard, "Insérer" writes it into the amount field that had the focus.
#pragma once

#include <windows.h>

namespace kolvane {

// Runs the calculator over `owner`. `amountField` is the amount box to write
// into with "Insérer", or null (the button is then greyed). Returns 1 when a
// result was inserted, else 0.
int runCalculator(HWND owner, HWND amountField);

} // namespace kolvane
