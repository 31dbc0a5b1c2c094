// The test data generator: the options shape the document, a seed always
// gives the same bytes, and every split adds up. That the balances are booked
// right is checked by `kvn check` in kvn_test.cpp.
#include "document/generator.h"

#include "account_file_samples.h"
#include "document/account_file.h"
#include "document/calendar.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kolvane {
namespace {

using testing_samples::isEmpty;

std::vector<std::uint8_t> generatedImage(const GeneratorOptions& options) {
    Document doc;
    documentInit(doc);
    EXPECT_EQ(generateDocument(doc, options), GeneratorStatus::Ok);
    return serializeDocument(doc);
}

TEST(Generator, ASeedAlwaysGivesTheSameBytes) {
    GeneratorOptions options{3000, 4, 25, 10, 5};
    const std::vector<std::uint8_t> first = generatedImage(options);
    EXPECT_EQ(generatedImage(options), first);
    options.seed = 6;
    EXPECT_NE(generatedImage(options), first);
}

TEST(Generator, TheOptionsShapeTheDocument) {
    struct Case {
        GeneratorOptions options;
        double minimumSplitShare, maximumSplitShare;
    };
    const Case cases[] = {
        {{500, 1, 0, 0, 1}, 0.0, 0.0},
        {{4000, 4, 30, 25, 2}, 0.20, 0.30},
        {{300, 2, 5, 100, 3}, 1.0, 1.0},
    };
    for (const Case& c : cases) {
        const GeneratorOptions& o = c.options;
        SCOPED_TRACE(testing::Message() << o.operations << " " << o.accounts << " " << o.thirds);
        Document doc;
        documentInit(doc);
        ASSERT_EQ(generateDocument(doc, o), GeneratorStatus::Ok);
        EXPECT_EQ(doc.operations.count(), static_cast<int>(o.operations));
        EXPECT_EQ(doc.accounts.count(), static_cast<int>(o.accounts));
        EXPECT_EQ(doc.thirds.count(), static_cast<int>(o.thirds));
        EXPECT_EQ(doc.currentAccount, doc.accounts.first());
        EXPECT_EQ(doc.nextOperationId, o.operations);

        std::uint32_t splits = 0, transfers = 0, toThirds = 0, initials = 0;
        FileTime firstDate = 0, lastDate = 0;
        for (const OperationRecord& operation : doc.operations) {
            if (isInitialBalance(operation.counterpartyId)) {
                ++initials;
                continue;
            }
            EXPECT_TRUE(isAccount(operation.partyId));
            EXPECT_GE(operation.operationDate / DAY, lastDate / DAY); // entered day by day
            firstDate = firstDate ? firstDate : operation.operationDate;
            lastDate = operation.operationDate;
            transfers += isAccount(operation.counterpartyId);
            toThirds += isThird(operation.counterpartyId);
            if (!isSplit(operation.counterpartyId)) {
                EXPECT_EQ(operation.lines, nullptr);
                continue;
            }
            ++splits;
            ASSERT_NE(operation.lines, nullptr);
            EXPECT_EQ(operation.lines->count(), static_cast<int>(operation.lineCount));
            EXPECT_GE(operation.lineCount, 2u);
            EXPECT_LE(operation.lineCount, 4u);
            double sum = 0.0;
            for (const VentilationLine& line : *operation.lines) {
                sum += line.amount;
                EXPECT_EQ(line.partyId, Split);
                EXPECT_EQ(line.id, operation.id);
                EXPECT_EQ(line.operationDate, operation.operationDate);
            }
            EXPECT_LT(std::fabs(sum - operation.amount), 0.001);
        }
        EXPECT_EQ(initials, o.accounts + o.thirds);
        const double share = double(splits) / double(o.operations - initials);
        EXPECT_GE(share, c.minimumSplitShare);
        EXPECT_LE(share, c.maximumSplitShare);
        EXPECT_EQ(transfers > 0, o.accounts > 1 && o.splitPercent < 100);
        EXPECT_EQ(toThirds > 0, o.thirds > 0 && o.splitPercent < 100);
        // Several years of use.
        EXPECT_GE(toCalendarTime(lastDate).year - toCalendarTime(firstDate).year, 4);
    }
}

TEST(Generator, ImpossibleOptionsAreRefusedAndLeaveTheDocumentEmpty) {
    struct Case {
        GeneratorOptions options;
        GeneratorStatus expected;
    };
    const Case cases[] = {
        {{100, 0, 5, 10, 1}, GeneratorStatus::NoAccount},
        {{100000, 65536, 0, 10, 1}, GeneratorStatus::TooManyParties},
        {{100000, 1, 65536, 10, 1}, GeneratorStatus::TooManyParties},
        {{4, 3, 2, 10, 1}, GeneratorStatus::TooFewOperations},
        {{20000001, 1, 0, 10, 1}, GeneratorStatus::TooManyOperations},
        {{100, 1, 0, 101, 1}, GeneratorStatus::BadSplitPercent},
    };
    for (const Case& c : cases) {
        Document doc;
        documentInit(doc);
        EXPECT_EQ(generateDocument(doc, c.options), c.expected);
        EXPECT_TRUE(isEmpty(doc));
    }
    Document doc;
    documentInit(doc);
    EXPECT_EQ(generateDocument(doc, {5, 3, 2, 10, 1}), GeneratorStatus::Ok); // just enough
}

} // namespace
} // namespace kolvane
