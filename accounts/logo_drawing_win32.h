// Bank logos on Win32: the bitmaps made from the logo blocks and their
// drawing with transparency.
#pragma once

#include "document/records.h"

#include <windows.h>

#include <cstdint>

namespace kolvane {

// A width x height device-independent bitmap holding `block`: 24 bits per
// pixel, bottom-up, for a pixel block; 1 bit per pixel with the palette black
// (0) and white (1) for a mask. Null when `block` is null or GDI refuses.
HBITMAP makeLogoBitmap(int width, int height, const std::uint8_t* block, bool mask);

// Draws a 96 x 48 logo at (x, y): the mask is AND-ed into the destination,
// then the pixels are OR-ed, so transparent pixels keep the background.
void drawLogo(HDC dc, int x, int y, HBITMAP pixelBitmap, HBITMAP maskBitmap);

// Makes the bitmaps an account lacks from the logo blocks it has.
void makeAccountLogoBitmaps(AccountRecord& account);

// Installs the bitmap maker of the bank directory and the bitmap releaser of
// the document. Called once at start-up, before any file or directory loads.
void installLogoBitmapFunctions();

} // namespace kolvane
