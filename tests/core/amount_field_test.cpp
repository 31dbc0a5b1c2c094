#include "operations/amount_field.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace kolvane {
namespace {

// The value read and the text the field shows for it.
TEST(ParseAmount, ReadsTheNumberAtTheStartAsAFrenchUserWritesItRoundedToCents) {
    const struct {
        const char* typed;
        double value;
        const char* shown;
    } cases[] = {
        {"12.5", 12.5, "12.50"},
        {"1234,5", 1234.5, "1234.50"},
        // What the field shows reads back: grouped thousands, a spaced sign.
        {"- 1 234 567.89", -1234567.89, "-1234567.89"},
        {"  7.1 euros", 7.1, "7.10"},
        {",5", 0.5, "0.50"},
        {".5", 0.5, "0.50"},
        {"4e+x", 4.0, "4.00"}, // an exponent mark without digits is not part of the number
        {"1.2.3", 1.2, "1.20"},
        // 12.345 is stored a little above 12.345, 2.675 a little below.
        {"12.345", 12.35, "12.35"},
        {"2.675", 2.67, "2.67"},
        {"99.999", 100.0, "100.00"},
        {"0.125", 0.12, "0.12"}, // exact halves go to the even digit
        {"", 0.0, "0.00"},       // nothing readable is zero
        {"-", 0.0, "0.00"},
        {".", 0.0, "0.00"},
        {"abc", 0.0, "0.00"},
        {"e5", 0.0, "0.00"},
        {"1e999", 0.0, "0.00"}, // out of range: nothing readable
    };
    for (const auto& c : cases) {
        std::string shown = "unset";
        EXPECT_EQ(parseAmount(c.typed, &shown), c.value) << c.typed;
        EXPECT_EQ(shown, c.shown) << c.typed;
    }
    std::string shown;
    const double minusZero = parseAmount("-0", &shown);
    EXPECT_TRUE(std::signbit(minusZero));
    EXPECT_EQ(shown, "-0.00");
}

// Each key typed into "text" with the selection [from, to).
TEST(AmountKeys, WhatEachKeyDoesWhereItIsTyped) {
    using A = AmountKey;
    const std::string twelve = "123 456 789 012";
    const struct {
        std::string text;
        int from, to;
        wchar_t key;
        AmountKey action;
    } cases[] = {
        // Only digits, marks, minus and backspace are typed.
        {"12", 2, 2, L'a', A::DropWithBeep},
        {"12", 2, 2, L' ', A::DropWithBeep},
        {"12", 2, 2, L'+', A::DropWithBeep},
        {"12", 2, 2, L'\x16', A::DropWithBeep},
        {"12", 2, 2, L'\x3000', A::DropWithBeep},
        {"12.3", 4, 4, L',', A::SelectDecimals}, // the comma counts as the point
        // Twelve digits before the point at most.
        {twelve, 15, 15, L'3', A::DropWithBeep},
        {twelve, 0, 0, L'9', A::DropWithBeep},
        {twelve + ".5", 16, 16, L'1', A::PassOn}, // a decimal
        {twelve, 14, 15, L'3', A::PassOn},        // replaces a digit
        {"12345678901", 11, 11, L'2', A::PassOn}, // the twelfth
        // A third decimal is refused, also between the two.
        {"12.3", 4, 4, L'4', A::PassOn},
        {"12.34", 5, 5, L'5', A::DropWithBeep},
        {"12.34", 4, 4, L'5', A::DropWithBeep},
        {"12.34", 3, 3, L'5', A::DropWithBeep},
        {"12.34", 2, 2, L'7', A::PassOn}, // before the point
        {"12.34", 4, 5, L'9', A::PassOn}, // over a selection
        {"12.34", 5, 5, L'\b', A::PassOn},
        // A second point selects the decimals, unless a selection holds the point.
        {"12.00", 0, 5, L'.', A::PassOn},
        {"12.00", 3, 5, L'.', A::SelectDecimals}, // after the point
        {"12.00", 0, 2, L'.', A::SelectDecimals}, // before it
        {"125", 1, 1, L'.', A::PassOn},
        // The minus sign goes only in front.
        {"", 0, 0, L'-', A::PassOn},
        {"5", -1, -1, L'-', A::PassOn}, // a caret before 0 is at 0
        {"5", 1, 1, L'-', A::DropSilently},
        {"12.34", 0, 5, L'-', A::PassOn},
        {"-", 1, 1, L'5', A::PassOn},
        {"-5", 2, 2, L'-', A::DropSilently}, // a second sign
        {"-5", 1, 2, L'-', A::DropSilently},
        {"-5", 0, 1, L'-', A::PassOn},       // a selection from 0 replaces the first
        {"-5", 0, 0, L'3', A::DropSilently}, // nothing in front of the sign...
        {"-5", 0, 0, L'\b', A::DropSilently},
        {"-5", 0, 1, L'3', A::PassOn}, // ... but a selection holding it is replaced
    };
    for (const auto& c : cases)
        EXPECT_EQ(decideAmountKey(c.text, c.from, c.to, c.key).action, c.action)
            << c.text << " [" << c.from << "," << c.to << ") " << int(c.key);
    for (wchar_t k : {L'0', L'9', L'\b', L'.'}) {
        const AmountKeyDecision typed = decideAmountKey("12", 2, 2, k);
        EXPECT_EQ(typed.action, A::PassOn) << int(k);
        EXPECT_EQ(typed.typed, k) << int(k);
    }
    EXPECT_EQ(decideAmountKey("12", 2, 2, L',').typed, L'.');
    EXPECT_EQ(decideAmountKey("12.00", 2, 3, L',').typed, L'.');
}

TEST(AmountKeys, ASecondPointSelectsTheDecimals) {
    const AmountKeyDecision decimals = decideAmountKey("12.34", 5, 5, L'.');
    EXPECT_EQ(decimals.action, AmountKey::SelectDecimals);
    EXPECT_EQ(decimals.selectFrom, 3);
    EXPECT_EQ(decimals.selectTo, 5);
    const AmountKeyDecision noDecimals = decideAmountKey("12.", 1, 1, L'.');
    EXPECT_EQ(noDecimals.action, AmountKey::SelectDecimals);
    EXPECT_EQ(noDecimals.selectFrom, 3);
    EXPECT_EQ(noDecimals.selectTo, 3);
}

TEST(AmountFieldTexts, FocusLossAndValuesAreWrittenAsTheProgramShowsAmounts) {
    EXPECT_EQ(amountTextOnFocusLoss("3", false), "3.00");
    EXPECT_EQ(amountTextOnFocusLoss("3", true), "3.00");
    EXPECT_EQ(amountTextOnFocusLoss("1234,5", false), "1 234.50");
    EXPECT_EQ(amountTextOnFocusLoss("-1234567", false), "- 1 234 567.00");
    EXPECT_EQ(amountTextOnFocusLoss(".5", false), "0.50");
    for (const char* zero : {"", "0", "-0", "0.001"}) {
        EXPECT_EQ(amountTextOnFocusLoss(zero, false), "") << zero;
        EXPECT_EQ(amountTextOnFocusLoss(zero, true), "0.00") << zero;
    }
    EXPECT_EQ(amountTextForValue(0.0, false), "");
    EXPECT_EQ(amountTextForValue(-0.0, true), "0.00");
    EXPECT_EQ(amountTextForValue(-1e6, false), "- 1 000 000.00");
    EXPECT_EQ(amountTextForValue(999999999999.99, false), "999 999 999 999.99");
}

} // namespace
} // namespace kolvane
