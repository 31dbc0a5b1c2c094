// The arithmetic of a loan: periodic rate, constant instalment and the
// amortisation table, independent of any window.
#pragma once

#include "document/records.h"

#include <cstdint>
#include <vector>

namespace kolvane {

enum class Periodicity : std::uint8_t { Monthly, Quarterly, HalfYearly, Yearly };
enum class RateMode : std::uint8_t { Proportional, Equivalent };
enum class InsuranceType : std::uint8_t { Value, FixedPercent, ProportionalPercent };

// The input of one calculation.
struct LendingParameters {
    FileTime releaseDate = 0; // only checked against the first instalment date
    FileTime firstInstalmentDate = 0;
    double amount = 0.0;
    double annualRate = 0.0; // percent
    double insurance = 0.0;  // an amount or a percentage, after `insuranceType`
    std::int32_t count = 0;
    Periodicity periodicity = Periodicity::Monthly;
    RateMode rateMode = RateMode::Proportional;
    InsuranceType insuranceType = InsuranceType::Value;
};

// One row of the table; row 0 is the opening row (date 0, the amount borrowed
// as its remaining capital).
struct LendingRow {
    std::int32_t number = 0;
    FileTime date = 0;
    double interest = 0.0;
    double principal = 0.0;
    double insurance = 0.0;
    double instalment = 0.0;
    double remainingCapital = 0.0;
};

struct LendingSchedule {
    double instalmentWithInsurance = 0.0; // rounded to the cent
    double instalmentWithoutInsurance = 0.0;
    std::vector<LendingRow> rows; // count + 1 rows
    // The capital the last row left before it absorbed it: a few cents when
    // the instalment's rounding compounds over the loan as it should.
    double remainder = 0.0;
};

// Months per period: 1, 3, 6 or 12; 0 for a value outside the enumeration.
int periodMonths(Periodicity periodicity);

// The rate of one period of `months` months for an annual percentage:
// a x m / 1200 when proportional, (1 + a / 100)^(m / 12) - 1 when equivalent.
double periodicRate(double annualPercent, int months, RateMode rateMode);

// The constant instalment that repays `amount` in `count` periods at `rate`:
// (1 + r)^n x P / sum of (1 + r)^k for k = 0 .. n - 1, so a rate of 0 is a
// plain division. `amount` itself when count < 1.
double annuity(double amount, double rate, std::int32_t count);

// The two instalments and the table. The last row takes the rounding
// remainder into its interest and principal, so its capital ends at 0 and its
// instalment equals the others. The parameters are taken as they are: see
// lending_rules.h for the checks a form goes through first.
LendingSchedule computeLending(const LendingParameters& parameters);

// What the loan costs beyond the capital, over its whole table.
struct LendingCost {
    double interest = 0.0;  // the rows' interest, to the cent
    double insurance = 0.0; // the rows' insurance, to the cent
    double total = 0.0;     // interest + insurance
    // The yearly rate, in percent, at which the instalments as paid repay
    // the amount borrowed: the periodic rate i with amount = sum of
    // instalment_k / (1 + i)^k, each instalment one period after the
    // previous one and the first one period after the release, made yearly
    // as (1 + i)^(12 / months) - 1. Insurance counts as a cost; without it the
    // rate is the nominal rate made yearly, up to the instalment's cent.
    double effectiveAnnualRate = 0.0;
};

LendingCost lendingCost(const LendingSchedule& schedule, Periodicity periodicity);

} // namespace kolvane
