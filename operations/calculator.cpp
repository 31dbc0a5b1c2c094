#include "operations/calculator.h"

#include "document/amounts.h"
#include "document/text.h"

#include <charconv>
#include <cmath>
#include <string>

namespace kolvane {
namespace {

constexpr double kLargestResult = 1e12;
constexpr int kDeepestNesting = 64;

bool isSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == 0x00A0 || c == 0x202F;
}

// A recursive descent over the expression, spaces skipped (and allowed
// between the digits of a number):
//   sum     = product { ('+' | '-') product }
//   product = factor { ('*' | '/') factor }
//   factor  = ('+' | '-') factor | number | '(' sum ')'
class Parser {
  public:
    explicit Parser(std::wstring text) : text_(std::move(text)) {}

    Calculation run() {
        Calculation result;
        if (peek() == L'\0')
            return fail("Saisissez un calcul, par exemple 12,50 + 7,25.");
        double value = sum();
        if (error_.empty() && peek() != L'\0')
            unexpected();
        if (!error_.empty()) {
            result.error = error_;
            return result;
        }
        if (!std::isfinite(value) || std::fabs(value) >= kLargestResult)
            return fail("Le résultat est trop grand pour un montant.");
        result.ok = true;
        result.value = value == 0.0 ? 0.0 : value; // no "-0"
        return result;
    }

  private:
    Calculation fail(const char* message) {
        Calculation result;
        result.error = message;
        return result;
    }

    // The next character that is not a space (the position moves onto it).
    wchar_t peek() {
        while (position_ < text_.size() && isSpace(text_[position_]))
            ++position_;
        return position_ < text_.size() ? text_[position_] : L'\0';
    }
    static bool isPlus(wchar_t c) { return c == L'+'; }
    static bool isMinus(wchar_t c) { return c == L'-' || c == 0x2212; }
    static bool isTimes(wchar_t c) { return c == L'*' || c == 0x00D7 || c == L'x' || c == L'X'; }
    static bool isDivide(wchar_t c) { return c == L'/' || c == 0x00F7 || c == L':'; }
    static bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
    static bool isMark(wchar_t c) { return c == L',' || c == L'.'; }

    // The 1-based place of the current character, as the user counts.
    std::string place() const { return std::to_string(position_ + 1); }

    void unexpected() {
        if (!error_.empty())
            return;
        if (peek() == L'\0') {
            error_ = "Le calcul est incomplet : il manque un nombre à la fin.";
            return;
        }
        std::string shown;
        appendUtf8(shown, static_cast<char32_t>(text_[position_]));
        error_ = "Caractère inattendu « " + shown + " » en position " + place() + ".";
    }

    double sum() {
        double value = product();
        while (error_.empty()) {
            const wchar_t c = peek();
            if (!isPlus(c) && !isMinus(c))
                break;
            ++position_;
            const double right = product();
            value = isPlus(c) ? value + right : value - right;
        }
        return value;
    }

    double product() {
        double value = factor();
        while (error_.empty()) {
            const wchar_t c = peek();
            if (!isTimes(c) && !isDivide(c))
                break;
            ++position_;
            const double right = factor();
            if (!error_.empty())
                break;
            if (isDivide(c) && right == 0.0) {
                error_ = "Division par zéro.";
                break;
            }
            value = isTimes(c) ? value * right : value / right;
        }
        return value;
    }

    double factor() {
        if (!error_.empty())
            return 0.0;
        const wchar_t c = peek();
        if (isPlus(c) || isMinus(c)) {
            ++position_;
            const double value = nested([this] { return factor(); });
            return isMinus(c) ? -value : value;
        }
        if (c == L'(') {
            ++position_;
            const double value = nested([this] { return sum(); });
            if (error_.empty()) {
                if (peek() != L')') {
                    if (peek() == L'\0')
                        error_ = "Il manque une parenthèse fermante.";
                    else
                        unexpected();
                } else {
                    ++position_;
                }
            }
            return value;
        }
        if (isDigit(c) || isMark(c))
            return number();
        unexpected();
        return 0.0;
    }

    template <class Step> double nested(Step step) {
        if (++depth_ > kDeepestNesting) {
            error_ = "Le calcul a trop de parenthèses imbriquées.";
            return 0.0;
        }
        const double value = step();
        --depth_;
        return value;
    }

    double number() {
        const std::size_t start = position_;
        std::string digits;
        bool marked = false;
        while (position_ < text_.size()) {
            const wchar_t c = text_[position_];
            if (isDigit(c)) {
                digits += static_cast<char>(c);
            } else if (isSpace(c) && position_ + 1 < text_.size() &&
                       isDigit(text_[position_ + 1]) && !marked) {
                // "1 234" is one number; after the mark, a space ends it.
            } else if (isMark(c) && !marked) {
                marked = true;
                digits += '.';
            } else {
                break;
            }
            ++position_;
        }
        if (digits == ".") { // a mark alone
            position_ = start;
            unexpected();
            return 0.0;
        }
        double value = 0.0;
        const auto read = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (read.ec != std::errc()) {
            error_ = "Un nombre du calcul est trop grand.";
            return 0.0;
        }
        return value;
    }

    std::wstring text_;
    std::size_t position_ = 0;
    int depth_ = 0;
    std::string error_;
};

} // namespace

Calculation calculate(std::string_view expression) {
    return Parser(utf8ToWide(expression)).run();
}

std::string calculatorResultText(double value) {
    char buffer[64];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 10);
    if (written.ec != std::errc())
        return formatAmount(value);
    std::string text(buffer, written.ptr);
    // Down to two decimals, never fewer.
    while (text.size() >= 4 && text.back() == '0' && text[text.size() - 3] != '.')
        text.pop_back();
    if (text == "-0.00")
        text = "0.00";
    // groupThousands expects exactly two decimals: group the integer part alone.
    const std::size_t point = text.find('.');
    std::string grouped = groupThousands(text.substr(0, point) + ".00");
    grouped.resize(grouped.size() - 3);
    return grouped + text.substr(point);
}

} // namespace kolvane
