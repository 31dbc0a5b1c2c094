#include "amounts.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

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

bool isZeroAmount(double value) {
    return std::fabs(value) < 0.001;
}

double roundAmount(double value, int decimals) {
    if (value == 0.0 || !std::isfinite(value))
        return value;
    decimals = decimals < 0 ? 0 : decimals;
    // The shortest fixed form of the largest double has 309 digits.
    char digits[400];
    const auto written = std::to_chars(digits, digits + sizeof digits, std::fabs(value),
                                       std::chars_format::fixed);
    std::string text(digits, written.ptr);
    const std::size_t point = text.find('.');
    if (point == std::string::npos || text.size() - point - 1 <= static_cast<std::size_t>(decimals))
        return value;
    const std::size_t decidingDigit = point + 1 + static_cast<std::size_t>(decimals);
    const bool roundUp = text[decidingDigit] >= '5';
    text.resize(decimals == 0 ? point : decidingDigit);
    if (roundUp) {
        std::size_t position = text.size();
        while (position > 0) {
            char& digit = text[--position];
            if (digit == '.')
                continue;
            if (digit != '9') {
                ++digit;
                break;
            }
            digit = '0';
            if (position == 0)
                text.insert(text.begin(), '1');
        }
    }
    double rounded = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), rounded);
    if (rounded == 0.0)
        return 0.0;
    return value < 0 ? -rounded : rounded;
}

} // namespace kolvane
