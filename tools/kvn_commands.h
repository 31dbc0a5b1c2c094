// The commands of the `kvn` tool, callable from tests.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kolvane {

// Whether the process ends when the command returns. A command that ends it
// leaves the file it read to the system, which takes the memory back at once,
// instead of handing its records back one by one first.
enum class KvnProcess { Continues, EndsAfter };

// Runs `kvn ARGS...` (without the program name). Returns the exit code:
// 0 success, 1 differences found by `check`, 2 bad input (nothing written).
int runKvn(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           KvnProcess process = KvnProcess::Continues);

} // namespace kolvane
