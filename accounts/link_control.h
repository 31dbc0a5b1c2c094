// The hyperlink control, window class "KVLinkCtrlClass32": one line of text
// that looks like a web link, sizes itself to its text and either opens its
// target with the desktop shell or tells its parent when clicked. Its private
// messages and notification codes are in accounts/link_rules.h.
#pragma once

#include "accounts/link_rules.h"
#include "win/gdi_handles.h"
#include "win/window_object.h"

#include <windows.h>

namespace kolvane {

// One per control window. The class makes it when the window is created (a
// control made from a dialog template has no creation parameter), so create
// the window without one; it is freed with the window.
struct LinkControl : win::WindowObject<LinkControl> {
    COLORREF backColor = kLinkDefaultBackColor;
    DWORD hover = 0;       // bit 0 while the mouse is over the control
    DWORD transparent = 1; // 1: drawn on the parent's background
    DWORD tracking = 0;    // 1 while waiting for the mouse to leave
    COLORREF normalColor = kLinkDefaultNormalColor;
    COLORREF hoverColor = kLinkDefaultHoverColor;
    HFONT font = nullptr;      // not owned
    HFONT hoverFont = nullptr; // not owned
    win::GdiObject<HFONT> underlineFont;
    char linkTarget[kLinkTargetCapacity] = {}; // Windows-1252

    static LinkControl* objectForNewWindow(HWND window, const CREATESTRUCTW& create);
    void windowDestroyed();
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    void setFont(HFONT newFont);
    void repaint();
    void notifyParent(LinkNotification code);
    void paint(HDC dc);
    LRESULT onSetCursor(WPARAM wParam, LPARAM lParam);
    void onMouseLeave();
    void onLeftButtonUp();
};

// Registers "KVLinkCtrlClass32" for `instance`, once; true when the class is
// there afterwards.
bool registerLinkControlClass(HINSTANCE instance);

// One line of a view's left panel: the application's `icon` at (15, y - 6)
// and a disabled link of `text` at (40, y), 100 x 16, in `font`, drawn on the
// panel's colour (a transparent link could not wipe its old text, the panel
// being its sibling, not its parent). The link, or null.
HWND createPanelLink(HWND parent, HICON icon, const wchar_t* text, int y, int id, HFONT font);

// Hands a target to the desktop; tests replace it so that nothing is launched.
// Null puts back the shell's "open".
using LinkOpener = void (*)(HWND control, const wchar_t* target);
void setLinkOpener(LinkOpener opener);
// Hands `target` to the desktop the way a link does (through the opener above).
void openAddress(HWND owner, const wchar_t* target);

} // namespace kolvane
