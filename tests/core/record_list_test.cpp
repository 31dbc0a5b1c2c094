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

TEST(RecordList, EmptyListWalksToNothing) {
    RecordList<Small> list;
    EXPECT_EQ(list.first(), nullptr);
    EXPECT_EQ(list.next(nullptr), nullptr);
    EXPECT_EQ(list.last(), nullptr);
    EXPECT_EQ(list.count(), 0);
}

TEST(RecordList, NextOfNullIsTheFirstRecord) {
    RecordList<Small> list;
    Small a{1, {}};
    Small* first = list.append(a);
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
    EXPECT_EQ(zeroed->value, 0);
    EXPECT_EQ(zeroed->padding[11], 0);
    EXPECT_EQ(list.previous(zeroed), copy);
    EXPECT_EQ(list.count(), 2);
}

TEST(RecordList, RemovingTheOnlyNodeEmptiesTheList) {
    RecordList<Small> list;
    Small* only = list.append(Small{1, {}});
    list.remove(only);
    EXPECT_EQ(list.first(), nullptr);
    EXPECT_EQ(list.last(), nullptr);
    EXPECT_EQ(list.count(), 0);
    list.remove(nullptr);
    EXPECT_EQ(list.count(), 0);
}

TEST(RecordList, InsertAfterTheTailMovesTheTail) {
    RecordList<Small> list;
    Small* one = list.append(Small{1, {}});
    Small source{2, {}};
    Small* two = list.insertAfter(one, &source);
    EXPECT_EQ(list.last(), two);
    list.append(Small{3, {}});
    EXPECT_EQ(valuesOf(list), (std::vector<int>{1, 2, 3}));
}

TEST(RecordList, InsertAfterNullPushesToTheFront) {
    RecordList<Small> list;
    Small two{2, {}}, one{1, {}}, middle{5, {}};
    list.insertAfter(nullptr, &two); // empty list: becomes head and tail
    EXPECT_EQ(list.first(), list.last());
    list.insertAfter(nullptr, &one);
    list.insertAfter(list.first(), &middle);
    EXPECT_EQ(valuesOf(list), (std::vector<int>{1, 5, 2}));
    EXPECT_EQ(list.count(), 3);
}

TEST(RecordList, RemoveInTheMiddleJoinsTheNeighbours) {
    RecordList<Small> list;
    Small* a = list.append(Small{1, {}});
    Small* b = list.append(Small{2, {}});
    Small* c = list.append(Small{3, {}});
    list.remove(b);
    EXPECT_EQ(list.next(a), c);
    EXPECT_EQ(list.previous(c), a);
    list.remove(a);
    EXPECT_EQ(list.first(), c);
    EXPECT_EQ(list.previous(c), nullptr);
    EXPECT_EQ(list.count(), 1);
}

} // namespace
} // namespace kolvane
