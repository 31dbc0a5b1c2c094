// libFuzzer target for the QIF statement reader (see statement_checks.h).
#include "exchange/qif_reader.h"
#include "statement_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kolvane;
    Statement statement;
    ReadError error;
    const bool read = readQif(std::span(data, size), statement, error);
    fuzzing::checkOutcome(read, statement, error);
    return 0;
}
