#include "logo_drawing_win32.h"

#include "document/logo_bits.h"

#include <algorithm>
#include <cstring>

namespace kolvane {
namespace {

struct MaskBitmapInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colors[2];
};

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

void LogoBitmaps::keep(const LogoStore& store, std::span<const LogoId> shown) {
    std::erase_if(logos_, [shown](const Bitmaps& logo) {
        return std::find(shown.begin(), shown.end(), logo.id) == shown.end();
    });
    for (const LogoId id : shown) {
        const Logo* logo = store.find(id);
        if (!logo || std::any_of(logos_.begin(), logos_.end(),
                                 [id](const Bitmaps& made) { return made.id == id; }))
            continue;
        Bitmaps made{id,
                     win::GdiObject<HBITMAP>(
                         makeLogoBitmap(kLogoWidth, kLogoHeight, logo->pixels.data(), false)),
                     win::GdiObject<HBITMAP>(
                         makeLogoBitmap(kLogoWidth, kLogoHeight, logo->mask.data(), true))};
        if (made.pixels && made.mask)
            logos_.push_back(std::move(made));
    }
}

void LogoBitmaps::draw(HDC dc, int x, int y, LogoId id) const {
    for (const Bitmaps& logo : logos_)
        if (logo.id == id) {
            drawLogo(dc, x, y, logo.pixels.get(), logo.mask.get());
            return;
        }
}

} // namespace kolvane
