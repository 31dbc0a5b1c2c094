#include "document/logo_bits.h"

#include "document/records.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

TEST(DibRowBytes, RowsArePaddedToFourBytes) {
    EXPECT_EQ(dibRowBytes(96, 24), 288);
    EXPECT_EQ(dibRowBytes(96, 1), 12);
    EXPECT_EQ(dibRowBytes(kLogoWidth, 24) * kLogoHeight, static_cast<int>(kLogoPixelBytes));
    EXPECT_EQ(dibRowBytes(kLogoWidth, 1) * kLogoHeight, static_cast<int>(kLogoMaskBytes));
    EXPECT_EQ(dibRowBytes(1, 24), 4);  // 3 bytes, padded
    EXPECT_EQ(dibRowBytes(5, 24), 16); // 15 bytes, padded
    EXPECT_EQ(dibRowBytes(97, 1), 16); // 13 bytes: the last, partly used byte counts
    EXPECT_EQ(dibRowBytes(32, 1), 4);
    EXPECT_EQ(dibRowBytes(0, 24), 0);
    EXPECT_EQ(dibRowBytes(-5, 24), 0);
}

} // namespace
} // namespace kolvane
