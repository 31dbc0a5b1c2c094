// The invariants of a document that booking keeps: every account's and third
// party's balance, ticked balance and operation count equal what its
// operations and ventilation lines book on it, each split operation's lines
// add up to its amount, and only split operations carry lines. Used by
// `kvn check` and by the tests of the booking core.
#pragma once

#include "document.h"

#include <string>
#include <vector>

namespace kolvane {

// One line (UTF-8) per difference found, such as
// "Compte courant: balance 1 250.00 recorded, 1 200.00 computed"; empty when
// the document is consistent. Amounts may differ by less than 0.001.
std::vector<std::string> checkDocument(const Document& doc);

} // namespace kolvane
