// What the benchmarks share: the clock they read, the plain pass they
// measure against, and the large file they work on.
#pragma once

#include "document/document.h"
#include "document/generator.h"
#include "operations/account_steps.h"
#include "operations/booking.h"

#include <cstdio>
#include <ctime>

namespace kolvane::bench {

// CPU time of the calling thread, in milliseconds: a machine shared with
// other work (builds running beside) still gives the cost of the code itself.
inline double cpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The baseline of the list walks: one pass reading every operation's
// partyId, counterpartyId and amount.
inline double plainPass(const Document& doc) {
    double sum = 0.0;
    for (const OperationRecord& operation : doc.operations)
        sum += static_cast<double>(operation.partyId ^ operation.counterpartyId) + operation.amount;
    return sum;
}

// The large file: 1 000 000 operations on 10 accounts (the first one holds
// about 100 000 of them), 200 third parties, 10 % split; the same every run.
inline constexpr GeneratorOptions kLargeFile{1000000, 10, 200, 10, 42};

// Fills a fresh `doc` from the generator; says so when it cannot.
inline bool generateLarge(Document& doc, const GeneratorOptions& options = kLargeFile) {
    documentInit(doc);
    if (generateDocument(doc, options) == GeneratorStatus::Ok)
        return true;
    std::fprintf(stderr, "cannot generate the document\n");
    return false;
}

// The large file shown in the register of its first account, in date order,
// with the booking history the views use.
struct LargeRegister {
    LargeRegister() {
        generateLarge(doc);
        doc.sortOrder = 1;
        doc.currentAccount = doc.accounts.first();
        history.perform(makeSelectAccount(doc.currentAccount));
    }
    Document doc;
    RegisterModel model{doc};
    BookingHistory history{model};
};

} // namespace kolvane::bench
