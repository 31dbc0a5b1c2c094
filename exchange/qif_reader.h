// QIF statements: the records of the bank-like sections (!Type:Bank, Cash,
// CCard, Oth A, Oth L) with their D T P M N L fields and split lines S E $,
// each ended by '^'. Other sections (categories, account lists, options) are
// skipped. Dates dd/mm/yyyy or the US forms (m/d/yy, m/d'yy) as the whole
// file allows; amounts with a decimal point or comma.
#pragma once

#include "exchange/statement.h"

namespace kolvane {

[[nodiscard]] bool readQif(std::span<const std::uint8_t> bytes, Statement& statement, ReadError& error);

} // namespace kolvane
