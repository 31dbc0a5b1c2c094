#include "document/logo_bits.h"

#include <gtest/gtest.h>

#include <tuple>

namespace kolvane {
namespace {

TEST(DibRowBytes, RowsArePaddedToFourBytes) {
    // 15 bytes, padded
    // 13 bytes: the last, partly used byte counts
    EXPECT_EQ(std::tuple(dibRowBytes(96, 24), dibRowBytes(96, 1), dibRowBytes(5, 24),
                         dibRowBytes(97, 1), dibRowBytes(-5, 24)),
              std::tuple(288, 12, 16, 16, 0));
}

} // namespace
} // namespace kolvane
