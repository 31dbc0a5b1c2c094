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
// Rounds half away from zero as a person rounds the written number: the
// value's shortest decimal form (the one that reads back as the same double)
// is cut after `decimals` digits and the next digit decides: 0.145 -> 0.15,
// 2.125 -> 2.13, 4.1 -> 4.10. A negative `decimals` counts as 0; NaN and
// infinities are returned unchanged, a result of zero has no sign.
double roundAmount(double value, int decimals);

} // namespace kolvane
