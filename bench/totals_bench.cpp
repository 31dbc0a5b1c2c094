// The graph's period totals over a large document, against the plain cost of
// walking its operations.
//
// The document: 1 000 000 operations on 10 accounts and 200 third parties
// (one in ten split), made by the generator behind `kvn generate`.
//
//   period_totals_vs_plain_pass = time of listing the expense categories and
//       totalling one year / time of one pass that reads each operation's
//       date, category and amount
// Both are timed in the same iterations, one after the other, in wall time
// (the counters in ms) and in the thread's processor time (cpu_ms), which a
// busy machine disturbs less.
#include "document/calendar.h"
#include "document/document.h"
#include "document/generator.h"
#include "graphs/period_totals.h"

#include "bench/bench_support.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <ctime>

namespace {

using namespace kolvane;
using namespace kolvane::bench;
using Clock = std::chrono::steady_clock;

struct LargeDocument {
    LargeDocument() {
        generateLarge(doc);
        // The year of the operation in the middle of the list: a full year.
        const OperationRecord* middle = doc.operations.first();
        for (int i = 0; middle && i < doc.operations.count() / 2; ++i)
            middle = doc.operations.next(middle);
        const int year = middle ? toCalendarTime(middle->operationDate).year : 2020;
        if (!periodOfYear(kWholeYear, year, period))
            std::fprintf(stderr, "no period for %d\n", year);
    }
    Document doc;
    Period period;
};

LargeDocument& largeDocument() {
    static LargeDocument large;
    return large;
}

double plainPass(const Document& doc) {
    FileTime dates = 0;
    PartyId categories = 0;
    double amounts = 0;
    for (const OperationRecord& operation : doc.operations) {
        dates += operation.operationDate;
        categories ^= operation.counterpartyId;
        amounts += operation.amount;
    }
    benchmark::DoNotOptimize(dates);
    benchmark::DoNotOptimize(categories);
    return amounts;
}

double periodTotals(const Document& doc, const Period& period) {
    CategoryTotalList totals;
    if (!listExpenseCategories(doc, totals))
        return 0;
    TotalsFlags flags;
    flags.running = 1;
    addPeriodTotals(doc, period, totals, flags);
    return totals.empty() ? 0 : totals.first()->total;
}

void BM_PeriodTotals(benchmark::State& state) {
    LargeDocument& large = largeDocument();
    Clock::duration plain{}, totals{};
    double plainCpuMs = 0, totalsCpuMs = 0;
    for (auto _ : state) {
        const double c0 = cpuMilliseconds();
        const Clock::time_point t0 = Clock::now();
        benchmark::DoNotOptimize(plainPass(large.doc));
        const Clock::time_point t1 = Clock::now();
        const double c1 = cpuMilliseconds();
        benchmark::DoNotOptimize(periodTotals(large.doc, large.period));
        const Clock::time_point t2 = Clock::now();
        const double c2 = cpuMilliseconds();
        plain += t1 - t0;
        totals += t2 - t1;
        plainCpuMs += c1 - c0;
        totalsCpuMs += c2 - c1;
    }
    const double plainMs = std::chrono::duration<double, std::milli>(plain).count();
    const double totalsMs = std::chrono::duration<double, std::milli>(totals).count();
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["period_totals_vs_plain_pass"] = totalsMs / plainMs;
    state.counters["period_totals_ms"] = totalsMs / iterations;
    state.counters["plain_pass_ms"] = plainMs / iterations;
    state.counters["period_totals_cpu_ms"] = totalsCpuMs / iterations;
    state.counters["plain_pass_cpu_ms"] = plainCpuMs / iterations;
}
BENCHMARK(BM_PeriodTotals)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
