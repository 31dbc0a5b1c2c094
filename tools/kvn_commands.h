// The commands of the `kvn` tool, callable from tests.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kolvane {

// Runs `kvn ARGS...` (without the program name). Returns the exit code:
// 0 success, 1 differences found by `check`, 2 bad input (nothing written).
int runKvn(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace kolvane
