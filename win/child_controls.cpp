#include "win/child_controls.h"

#include "win/date_picker.h"
#include "win/window_object.h"

#include <commctrl.h>

#include <algorithm>

namespace kolvane::win {

HWND createChild(HWND parent, const ChildControl& control, HFONT font) {
    HWND made = CreateWindowExW(control.exStyle, control.className, control.text,
                                WS_CHILD | WS_VISIBLE | control.style, control.x, control.y,
                                control.width, control.height, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)),
                                resourceInstance(), nullptr);
    if (!made)
        return nullptr;
    if (font != nullptr)
        SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    showFrenchDates(made, control.className);
    return made;
}

bool createChildren(HWND parent, std::span<const ChildControl> table, HFONT font) {
    for (const ChildControl& control : table)
        if (!createChild(parent, control, font))
            return false;
    return true;
}

RECT tabViewArea(HWND tabControl) {
    RECT area{};
    if (!tabControl)
        return area;
    RECT client{};
    GetClientRect(tabControl, &client);
    RECT firstTab{};
    TabCtrl_GetItemRect(tabControl, 0, &firstTab);
    area.left = 4;
    area.top = firstTab.bottom + 5;
    area.right = std::max<LONG>(area.left, client.right - 6);
    area.bottom = std::max<LONG>(area.top, client.bottom - 5);
    return area;
}

bool registerViewClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure,
                       HBRUSH background) {
    WNDCLASSEXW viewClass{};
    viewClass.cbSize = sizeof viewClass;
    viewClass.style = CS_HREDRAW | CS_VREDRAW;
    viewClass.lpfnWndProc = procedure;
    viewClass.hInstance = instance;
    viewClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    viewClass.hbrBackground = background ? background : reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    viewClass.lpszClassName = name;
    return RegisterClassExW(&viewClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

} // namespace kolvane::win
