// What the main window needs from each of the five views (each view
// implements it in its own folder) it hosts in its tab
// control: make the view's window, fit it to the tab's display area, reload
// it and let it add its commands to the frame's command table.
#pragma once

#include "document/command_router.h"

#include <windows.h>

namespace kolvane::win {

class TabView {
  public:
    virtual ~TabView() = default;

    // Creates the view's window as a child of `tabControl` over `area`.
    virtual HWND createWindow(HWND tabControl, const RECT& area, bool visible) = 0;
    virtual HWND viewWindow() const = 0;
    // Moves the window over `area` (the tab control's display area).
    virtual void fitTo(const RECT& area) {
        if (HWND view = viewWindow())
            MoveWindow(view, area.left, area.top, area.right - area.left, area.bottom - area.top,
                       TRUE);
    }
    // 1: reload from the document; 0: refresh the choice lists only.
    virtual void refresh(int argument) { (void)argument; }
    // Adds the view's commands to the frame's table (the frame takes them
    // away, by the view as owner, when it closes the views).
    virtual void addCommands(CommandRouter& router) { (void)router; }
};

// The classes of the five views, in tab order.
inline constexpr const wchar_t* kSynthesisViewClass = L"WndSynthesisClass";
inline constexpr const wchar_t* kOperationViewClass = L"WndOperationClass";
inline constexpr const wchar_t* kThirdViewClass = L"WndThirdClass";
inline constexpr const wchar_t* kLendingViewClass = L"WndLendingClass";
inline constexpr const wchar_t* kGraphViewClass = L"WndGraphClass";

} // namespace kolvane::win
