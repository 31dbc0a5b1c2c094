// The calculator's arithmetic: an expression of numbers with + − × ÷ and
// parentheses, typed the way a French user writes it (decimal comma or point,
// spaces between thousands), evaluated without ever failing loudly: every
// mistake comes back as a message to show in the dialog.
#pragma once

#include <string>
#include <string_view>

namespace kolvane {

struct Calculation {
    bool ok = false;
    double value = 0.0;
    std::string error; // UTF-8, when not ok
};

// Evaluates a UTF-8 expression. Accepted: digits with one ',' or '.', the
// operators + - * / and their signs − × ÷, a leading sign before any number
// or parenthesis, parentheses; spaces anywhere. A result of 10^12 or more (in
// absolute value) is refused, as no amount field can hold it.
Calculation calculate(std::string_view expression);

// The result as the calculator shows it: grouped thousands, a decimal point,
// at least two decimals and at most ten, trailing zeros dropped: 1234.5 ->
// "1 234.50", 10 / 3 -> "3.3333333333".
std::string calculatorResultText(double value);

} // namespace kolvane
