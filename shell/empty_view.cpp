#include "shell/empty_view.h"

namespace kolvane::win {

bool EmptyView::registerClass(HINSTANCE instance, const wchar_t* className) {
    WNDCLASSEXW viewClass{};
    viewClass.cbSize = sizeof viewClass;
    viewClass.lpfnWndProc = DefWindowProcW;
    viewClass.hInstance = instance;
    viewClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    viewClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    viewClass.lpszClassName = className;
    return RegisterClassExW(&viewClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND EmptyView::createWindow(HWND tabControl, const RECT& area, bool visible) {
    window_ = CreateWindowExW(0, className_, nullptr,
                              WS_CHILD | WS_CLIPCHILDREN | (visible ? WS_VISIBLE : 0), area.left,
                              area.top, area.right - area.left, area.bottom - area.top, tabControl,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    return window_;
}

HWND EmptyView::viewWindow() const {
    return IsWindow(window_) ? window_ : nullptr;
}

} // namespace kolvane::win
