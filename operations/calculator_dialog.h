// The calculator (command 1020): a small dialog where an expression is typed
// and its result shown as it is typed; "Copier" puts the result on the
// clipboard, "Insérer" writes it into the amount field that had the focus.
#pragma once

#include "win/dialog_result.h"

#include <windows.h>

namespace kolvane {

struct CalculatorIn {
    HWND amountField = nullptr; // written by "Insérer"; null greys the button
};
// Runs the calculator over `owner`: Confirmed when a result was inserted.
win::DialogEnd runCalculator(const CalculatorIn& in, HWND owner);

} // namespace kolvane
