#include "logo_drawing_win32.h"

#include "accounts/bank_directory.h"
#include "document/document.h"
#include "document/logo_bits.h"

#include <cstring>

namespace kolvane {
namespace {

struct MaskBitmapInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colors[2];
};

void* makeBlockBitmap(const std::uint8_t* block, int bitsPerPixel) {
    return makeLogoBitmap(kLogoWidth, kLogoHeight, block, bitsPerPixel == 1);
}

void deleteBitmap(void* bitmap) {
    DeleteObject(static_cast<HBITMAP>(bitmap));
}

} // namespace

HBITMAP makeLogoBitmap(int width, int height, const std::uint8_t* block, bool mask) {
    const int bitsPerPixel = mask ? 1 : 24;
    const int rowBytes = dibRowBytes(width, bitsPerPixel);
    if (!block || rowBytes <= 0 || height <= 0)
        return nullptr;
    MaskBitmapInfo info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = width;
    info.header.biHeight = height; // bottom-up, as the blocks are stored
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(bitsPerPixel);
    info.header.biCompression = BI_RGB;
    if (mask) {
        info.header.biClrUsed = 2;
        info.colors[1] = RGBQUAD{255, 255, 255, 0};
    }
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                      &bits, nullptr, 0);
    if (!bitmap || !bits) {
        if (bitmap)
            DeleteObject(bitmap);
        return nullptr;
    }
    std::memcpy(bits, block, static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(height));
    GdiFlush();
    return bitmap;
}

void drawLogo(HDC dc, int x, int y, HBITMAP pixelBitmap, HBITMAP maskBitmap) {
    if (!dc || !pixelBitmap || !maskBitmap)
        return;
    HDC memory = CreateCompatibleDC(dc);
    if (!memory)
        return;
    // A one-bit source is expanded with the destination's text colour for 0
    // and background colour for 1: black and white, as the mask's palette says.
    COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
    HGDIOBJ old = SelectObject(memory, maskBitmap);
    BitBlt(dc, x, y, kLogoWidth, kLogoHeight, memory, 0, 0, SRCAND);
    SelectObject(memory, pixelBitmap);
    BitBlt(dc, x, y, kLogoWidth, kLogoHeight, memory, 0, 0, SRCPAINT);
    SelectObject(memory, old);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
    DeleteDC(memory);
}

void makeAccountLogoBitmaps(AccountRecord& account) {
    if (account.logoPixels && !account.logoBitmap)
        account.logoBitmap = makeLogoBitmap(kLogoWidth, kLogoHeight, account.logoPixels, false);
    if (account.logoMask && !account.logoMaskBitmap)
        account.logoMaskBitmap = makeLogoBitmap(kLogoWidth, kLogoHeight, account.logoMask, true);
}

void installLogoBitmapFunctions() {
    setBitmapReleaser(deleteBitmap);
    setLogoBitmapMaker(makeBlockBitmap);
}

} // namespace kolvane
