// Windows built from tables: the children of a form, the class of a view and
// the view's window in the main window's tab control.
//
//     const win::ChildControl kForm[] = {
//         {WC_STATICW, L"Montant :", SS_LEFT, 20, 100, 150, 14},
//         {WC_EDITW, L"", WS_TABSTOP, 175, 98, 105, 20, IDC_AMOUNT, WS_EX_CLIENTEDGE},
//     };
//     win::createChildren(window, kForm, guiFont);
#pragma once

#include <windows.h>

#include <span>

namespace kolvane::win {

struct ChildControl {
    const wchar_t* className;
    const wchar_t* text;
    DWORD style; // WS_CHILD and WS_VISIBLE are added
    int x, y, width, height;
    int id = -1;
    DWORD exStyle = 0;
};

// Makes `control` a child of `parent` drawn in `font` (null: the control's
// own font; date pickers show French dates); null when it could not be made.
HWND createChild(HWND parent, const ChildControl& control, HFONT font);
// Every control of `table`, in order; false at the first that could not be made.
bool createChildren(HWND parent, std::span<const ChildControl> table, HFONT font);

// Registers the class of a view, a strip or a drawn control: redrawn on size changes, arrow
// cursor, `background` (the 3D face colour when null). True when the class
// exists afterwards.
bool registerViewClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure,
                       HBRUSH background = nullptr);

// Where the views go in `tabControl`: 4 pixels in from the left, 5 below the
// tabs, a border of the same width on the right and at the bottom.
RECT tabViewArea(HWND tabControl);

// The window of a tab view over `area` of the tab control, with both scroll
// bars and a border. `view` is a WindowObject.
template <class View>
HWND createTabViewWindow(View& view, const wchar_t* className, HWND tabControl, const RECT& area,
                         bool visible) {
    return view.create(0, className, nullptr,
                       WS_CHILD | WS_BORDER | WS_HSCROLL | WS_VSCROLL | WS_CLIPCHILDREN |
                           (visible ? WS_VISIBLE : 0),
                       area.left, area.top, area.right - area.left, area.bottom - area.top,
                       tabControl, nullptr);
}

} // namespace kolvane::win
