// Passwords are never stored in clear: each character is shifted by six bits
// of a per-user key drawn at random. This hides them from a casual look at
// the file; it is not encryption.
#pragma once

#include "records.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kolvane {

inline constexpr std::size_t kPasswordMaxLength = 15;

// Scrambles at most the first 15 characters of `plain` with a key made of two
// draws of std::rand (seeded at start-up), returned in `keyOut`. The result
// has one byte per character; a byte that comes out as 0 ends the password
// once stored.
std::string scramblePassword(std::string_view plain, std::uint32_t& keyOut);
// The same with a given key.
std::string scramblePasswordWithKey(std::string_view plain, std::uint32_t key);
// Undoes the scrambling, up to the first NUL of `scrambled`.
std::string unscramblePassword(std::string_view scrambled, std::uint32_t key);

// Whether the stored password, unscrambled with `key`, equals `typed` exactly
// (case-sensitive).
[[nodiscard]] bool checkPassword(std::string_view typed, std::string_view scrambled,
                                 std::uint32_t key);
[[nodiscard]] bool checkPassword(std::string_view typed, const char (&scrambled)[24], std::uint32_t key);

// Scrambles `plain` with a fresh key into the user's `password` and
// `passwordKey`.
void storePassword(UserRecord& user, std::string_view plain);

} // namespace kolvane
