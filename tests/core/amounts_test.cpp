#include "document/amounts.h"

#include <gtest/gtest.h>

#include <tuple>

#include <cmath>
#include <limits>

namespace kolvane {
namespace {

TEST(GroupThousands, SplitsTheIntegerDigitsByThreeFromTheRight) {
    EXPECT_EQ(std::tuple(groupThousands("1234567.89"), groupThousands("123456.78"),
                         groupThousands("999.99")),
              std::tuple("1 234 567.89", "123 456.78", "999.99"));
    // too short to hold decimals
    EXPECT_EQ(
        std::tuple(groupThousands("-1234.50"), groupThousands("-123456.00"), groupThousands("7")),
        std::tuple("- 1 234.50", "- 123 456.00", "7"));
}

// The decimals come from the exact binary value, rounded to nearest with ties
// to even: the Windows runtime's printf gets several of these wrong.
TEST(FormatAmount, TwoDecimalsGroupedThousandsNoSignOnZero) {
    EXPECT_EQ(std::tuple(formatAmount(0.0), formatAmount(-0.5), formatAmount(1000.0),
                         formatAmount(-0.0), formatAmount(-0.004)),
              std::tuple("0.00", "- 0.50", "1 000.00", "0.00", "0.00"));
    // exact tie: to even
    // stored as 2.67499999...
    // stored as -0.005000000000000000104
    // stored as 999.99500000000000454
    EXPECT_EQ(std::tuple(formatAmount(0.125), formatAmount(2.675), formatAmount(-0.005),
                         formatAmount(999.995)),
              std::tuple("0.12", "2.67", "- 0.01", "1 000.00"));
}

TEST(IsZeroAmount, ZeroBelowOneThousandth) {
    EXPECT_TRUE(isZeroAmount(0.0009));
    EXPECT_TRUE(isZeroAmount(-0.0009));
    EXPECT_FALSE(isZeroAmount(0.001));
    EXPECT_FALSE(isZeroAmount(-0.001));
}

TEST(RoundAmount, HalfAwayFromZeroOnTheWrittenNumber) {
    // {value, decimals, as a person rounds the written number}
    const struct {
        double value;
        int decimals;
        double rounded;
    } cases[] = {
        {0.145, 2, 0.15},   {0.285, 2, 0.29},   {10.075, 2, 10.08}, {4.1, 2, 4.10},
        {2.3, 2, 2.30},     {1.15, 1, 1.2},     {2.125, 2, 2.13},   {-2.125, 2, -2.13},
        {2.124, 2, 2.12},   {-2.5, 0, -3.0},    {0.0149, 2, 0.01},  {9.995, 2, 10.0},
        {-99.5, 0, -100.0}, {0.96, -1, 1.0},    {1234567.891, 2, 1234567.89},
        {1e300, 2, 1e300},
    };
    for (const auto& c : cases)
        EXPECT_EQ(roundAmount(c.value, c.decimals), c.rounded) << c.value << " at " << c.decimals;
    EXPECT_FALSE(std::signbit(roundAmount(-0.001, 2)));
    EXPECT_TRUE(std::isnan(roundAmount(std::numeric_limits<double>::quiet_NaN(), 2)));
}

} // namespace
} // namespace kolvane
