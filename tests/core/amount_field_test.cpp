#include "operations/amount_field.h"

#include <gtest/gtest.h>

#include <tuple>

#include <cmath>
#include <string>

namespace kolvane {
namespace {

struct Parsed {
    double value;
    std::string text;
};

Parsed parse(std::string_view text) {
    Parsed parsed{0.0, "unset"};
    parsed.value = parseAmount(text, &parsed.text);
    return parsed;
}

TEST(ParseAmount, ReadsTheNumberAtTheStartOfTheTextAsAFrenchUserWritesIt) {
    EXPECT_EQ(std::tuple(parse("12.5").value, parse("1234,5").value, parse("1234,5").text),
              std::tuple(12.5, 1234.5, "1234.50"));
    // What the field shows reads back: grouped thousands, a spaced sign.
    EXPECT_EQ(std::tuple(parse("- 1 234 567.89").value, parse("  7.1 euros").text, parse(",5").text,
                         parse(".5").text),
              std::tuple(-1234567.89, "7.10", "0.50", "0.50"));
    // An exponent mark without digits is not part of the number.
    EXPECT_EQ(parse("4e+x").text, "4.00");
    EXPECT_EQ(parse("1.2.3").text, "1.20");
}

TEST(ParseAmount, NothingReadableIsZero) {
    for (const char* text : {"", "-", ".", "abc", "e5"}) {
        const Parsed parsed = parse(text);
        EXPECT_EQ(parsed.value, 0.0) << text;
        EXPECT_EQ(parsed.text, "0.00") << text;
    }
}

TEST(ParseAmount, RoundsToTwoDecimalsLikeTheBinaryValue) {
    // 12.345 is stored a little above 12.345, 2.675 and 1.005 a little below.
    // exact halves go to the even digit
    EXPECT_EQ(std::tuple(parse("12.345").text, parse("12.345").value, parse("2.675").text,
                         parse("99.999").text, parse("0.125").text),
              std::tuple("12.35", 12.35, "2.67", "100.00", "0.12"));
}

TEST(ParseAmount, NegativeZeroKeepsItsSign) {
    const Parsed minusZero = parse("-0");
    EXPECT_EQ(minusZero.value, 0.0);
    EXPECT_TRUE(std::signbit(minusZero.value));
    EXPECT_EQ(minusZero.text, "-0.00");
    EXPECT_EQ(parse("1e999").text, "0.00"); // out of range: nothing readable
}

AmountKeyDecision key(std::string_view text, int selStart, int selEnd, wchar_t k) {
    return decideAmountKey(text, selStart, selEnd, k);
}

AmountKey action(std::string_view text, int selStart, int selEnd, wchar_t k) {
    return key(text, selStart, selEnd, k).action;
}

TEST(AmountKeys, OnlyDigitsMarksMinusAndBackspaceAreTyped) {
    for (wchar_t k : {L'a', L' ', L'+', L'\x16', L'\x3000'})
        EXPECT_EQ(action("12", 2, 2, k), AmountKey::DropWithBeep) << int(k);
    for (wchar_t k : {L'0', L'9', L'\b', L'.'}) {
        EXPECT_EQ(action("12", 2, 2, k), AmountKey::PassOn) << int(k);
        EXPECT_EQ(key("12", 2, 2, k).typed, k) << int(k);
    }
    // The comma is typed as the point, and counts as one.
    EXPECT_EQ(key("12", 2, 2, L',').typed, L'.');
    EXPECT_EQ(action("12.3", 4, 4, L','), AmountKey::SelectDecimals);
}

TEST(AmountKeys, TwelveDigitsBeforeThePointAtMost) {
    const std::string twelve = "123 456 789 012";
    // a decimal
    // replaces a digit
    // the twelfth
    EXPECT_EQ(std::tuple(action(twelve, 15, 15, L'3'), action(twelve, 0, 0, L'9'),
                         action(twelve + ".5", 16, 16, L'1'), action(twelve, 14, 15, L'3'),
                         action("12345678901", 11, 11, L'2')),
              std::tuple(AmountKey::DropWithBeep, AmountKey::DropWithBeep, AmountKey::PassOn,
                         AmountKey::PassOn, AmountKey::PassOn));
}

TEST(AmountKeys, AThirdDecimalIsRefused) {
    // Typing 12.345 one key at a time.
    EXPECT_EQ(std::tuple(action("12", 2, 2, L'.'), action("12.3", 4, 4, L'4'),
                         action("12.34", 5, 5, L'5')),
              std::tuple(AmountKey::PassOn, AmountKey::PassOn, AmountKey::DropWithBeep));
    // Between the two decimals is still after the point.
    EXPECT_EQ(action("12.34", 4, 4, L'5'), AmountKey::DropWithBeep);
    EXPECT_EQ(action("12.34", 3, 3, L'5'), AmountKey::DropWithBeep);
    // Before the point, over a selection, or a backspace: accepted.
    EXPECT_EQ(std::tuple(action("12.34", 2, 2, L'7'), action("12.34", 4, 5, L'9'),
                         action("12.34", 5, 5, L'\b')),
              std::tuple(AmountKey::PassOn, AmountKey::PassOn, AmountKey::PassOn));
}

TEST(AmountKeys, ASecondPointSelectsTheDecimals) {
    const AmountKeyDecision decimals = key("12.34", 5, 5, L'.');
    EXPECT_EQ(std::tuple(decimals.action, decimals.selectFrom, decimals.selectTo),
              std::tuple(AmountKey::SelectDecimals, 3, 5));
    const AmountKeyDecision noDecimals = key("12.", 1, 1, L'.');
    EXPECT_EQ(std::tuple(noDecimals.action, noDecimals.selectFrom, noDecimals.selectTo),
              std::tuple(AmountKey::SelectDecimals, 3, 3));
    // A selection holding the point is replaced: ".5" or ",5" over "12.00" is 0.50.
    // after the point
    // before it
    EXPECT_EQ(std::tuple(action("12.00", 0, 5, L'.'), key("12.00", 2, 3, L',').typed,
                         action("12.00", 3, 5, L'.'), action("12.00", 0, 2, L'.'),
                         action("125", 1, 1, L'.')),
              std::tuple(AmountKey::PassOn, L'.', AmountKey::SelectDecimals,
                         AmountKey::SelectDecimals, AmountKey::PassOn));
}

TEST(AmountKeys, TheMinusSignGoesOnlyInFront) {
    EXPECT_EQ(
        std::tuple(action("", 0, 0, L'-'), action("5", 1, 1, L'-'), action("12.34", 0, 5, L'-')),
        std::tuple(AmountKey::PassOn, AmountKey::DropSilently, AmountKey::PassOn));
    // Minus five: the sign, then the digit.
    EXPECT_EQ(action("-", 1, 1, L'5'), AmountKey::PassOn);
    // A second sign is refused silently...
    EXPECT_EQ(action("-5", 2, 2, L'-'), AmountKey::DropSilently);
    EXPECT_EQ(action("-5", 1, 2, L'-'), AmountKey::DropSilently);
    // ...unless a selection from 0 lets it replace the first.
    EXPECT_EQ(action("-5", 0, 1, L'-'), AmountKey::PassOn);
    // Nothing is typed in front of the sign, but a selection holding it is replaced.
    EXPECT_EQ(
        std::tuple(action("-5", 0, 0, L'3'), action("-5", 0, 0, L'\b'), action("-5", 0, 1, L'3')),
        std::tuple(AmountKey::DropSilently, AmountKey::DropSilently, AmountKey::PassOn));
}

TEST(AmountFieldTexts, FocusLossWritesTheAmountAsTheProgramShowsAmounts) {
    EXPECT_EQ(std::tuple(amountTextOnFocusLoss("3", false), amountTextOnFocusLoss("3", true),
                         amountTextOnFocusLoss("1234,5", false),
                         amountTextOnFocusLoss("-1234567", false),
                         amountTextOnFocusLoss(".5", false)),
              std::tuple("3.00", "3.00", "1 234.50", "- 1 234 567.00", "0.50"));
    for (const char* zero : {"", "0", "-0", "0.001"}) {
        EXPECT_EQ(amountTextOnFocusLoss(zero, false), "") << zero;
        EXPECT_EQ(amountTextOnFocusLoss(zero, true), "0.00") << zero;
    }
}

TEST(AmountFieldTexts, WritingAValue) {
    EXPECT_EQ(std::tuple(amountTextForValue(0.0, false), amountTextForValue(-0.0, true),
                         amountTextForValue(-1e6, false),
                         amountTextForValue(999999999999.99, false)),
              std::tuple("", "0.00", "- 1 000 000.00", "999 999 999 999.99"));
}

} // namespace
} // namespace kolvane
