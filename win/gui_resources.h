// The drawing resources the views share: the application icon, four bold
// fonts and three brushes. Made once before the main window and released
// after the message loop.
#pragma once

#include "win/gdi_handles.h"

#include <windows.h>

namespace kolvane::win {

struct GuiResources {
    HWND mainWindow = nullptr;
    HICON applicationIcon = nullptr;   // shared resource icon: never destroyed
    GdiObject<HFONT> shellFont;        // "MS Shell Dlg" 8 points
    GdiObject<HFONT> comicFont;        // "Comic sans MS" 12 points, the tab labels
    GdiObject<HFONT> verdanaFont;      // "Verdana Bold" 12 points
    GdiObject<HFONT> verdanaLargeFont; // "Verdana Bold" 16 points
    GdiObject<HBRUSH> paleBlueBrush;   // 0xFFF5F0
    GdiObject<HBRUSH> paleIvoryBrush;  // 0xF0FFFF
    GdiObject<HBITMAP> patternBitmap;  // bitmap 153, kept while its brush lives
    GdiObject<HBRUSH> patternBrush;
};

// Fills `resources`; a font or brush that cannot be made stays null.
void createGuiResources(GuiResources& resources);

// The resources of the running program, for the views; null before start-up.
GuiResources* guiResources();
void setGuiResources(GuiResources* resources);

// A bold font made from the system's message font with another face and size.
HFONT createBoldFont(const wchar_t* face, int points);

} // namespace kolvane::win
