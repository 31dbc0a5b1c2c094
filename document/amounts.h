// Amounts: doubles shown with two decimals and a space between thousands,
// whatever the regional settings.
#pragma once

#include <string>
#include <string_view>

namespace kolvane {

// "%.2f" of `value`, then its integer digits grouped by `groupThousands`:
// 1234567.89 -> "1 234 567.89", -1234.5 -> "- 1 234.50". A value that rounds
// to zero is "0.00", never "- 0.00".
std::string formatAmount(double value);
// Groups the integer digits of a "%.2f" text (optional '-', digits, '.', two
// decimals) by three, separated by one space; a leading '-' is followed by a space.
std::string groupThousands(std::string_view text);
// True when |value| < 0.001 (and not a NaN).
bool isZeroAmount(double value);
// Rounds half away from zero, the digit after `decimals` (read after
// truncation) deciding: 2.125 -> 2.13. The digits are read as 32-bit
// integers, so a value with |value| * 10^(decimals + 1) >= 2^31 is returned
// unchanged; a negative `decimals` counts as 0. The deciding digit is read
// from the scaled value |value| * 10^decimals times ten, not from
// |value| * 10^(decimals + 1) computed afresh: the latter can disagree with
// the truncated part and turn 4.1 into 4.09.
double roundAmount(double value, int decimals);

} // namespace kolvane
