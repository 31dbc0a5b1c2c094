// `kvn register FILE --account NAME|N [--order entry|date]`: the register of
// one account as the "Opérations" tab shows it, as JSON.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kolvane {

int commandRegister(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace kolvane
