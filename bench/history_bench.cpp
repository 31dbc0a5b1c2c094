// Undo and redo on a large file: 1 000 000 operations on 10 accounts (the
// first one holds about 100 000 of them) and 200 third parties, made by the
// generator behind `kvn generate`, the register showing the first account.
//
//   undo_account_delete_ms  undoing the deletion of the first account with
//                           its operations (the register shows it again)
//   redo_account_delete_ms  redoing it (the register shows the next account)
//   account_delete_vs_plain_pass
//                           the slower of the two against one plain pass
//                           reading every operation's partyId,
//                           counterpartyId and amount (same iterations)
//   undo_booking_ms         undoing the booking of one operation in the
//                           middle of the register, in date order
// The counters are in thread CPU time.
#include "document/document.h"
#include "document/generator.h"
#include "operations/account_steps.h"
#include "operations/booking.h"

#include "bench/bench_support.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace {

using namespace kolvane;
using namespace kolvane::bench;

LargeRegister& largeFile() {
    static LargeRegister large;
    return large;
}

int operationsOf(const Document& doc, PartyId account) {
    int count = 0;
    for (const OperationRecord& operation : doc.operations)
        count += operation.partyId == account || operation.counterpartyId == account;
    return count;
}

void BM_AccountDeleteUndoRedo(benchmark::State& state) {
    LargeRegister& large = largeFile();
    Document& doc = large.doc;
    AccountRecord* account = doc.accounts.first();
    const int deleted = operationsOf(doc, account->id);
    double undoTime = 0, redoTime = 0, plainTime = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto step = std::make_unique<AccountStep>(doc);
        doc.currentAccount = neighbourActiveAccount(doc, account); // as the dialog does
        step->finish(AccountChange::Deleted, account);
        large.history.perform(std::move(step));
        state.ResumeTiming();

        double start = cpuMilliseconds();
        large.history.undo();
        undoTime += cpuMilliseconds() - start;
        start = cpuMilliseconds();
        large.history.redo();
        redoTime += cpuMilliseconds() - start;
        start = cpuMilliseconds();
        benchmark::DoNotOptimize(plainPass(doc));
        plainTime += cpuMilliseconds() - start;

        state.PauseTiming();
        large.history.undo();
        state.ResumeTiming();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["undo_account_delete_ms"] = undoTime / n;
    state.counters["redo_account_delete_ms"] = redoTime / n;
    state.counters["account_delete_vs_plain_pass"] = std::max(undoTime, redoTime) / plainTime;
    state.counters["plain_pass_ms"] = plainTime / n;
    state.counters["operations_deleted"] = deleted;
    state.counters["operations"] = doc.operations.count();
}

void BM_BookingUndo(benchmark::State& state) {
    LargeRegister& large = largeFile();
    double total = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const OperationRecord* middle = large.model.record(large.model.rowCount() / 2);
        OperationEntry entry;
        entry.amount = -12.5;
        entry.party = Category | 0x0001;
        entry.modeId = 1;
        entry.operationDate = middle->operationDate;
        entry.label = "Courses";
        entry.now = middle->operationDate;
        large.history.perform(makeNewOperation(entry));
        state.ResumeTiming();
        const double start = cpuMilliseconds();
        large.history.undo();
        total += cpuMilliseconds() - start;
    }
    state.counters["undo_booking_ms"] = total / static_cast<double>(state.iterations());
}

BENCHMARK(BM_AccountDeleteUndoRedo)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_BookingUndo)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(200);

} // namespace
