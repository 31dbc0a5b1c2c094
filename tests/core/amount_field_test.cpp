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

TEST(ParseAmount, ReadsTheNumberAtTheStartOfTheText) {
    EXPECT_EQ(parse("12.5").value, 12.5);
    // The comma is not a decimal point: reading stops there.
    EXPECT_EQ(parse("12,5").value, 12.0);
    EXPECT_EQ(parse("12,5").text, "12.00");
    EXPECT_EQ(parse("  7.1 euros").text, "7.10");
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

TEST(AmountKeys, OnlyDigitsPointMinusAndBackspaceAreTyped) {
    for (wchar_t k : {L'a', L';', L'+', L'\x16', L'\x3000'})
        EXPECT_EQ(action("12", 2, 2, k), AmountKey::DropWithBeep) << int(k);
    for (wchar_t k : {L'0', L'9', L'\b'})
        EXPECT_EQ(action("12", 2, 2, k), AmountKey::PassOn) << int(k);
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
    // Even a selection holding the point does not let a second one in.
    EXPECT_EQ(action("1.5", 0, 3, L'.'), AmountKey::SelectDecimals);
    EXPECT_EQ(action("125", 1, 1, L'.'), AmountKey::PassOn);
    // A decimal comma types the point, and is a second point like any other.
    EXPECT_EQ(action("12", 2, 2, L','), AmountKey::TypePoint);
    EXPECT_EQ(action("12.5", 1, 1, L','), AmountKey::SelectDecimals);
    EXPECT_EQ(action("-", 0, 0, L','), AmountKey::DropSilently);
}

TEST(AmountKeys, TheMinusSignGoesOnlyInFront) {
    EXPECT_EQ(action("", 0, 0, L'-'), AmountKey::PassOn);
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

TEST(AmountFieldTexts, FocusLossWritesTwoDecimalsOrHidesZero) {
    EXPECT_EQ(amountTextOnFocusLoss("3", false), "3.00");
    EXPECT_EQ(amountTextOnFocusLoss("3", true), "3.00");
    for (const char* zero : {"", "0", "-0", "0.001"}) {
        EXPECT_EQ(amountTextOnFocusLoss(zero, false), "") << zero;
        EXPECT_EQ(amountTextOnFocusLoss(zero, true), "0.00") << zero;
    }
}

TEST(AmountFieldTexts, AttachingKeepsTheSignOfMinusZeroWhenZeroIsShown) {
    EXPECT_EQ(amountTextOnAttach("-0", false), "");
    EXPECT_EQ(amountTextOnAttach("-0", true), "-0.00");
    EXPECT_EQ(amountTextOnAttach("8.5", false), "8.50");
}

TEST(AmountFieldTexts, WritingAValue) {
    EXPECT_EQ(amountTextForValue(0.0, false), "");
    EXPECT_EQ(amountTextForValue(0.0, true), "0.00");
    EXPECT_EQ(amountTextForValue(-0.0, false), "-0.00");
    EXPECT_EQ(amountTextForValue(-1e6, false), "-1000000.00");
}

} // namespace
} // namespace kolvane
