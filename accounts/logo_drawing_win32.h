// Bank logos on Win32: the bitmaps made from the logo blocks, their drawing
// with transparency, and the bitmaps a window keeps for the logos it shows.
#pragma once

#include "document/logo_store.h"
#include "win/gdi_handles.h"

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

namespace kolvane {

// A width x height device-independent bitmap holding `block`: 24 bits per
// pixel, bottom-up, for a pixel block; 1 bit per pixel with the palette black
// (0) and white (1) for a mask. Null when `block` is null or GDI refuses.
HBITMAP makeLogoBitmap(int width, int height, const std::uint8_t* block, bool mask);

// Draws a 96 x 48 logo at (x, y): the mask is AND-ed into the destination,
// then the pixels are OR-ed, so transparent pixels keep the background.
void drawLogo(HDC dc, int x, int y, HBITMAP pixelBitmap, HBITMAP maskBitmap);

// The bitmaps of the logos one window shows, made from one store. A stored
// logo never changes, so its bitmaps stay right as long as its identifier is
// shown; `keep` drops those of the logos no longer shown (another logo, or
// another file).
class LogoBitmaps {
  public:
    // Makes the bitmaps of the logos `shown` names that are missing and
    // releases those of every other logo.
    void keep(const LogoStore& store, std::span<const LogoId> shown);
    void keep(const LogoStore& store, LogoId shown) { keep(store, {&shown, 1}); }
    // Draws logo `id` at (x, y); nothing when it has no bitmaps here.
    void draw(HDC dc, int x, int y, LogoId id) const;
    std::size_t count() const { return logos_.size(); }

  private:
    struct Bitmaps {
        LogoId id;
        win::GdiObject<HBITMAP> pixels, mask;
    };
    std::vector<Bitmaps> logos_;
};

} // namespace kolvane
