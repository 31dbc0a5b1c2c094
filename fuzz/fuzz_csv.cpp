// libFuzzer target for the CSV statement reader: the layout guessed from the
// input, written as text and read back unchanged, then the file read with it
// (see statement_checks.h).
#include "exchange/csv_reader.h"
#include "statement_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kolvane;
    const std::span<const std::uint8_t> bytes(data, size);
    const CsvLayout layout = guessCsvLayout(bytes);
    CsvLayout again;
    if (!parseCsvLayoutText(csvLayoutText(layout), again) ||
        csvLayoutText(again) != csvLayoutText(layout))
        fuzzing::fail("a guessed layout does not survive its text");
    Statement statement;
    ReadError error;
    const bool read = readCsv(bytes, layout, statement, error);
    fuzzing::checkOutcome(read, statement, error);
    return 0;
}
