#include "document/record_list.h"

#include <gtest/gtest.h>

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

TEST(RecordList, NodesComeFromSharedBlocksThatGoBackWhenEmptied) {
    const SlabPool& pool = RecordList<Small>::nodePool();
    // 32-byte nodes (16-byte record, two links) after a 64-byte block header.
    ASSERT_EQ(pool.slotsInEachBlock(), (2u * 1024 * 1024 - 64) / 32);
    {
        RecordList<Small> odd, even;
        for (int i = 0; i < 150000; ++i)
            (i % 2 ? odd : even).append(Small{i, {}});
        EXPECT_EQ(pool.blockCount(), 3u); // 150 000 nodes of 65 534 a block
        // Removed nodes leave room that later records take before any new block.
        for (Small* r = even.first(); r;) {
            Small* following = even.next(r);
            if (r->value % 4 == 0)
                even.remove(r);
            r = following;
        }
        for (int i = 0; i < 37500; ++i)
            odd.append(Small{-i, {}});
        EXPECT_EQ(pool.blockCount(), 3u);
        EXPECT_EQ(even.count(), 37500);
        EXPECT_EQ(even.first()->value, 2);
        EXPECT_EQ(even.next(even.first())->value, 6);
        EXPECT_EQ(odd.count(), 112500);
        EXPECT_EQ(odd.last()->value, -37499);
    }
    // Every block emptied: one is kept for the next records, the rest freed.
    EXPECT_EQ(pool.blockCount(), 1u);
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
