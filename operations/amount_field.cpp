#include "operations/amount_field.h"

#include "document/amounts.h"

#include <charconv>
#include <cstddef>
#include <system_error>

namespace kolvane {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::size_t skipDigits(std::string_view text, std::size_t pos) {
    while (pos < text.size() && isDigit(text[pos]))
        ++pos;
    return pos;
}

// The longest prefix of `text` that reads as a decimal number, as the C
// library would take it: blanks, a sign, digits with an optional point and an
// optional exponent. Returns false when no digit is there at all.
bool readNumber(std::string_view text, double& value) {
    std::size_t pos = 0;
    while (pos < text.size() && isSpace(text[pos]))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const std::size_t start = pos;
    pos = skipDigits(text, pos);
    std::size_t digits = pos - start;
    if (pos < text.size() && text[pos] == '.') {
        const std::size_t afterPoint = pos + 1;
        const std::size_t end = skipDigits(text, afterPoint);
        digits += end - afterPoint;
        pos = end;
    }
    if (digits == 0)
        return false;
    // An exponent counts only when at least one digit follows it.
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        std::size_t exponent = pos + 1;
        if (exponent < text.size() && (text[exponent] == '-' || text[exponent] == '+'))
            ++exponent;
        const std::size_t end = skipDigits(text, exponent);
        if (end > exponent)
            pos = end;
    }
    double magnitude = 0.0;
    const auto result = std::from_chars(text.data() + start, text.data() + pos, magnitude);
    // Out of range (far beyond any sum of money, or below a cent) reads as 0.
    if (result.ec != std::errc())
        magnitude = 0.0;
    value = negative ? -magnitude : magnitude;
    return true;
}

} // namespace

std::string amountTwoDecimals(double value) {
    // Room for the widest double in fixed notation: 309 digits, sign, point, 2.
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    if (result.ec != std::errc())
        return "0.00";
    return std::string(buffer, result.ptr);
}

double parseAmount(std::string_view text, std::string* normalised) {
    // Spaces group the thousands and the comma is the French decimal mark.
    std::string plain;
    plain.reserve(text.size());
    for (char c : text)
        if (c != ' ')
            plain += c == ',' ? '.' : c;
    double value = 0.0;
    readNumber(plain, value);
    std::string written = amountTwoDecimals(value);
    double rounded = 0.0;
    const auto result = std::from_chars(written.data(), written.data() + written.size(), rounded);
    if (result.ec != std::errc()) {
        // Only "inf" or "nan" texts get here; a field cannot show them.
        rounded = 0.0;
        written = "0.00";
    }
    if (normalised)
        *normalised = std::move(written);
    return rounded;
}

namespace {

// The digits before the point once `key` has replaced the selection.
int integerDigitsAfterTyping(std::string_view text, int selStart, int selEnd, wchar_t key) {
    std::string result(text.substr(0, static_cast<std::size_t>(selStart)));
    result += static_cast<char>(key);
    if (static_cast<std::size_t>(selEnd) < text.size())
        result += text.substr(static_cast<std::size_t>(selEnd));
    int digits = 0;
    for (char c : result) {
        if (c == '.')
            break;
        digits += isDigit(c) ? 1 : 0;
    }
    return digits;
}

} // namespace

AmountKeyDecision decideAmountKey(std::string_view text, int selStart, int selEnd, wchar_t key) {
    const int length = static_cast<int>(text.size());
    selStart = selStart < 0 ? 0 : selStart > length ? length : selStart;
    selEnd = selEnd < selStart ? selStart : selEnd > length ? length : selEnd;
    if (key == L',')
        key = L'.';
    const AmountKeyDecision passOn{AmountKey::PassOn, 0, 0, key};
    const bool startsWithMinus = !text.empty() && text.front() == '-';
    const bool isBackspace = key == L'\b';
    const bool isDigitKey = key >= L'0' && key <= L'9';

    if (key != L'-' && key != L'.' && !isDigitKey && !isBackspace)
        return {AmountKey::DropWithBeep, 0, 0};

    if (key == L'.') {
        const std::size_t point = text.find('.');
        const int p = static_cast<int>(point);
        // A point typed over a selection that holds the point replaces it.
        if (point != std::string_view::npos && !(selStart <= p && p < selEnd))
            return {AmountKey::SelectDecimals, p + 1, length};
    } else if (isDigitKey &&
               integerDigitsAfterTyping(text, selStart, selEnd, key) > kAmountIntegerDigits) {
        return {AmountKey::DropWithBeep, 0, 0};
    } else if (key == L'-') {
        // A second sign only replaces the first, through a selection from 0.
        if (startsWithMinus) {
            if (selStart == 0 && selEnd != selStart)
                return passOn;
            return {AmountKey::DropSilently, 0, 0};
        }
        if (selStart != 0)
            return {AmountKey::DropSilently, 0, 0};
    }

    // Nothing can be typed in front of the sign.
    if (selStart == 0 && selEnd == 0 && startsWithMinus)
        return {AmountKey::DropSilently, 0, 0};

    // A third decimal is refused; a selection or a key before the point is not.
    const std::size_t point = text.find('.');
    const int afterPoint = point == std::string_view::npos ? length : static_cast<int>(point) + 1;
    if (length > 0 && length - afterPoint > 1 && afterPoint <= selStart && selStart == selEnd &&
        !isBackspace)
        return {AmountKey::DropWithBeep, 0, 0};

    return passOn;
}

std::string amountTextOnFocusLoss(std::string_view text, bool showZero) {
    return amountTextForValue(parseAmount(text), showZero);
}

std::string amountTextForValue(double value, bool showZero) {
    std::string text = formatAmount(value);
    if (text == "0.00" && !showZero)
        return "";
    return text;
}

} // namespace kolvane
