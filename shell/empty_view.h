// The stand-in for a view that has not been written into the program yet.
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

} // namespace kolvane::win
