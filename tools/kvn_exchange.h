// `kvn import FILE --account NAME STATEMENT [--dry-run] [--format ofx|qif|csv]
// [--force]` and `kvn export FILE (--account NAME | --all) --format csv|qif OUT`.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kolvane {

int commandImport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int commandExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace kolvane
