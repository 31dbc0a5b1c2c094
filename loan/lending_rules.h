// What "Calculer" checks before a loan is computed, in the order the user
// reads the form, and the texts of the amortisation table's cells.
#pragma once

#include "loan/lending.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kolvane {

// Beyond these the table would be unreadable or its cents could no longer be
// rounded (amounts are rounded through 32-bit integers of thousandths).
inline constexpr std::int32_t kMaxInstalments = 1200;
inline constexpr double kLargestLoanAmount = 2147483.64;
inline constexpr double kMaxLoanPercent = 100.0;

// The form as read from its fields; amounts keep the sign they were typed with.
struct LendingForm {
    FileTime releaseDate = 0;
    FileTime firstInstalmentDate = 0;
    double amount = 0.0;
    std::string countText; // digits
    double annualRate = 0.0;
    double insurance = 0.0;
    Periodicity periodicity = Periodicity::Monthly;
    RateMode rateMode = RateMode::Proportional;
    InsuranceType insuranceType = InsuranceType::Value;
};

enum class LendingProblem {
    None,
    InvalidDates,
    MissingAmount,
    AmountTooLarge,
    MissingCount,
    TooManyInstalments,
    MissingRate,
    RateTooHigh,
    InsuranceTooLarge,
    InsuranceRateTooHigh,
    InstalmentTooLarge,
    RoundingDiverges,
};

// The field that gets the focus after the message.
enum class LendingField { ReleaseDate, Amount, Count, Rate, Insurance };

struct LendingDecision {
    LendingProblem problem = LendingProblem::None;
    LendingParameters parameters; // as computed, when accepted
    LendingSchedule schedule;
};

// Checks the form and, when it passes, computes the loan. The first failing
// check decides; its message is lendingProblemText(problem).
LendingDecision decideLending(const LendingForm& form);

// The message of a refusal (UTF-8), empty for None.
std::string_view lendingProblemText(LendingProblem problem);
LendingField lendingProblemField(LendingProblem problem);

// The count typed in the instalments field: 0 when it is empty or not a
// whole number, kMaxInstalments + 1 for anything larger than allowed.
std::int32_t parseInstalmentCount(std::string_view text);

// --- The table as the view draws it -----------------------------------------

inline constexpr int kLendingColumnCount = 7;

// Column 0 the number, 1 the date, 2 to 5 interest, principal, insurance and
// instalment, 6 the remaining capital. The opening row shows only its number
// and the amount borrowed.
std::string lendingCellText(const LendingRow& row, int column);

// December rows are drawn on a pale blue; the opening row never is.
bool isDecemberRow(const LendingRow& row);

} // namespace kolvane
