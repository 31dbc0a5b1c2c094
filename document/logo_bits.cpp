#include "logo_bits.h"

namespace kolvane {

int dibRowBytes(int width, int bitsPerPixel) {
    if (width <= 0 || bitsPerPixel <= 0)
        return 0;
    // Rows of a DIB are padded to 4 bytes; a partly used byte counts whole.
    const long long bits = static_cast<long long>(width) * bitsPerPixel;
    const long long bytes = (bits + 31) / 32 * 4;
    return bytes > 0x7FFFFFFF ? 0 : static_cast<int>(bytes);
}

} // namespace kolvane
