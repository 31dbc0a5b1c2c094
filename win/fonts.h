// Fonts made by the program (the caller owns them: keep them in a GdiObject).
#pragma once

#include <windows.h>

namespace kolvane::win {

// A bold font made from the system's message font with another face and size.
HFONT createBoldFont(const wchar_t* face, int points);

} // namespace kolvane::win
