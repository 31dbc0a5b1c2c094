// The rules of an amount box: what a typed key does, how the text is read and
// how it is rewritten. The Win32 edit control only maps them to the screen.
#pragma once

#include <string>
#include <string_view>

namespace kolvane {

// Reads a number from the start of `text` as a French user writes it or the
// field shows it: ',' or '.' as decimal mark, spaces between the thousands
// ignored ("- 1 234,5" is -1234.5); reading stops at the first character
// that cannot continue a number. The value is rounded to two decimals through
// its two-decimal text, which `normalised` receives when given ("-1234.50").
// Nothing readable gives 0 and "0.00".
double parseAmount(std::string_view text, std::string* normalised = nullptr);

// The most digits an amount field holds before its decimal mark.
inline constexpr int kAmountIntegerDigits = 12;

// The value written with two decimals, whatever the locale: 3 -> "3.00".
std::string amountTwoDecimals(double value);

enum class AmountKey {
    PassOn,         // the plain edit control handles the key
    DropWithBeep,   // refused, the user hears it
    DropSilently,   // refused without a sound
    SelectDecimals, // a second point: the decimals get selected instead
};

struct AmountKeyDecision {
    AmountKey action = AmountKey::PassOn;
    int selectFrom = 0; // the selection to make for SelectDecimals
    int selectTo = 0;
    wchar_t typed = 0;  // PassOn: the character to type (',' becomes '.')
};

// What a character typed into an amount box does, given the box's text and
// its selection [selStart, selEnd). Backspace is L'\b'. The comma is typed
// as the decimal point; a point typed over a selection that holds the point
// replaces it; a digit that would make more than 12 digits before the point
// is refused with a beep.
AmountKeyDecision decideAmountKey(std::string_view text, int selStart, int selEnd, wchar_t key);

// The text a box shows once the focus has left it, or when it becomes an
// amount box: exactly 0 is empty, or "0.00" with showZero; anything else as
// the rest of the program writes amounts ("1 234.50", "- 12.00").
std::string amountTextOnFocusLoss(std::string_view text, bool showZero);

// The text written for a value, the same way; 0.00 is empty without showZero.
std::string amountTextForValue(double value, bool showZero);

} // namespace kolvane
