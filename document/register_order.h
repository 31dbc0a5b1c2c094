// The two orders of the register, and where a record goes in them, over the
// rows of the register (one operation or ventilation line per row, already sorted).
#pragma once

#include "document.h"

#include <vector>

namespace kolvane {

// <0, 0 or >0. An initial-balance operation (counterparty InitialBalance)
// comes first in both orders.
using OperationCompare = int (*)(const OperationRecord& a, const OperationRecord& b);

// Entry order: by operation id.
int compareByEntry(const OperationRecord& a, const OperationRecord& b);
// Operation date order.
int compareByDate(const OperationRecord& a, const OperationRecord& b);
// The comparison of a `Document::sortOrder` (0 entry, otherwise date).
OperationCompare compareForSortOrder(std::uint32_t sortOrder);

// The row at which `record` goes in `rows` sorted by `compare`: after every
// row equal to it, except that the walk over equal rows stops at row
// `stopAt` (the row of the record being changed; -1 for none).
int findInsertPosition(const std::vector<OperationRecord*>& rows, const OperationRecord& record,
                       OperationCompare compare, int stopAt);

} // namespace kolvane
