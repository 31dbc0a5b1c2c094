// Amounts: doubles shown with two decimals and a space between thousands,
// whatever the regional settings.
#pragma once

#include <string>
#include <string_view>

namespace kolvane {

// "%.2f" of `value`, then its integer digits grouped by `groupThousands`:
// 1234567.89 -> "1 234 567.89", -1234.5 -> "- 1 234.50".
std::string formatAmount(double value);
// Groups the integer digits of a "%.2f" text (optional '-', digits, '.', two
// decimals) by three, separated by one space; a leading '-' is followed by a space.
std::string groupThousands(std::string_view text);
// True when |value| < 0.001 (and not a NaN).
bool isZeroAmount(double value);
// Rounds half away from zero, the digit after `decimals` deciding.
double roundAmount(double value, int decimals);

} // namespace kolvane
