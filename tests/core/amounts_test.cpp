#include "document/amounts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace kolvane {
namespace {

TEST(GroupThousands, SplitsTheIntegerDigitsByThreeFromTheRight) {
    EXPECT_EQ(groupThousands("1234567.89"), "1 234 567.89");
    EXPECT_EQ(groupThousands("999.99"), "999.99");
    EXPECT_EQ(groupThousands("-123456.00"), "- 123 456.00");
    EXPECT_EQ(groupThousands("7"), "7"); // too short to hold decimals
}

// The decimals come from the exact binary value, rounded to nearest with ties
// to even: the Windows runtime's printf gets several of these wrong.
TEST(FormatAmount, TwoDecimalsGroupedThousandsNoSignOnZero) {
    EXPECT_EQ(formatAmount(0.0), "0.00");
    EXPECT_EQ(formatAmount(-0.5), "- 0.50");
    EXPECT_EQ(formatAmount(1000.0), "1 000.00");
    EXPECT_EQ(formatAmount(-0.0), "0.00");
    EXPECT_EQ(formatAmount(-0.004), "0.00");
    EXPECT_EQ(formatAmount(0.125), "0.12");       // exact tie: to even
    EXPECT_EQ(formatAmount(2.675), "2.67");       // stored as 2.67499999...
    EXPECT_EQ(formatAmount(-0.005), "- 0.01");    // stored as -0.005000000000000000104
    EXPECT_EQ(formatAmount(999.995), "1 000.00"); // stored as 999.99500000000000454
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
        {0.145, 2, 0.15},   {0.285, 2, 0.29},   {10.075, 2, 10.08},
        {4.1, 2, 4.10},     {2.3, 2, 2.30},     {1.15, 1, 1.2},
        {2.125, 2, 2.13},   {-2.125, 2, -2.13}, {2.124, 2, 2.12},
        {-2.5, 0, -3.0},    {0.0149, 2, 0.01},  {9.995, 2, 10.0},
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
