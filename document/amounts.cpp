#include "amounts.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace kolvane {

std::string groupThousands(std::string_view text) {
    // Anything shorter than ".00" is not a two-decimal text: keep it as it is.
    if (text.size() < 3)
        return std::string(text);
    const std::size_t integerEnd = text.size() - 3; // sign and integer digits
    const std::size_t start = text[0] == '-' ? 1 : 0;
    std::string out = start ? "-" : "";
    if (integerEnd < start)
        return std::string(text);
    const std::size_t digits = integerEnd - start;
    std::size_t position = start;
    const std::size_t firstGroup = digits % 3;
    if (firstGroup != 0) {
        if (!out.empty())
            out += ' ';
        out.append(text.substr(position, firstGroup));
        position += firstGroup;
    }
    while (position < integerEnd) {
        if (!out.empty())
            out += ' ';
        out.append(text.substr(position, 3));
        position += 3;
    }
    out.append(text.substr(integerEnd));
    return out;
}

std::string formatAmount(double value) {
    // The largest double has 309 integer digits.
    char buffer[400];
    auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    if (error != std::errc())
        return std::string();
    std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
    // A value that rounds to nothing (-0.0, -0.001) prints as "-0.00"; a sign
    // in front of a zero amount only confuses, so it is shown as "0.00".
    if (text == "-0.00")
        text.remove_prefix(1);
    return groupThousands(text);
}

namespace {

// Exact for the small counts of decimals amounts use (up to 10^22), and the
// same in every runtime, unlike pow().
double powerOfTen(int exponent) {
    double result = 1.0;
    for (int i = 0; i < exponent; ++i)
        result *= 10.0;
    return result;
}

} // namespace

bool isZeroAmount(double value) {
    return std::fabs(value) < 0.001;
}

double roundAmount(double value, int decimals) {
    if (value == 0.0 || std::isnan(value))
        return value;
    // A negative count of decimals means none.
    const double scale = powerOfTen(decimals < 0 ? 0 : decimals);
    const double magnitude = std::fabs(value);
    const double nextScaled = magnitude * scale * 10.0;
    // The integer parts are 32-bit; beyond that there is no digit to read
    // safely (and a double that large has no spare decimals to round anyway).
    if (!(nextScaled < 2147483648.0))
        return value;
    std::int32_t truncated = static_cast<std::int32_t>(magnitude * scale);
    const std::int32_t nextDigit = static_cast<std::int32_t>(nextScaled) % 10;
    if (nextDigit >= 5)
        truncated += 1;
    if (truncated == 0)
        return 0.0;
    const double rounded = truncated / scale;
    return value < 0 ? -rounded : rounded;
}

} // namespace kolvane
