#include "document/record_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace kolvane {
namespace {

struct Small {
    int value;
    char padding[12];
};

std::vector<int> valuesOf(const RecordList<Small>& list) {
    std::vector<int> values;
    for (Small* r = list.first(); r; r = list.next(r))
        values.push_back(r->value);
    return values;
}

TEST(RecordList, NextOfNullIsTheFirstRecordOrNothing) {
    RecordList<Small> list;
    EXPECT_EQ(list.next(nullptr), nullptr);
    EXPECT_EQ(list.last(), nullptr);
    Small* first = list.append(Small{1, {}});
    list.append(Small{2, {}});
    EXPECT_EQ(list.next(nullptr), first);
}

TEST(RecordList, AppendCopiesTheWholeRecordAndNotTheLinks) {
    RecordList<Small> list;
    Small source{7, {}};
    std::memset(source.padding, 0xAB, sizeof source.padding);
    Small* copy = list.append(source);
    ASSERT_NE(copy, &source);
    EXPECT_EQ(std::memcmp(copy, &source, sizeof(Small)), 0);
    Small* zeroed = list.appendEmpty();
    EXPECT_EQ(zeroed->padding[11], 0);
    EXPECT_EQ(list.previous(zeroed), copy);
    EXPECT_EQ(list.count(), 2);
}

TEST(RecordList, InsertAfterTheTailOrNull) {
    RecordList<Small> list;
    Small two{2, {}}, one{1, {}}, three{3, {}};
    list.insertAfter(nullptr, &two); // empty list: becomes head and tail
    EXPECT_EQ(list.first(), list.last());
    list.insertAfter(nullptr, &one);
    Small* tail = list.insertAfter(list.last(), &three);
    EXPECT_EQ(list.last(), tail);
    list.append(Small{4, {}}); // links behind the inserted tail
    EXPECT_EQ(valuesOf(list), (std::vector<int>{1, 2, 3, 4}));
}

TEST(RecordList, RemoveJoinsTheNeighboursAndEmptiesCleanly) {
    RecordList<Small> list;
    Small* a = list.append(Small{1, {}});
    Small* b = list.append(Small{2, {}});
    Small* c = list.append(Small{3, {}});
    list.remove(b);
    EXPECT_EQ(list.next(a), c);
    EXPECT_EQ(list.previous(c), a);
    list.remove(a);
    EXPECT_EQ(list.previous(c), nullptr);
    list.remove(c);
    EXPECT_EQ(list.first(), nullptr);
    EXPECT_EQ(list.last(), nullptr);
    EXPECT_EQ(list.count(), 0);
    list.remove(nullptr);
    EXPECT_EQ(list.count(), 0);
}

// Undo takes records out and puts them back where they were; pointers to
// them stay good the whole time.
TEST(RecordList, UnlinkedRecordsGoBackInPlaceUnderTheSamePointer) {
    RecordList<Small> list;
    Small* a = list.append(Small{1, {}});
    Small* b = list.append(Small{2, {}});
    Small* c = list.append(Small{3, {}});
    struct Case {
        Small* record;
        std::vector<int> without;
    };
    for (const Case& step : {Case{a, {2, 3}}, Case{b, {1, 3}}, Case{c, {1, 2}}}) {
        Small* previous = list.previous(step.record);
        list.unlink(step.record);
        EXPECT_EQ(valuesOf(list), step.without);
        EXPECT_EQ(list.count(), 2);
        list.linkAfter(previous, step.record);
        EXPECT_EQ(valuesOf(list), (std::vector<int>{1, 2, 3}));
        EXPECT_EQ(list.count(), 3);
    }
    EXPECT_EQ(list.first(), a);
    EXPECT_EQ(list.last(), c);
    EXPECT_EQ(list.previous(c), b);
    list.unlink(a);
    list.unlink(b);
    list.unlink(c);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.last(), nullptr);
    list.linkAfter(nullptr, b); // into an empty list: head and tail
    EXPECT_EQ(list.last(), b);
    list.dispose(a);
    list.dispose(c);
}

} // namespace
} // namespace kolvane
