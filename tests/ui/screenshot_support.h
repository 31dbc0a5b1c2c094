// The screenshot cases' side of scripts/screenshot_session.sh: where the
// pictures are agreed on, and the wait while the script takes each one.
#pragma once

#include <windows.h>

#include <string>

namespace kolvane::uitest {

// The folder named by KOLVANE_SHOT_DIR; empty when it is not set (the case
// then skips).
std::wstring shotFolder();

// Tells the script that the picture `name` may be taken, of `area`'s window
// rectangle or of the whole desktop when `area` is null, then waits (a
// minute at most) until it has been taken.
void waitForShot(const std::wstring& folder, const wchar_t* name, HWND area = nullptr);

} // namespace kolvane::uitest
