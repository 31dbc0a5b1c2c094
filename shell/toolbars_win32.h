// The rebar under the menu bar and its five flat toolbars. Toolbars 1 and 5
// always show, 2 and 3 while a file is open; 4 waits in a hidden band.
#pragma once

#include "win/gdi_handles.h"
#include "shell/toolbar_layout.h"

#include <windows.h>

namespace kolvane::win {

struct Toolbars {
    HWND rebar = nullptr;
    HWND toolbars[kToolbarCount] = {};
    ImageListHandle images; // shared by the five toolbars
};

// Creates the image list, the rebar and the toolbars as children of
// `mainWindow`. Without image list, bitmap or rebar, `rebar` stays null.
void createToolbars(HWND mainWindow, Toolbars& toolbars);

} // namespace kolvane::win
