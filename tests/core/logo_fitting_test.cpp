#include "accounts/logo_fitting.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace kolvane {
namespace {

void expectFit(int w, int h, int x0, int y0, int width, int height) {
    SCOPED_TRACE(testing::Message() << w << " x " << h);
    const LogoFit fit = fitLogo(w, h);
    EXPECT_EQ(fit.x0, x0);
    EXPECT_EQ(fit.y0, y0);
    EXPECT_EQ(fit.width, width);
    EXPECT_EQ(fit.height, height);
}

TEST(LogoFitting, ScalesInSinglePrecisionAndTruncates) {
    // 200 x 50 and 100 x 300 (0.48f and 0.16f, just below) are drawn below.
    // 0.1f is just above 0.1: 64.0000.. and 48.0000..
    expectFit(640, 480, 16, 0, 64, 48);
    // A small picture is enlarged: 4.8f is just above 4.8.
    expectFit(10, 10, 24, 0, 48, 48);
    // An exact scale.
    expectFit(192, 96, 0, 0, 96, 48);
}

struct Blocks {
    std::vector<std::uint8_t> pixels = std::vector<std::uint8_t>(13824, 0x77);
    std::vector<std::uint8_t> mask = std::vector<std::uint8_t>(576, 0x77);

    // Logo row y (0 at the top) is stored at row 47 - y.
    const std::uint8_t* maskRow(int y) const { return mask.data() + (47 - y) * 12; }
    const std::uint8_t* pixelAt(int x, int y) const {
        return pixels.data() + (47 - y) * 288 + 3 * x;
    }
    bool transparent(int x, int y) const { return (maskRow(y)[x / 8] >> (7 - x % 8)) & 1; }
};

using MaskRow = std::array<std::uint8_t, 12>;
constexpr MaskRow kAllTransparent = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                     0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};

MaskRow rowOf(const Blocks& blocks, int y) {
    MaskRow row;
    for (int i = 0; i < 12; ++i)
        row[i] = blocks.maskRow(y)[i];
    return row;
}

TEST(LogoFitting, WidePictureLeavesColumn95AndTopAndBottomLinesTransparent) {
    Blocks blocks;
    int calls = 0;
    buildLogoBlocks(
        fitLogo(200, 50),
        [&](int x, int y) -> std::uint32_t {
            ++calls;
            EXPECT_TRUE(x >= 0 && x < 95 && y >= 12 && y < 35) << x << "," << y;
            return 0x123456; // red 12, green 34, blue 56
        },
        blocks.pixels.data(), blocks.mask.data());

    EXPECT_EQ(calls, 95 * 23);
    // Lines 12 to 34 are opaque but for x = 95, the lowest bit of byte 11.
    const MaskRow opaqueRow = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x01};
    for (int y = 0; y < 48; ++y) {
        SCOPED_TRACE(y);
        EXPECT_EQ(rowOf(blocks, y), (y >= 12 && y <= 34) ? opaqueRow : kAllTransparent);
    }
    // The colour goes blue, green, red; bottom-up rows: logo line 12 is file row 35.
    EXPECT_EQ(blocks.pixels[35 * 288 + 0], 0x56);
    EXPECT_EQ(blocks.pixels[35 * 288 + 1], 0x34);
    EXPECT_EQ(blocks.pixels[35 * 288 + 2], 0x12);

    // Black wherever the mask lets the background through, the colour elsewhere.
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 96; ++x) {
            const std::uint8_t* p = blocks.pixelAt(x, y);
            if (blocks.transparent(x, y))
                ASSERT_TRUE(p[0] == 0 && p[1] == 0 && p[2] == 0) << x << "," << y;
            else
                ASSERT_TRUE(p[0] == 0x56 && p[1] == 0x34 && p[2] == 0x12) << x << "," << y;
        }
}

TEST(LogoFitting, AnEmptyFitGivesABlackTransparentLogo) {
    Blocks blocks;
    int calls = 0;
    buildLogoBlocks(
        fitLogo(-5, 50),
        [&](int, int) -> std::uint32_t {
            ++calls;
            return 0xFFFFFF;
        },
        blocks.pixels.data(), blocks.mask.data());
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(blocks.pixels, std::vector<std::uint8_t>(13824, 0x00));
    EXPECT_EQ(blocks.mask, std::vector<std::uint8_t>(576, 0xFF));
}

} // namespace
} // namespace kolvane
