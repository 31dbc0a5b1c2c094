#include "accounts/link_control.h"

#include "document/text.h"
#include "win/child_controls.h"

#include <shellapi.h>

#include <new>
#include <string>
#include <string_view>

namespace kolvane {
namespace {

constexpr int kTextCapacity = 260; // 259 characters and the terminator

void openWithShell(HWND, const wchar_t* target) {
    // What the shell returns changes nothing for the link.
    ShellExecuteW(nullptr, L"open", target, nullptr, nullptr, SW_SHOWNORMAL);
}

LinkOpener currentOpener = openWithShell;

HFONT stockSystemFont() {
    return static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

std::wstring controlText(HWND window) {
    wchar_t buffer[kTextCapacity] = {};
    const int length = GetWindowTextW(window, buffer, kTextCapacity);
    return std::wstring(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

} // namespace

LinkControl* LinkControl::objectForNewWindow(HWND, const CREATESTRUCTW&) {
    return new (std::nothrow) LinkControl;
}

void LinkControl::windowDestroyed() {
    delete this;
}

void LinkControl::setFont(HFONT newFont) {
    font = newFont ? newFont : stockSystemFont();
    LOGFONTW description{};
    underlineFont.reset();
    if (GetObjectW(font, sizeof description, &description) != 0) {
        description.lfUnderline = TRUE;
        underlineFont.reset(CreateFontIndirectW(&description));
    }
}

// A transparent control shows its parent through it: the parent repaints the
// area first so that the old text goes away.
void LinkControl::repaint() {
    if (HWND parent = GetParent(window)) {
        RECT area{};
        GetWindowRect(window, &area);
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&area), 2);
        InvalidateRect(parent, &area, TRUE);
        UpdateWindow(parent);
    }
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
}

void LinkControl::notifyParent(LinkNotification code) {
    const int id = GetDlgCtrlID(window);
    PostMessageW(GetParent(window), WM_COMMAND, MAKEWPARAM(id, code),
                 reinterpret_cast<LPARAM>(window));
}

void LinkControl::paint(HDC dc) {
    const std::wstring text = controlText(window);

    COLORREF color = normalColor;
    HFONT shownFont = font;
    switch (
        chooseLinkLook(IsWindowEnabled(window) != FALSE, (hover & 1) != 0, hoverFont != nullptr)) {
    case LinkLook::Disabled:
        color = GetSysColor(COLOR_GRAYTEXT);
        break;
    case LinkLook::HoverFont:
        color = hoverColor;
        shownFont = hoverFont;
        break;
    case LinkLook::UnderlineFont:
        color = hoverColor;
        shownFont = underlineFont ? underlineFont.get() : font;
        break;
    case LinkLook::Normal:
        break;
    }

    win::SelectedObject keepFont(dc, shownFont ? shownFont : stockSystemFont());
    constexpr UINT kFormat = DT_SINGLELINE | DT_NOPREFIX | DT_LEFT | DT_TOP;
    RECT textArea{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textArea, kFormat | DT_CALCRECT);

    // The clickable area is exactly the text.
    RECT client{};
    GetClientRect(window, &client);
    if (client.right != textArea.right || client.bottom != textArea.bottom)
        SetWindowPos(window, nullptr, 0, 0, textArea.right, textArea.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    if (transparent != 1) {
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, backColor);
    } else {
        SetBkMode(dc, TRANSPARENT);
    }
    SetTextColor(dc, color);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textArea, kFormat);
}

LRESULT LinkControl::onSetCursor(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(lParam) == HTCLIENT && tracking == 0) {
        hover |= 1;
        repaint();
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof track;
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = window;
        TrackMouseEvent(&track);
        tracking = 1;
        notifyParent(LINK_HOVER);
    }
    // The class's hand cursor.
    return DefWindowProcW(window, WM_SETCURSOR, wParam, lParam);
}

void LinkControl::onMouseLeave() {
    tracking = 0;
    hover = 0;
    notifyParent(LINK_LEAVE);
    repaint();
}

void LinkControl::onLeftButtonUp() {
    if (!IsWindowEnabled(window))
        return;
    const std::string_view target = fieldText(linkTarget);
    if (shouldOpenLinkTarget(target)) {
        currentOpener(window, cp1252ToWide(target).c_str());
        return;
    }
    notifyParent(LINK_CLICKED);
}

LRESULT LinkControl::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        // A control inherits its parent's font until it is given one.
        HWND parent = GetParent(window);
        setFont(parent ? reinterpret_cast<HFONT>(SendMessageW(parent, WM_GETFONT, 0, 0)) : nullptr);
        return 0;
    }
    case LINK_GET_TRANSPARENT:
        return transparent;
    case LINK_SET_TRANSPARENT: {
        const DWORD flag = static_cast<DWORD>(wParam);
        const bool changed = flag != transparent;
        transparent = flag;
        if (changed)
            repaint();
        return changed ? 1 : 0;
    }
    case LINK_GET_BACK_COLOR:
        return backColor;
    case LINK_SET_BACK_COLOR: {
        const COLORREF previous = backColor;
        backColor = static_cast<COLORREF>(lParam);
        if (backColorNeedsRepaint(previous != backColor, transparent == 1, wParam != 0))
            repaint();
        return previous;
    }
    case LINK_GET_NORMAL_COLOR:
        return normalColor;
    case LINK_SET_NORMAL_COLOR: {
        const COLORREF previous = normalColor;
        normalColor = static_cast<COLORREF>(lParam);
        if (normalColorNeedsRepaint(previous != normalColor, wParam != 0))
            repaint();
        return previous;
    }
    case LINK_GET_HOVER_COLOR:
        return hoverColor;
    case LINK_SET_HOVER_COLOR: {
        const COLORREF previous = hoverColor;
        hoverColor = static_cast<COLORREF>(lParam);
        return previous;
    }
    case LINK_GET_HOVER_FONT:
        return reinterpret_cast<LRESULT>(hoverFont ? hoverFont : underlineFont.get());
    case LINK_SET_HOVER_FONT:
        if (wParam != 0)
            hoverFont = reinterpret_cast<HFONT>(wParam);
        return 0;
    case LINK_GET_TARGET: {
        auto* buffer = reinterpret_cast<char*>(lParam);
        const std::size_t size = wParam;
        if (buffer != nullptr && size > 0) {
            const std::string_view target = fieldText(linkTarget);
            const std::size_t length = target.size() < size - 1 ? target.size() : size - 1;
            target.copy(buffer, length);
            buffer[length] = '\0';
        }
        return reinterpret_cast<LRESULT>(linkTarget);
    }
    case LINK_SET_TARGET: {
        const auto* text = reinterpret_cast<const char*>(lParam);
        setFieldText(linkTarget, text ? std::string_view(text) : std::string_view());
        return 0;
    }
    case LINK_REPAINT:
        repaint();
        return 0;
    case WM_SETFONT:
        setFont(reinterpret_cast<HFONT>(wParam));
        if (LOWORD(lParam) != 0)
            repaint();
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(font);
    case WM_SETTEXT: {
        const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
        repaint();
        return result;
    }
    case WM_ENABLE:
        InvalidateRect(window, nullptr, TRUE);
        return 0;
    case WM_PAINT: {
        win::PaintDC dc(window);
        paint(dc.get());
        return 0;
    }
    case WM_PRINTCLIENT:
        paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_SETCURSOR:
        return onSetCursor(wParam, lParam);
    case WM_MOUSELEAVE:
        onMouseLeave();
        return 0;
    case WM_LBUTTONUP:
        onLeftButtonUp();
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool registerLinkControlClass(HINSTANCE instance) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(instance, kLinkControlClassName, &existing))
        return true;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    windowClass.lpfnWndProc = LinkControl::procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_HAND);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    windowClass.lpszClassName = kLinkControlClassName;
    return RegisterClassExW(&windowClass) != 0;
}

void setLinkOpener(LinkOpener opener) {
    currentOpener = opener ? opener : openWithShell;
}

void openAddress(HWND owner, const wchar_t* target) {
    currentOpener(owner, target);
}

HWND createPanelLink(HWND parent, HICON icon, const wchar_t* text, int y, int id, HFONT font) {
    HWND picture = win::createChild(
        parent,
        {L"STATIC", nullptr, SS_ICON | SS_REALSIZECONTROL | WS_CLIPSIBLINGS, 15, y - 6, 20, 20},
        nullptr);
    if (picture != nullptr && icon != nullptr)
        SendMessageW(picture, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    HWND link = win::createChild(
        parent, {kLinkControlClassName, text, WS_CLIPSIBLINGS, 40, y, 100, 16, id}, font);
    if (link != nullptr) {
        SendMessageW(link, LINK_SET_BACK_COLOR, FALSE, GetSysColor(COLOR_BTNFACE));
        SendMessageW(link, LINK_SET_TRANSPARENT, 0, 0);
        EnableWindow(link, FALSE);
    }
    return link;
}

} // namespace kolvane
