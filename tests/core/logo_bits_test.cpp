#include "document/logo_bits.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

TEST(DibRowBytes, RowsArePaddedToFourBytes) {
    EXPECT_EQ(dibRowBytes(96, 24), 288);
    EXPECT_EQ(dibRowBytes(96, 1), 12);
    EXPECT_EQ(dibRowBytes(5, 24), 16); // 15 bytes, padded
    EXPECT_EQ(dibRowBytes(97, 1), 16); // 13 bytes: the last, partly used byte counts
    EXPECT_EQ(dibRowBytes(-5, 24), 0);
}

} // namespace
} // namespace kolvane
