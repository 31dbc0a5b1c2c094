// Selecting a third party in the "Tiers" tab on a large file: 1 000 000
// operations on 10 accounts and 5 third parties (about 55 000 operations and
// lines each), made by the generator behind `kvn generate`.
//
//   third_fill_ms             filling the selected party's list: its rows in
//                             list order and their running balances, the
//                             tree's order and the strip's texts
//   third_fill_vs_plain_pass  that fill against one plain pass reading every
//                             operation's partyId, counterpartyId and amount
//                             (measured in the same iterations)
// The counters are in thread CPU time, as in register_bench.cpp.
#include "document/document.h"
#include "document/generator.h"
#include "thirds/third_model.h"

#include "bench/bench_support.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>

namespace {

using namespace kolvane;
using namespace kolvane::bench;

void BM_ThirdFill(benchmark::State& state) {
    static Document doc;
    static const bool generated = [] {
        GeneratorOptions fewThirds = kLargeFile;
        fewThirds.thirds = 5;
        return generateLarge(doc, fewThirds);
    }();
    if (!generated) {
        state.SkipWithError("cannot generate the document");
        return;
    }
    const ThirdRecord* third = doc.thirds.first();
    ThirdRows rows;
    double fillTime = 0, plainTime = 0;
    for (auto _ : state) {
        double start = cpuMilliseconds();
        benchmark::DoNotOptimize(plainPass(doc));
        plainTime += cpuMilliseconds() - start;

        start = cpuMilliseconds();
        benchmark::DoNotOptimize(thirdTree(doc));
        rows.fill(doc, third);
        benchmark::DoNotOptimize(thirdStripTexts(third));
        fillTime += cpuMilliseconds() - start;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["third_fill_ms"] = fillTime / n;
    state.counters["third_fill_vs_plain_pass"] = fillTime / plainTime;
    state.counters["plain_pass_ms"] = plainTime / n;
    state.counters["rows"] = rows.rowCount();
}
BENCHMARK(BM_ThirdFill)->Unit(benchmark::kMillisecond);

} // namespace
