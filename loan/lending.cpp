#include "loan/lending.h"

#include "document/amounts.h"
#include "document/dates.h"

#include <cmath>

namespace kolvane {
namespace {

double cents(double value) {
    return roundAmount(value, 2);
}

// What the instalments are worth at the release, discounted at `rate` a period.
double presentValue(const std::vector<LendingRow>& rows, double rate) {
    const double discount = 1.0 / (1.0 + rate);
    double factor = 1.0;
    double value = 0.0;
    for (std::size_t k = 1; k < rows.size(); ++k) {
        factor *= discount;
        value += rows[k].instalment * factor;
    }
    return value;
}

// The periodic rate at which the instalments are worth `amount`. The present
// value falls as the rate rises: bracket the rate, then halve the bracket
// until a double can no longer tell its ends apart.
double internalRate(const std::vector<LendingRow>& rows, double amount) {
    double low = -0.5;
    double high = 1.0;
    while (presentValue(rows, high) > amount && high < 1e9)
        high *= 2.0;
    for (int step = 0; step < 200; ++step) {
        const double middle = low + (high - low) / 2.0;
        if (middle <= low || middle >= high)
            break;
        (presentValue(rows, middle) > amount ? low : high) = middle;
    }
    return low;
}

} // namespace

int periodMonths(Periodicity periodicity) {
    switch (periodicity) {
    case Periodicity::Monthly:
        return 1;
    case Periodicity::Quarterly:
        return 3;
    case Periodicity::HalfYearly:
        return 6;
    case Periodicity::Yearly:
        return 12;
    }
    return 0;
}

double periodicRate(double annualPercent, int months, RateMode rateMode) {
    if (rateMode == RateMode::Equivalent)
        return std::pow(1.0 + annualPercent / 100.0, months / 12.0) - 1.0;
    return annualPercent * months / 1200.0;
}

double annuity(double amount, double rate, std::int32_t count) {
    if (count < 1)
        return amount;
    // The sum of the powers, term by term: no closed form to divide by zero.
    double sum = 0.0;
    for (std::int32_t k = 0; k < count; ++k)
        sum += std::pow(1.0 + rate, k);
    return std::pow(1.0 + rate, count) * amount / sum;
}

LendingSchedule computeLending(const LendingParameters& parameters) {
    const std::int32_t count = parameters.count < 0 ? 0 : parameters.count;
    const int months = periodMonths(parameters.periodicity);
    const double rate = periodicRate(parameters.annualRate, months, parameters.rateMode);

    LendingSchedule schedule;
    schedule.instalmentWithoutInsurance = annuity(parameters.amount, rate, count);
    // Insurance of one period: a rate on the remaining capital, or a fixed
    // share of a percentage of the amount or of a total value.
    const bool onRemainingCapital = parameters.insuranceType == InsuranceType::ProportionalPercent;
    double insuranceRate = 0.0;
    double fixedInsurance = 0.0;
    if (onRemainingCapital) {
        insuranceRate = periodicRate(parameters.insurance, months, parameters.rateMode);
        schedule.instalmentWithInsurance =
            cents(annuity(parameters.amount, rate + insuranceRate, count));
    } else {
        if (count > 0)
            fixedInsurance = parameters.insuranceType == InsuranceType::FixedPercent
                                 ? parameters.insurance * parameters.amount / (count * 100.0)
                                 : parameters.insurance / count;
        schedule.instalmentWithInsurance =
            cents(schedule.instalmentWithoutInsurance + fixedInsurance);
    }

    schedule.rows.resize(static_cast<std::size_t>(count) + 1);
    schedule.rows[0].remainingCapital = parameters.amount;
    for (std::int32_t k = 1; k <= count; ++k) {
        const LendingRow& previous = schedule.rows[static_cast<std::size_t>(k) - 1];
        LendingRow& row = schedule.rows[static_cast<std::size_t>(k)];
        row.number = k;
        // Each date steps from the previous one, so a day clamped to a short
        // month stays clamped.
        row.date = k == 1 ? parameters.firstInstalmentDate : addMonths(previous.date, months);
        row.interest = cents(previous.remainingCapital * rate);
        row.insurance = onRemainingCapital ? cents(previous.remainingCapital * insuranceRate)
                                           : cents(fixedInsurance);
        row.instalment = schedule.instalmentWithInsurance;
        row.principal = row.instalment - row.interest - row.insurance;
        row.remainingCapital = previous.remainingCapital - row.principal;
    }
    LendingRow& last = schedule.rows.back();
    if (count > 0 && !isZeroAmount(last.remainingCapital)) {
        schedule.remainder = last.remainingCapital;
        last.interest -= last.remainingCapital;
        last.principal += last.remainingCapital;
        last.remainingCapital = 0.0;
    }
    return schedule;
}

LendingCost lendingCost(const LendingSchedule& schedule, Periodicity periodicity) {
    LendingCost cost;
    const std::vector<LendingRow>& rows = schedule.rows;
    for (std::size_t k = 1; k < rows.size(); ++k) {
        cost.interest += rows[k].interest;
        cost.insurance += rows[k].insurance;
    }
    cost.interest = cents(cost.interest);
    cost.insurance = cents(cost.insurance);
    cost.total = cents(cost.interest + cost.insurance);

    const int months = periodMonths(periodicity);
    if (rows.size() < 2 || months == 0 || !(rows[0].remainingCapital > 0.0))
        return cost;
    for (std::size_t k = 1; k < rows.size(); ++k)
        if (!(rows[k].instalment > 0.0))
            return cost; // nothing paid back: no rate to speak of
    const double rate = internalRate(rows, rows[0].remainingCapital);
    cost.effectiveAnnualRate = (std::pow(1.0 + rate, 12.0 / months) - 1.0) * 100.0;
    return cost;
}

} // namespace kolvane
