#include "logo_fitting.h"

#include "document/records.h"

#include <cstring>

namespace kolvane {
namespace {

constexpr int kPixelRowBytes = kLogoWidth * 3; // 288, already a multiple of 4
constexpr int kMaskRowBytes = kLogoWidth / 8;  // 12

int truncatedProduct(int size, float scale) {
    // Formed in double from the single-precision scale, never rounded back to
    // float: that keeps 200 x 0.48f just below 96.
    double product = static_cast<double>(size) * static_cast<double>(scale);
    return static_cast<int>(product);
}

int clampTo(int value, int limit) {
    if (value < 0)
        return 0;
    return value > limit ? limit : value;
}

} // namespace

LogoFit fitLogo(int pictureWidth, int pictureHeight) {
    if (pictureWidth <= 0 || pictureHeight <= 0)
        return LogoFit{0, 0, 0, 0};
    const float byWidth = static_cast<float>(kLogoWidth) / static_cast<float>(pictureWidth);
    const float byHeight = static_cast<float>(kLogoHeight) / static_cast<float>(pictureHeight);
    const float scale = byWidth <= byHeight ? byWidth : byHeight;
    // The rounding of the scale cannot push a side past the logo by a whole
    // pixel; the clamp only guards against it on principle.
    const int width = clampTo(truncatedProduct(pictureWidth, scale), kLogoWidth);
    const int height = clampTo(truncatedProduct(pictureHeight, scale), kLogoHeight);
    return LogoFit{(kLogoWidth - width) / 2, (kLogoHeight - height) / 2, width, height};
}

void buildLogoBlocks(const LogoFit& fit, const PixelReader& readPixel, std::uint8_t* pixels13824,
                     std::uint8_t* mask576) {
    std::memset(pixels13824, 0, kLogoPixelBytes);
    std::memset(mask576, 0xFF, kLogoMaskBytes);
    for (int y = 0; y < kLogoHeight; ++y) {
        std::uint8_t* pixelRow = pixels13824 + (kLogoHeight - 1 - y) * kPixelRowBytes;
        std::uint8_t* maskRow = mask576 + (kLogoHeight - 1 - y) * kMaskRowBytes;
        for (int x = 0; x < kLogoWidth; ++x) {
            if (!fit.contains(x, y))
                continue;
            const std::uint32_t colour = readPixel ? readPixel(x, y) : 0;
            pixelRow[3 * x] = static_cast<std::uint8_t>(colour);           // blue
            pixelRow[3 * x + 1] = static_cast<std::uint8_t>(colour >> 8);  // green
            pixelRow[3 * x + 2] = static_cast<std::uint8_t>(colour >> 16); // red
            maskRow[x / 8] &= static_cast<std::uint8_t>(~(0x80u >> (x % 8)));
        }
    }
}

} // namespace kolvane
