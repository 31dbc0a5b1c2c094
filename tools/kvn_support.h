// What the `kvn` commands share: exit codes, the one-line refusal of bad
// input, loading the file named on the command line, record texts in UTF-8.
#pragma once

#include "document/document.h"
#include "document/text.h"

#include <map>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

inline constexpr int kExitOk = 0;
inline constexpr int kExitDifferences = 1;
inline constexpr int kExitBadInput = 2;

// Reports bad input: one line on the error stream, and the exit code to return.
template <class... Parts> int refuse(std::ostream& err, const Parts&... parts) {
    err << "kvn: ";
    (err << ... << parts);
    err << '\n';
    return kExitBadInput;
}

// A command's arguments read against the options it knows: the values of
// `--name value` options, the flags given, and the other arguments in order.
struct CommandLine {
    std::map<std::string, std::string> values;
    std::vector<std::string> flags;
    std::vector<std::string> plain;

    const std::string* value(const std::string& option) const; // null when not given
    bool has(const std::string& flag) const;
};
// Reads args[1..]; false, with the refusal written, on an unknown option, an
// option given twice, or one without a value.
bool parseCommandLine(const std::vector<std::string>& args, const std::vector<std::string>& valued,
                      const std::vector<std::string>& flags, CommandLine& line, std::ostream& err);

// Record texts are Windows-1252; the console and the JSON get UTF-8.
template <std::size_t N> std::string utf8Field(const char (&field)[N]) {
    return cp1252ToUtf8(fieldText(field));
}

// Loads `path` into `doc`; on failure says why on `err` and returns false.
bool loadFile(Document& doc, const std::string& path, std::ostream& err);

// Amounts as a user types them: an optional minus, digits, and at most two
// decimals after a point. Anything else (a comma, an exponent, spaces, "inf")
// is refused rather than guessed at.
bool parseTypedAmount(std::string_view text, double& value);

// Local calendar time, as the file holds it: "YYYY-MM-DDTHH:MM:SS.mmm".
std::string dateText(FileTime fileTime);

} // namespace kolvane
