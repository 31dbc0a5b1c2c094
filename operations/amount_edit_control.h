// Amount boxes: single-line edit controls that take only a sum of money and
// always show it with two decimals (the rules live in amount_field.h).
#pragma once

#include <windows.h>

namespace kolvane {

// Turns the edit control `field` into an amount box: rewrites its text as
// amounts are shown (empty for 0 unless showZero) and from then on takes its
// keys. False when `field` is not an edit control. Attaching again only
// changes showZero.
bool attachAmountEdit(HWND field, bool showZero);

// True when `field` is an amount box.
bool isAmountEdit(HWND field);

// The value of the field's text rounded to two decimals; 0 for no window.
double getAmount(HWND field);

// Writes `value` as amounts are shown ("1 234.50"; 0 shows empty without showZero).
// The edit control's change notification follows as for any text change.
void setAmount(HWND field, double value);

// The sound of a refused key or paste; tests replace it to count refusals.
using AmountBeep = void (*)();
void setAmountBeep(AmountBeep beep);

} // namespace kolvane
