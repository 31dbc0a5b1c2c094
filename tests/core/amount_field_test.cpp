#include "operations/amount_field.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(parse("12.5").value, 12.5);
    EXPECT_EQ(parse("1234,5").value, 1234.5);
    EXPECT_EQ(parse("1234,5").text, "1234.50");
    // What the field shows reads back: grouped thousands, a spaced sign.
    EXPECT_EQ(parse("- 1 234 567.89").value, -1234567.89);
    EXPECT_EQ(parse("  7.1 euros").text, "7.10");
    EXPECT_EQ(parse(",5").text, "0.50");
    EXPECT_EQ(parse(".5").text, "0.50");
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
    EXPECT_EQ(parse("12.345").text, "12.35");
    EXPECT_EQ(parse("12.345").value, 12.35);
    EXPECT_EQ(parse("2.675").text, "2.67");
    EXPECT_EQ(parse("99.999").text, "100.00");
    EXPECT_EQ(parse("0.125").text, "0.12"); // exact halves go to the even digit
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
    EXPECT_EQ(action(twelve, 15, 15, L'3'), AmountKey::DropWithBeep);
    EXPECT_EQ(action(twelve, 0, 0, L'9'), AmountKey::DropWithBeep);
    EXPECT_EQ(action(twelve + ".5", 16, 16, L'1'), AmountKey::PassOn); // a decimal
    EXPECT_EQ(action(twelve, 14, 15, L'3'), AmountKey::PassOn);        // replaces a digit
    EXPECT_EQ(action("12345678901", 11, 11, L'2'), AmountKey::PassOn); // the twelfth
}

TEST(AmountKeys, AThirdDecimalIsRefused) {
    // Typing 12.345 one key at a time.
    EXPECT_EQ(action("12", 2, 2, L'.'), AmountKey::PassOn);
    EXPECT_EQ(action("12.3", 4, 4, L'4'), AmountKey::PassOn);
    EXPECT_EQ(action("12.34", 5, 5, L'5'), AmountKey::DropWithBeep);
    // Between the two decimals is still after the point.
    EXPECT_EQ(action("12.34", 4, 4, L'5'), AmountKey::DropWithBeep);
    EXPECT_EQ(action("12.34", 3, 3, L'5'), AmountKey::DropWithBeep);
    // Before the point, over a selection, or a backspace: accepted.
    EXPECT_EQ(action("12.34", 2, 2, L'7'), AmountKey::PassOn);
    EXPECT_EQ(action("12.34", 4, 5, L'9'), AmountKey::PassOn);
    EXPECT_EQ(action("12.34", 5, 5, L'\b'), AmountKey::PassOn);
}

TEST(AmountKeys, ASecondPointSelectsTheDecimals) {
    const AmountKeyDecision decimals = key("12.34", 5, 5, L'.');
    EXPECT_EQ(decimals.action, AmountKey::SelectDecimals);
    EXPECT_EQ(decimals.selectFrom, 3);
    EXPECT_EQ(decimals.selectTo, 5);
    const AmountKeyDecision noDecimals = key("12.", 1, 1, L'.');
    EXPECT_EQ(noDecimals.action, AmountKey::SelectDecimals);
    EXPECT_EQ(noDecimals.selectFrom, 3);
    EXPECT_EQ(noDecimals.selectTo, 3);
    // A selection holding the point is replaced: ".5" or ",5" over "12.00" is 0.50.
    EXPECT_EQ(action("12.00", 0, 5, L'.'), AmountKey::PassOn);
    EXPECT_EQ(key("12.00", 2, 3, L',').typed, L'.');
    EXPECT_EQ(action("12.00", 3, 5, L'.'), AmountKey::SelectDecimals); // after the point
    EXPECT_EQ(action("12.00", 0, 2, L'.'), AmountKey::SelectDecimals); // before it
    EXPECT_EQ(action("125", 1, 1, L'.'), AmountKey::PassOn);
}

TEST(AmountKeys, TheMinusSignGoesOnlyInFront) {
    EXPECT_EQ(action("", 0, 0, L'-'), AmountKey::PassOn);
    EXPECT_EQ(action("5", -1, -1, L'-'), AmountKey::PassOn); // a caret before 0 is at 0
    EXPECT_EQ(action("5", 1, 1, L'-'), AmountKey::DropSilently);
    EXPECT_EQ(action("12.34", 0, 5, L'-'), AmountKey::PassOn);
    // Minus five: the sign, then the digit.
    EXPECT_EQ(action("-", 1, 1, L'5'), AmountKey::PassOn);
    // A second sign is refused silently...
    EXPECT_EQ(action("-5", 2, 2, L'-'), AmountKey::DropSilently);
    EXPECT_EQ(action("-5", 1, 2, L'-'), AmountKey::DropSilently);
    // ...unless a selection from 0 lets it replace the first.
    EXPECT_EQ(action("-5", 0, 1, L'-'), AmountKey::PassOn);
    // Nothing is typed in front of the sign, but a selection holding it is replaced.
    EXPECT_EQ(action("-5", 0, 0, L'3'), AmountKey::DropSilently);
    EXPECT_EQ(action("-5", 0, 0, L'\b'), AmountKey::DropSilently);
    EXPECT_EQ(action("-5", 0, 1, L'3'), AmountKey::PassOn);
}

TEST(AmountFieldTexts, FocusLossWritesTheAmountAsTheProgramShowsAmounts) {
    EXPECT_EQ(amountTextOnFocusLoss("3", false), "3.00");
    EXPECT_EQ(amountTextOnFocusLoss("3", true), "3.00");
    EXPECT_EQ(amountTextOnFocusLoss("1234,5", false), "1 234.50");
    EXPECT_EQ(amountTextOnFocusLoss("-1234567", false), "- 1 234 567.00");
    EXPECT_EQ(amountTextOnFocusLoss(".5", false), "0.50");
    for (const char* zero : {"", "0", "-0", "0.001"}) {
        EXPECT_EQ(amountTextOnFocusLoss(zero, false), "") << zero;
        EXPECT_EQ(amountTextOnFocusLoss(zero, true), "0.00") << zero;
    }
}

TEST(AmountFieldTexts, WritingAValue) {
    EXPECT_EQ(amountTextForValue(0.0, false), "");
    EXPECT_EQ(amountTextForValue(-0.0, true), "0.00");
    EXPECT_EQ(amountTextForValue(-1e6, false), "- 1 000 000.00");
    EXPECT_EQ(amountTextForValue(999999999999.99, false), "999 999 999 999.99");
}

} // namespace
} // namespace kolvane
