#include "tools/kvn_support.h"

#include <algorithm>

namespace kolvane {

const std::string* CommandLine::value(const std::string& option) const {
    auto found = values.find(option);
    return found == values.end() ? nullptr : &found->second;
}

bool CommandLine::has(const std::string& flag) const {
    return std::find(flags.begin(), flags.end(), flag) != flags.end();
}

bool parseCommandLine(const std::vector<std::string>& args, const std::vector<std::string>& valued,
                      const std::vector<std::string>& flags, CommandLine& line, std::ostream& err) {
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (std::find(valued.begin(), valued.end(), arg) != valued.end()) {
            if (line.values.count(arg)) {
                refuse(err, arg, " is given twice");
                return false;
            }
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                refuse(err, arg, " needs a value");
                return false;
            }
            line.values[arg] = args[++i];
        } else if (std::find(flags.begin(), flags.end(), arg) != flags.end()) {
            if (!line.has(arg))
                line.flags.push_back(arg);
        } else if (arg.starts_with("--")) {
            refuse(err, "unknown option ", arg, " (try kvn --help)");
            return false;
        } else {
            line.plain.push_back(arg);
        }
    }
    return true;
}

} // namespace kolvane
