#include "register_order.h"

namespace kolvane {
namespace {

bool startsTheRegister(const OperationRecord& record) {
    return isInitialBalance(record.counterpartyId);
}

template <class T> int sign(T a, T b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

// Initial-balance operations first; 2 when neither is one, for the caller to
// decide. Two initial-balance operations (only in a damaged file) keep their
// entry order, so that sorting always sees a consistent order.
int compareInitialBalances(const OperationRecord& a, const OperationRecord& b) {
    const bool aFirst = startsTheRegister(a);
    const bool bFirst = startsTheRegister(b);
    if (aFirst && bFirst)
        return sign(a.id, b.id);
    if (aFirst)
        return -1;
    if (bFirst)
        return 1;
    return 2;
}

} // namespace

int compareByEntry(const OperationRecord& a, const OperationRecord& b) {
    const int initial = compareInitialBalances(a, b);
    if (initial != 2)
        return initial;
    // Ids are unsigned 32-bit: a subtraction would wrap.
    return sign(a.id, b.id);
}

int compareByDate(const OperationRecord& a, const OperationRecord& b) {
    const int initial = compareInitialBalances(a, b);
    if (initial != 2)
        return initial;
    return sign(a.operationDate, b.operationDate);
}

OperationCompare compareForSortOrder(std::uint32_t sortOrder) {
    return sortOrder == 0 ? compareByEntry : compareByDate;
}

int findInsertPosition(const std::vector<OperationRecord*>& rows, const OperationRecord& record,
                       OperationCompare compare, int stopAt) {
    const int count = static_cast<int>(rows.size());
    auto compareAt = [&](int row) {
        return rows[static_cast<std::size_t>(row)]
                   ? compare(record, *rows[static_cast<std::size_t>(row)])
                   : 1;
    };
    // From an equal row, the position after the run of equal rows, not
    // walking past the row `stopAt`.
    auto afterEquals = [&](int row) {
        while (row < count && row != stopAt && compareAt(row) == 0)
            ++row;
        return row;
    };
    if (count == 0 || compareAt(0) < 0)
        return 0;
    if (compareAt(count - 1) > 0)
        return count;
    int low = 0;
    int high = count - 1;
    for (;;) {
        const int middle = low + (high - low) / 2;
        if (middle == low)
            break;
        const int order = compareAt(middle);
        if (order == 0)
            return afterEquals(middle);
        if (order < 0)
            high = middle;
        else
            low = middle;
    }
    // `high` is only ever left on a row equal to `record` when it is still the
    // last row, or the only one: the new record then goes after it too.
    return afterEquals(high);
}

} // namespace kolvane
