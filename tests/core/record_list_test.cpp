#include "document/record_list.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

struct Small {
    int value;
    char padding[12];
};

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

} // namespace
} // namespace kolvane
