// Date pickers show the French day/month/year order whatever the system's
// regional settings, like every other date of the program.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cwchar>

namespace kolvane::win {

// Gives `control` the French date order when it is a date picker; other
// controls are left alone, so that it can follow any creation from a table.
inline void showFrenchDates(HWND control, const wchar_t* className) {
    if (control != nullptr && className != nullptr &&
        std::wcscmp(className, DATETIMEPICK_CLASSW) == 0)
        SendMessageW(control, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"dd'/'MM'/'yyyy"));
}

} // namespace kolvane::win
