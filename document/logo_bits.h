// Arithmetic of the logo bitmaps (device-independent bitmaps).
#pragma once

namespace kolvane {

// Bytes of one bitmap row: the row's bits rounded up to whole 32-bit words
// (288 for 96 pixels at 24 bits, 12 for 96 at 1 bit). 0 for a width or depth
// that is not positive, or a row too long to count in an int.
int dibRowBytes(int width, int bitsPerPixel);

} // namespace kolvane
