// `kvn loan --amount A --count N --rate R --first YYYY-MM-DD ...`: the loan
// simulator's instalments and amortisation table, as JSON.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kolvane {

int commandLoan(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace kolvane
