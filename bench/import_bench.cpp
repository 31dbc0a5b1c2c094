// Importing a 10 000-row statement into the first account of a large file:
// 1 000 000 operations on 10 accounts (the first one holds about 100 000 of
// them) and 200 third parties, made by the generator behind `kvn generate`.
// Half the statement's rows are operations of the account (a day later, as a
// bank books them), half are new.
//
//   import_10k_ms             reading the OFX statement, finding the rows
//                             already there, the proposals, and booking the
//                             new rows as one step (register rows and running
//                             balances included), in milliseconds
//   import_10k_vs_plain_pass  the same against one plain pass reading every
//                             operation's partyId, counterpartyId and amount
//                             (measured in the same iterations)
//   rows_already_there        what the import found (5 000 expected)
// The import is undone between iterations, outside the timing. Times are
// thread CPU times, as in register_bench.cpp.
#include "document/calendar.h"
#include "document/document.h"
#include "document/generator.h"
#include "document/text.h"
#include "exchange/ofx_reader.h"
#include "exchange/statement_import.h"
#include "operations/booking.h"

#include "bench/bench_support.h"

#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <ctime>

namespace {

using namespace kolvane;
using namespace kolvane::bench;

std::string ofxDate(FileTime date) {
    const CalendarTime t = toCalendarTime(date);
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", t.year % 10000, t.month % 100, t.day % 100);
    return text;
}

std::string ofxAmount(double amount) {
    char text[32];
    auto result = std::to_chars(text, text + sizeof text, amount, std::chars_format::fixed, 2);
    return std::string(text, result.ptr);
}

struct LargeImport : LargeRegister {
    LargeImport() {
        account = doc.currentAccount;
        // 5 000 of the account's own operations, spread over its history...
        std::vector<const OperationRecord*> own;
        for (const OperationRecord& operation : doc.operations)
            if (operation.partyId == account->id && !isInitialBalance(operation.counterpartyId))
                own.push_back(&operation);
        std::string text =
            "OFXHEADER:100\r\nDATA:OFXSGML\r\nCHARSET:1252\r\n\r\n<OFX>\r\n<BANKTRANLIST>\r\n";
        auto addRow = [&](FileTime date, double amount, std::string_view label) {
            text += "<STMTTRN>\r\n<TRNTYPE>DEBIT\r\n<DTPOSTED>" + ofxDate(date) + "\r\n<TRNAMT>" +
                    ofxAmount(amount) + "\r\n<NAME>" + std::string(label) + "\r\n</STMTTRN>\r\n";
        };
        for (std::size_t i = 0; i < 5000; ++i) {
            const OperationRecord& operation = *own[i * own.size() / 5000];
            addRow(operation.operationDate + DAY, operation.amount, fieldText(operation.label));
        }
        // ... and 5 000 new ones.
        const FileTime start = static_cast<FileTime>(daysFromCivil(2031, 1, 1)) * DAY;
        for (int i = 0; i < 5000; ++i)
            addRow(start + static_cast<FileTime>(i % 365) * DAY, -(100 + i) / 100.0,
                   "CB COMMERCE " + std::to_string(i));
        text += "</BANKTRANLIST>\r\n</OFX>\r\n";
        statement.assign(text.begin(), text.end());
    }
    AccountRecord* account = nullptr;
    std::vector<std::uint8_t> statement;
};

void BM_Import10k(benchmark::State& state) {
    static LargeImport large;
    double importTime = 0, plainTime = 0;
    int alreadyThere = 0;
    for (auto _ : state) {
        double start = cpuMilliseconds();
        benchmark::DoNotOptimize(plainPass(large.doc));
        plainTime += cpuMilliseconds() - start;

        start = cpuMilliseconds();
        Statement statement;
        ReadError error;
        if (!readOfx(large.statement, statement, error)) {
            state.SkipWithError(error.reason.c_str());
            break;
        }
        const ImportPlan plan = planImport(large.doc, *large.account, statement);
        const BookingStatus status = large.history.perform(makeImportOperations(
            importEntries(large.doc, *large.account, statement, plan, localNowFileTime())));
        importTime += cpuMilliseconds() - start;
        if (status != BookingStatus::Done) {
            state.SkipWithError("the import was refused");
            break;
        }
        alreadyThere = static_cast<int>(statement.rows.size()) - plan.newCount();
        large.history.undo();
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["import_10k_ms"] = importTime / n;
    state.counters["import_10k_vs_plain_pass"] = importTime / plainTime;
    state.counters["plain_pass_ms"] = plainTime / n;
    state.counters["rows_already_there"] = alreadyThere;
}
BENCHMARK(BM_Import10k)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
