#include "document/register_order.h"

#include <gtest/gtest.h>

#include <deque>

namespace kolvane {
namespace {

constexpr PartyId kCurrent = Account | 0;

OperationRecord operation(std::uint32_t id, FileTime date = 0) {
    OperationRecord record{};
    record.partyId = kCurrent;
    record.counterpartyId = Category | 0x0001;
    record.id = id;
    record.operationDate = date;
    return record;
}

OperationRecord initialBalance(std::uint32_t id) {
    OperationRecord record = operation(id, 5);
    record.counterpartyId = InitialBalance;
    return record;
}

TEST(CompareByEntry, InitialBalanceFirstThenIdentifiers) {
    const OperationRecord start = initialBalance(9);
    const OperationRecord three = operation(3);
    const OperationRecord five = operation(5);
    EXPECT_LT(compareByEntry(start, three), 0);
    EXPECT_GT(compareByEntry(three, start), 0);
    EXPECT_LT(compareByEntry(three, five), 0);
    EXPECT_EQ(compareByEntry(five, five), 0);
    // Two initial balances (a damaged file): entry order, never "both first".
    EXPECT_LT(compareByEntry(initialBalance(1), initialBalance(2)), 0);
    // No wrap on large identifiers.
    EXPECT_GT(compareByEntry(operation(0x80000001u), operation(0)), 0);
}

TEST(CompareByDate, InitialBalanceFirstThenUnsignedDates) {
    const OperationRecord start = initialBalance(9);
    const OperationRecord early = operation(1, 1);
    // 2^32 + 1 apart: a difference cut to 32 bits would say "equal".
    const OperationRecord late = operation(0, (FileTime{1} << 32) + 2);
    const OperationRecord huge = operation(2, 0x8000000000000000ull);
    EXPECT_LT(compareByDate(start, huge), 0);
    EXPECT_GT(compareByDate(early, start), 0);
    EXPECT_LT(compareByDate(early, late), 0);
    EXPECT_GT(compareByDate(huge, early), 0);
    EXPECT_EQ(compareByDate(operation(4, 77), operation(1, 77)), 0);
}

// Rows sorted by date: the initial balance, then dates 2, 4, 4, 4, 6, 8.
class InsertPosition : public ::testing::Test {
  protected:
    void SetUp() override {
        records.push_back(initialBalance(0));
        std::uint32_t id = 1;
        for (FileTime date : {2, 4, 4, 4, 6, 8})
            records.push_back(operation(id++, date));
        for (OperationRecord& record : records)
            rows.push_back(&record);
    }

    int position(FileTime date, int stopAt = -1) {
        return findInsertPosition(rows, operation(100, date), compareByDate, stopAt);
    }

    std::deque<OperationRecord> records;
    std::vector<OperationRecord*> rows;
};

TEST_F(InsertPosition, BetweenRowsAtTheEndsAndAfterEquals) {
    EXPECT_EQ(position(1), 1); // after the initial balance, before 2
    EXPECT_EQ(position(5), 5);
    EXPECT_EQ(position(9), 7);
    EXPECT_EQ(position(4), 5); // after its equals
}

TEST_F(InsertPosition, InitialBalancesGoFirstAndKeepTheirEntryOrder) {
    records[0].id = 10;
    EXPECT_EQ(findInsertPosition(rows, initialBalance(3), compareByDate, -1), 0);
    // A second initial balance (a damaged file) goes after the first one.
    EXPECT_EQ(findInsertPosition(rows, initialBalance(50), compareByDate, -1), 1);
}

TEST_F(InsertPosition, TheWalkOverEqualRowsStopsAtTheChangedRow) {
    // The binary search meets row 3 first; the run of 4s is rows 2 to 4.
    EXPECT_EQ(position(4, 4), 4);
    EXPECT_EQ(position(4, 3), 3);
    // A stop row before the equal row met does not hold the walk back.
    EXPECT_EQ(position(4, 2), 5);
    EXPECT_EQ(position(4, 6), 5); // not in the run: no effect
}

} // namespace
} // namespace kolvane
