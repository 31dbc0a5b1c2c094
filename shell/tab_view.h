// The stand-in views and the window classes of the five tabs.
#pragma once

#include "win/tab_view.h"

#include <windows.h>

namespace kolvane::win {

// A view that shows an empty window of its class: the stand-in for a view
// that has not been written into the program yet.
class EmptyView : public TabView {
  public:
    explicit EmptyView(const wchar_t* className) : className_(className) {}
    HWND createWindow(HWND tabControl, const RECT& area, bool visible) override;
    HWND viewWindow() const override;

    // Registers the window class of an empty view.
    static bool registerClass(HINSTANCE instance, const wchar_t* className);

  private:
    const wchar_t* className_;
    HWND window_ = nullptr;
};

// The classes of the views still shown empty (the accounts overview's and
// the register's are with their views).
inline constexpr const wchar_t* kThirdViewClass = L"WndThirdClass";
inline constexpr const wchar_t* kLendingViewClass = L"WndLendingClass";
inline constexpr const wchar_t* kGraphViewClass = L"WndGraphClass";

} // namespace kolvane::win
