#include "loan/lending_rules.h"

#include "document/amounts.h"
#include "document/dates.h"

#include <cmath>
#include <initializer_list>
#include <utility>

namespace kolvane {
namespace {

Refusal checkForm(const LendingForm& form, LendingParameters& parameters) {
    if (daysBetween(form.releaseDate, form.firstInstalmentDate, 0) <= 0)
        return {RefusalMessage::LoanInvalidDates, RefusalField::LoanReleaseDate};
    parameters.releaseDate = form.releaseDate;
    parameters.firstInstalmentDate = form.firstInstalmentDate;

    parameters.amount = std::fabs(form.amount);
    if (isZeroAmount(parameters.amount))
        return {RefusalMessage::LoanMissingAmount, RefusalField::LoanAmount};
    if (!(parameters.amount <= kLargestLoanAmount))
        return {RefusalMessage::LoanAmountTooLarge, RefusalField::LoanAmount};

    parameters.count = parseInstalmentCount(form.countText);
    if (parameters.count == 0)
        return {RefusalMessage::LoanMissingCount, RefusalField::LoanCount};
    if (parameters.count > kMaxInstalments)
        return {RefusalMessage::LoanTooManyInstalments, RefusalField::LoanCount};

    parameters.annualRate = std::fabs(form.annualRate);
    if (isZeroAmount(parameters.annualRate))
        return {RefusalMessage::LoanMissingRate, RefusalField::LoanRate};
    if (!(parameters.annualRate <= kMaxLoanPercent))
        return {RefusalMessage::LoanRateTooHigh, RefusalField::LoanRate};

    parameters.insurance = std::fabs(form.insurance);
    parameters.insuranceType = form.insuranceType;
    if (form.insuranceType == InsuranceType::Value) {
        if (!(parameters.insurance <= kLargestLoanAmount))
            return {RefusalMessage::LoanInsuranceTooLarge, RefusalField::LoanInsurance};
    } else if (!(parameters.insurance <= kMaxLoanPercent)) {
        return {RefusalMessage::LoanInsuranceRateTooHigh, RefusalField::LoanInsurance};
    }
    parameters.periodicity = form.periodicity;
    parameters.rateMode = form.rateMode;
    return {};
}

} // namespace

LendingDecision decideLending(const LendingForm& form) {
    LendingDecision decision;
    decision.refusal = checkForm(form, decision.parameters);
    if (decision.refusal)
        return decision;
    decision.schedule = computeLending(decision.parameters);
    const LendingSchedule& schedule = decision.schedule;
    // Over many periods at a high rate the cent lost in rounding the
    // instalment compounds like the capital: past one instalment left over
    // (or past what a double holds) the table means nothing.
    if (!(std::fabs(schedule.remainder) <= schedule.instalmentWithInsurance))
        decision.refusal = {RefusalMessage::LoanRoundingDiverges, RefusalField::LoanCount};
    // A short loan at a high rate can ask for more than one instalment can hold.
    else if (!(schedule.instalmentWithInsurance <= kLargestLoanAmount))
        decision.refusal = {RefusalMessage::LoanInstalmentTooLarge, RefusalField::LoanAmount};
    if (decision.refusal)
        decision.schedule = {};
    return decision;
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

namespace {

template <class Value>
ChoiceList choices(std::initializer_list<std::pair<const char*, Value>> entries) {
    ChoiceList list;
    for (const auto& [text, value] : entries)
        list.rows.push_back({text, static_cast<std::uint32_t>(value)});
    list.selected = 0;
    return list;
}

} // namespace

ChoiceList periodicityChoices() {
    return choices<Periodicity>({{"Mensuel", Periodicity::Monthly},
                                 {"Trimestriel", Periodicity::Quarterly},
                                 {"Semestriel", Periodicity::HalfYearly},
                                 {"Annuel", Periodicity::Yearly}});
}

ChoiceList rateModeChoices() {
    return choices<RateMode>(
        {{"Proportionnel", RateMode::Proportional}, {"Equivalent", RateMode::Equivalent}});
}

ChoiceList insuranceTypeChoices() {
    return choices<InsuranceType>(
        {{"En valeur", InsuranceType::Value},
         {"En pourcentage fixe", InsuranceType::FixedPercent},
         {"En pourcentage proportionnel", InsuranceType::ProportionalPercent}});
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

std::string LendingRows::cellText(int row, int column) const {
    if (row < 0 || row >= rowCount())
        return {};
    return lendingCellText(schedule_.rows[static_cast<std::size_t>(row)], column);
}

RowLook LendingRows::rowLook(int row) const {
    if (row >= 0 && row < rowCount() &&
        isDecemberRow(schedule_.rows[static_cast<std::size_t>(row)]))
        return {kDecemberRowBackground, kDecemberRowText, false};
    return {kLendingRowBackground, kLendingRowText, false};
}

int lendingLastColumnWidth(int listClientWidth) {
    // The six other columns take 60 + 90 + 4 x 100 pixels.
    constexpr int kOtherColumns = 550;
    return listClientWidth > 659 ? listClientWidth - kOtherColumns : 110;
}

} // namespace kolvane
