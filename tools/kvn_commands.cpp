#include "kvn_commands.h"

namespace kolvane {

int runKvn(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    (void)args;
    (void)out;
    err << "kvn: not yet available\n";
    return 2;
}

} // namespace kolvane
