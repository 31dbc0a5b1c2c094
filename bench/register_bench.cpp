// The register and the booking core on a large file: 1 000 000 operations
// on 10 accounts (the first one holds about 100 000 of them) and 200 third
// parties, made by the generator behind `kvn generate`.
//
//   register_fill_vs_plain_pass  filling the first account's register, sorting
//                                it in both orders and writing its running
//                                balances, against one plain pass reading
//                                every operation's partyId, counterpartyId and
//                                amount (measured in the same iterations)
//   register_fill_ms             that fill alone, in milliseconds
//   register_tick_ms, register_delete_ms, register_resort_ms
//                                one tick, one deletion in the middle of the
//                                register, one change of order
//   booking_ms                   booking one new operation, one change, one
//                                deletion (three benchmarks), running
//                                balances included, in date order with the
//                                operation in the middle of the register
// Every change is undone between iterations, outside the timing. The
// counters are in thread CPU time, so that a machine shared with other work
// (builds running beside) still gives the cost of the code itself; the
// "Time" column beside them is the wall time.
#include "document/document.h"
#include "document/generator.h"
#include "operations/booking.h"

#include "bench/bench_support.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>

namespace {

using namespace kolvane;
using namespace kolvane::bench;

// A row near the middle of the register that can be changed and deleted
// (most older operations are ticked).
int middleRow(const RegisterModel& model) {
    for (int row = model.rowCount() / 2; row < model.rowCount(); ++row)
        if (model.rowFlags(row) & kRowCanModify && !(model.rowFlags(row) & kRowIncoming))
            return row;
    return -1;
}

LargeRegister& largeRegister() {
    static LargeRegister large;
    return large;
}

void BM_RegisterFill(benchmark::State& state) {
    LargeRegister& large = largeRegister();
    Document& doc = large.doc;
    RegisterModel model(doc);
    double fillTime = 0, plainTime = 0;
    for (auto _ : state) {
        double start = cpuMilliseconds();
        benchmark::DoNotOptimize(plainPass(doc));
        plainTime += cpuMilliseconds() - start;

        start = cpuMilliseconds();
        doc.sortOrder = 0;
        model.fill();
        doc.sortOrder = 1;
        model.sortRows();
        model.recomputeFrom(0);
        fillTime += cpuMilliseconds() - start;
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["register_fill_vs_plain_pass"] = fillTime / plainTime;
    state.counters["register_fill_ms"] = fillTime / n;
    state.counters["plain_pass_ms"] = plainTime / n;
    state.counters["rows"] = model.rowCount();
}

// Times one performed command per iteration, then takes it back untimed.
template <class Make> void timeCommand(benchmark::State& state, const char* counter, Make make) {
    LargeRegister& large = largeRegister();
    double total = 0;
    for (auto _ : state) {
        auto command = make(large);
        const double start = cpuMilliseconds();
        const BookingStatus status = large.history.perform(std::move(command));
        total += cpuMilliseconds() - start;
        if (status != BookingStatus::Done) {
            state.SkipWithError("the command was refused");
            break;
        }
        state.PauseTiming();
        large.history.stepBack();
        state.ResumeTiming();
    }
    state.counters[counter] = total / static_cast<double>(state.iterations());
}

OperationEntry middleEntry(const LargeRegister& large, double amount) {
    const OperationRecord* middle = large.model.record(large.model.rowCount() / 2);
    OperationEntry entry;
    entry.amount = amount;
    entry.party = Category | 0x0001;
    entry.modeId = 1;
    entry.operationDate = middle->operationDate;
    entry.label = "Courses";
    entry.now = middle->operationDate;
    return entry;
}

void BM_RegisterTick(benchmark::State& state) {
    timeCommand(state, "register_tick_ms", [](LargeRegister& large) {
        return makeToggleTick(large.model.record(large.model.rowCount() / 2), 0);
    });
}

void BM_RegisterDelete(benchmark::State& state) {
    timeCommand(state, "register_delete_ms", [](LargeRegister& large) {
        const int row = middleRow(large.model);
        return makeDeleteOperation(large.model.record(row), row);
    });
}

void BM_RegisterResort(benchmark::State& state) {
    timeCommand(state, "register_resort_ms", [](LargeRegister& large) {
        return makeSortOrder(large.doc.sortOrder == 0 ? 1 : 0);
    });
}

void BM_BookingNew(benchmark::State& state) {
    timeCommand(state, "booking_ms",
                [](LargeRegister& large) { return makeNewOperation(middleEntry(large, -12.5)); });
}

void BM_BookingChange(benchmark::State& state) {
    timeCommand(state, "booking_ms", [](LargeRegister& large) {
        const int row = middleRow(large.model);
        OperationRecord* record = large.model.record(row);
        OperationEntry entry = middleEntry(large, record->amount - 1.0);
        entry.operationDate = record->operationDate;
        return makeChangeOperation(record, row, entry);
    });
}

void BM_BookingDelete(benchmark::State& state) {
    timeCommand(state, "booking_ms", [](LargeRegister& large) {
        const int row = middleRow(large.model);
        return makeDeleteOperation(large.model.record(row), row);
    });
}

BENCHMARK(BM_RegisterFill)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK(BM_RegisterTick)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(200);
BENCHMARK(BM_RegisterDelete)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(100);
BENCHMARK(BM_RegisterResort)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);
BENCHMARK(BM_BookingNew)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(200);
BENCHMARK(BM_BookingChange)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(200);
BENCHMARK(BM_BookingDelete)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(200);

} // namespace
