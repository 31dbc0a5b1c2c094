// The texts that name parties and modes of transaction in the views, and two
// small text helpers. Results are Windows-1252, like the records.
#pragma once

#include "document.h"

#include <string>
#include <string_view>

namespace kolvane {

// Party texts, in UTF-8.
inline constexpr const char* kSplitText = "Opération ventillée";
inline constexpr const char* kTransferText = "Inter-compte";
inline constexpr const char* kThirdText = "Tiers";

// `text` without its leading and trailing spaces (only ' ').
std::string trimSpaces(std::string_view text);

// `length` characters of `text` from `start`. A negative `start` counts as 0;
// a negative `length`, or one running past the end, takes the rest; empty
// when `start` is at or beyond the end.
std::string substring(std::string_view text, int start, int length);

// The name of the first mode with that identifier, or an empty text.
std::string modeName(const Document& doc, std::uint16_t modeId);

// What the views write for a party: "Opération ventillée" for a split,
// "Inter-compte : <account>", "Tiers : <third party>", "<category>" or
// "<category> : <sub-category>"; empty for an unknown record, the initial
// balance and a deleted account.
std::string partyText(const Document& doc, PartyId id);

} // namespace kolvane
