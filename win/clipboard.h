// Text onto the clipboard, as CF_UNICODETEXT.
#pragma once

#include <windows.h>

#include <string_view>

namespace kolvane::win {

// Replaces the clipboard's content by `text`; false when the clipboard is
// held by another program or memory runs out.
bool copyTextToClipboard(HWND owner, std::wstring_view text);

} // namespace kolvane::win
