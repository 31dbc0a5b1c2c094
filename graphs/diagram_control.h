// The child window that shows a rendered diagram: "WndCtlDiagramKVClass".
// The bitmap is scaled to fit the client area with its proportions kept,
// centred, with half-tone smoothing. Resting the mouse on a bar shows its
// category and amount; "Copier" (context menu, or Ctrl+C once clicked)
// puts the picture on the clipboard.
#pragma once

#include "graphs/diagram.h"
#include "win/gdi_handles.h"
#include "win/window_object.h"

#include <windows.h>

#include <string>
#include <vector>

namespace kolvane::win {

inline constexpr const wchar_t* kDiagramControlClass = L"WndCtlDiagramKVClass";

struct BarTip {
    DiagramRect column; // in the bitmap's pixels
    std::wstring text;
};

class DiagramControl : public WindowObject<DiagramControl> {
  public:
    static bool registerClass(HINSTANCE instance);

    // A visible child with a sunken edge and no identifier.
    HWND create(HWND parent, int x, int y, int width, int height);
    // Takes `bitmap` (a null one is ignored), deletes the previous one and
    // repaints; the bars' tool-tips go with the old picture.
    void setBitmap(HBITMAP bitmap);
    // The tool-tips of the bitmap's bars.
    void setBarTips(std::vector<BarTip> tips);
    void move(int x, int y, int width, int height);
    void invalidate();

    HBITMAP bitmap() const { return bitmap_.get(); }
    // Paints the picture as the window shows it, in a client of that size.
    void paint(HDC dc, int clientWidth, int clientHeight) const;
    // A copy of the bitmap on the clipboard; false when there is none or the
    // clipboard refuses.
    bool copyToClipboard() const;

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    void placeTips();
    BitmapPlace currentPlace() const;

    GdiObject<HBITMAP> bitmap_;
    std::vector<BarTip> tips_;
    HWND tooltip_ = nullptr; // destroyed with this window
};

} // namespace kolvane::win
