// The rules of an amount box: what a typed key does, how the text is read and
// how it is rewritten. The Win32 edit control only maps them to the screen.
#pragma once

#include <string>
#include <string_view>

namespace kolvane {

// Reads a number from the start of `text` ('.' as decimal point; reading
// stops at the first character that cannot continue a number, so "12,5" is
// 12) and rounds it to two decimals through its two-decimal text, which
// `normalised` receives when given. Nothing readable gives 0 and "0.00".
double parseAmount(std::string_view text, std::string* normalised = nullptr);

// The value written with two decimals, whatever the locale: 3 -> "3.00".
std::string amountTwoDecimals(double value);

enum class AmountKey {
    PassOn,         // the plain edit control handles the key
    DropWithBeep,   // refused, the user hears it
    DropSilently,   // refused without a sound
    SelectDecimals, // a second point: the decimals get selected instead
    TypePoint,      // a comma where a point may go: the point is typed instead
};

struct AmountKeyDecision {
    AmountKey action = AmountKey::PassOn;
    int selectFrom = 0; // the selection to make for SelectDecimals
    int selectTo = 0;
};

// What a character typed into an amount box does, given the box's text and
// its selection [selStart, selEnd). Backspace is L'\b'. A comma counts as the
// decimal point.
AmountKeyDecision decideAmountKey(std::string_view text, int selStart, int selEnd, wchar_t key);

// The text a box shows once the focus has left it: exactly 0 is empty, or
// "0.00" with showZero; anything else has two decimals.
std::string amountTextOnFocusLoss(std::string_view text, bool showZero);

// The text a box shows when it becomes an amount box: as on focus loss, but
// only a value of exactly 0 without showZero is emptied ("-0" keeps "-0.00").
std::string amountTextOnAttach(std::string_view text, bool showZero);

// The text written for a value: "0.00" becomes empty without showZero; -0.0
// stays "-0.00".
std::string amountTextForValue(double value, bool showZero);

} // namespace kolvane
