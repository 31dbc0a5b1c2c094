#include "graphs/diagram_control.h"

#include "win/child_controls.h"

#include <commctrl.h>
#include <windowsx.h>

#include <utility>

namespace kolvane::win {
namespace {

constexpr UINT kCopyCommand = 1;

SIZE bitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || !GetObjectW(bitmap, sizeof info, &info))
        return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}

} // namespace

bool DiagramControl::registerClass(HINSTANCE instance) {
    return win::registerViewClass(instance, kDiagramControlClass, procedure,
                                  static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

HWND DiagramControl::create(HWND parent, int x, int y, int width, int height) {
    return WindowObject::create(WS_EX_CLIENTEDGE, kDiagramControlClass, nullptr,
                                WS_CHILD | WS_VISIBLE, x, y, width, height, parent, nullptr);
}

void DiagramControl::setBitmap(HBITMAP bitmap) {
    if (!bitmap)
        return;
    bitmap_.reset(bitmap);
    setBarTips({});
    invalidate();
}

void DiagramControl::setBarTips(std::vector<BarTip> tips) {
    tips_ = std::move(tips);
    placeTips();
}

void DiagramControl::move(int x, int y, int width, int height) {
    if (window)
        MoveWindow(window, x, y, width, height, TRUE);
}

void DiagramControl::invalidate() {
    if (window)
        InvalidateRect(window, nullptr, TRUE);
}

BitmapPlace DiagramControl::currentPlace() const {
    RECT client{};
    GetClientRect(window, &client);
    const SIZE size = bitmapSize(bitmap_.get());
    if (size.cx <= 0 || size.cy <= 0)
        return BitmapPlace{0, 0, 0, 0};
    return placeBitmap(size.cx, size.cy, client.right, client.bottom);
}

void DiagramControl::paint(HDC dc, int clientWidth, int clientHeight) const {
    const SIZE size = bitmapSize(bitmap_.get());
    if (size.cx <= 0 || size.cy <= 0)
        return;
    MemoryDC source(CreateCompatibleDC(dc));
    if (!source)
        return;
    SelectedObject keep(source.get(), bitmap_.get());
    const BitmapPlace place = placeBitmap(size.cx, size.cy, clientWidth, clientHeight);
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchBlt(dc, place.x, place.y, place.width, place.height, source.get(), 0, 0, size.cx,
               size.cy, SRCCOPY);
}

bool DiagramControl::copyToClipboard() const {
    if (!bitmap_ || !OpenClipboard(window))
        return false;
    bool copied = false;
    if (EmptyClipboard()) {
        auto copy = static_cast<HBITMAP>(CopyImage(bitmap_.get(), IMAGE_BITMAP, 0, 0, 0));
        copied = copy && SetClipboardData(CF_BITMAP, copy);
        if (copy && !copied)
            DeleteObject(copy); // the clipboard owns it only when it took it
    }
    CloseClipboard();
    return copied;
}

// One tool per bar, over its column as drawn now; the tool-tip control
// watches the mouse itself (subclassing) and waits for it to rest.
void DiagramControl::placeTips() {
    if (!window)
        return;
    if (!tooltip_) {
        tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                   WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr,
                                   resourceInstance(), nullptr);
        if (!tooltip_)
            return;
    }
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window;
    while (SendMessageW(tooltip_, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)))
        SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    const SIZE size = bitmapSize(bitmap_.get());
    if (size.cx <= 0 || size.cy <= 0)
        return;
    const BitmapPlace place = currentPlace();
    for (std::size_t i = 0; i < tips_.size(); ++i) {
        const DiagramRect shown = bitmapRectToClient(place, size.cx, size.cy, tips_[i].column);
        TOOLINFOW added{};
        added.cbSize = sizeof added;
        added.uFlags = TTF_SUBCLASS;
        added.hwnd = window;
        added.uId = i + 1;
        added.rect = RECT{shown.left, shown.top, shown.right, shown.bottom};
        added.lpszText = tips_[i].text.data();
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&added));
    }
}

LRESULT DiagramControl::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(window, &ps);
        RECT client{};
        GetClientRect(window, &client);
        paint(dc, client.right, client.bottom);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT client{};
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client,
                 static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        paint(reinterpret_cast<HDC>(wParam), client.right, client.bottom);
        return 0;
    }
    case WM_SIZE:
        placeTips();
        return 0;
    case WM_LBUTTONDOWN:
        SetFocus(window);
        return 0;
    case WM_KEYDOWN:
        if (wParam == 'C' && GetKeyState(VK_CONTROL) < 0)
            copyToClipboard();
        return 0;
    case WM_CONTEXTMENU: {
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (lParam == -1) { // from the keyboard: at the window's corner
            at = POINT{0, 0};
            ClientToScreen(window, &at);
        }
        HMENU menu = CreatePopupMenu();
        if (!menu)
            return 0;
        AppendMenuW(menu, MF_STRING | (bitmap_ ? MF_ENABLED : MF_GRAYED), kCopyCommand, L"Copier");
        const UINT chosen = static_cast<UINT>(TrackPopupMenu(
            menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, 0, window, nullptr));
        DestroyMenu(menu);
        if (chosen == kCopyCommand)
            copyToClipboard();
        return 0;
    }
    case WM_DESTROY:
        // A pop-up's owner is the top-level window, not this one.
        if (tooltip_)
            DestroyWindow(tooltip_);
        tooltip_ = nullptr;
        bitmap_.reset();
        tips_.clear();
        return 0;
    default:
        return defaultProcedure(message, wParam, lParam);
    }
}

} // namespace kolvane::win
