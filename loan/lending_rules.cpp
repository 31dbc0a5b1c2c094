#include "loan/lending_rules.h"

#include "document/amounts.h"
#include "document/dates.h"

#include <cmath>

namespace kolvane {
namespace {

LendingProblem checkForm(const LendingForm& form, LendingParameters& parameters) {
    if (daysBetween(form.releaseDate, form.firstInstalmentDate, 0) <= 0)
        return LendingProblem::InvalidDates;
    parameters.releaseDate = form.releaseDate;
    parameters.firstInstalmentDate = form.firstInstalmentDate;

    parameters.amount = std::fabs(form.amount);
    if (isZeroAmount(parameters.amount))
        return LendingProblem::MissingAmount;
    if (!(parameters.amount <= kLargestLoanAmount))
        return LendingProblem::AmountTooLarge;

    parameters.count = parseInstalmentCount(form.countText);
    if (parameters.count == 0)
        return LendingProblem::MissingCount;
    if (parameters.count > kMaxInstalments)
        return LendingProblem::TooManyInstalments;

    parameters.annualRate = std::fabs(form.annualRate);
    if (isZeroAmount(parameters.annualRate))
        return LendingProblem::MissingRate;
    if (!(parameters.annualRate <= kMaxLoanPercent))
        return LendingProblem::RateTooHigh;

    parameters.insurance = std::fabs(form.insurance);
    parameters.insuranceType = form.insuranceType;
    if (form.insuranceType == InsuranceType::Value) {
        if (!(parameters.insurance <= kLargestLoanAmount))
            return LendingProblem::InsuranceTooLarge;
    } else if (!(parameters.insurance <= kMaxLoanPercent)) {
        return LendingProblem::InsuranceRateTooHigh;
    }
    parameters.periodicity = form.periodicity;
    parameters.rateMode = form.rateMode;
    return LendingProblem::None;
}

} // namespace

LendingDecision decideLending(const LendingForm& form) {
    LendingDecision decision;
    decision.problem = checkForm(form, decision.parameters);
    if (decision.problem != LendingProblem::None)
        return decision;
    decision.schedule = computeLending(decision.parameters);
    const LendingSchedule& schedule = decision.schedule;
    // Over many periods at a high rate the cent lost in rounding the
    // instalment compounds like the capital: past one instalment left over
    // (or past what a double holds) the table means nothing.
    if (!(std::fabs(schedule.remainder) <= schedule.instalmentWithInsurance))
        decision.problem = LendingProblem::RoundingDiverges;
    // A short loan at a high rate can ask for more than one instalment can hold.
    else if (!(schedule.instalmentWithInsurance <= kLargestLoanAmount))
        decision.problem = LendingProblem::InstalmentTooLarge;
    if (decision.problem != LendingProblem::None)
        decision.schedule = {};
    return decision;
}

std::string_view lendingProblemText(LendingProblem problem) {
    switch (problem) {
    case LendingProblem::None:
        return {};
    case LendingProblem::InvalidDates:
        return "Date de la 1ère échéance ou celle de déblocage de Fonds n'est pas valide .";
    case LendingProblem::MissingAmount:
        return "Saisissez le montant de crédit .";
    case LendingProblem::AmountTooLarge:
        return "Le montant de crédit ne peut pas dépasser 2 147 483.64 .";
    case LendingProblem::MissingCount:
        return "Saisissez le nombre d'échéances .";
    case LendingProblem::TooManyInstalments:
        return "Le nombre d'échéances ne peut pas dépasser 1 200 .";
    case LendingProblem::MissingRate:
        return "Saisissez le taux d'intérêt .";
    case LendingProblem::RateTooHigh:
        return "Le taux d'intérêt annuel ne peut pas dépasser 100 % .";
    case LendingProblem::InsuranceTooLarge:
        return "Le montant de l'assurance ne peut pas dépasser 2 147 483.64 .";
    case LendingProblem::InsuranceRateTooHigh:
        return "Le taux d'assurance ne peut pas dépasser 100 % .";
    case LendingProblem::InstalmentTooLarge:
        return "L'échéance dépasserait 2 147 483.64 : diminuez le montant de crédit .";
    case LendingProblem::RoundingDiverges:
        return "Avec autant d'échéances à ce taux, les arrondis au centime dépassent une "
               "échéance : réduisez le nombre d'échéances .";
    }
    return {};
}

LendingField lendingProblemField(LendingProblem problem) {
    switch (problem) {
    case LendingProblem::None:
    case LendingProblem::InvalidDates:
        return LendingField::ReleaseDate;
    case LendingProblem::MissingAmount:
    case LendingProblem::AmountTooLarge:
    case LendingProblem::InstalmentTooLarge:
        return LendingField::Amount;
    case LendingProblem::MissingCount:
    case LendingProblem::TooManyInstalments:
    case LendingProblem::RoundingDiverges:
        return LendingField::Count;
    case LendingProblem::MissingRate:
    case LendingProblem::RateTooHigh:
        return LendingField::Rate;
    case LendingProblem::InsuranceTooLarge:
    case LendingProblem::InsuranceRateTooHigh:
        return LendingField::Insurance;
    }
    return LendingField::ReleaseDate;
}

std::int32_t parseInstalmentCount(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (text.empty())
        return 0;
    std::int32_t count = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return 0;
        // Past the limit the exact value no longer matters.
        if (count <= kMaxInstalments)
            count = count * 10 + (c - '0');
    }
    return count > kMaxInstalments ? kMaxInstalments + 1 : count;
}

std::string lendingCellText(const LendingRow& row, int column) {
    if (column == 0)
        return std::to_string(row.number);
    if (column == 6)
        return formatAmount(row.remainingCapital);
    if (row.number == 0)
        return {}; // the opening row: no date and no amounts
    switch (column) {
    case 1:
        return formatDate(row.date);
    case 2:
        return formatAmount(row.interest);
    case 3:
        return formatAmount(row.principal);
    case 4:
        return formatAmount(row.insurance);
    case 5:
        return formatAmount(row.instalment);
    }
    return {};
}

bool isDecemberRow(const LendingRow& row) {
    return toCalendarTime(row.date).month == 12; // date 0 is in January
}

} // namespace kolvane
