// `kvn totals FILE --period month|quarter|half|year [--at YYYY-MM-DD]`: the
// graph view's period and chart, as JSON.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kolvane {

int commandTotals(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace kolvane
