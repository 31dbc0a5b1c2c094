// libFuzzer target for the account-file loader.
//
// Any input must either be refused with an empty document, or load into
// records that write back the very bytes they came from (bar the words that
// carry nothing: the reserved block, the in-memory `lines` words, the count
// word of a line and a nonzero flag byte written as 1), and whose image loads
// again to the same image.
#include "document/account_file.h"
#include "document/document.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

namespace {

using namespace kolvane;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "account file fuzzer: %s\n", what);
    std::abort();
}

bool isEmpty(const Document& doc) {
    return doc.users.empty() && doc.modes.empty() && doc.categories.empty() && doc.labels.empty() &&
           doc.reserved.empty() && doc.accounts.empty() && doc.thirds.empty() &&
           doc.operations.empty() && !doc.currentAccount && doc.nextOperationId == 0 &&
           doc.nextAccountNumber == 0 && doc.nextThirdNumber == 0 && doc.isOpen == 0;
}

void putLe32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// The input as the writer must give it back.
std::vector<std::uint8_t> expectedImage(const Document& doc, const std::uint8_t* data,
                                        std::size_t size) {
    std::vector<std::uint8_t> expected(data, data + size);
    expected[8] = data[8] ? 1 : 0;
    const std::size_t reservedBlock = 13 + 76 * std::size_t(doc.users.count()) + 4 +
                                      36 * std::size_t(doc.modes.count()) + 4 +
                                      36 * std::size_t(doc.categories.count());
    for (std::size_t i = 0; i < 64; ++i)
        expected[reservedBlock + i] = 0;
    // The operations are the last section: walk it back from the end.
    std::size_t records = 0;
    for (const OperationRecord& operation : doc.operations)
        records += 1 + operation.lineCount;
    std::size_t at = size - 120 * records;
    for (const OperationRecord& operation : doc.operations) {
        putLe32(expected, at + 116, 0);
        at += 120;
        for (std::uint32_t line = 0; line < operation.lineCount; ++line) {
            putLe32(expected, at + 112, 0);
            putLe32(expected, at + 116, 0);
            at += 120;
        }
    }
    return expected;
}

void checkConsistent(const Document& doc) {
    if (doc.currentAccount != doc.accounts.first())
        fail("the current account is not the first one");
    for (const OperationRecord& operation : doc.operations) {
        std::uint32_t lines = operation.lines ? std::uint32_t(operation.lines->count()) : 0;
        if (lines != operation.lineCount || (operation.lineCount == 0) != !operation.lines)
            fail("an operation's line count disagrees with its lines");
        if (operation.lines)
            for (const VentilationLine& line : *operation.lines)
                if (line.lineCount != 0 || line.lines)
                    fail("a line has lines of its own");
    }
    for (const AccountRecord& account : doc.accounts)
        if (account.logo != kNoLogo && !accountLogo(doc, account))
            fail("an account names a logo the document does not hold");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Document doc;
    documentInit(doc);
    if (loadDocumentFromBytes(doc, std::span(data, size)) != LoadStatus::Ok) {
        if (!isEmpty(doc))
            fail("a refused file left records behind");
        return 0;
    }
    checkConsistent(doc);
    const std::vector<std::uint8_t> image = serializeDocument(doc);
    if (image.size() != size)
        fail("the loaded document does not have the size of its file");
    if (image != expectedImage(doc, data, size))
        fail("the loaded document does not write back its file");

    Document again;
    documentInit(again);
    if (loadDocumentFromBytes(again, image) != LoadStatus::Ok)
        fail("a written image does not load");
    if (serializeDocument(again) != image)
        fail("the round trip changes the image");
    return 0;
}
