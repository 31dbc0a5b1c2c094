// Test data at any size: a document that looks like years of real use
// (accounts, third parties, dated operations with their modes and categories,
// transfers and split operations), with every balance, ticked balance and
// operation count booked as the program books them. The same options give
// the same document, byte for byte, on every platform.
#pragma once

#include "document.h"

#include <cstdint>

namespace kolvane {

struct GeneratorOptions {
    std::uint32_t operations = 1000; // all of them, the initial-balance ones included
    std::uint32_t accounts = 3;
    std::uint32_t thirds = 20;
    std::uint32_t splitPercent = 10; // share of the operations split over 2 to 4 lines
    std::uint64_t seed = 1;
};

enum class GeneratorStatus {
    Ok,
    NoAccount,        // at least one account is needed
    TooManyParties,   // more accounts or third parties than identifiers can number
    TooFewOperations, // fewer operations than initial balances
    TooManyOperations,
    BadSplitPercent,
    OutOfMemory,
};

const char* describeGeneratorStatus(GeneratorStatus status);

// Fills an empty document (initialised or closed). On failure it is left
// empty. The result is open and modified, its default user current.
[[nodiscard]] GeneratorStatus generateDocument(Document& doc, const GeneratorOptions& options);

} // namespace kolvane
