// What every statement reader must hold to, whatever the input: a refused
// file reads nothing and says why; a read one has amounts and dates in range.
#pragma once

#include "exchange/statement.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kolvane::fuzzing {

[[noreturn]] inline void fail(const char* what) {
    std::fprintf(stderr, "statement fuzzer: %s\n", what);
    std::abort();
}

inline void checkOutcome(bool read, const Statement& statement, const ReadError& error) {
    if (!read) {
        if (!statement.rows.empty())
            fail("a refused file left rows behind");
        if (error.reason.empty() || error.line < 0)
            fail("a refusal without a reason or with a negative line");
        return;
    }
    for (const StatementRow& row : statement.rows) {
        if (!std::isfinite(row.amount) || std::fabs(row.amount) >= 1e9)
            fail("an amount out of range");
        if (std::round(row.amount * 100.0) / 100.0 != row.amount)
            fail("an amount that is not a whole number of cents");
        if (row.date % 864000000000ull != 0 || row.line < 1)
            fail("a date that is not midnight, or a row without its line");
        for (const StatementSplit& split : row.splits)
            if (!std::isfinite(split.amount))
                fail("a split line amount out of range");
    }
}

} // namespace kolvane::fuzzing
