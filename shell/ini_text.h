// A small model of INI text as Windows' private-profile functions see it:
// "[Section]" lines, "Key=Value" lines, ';' comments, names compared without
// regard to case, values trimmed and freed of one pair of enclosing quotes.
// Changing a value rewrites only that key's line and keeps every other line
// (unknown keys, comments, blank lines) as it was.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

// The value of `key` in the first section named `section`, or nothing when the
// section or the key is missing. Text and result are UTF-8.
std::optional<std::string> iniValue(std::string_view text, std::string_view section,
                                    std::string_view key);

// A decimal integer value ("%i"): optional sign and digits, anything after the
// digits ignored. Nothing when the key is missing, holds no number or one that
// does not fit.
std::optional<int> iniInteger(std::string_view text, std::string_view section,
                              std::string_view key);

// `text` with `key` of `section` set to `value`: the key's line is replaced
// where it is, a missing key is added after the last entry of its section, a
// missing section is added at the end. Lines end with CR LF.
std::string setIniValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value);

// The INI file is UTF-16LE with a byte-order mark, the form in which the wide
// private-profile functions of Windows read and keep any path.
std::vector<std::uint8_t> encodeIniFile(std::string_view utf8Text);

// Reads what a user or another program may have left: UTF-16LE or UTF-16BE
// with their marks, UTF-8 with or without its mark, else Windows-1252.
std::string decodeIniFile(std::span<const std::uint8_t> bytes);

} // namespace kolvane
