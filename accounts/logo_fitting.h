// The arithmetic that turns a picture into a bank logo: where a picture of any
// size sits inside the 96 x 48 logo, and how the logo's pixel and mask blocks
// are built from the picture as drawn there.
#pragma once

#include <cstdint>
#include <functional>

namespace kolvane {

// The picture rectangle [x0, x0 + width) x [y0, y0 + height) inside the logo.
struct LogoFit {
    int x0;
    int y0;
    int width;
    int height;

    bool contains(int x, int y) const {
        return x >= x0 && x < x0 + width && y >= y0 && y < y0 + height;
    }
};

// Scales a picture of pictureWidth x pictureHeight pixels to fit the logo,
// keeping its proportions, and centres it. The scale is taken in single
// precision and the products in double, then truncated: a 200 x 50 picture is
// drawn 95 x 23, not 96 x 24. An empty or negative size fits nowhere (an
// empty rectangle).
LogoFit fitLogo(int pictureWidth, int pictureHeight);

// The colour of logo pixel (x, y) as drawn, 0x00RRGGBB. The Win32 layer reads
// it back from the box after its half-tone stretch (mind that a COLORREF is
// 0x00BBGGRR).
using PixelReader = std::function<std::uint32_t(int x, int y)>;

// Fills a 13 824-byte pixel block (bottom-up rows of 288 bytes, blue, green,
// red) and a 576-byte mask block (bottom-up rows of 12 bytes, leftmost pixel
// in the high bit, 1 = transparent). Inside the picture rectangle the pixel is
// read and the mask bit is 0; outside the pixel is black and the mask bit 1, so
// that AND-ing the mask then OR-ing the pixels leaves the background there.
// `readPixel` is asked only for points inside the rectangle.
void buildLogoBlocks(const LogoFit& fit, const PixelReader& readPixel, std::uint8_t* pixels13824,
                     std::uint8_t* mask576);

} // namespace kolvane
