// `kvn thirds FILE [--third NAME]`: the "Tiers" tab's tree with each party's
// balance and, for one party, its list with running balances, as JSON.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kolvane {

int commandThirds(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace kolvane
