// Fixed word lists shared by several views, in UTF-8. Convert with
// utf8ToCp1252 before storing one into a record.
#pragma once

#include <array>

namespace kolvane {

// Indexed by day of week, Sunday first.
extern const std::array<const char*, 7> kDayNames;
// Graph periods: "Tous", the twelve months, four quarters, two half-years.
extern const std::array<const char*, 19> kPeriodNames;
// Loan simulator choices.
extern const std::array<const char*, 4> kPeriodicityNames;
extern const std::array<const char*, 2> kRateKindNames;
extern const std::array<const char*, 3> kFeeKindNames;

} // namespace kolvane
