#include "win/scrolled_page.h"

namespace kolvane::win {
namespace {

std::optional<ScrollRequest> requestOf(WORD code) {
    switch (code) {
    case SB_LINEUP:
        return ScrollRequest::LineBack;
    case SB_LINEDOWN:
        return ScrollRequest::LineForward;
    case SB_PAGEUP:
        return ScrollRequest::PageBack;
    case SB_PAGEDOWN:
        return ScrollRequest::PageForward;
    case SB_TOP:
        return ScrollRequest::Start;
    case SB_BOTTOM:
        return ScrollRequest::End;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        return ScrollRequest::Track;
    default:
        return std::nullopt; // SB_ENDSCROLL
    }
}

void setBar(HWND window, int bar, const ScrollAxis& axis) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = axis.content > 0 ? axis.content - 1 : 0;
    info.nPage = static_cast<UINT>(axis.page);
    info.nPos = axis.position;
    SetScrollInfo(window, bar, &info, TRUE);
}

// The thumb's position while it is dragged, with its full 32 bits.
int trackPosition(HWND window, int bar) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS;
    GetScrollInfo(window, bar, &info);
    return info.nTrackPos;
}

} // namespace

void PageScrolling::updateBars(HWND window) {
    setBar(window, SB_HORZ, horizontal);
    setBar(window, SB_VERT, vertical);
}

void PageScrolling::resize(HWND window, int contentWidth, int contentHeight) {
    RECT client{};
    if (window != nullptr)
        GetClientRect(window, &client);
    const POINT before{horizontal.position, vertical.position};
    horizontal = resizedAxis(horizontal, contentWidth, client.right);
    vertical = resizedAxis(vertical, contentHeight, client.bottom);
    if (window == nullptr)
        return;
    updateBars(window);
    // Showing or hiding a bar changes the client area: take the new one.
    RECT after{};
    GetClientRect(window, &after);
    if (after.right != client.right || after.bottom != client.bottom) {
        horizontal = resizedAxis(horizontal, contentWidth, after.right);
        vertical = resizedAxis(vertical, contentHeight, after.bottom);
        updateBars(window);
    }
    if (before.x != horizontal.position || before.y != vertical.position)
        InvalidateRect(window, nullptr, TRUE);
}

void PageScrolling::scrollTo(HWND window, int x, int y) {
    x = scrolledPosition(horizontal, ScrollRequest::Track, x);
    y = scrolledPosition(vertical, ScrollRequest::Track, y);
    const int dx = horizontal.position - x;
    const int dy = vertical.position - y;
    if (dx == 0 && dy == 0)
        return;
    horizontal.position = x;
    vertical.position = y;
    if (window == nullptr)
        return;
    ScrollWindowEx(window, dx, dy, nullptr, nullptr, nullptr, nullptr,
                   SW_INVALIDATE | SW_ERASE | SW_SCROLLCHILDREN);
    updateBars(window);
}

std::optional<LRESULT> PageScrolling::handleScroll(HWND window, UINT message, WPARAM wParam) {
    if (message == WM_MOUSEWHEEL) {
        scrollTo(window, horizontal.position,
                 wheelPosition(vertical, GET_WHEEL_DELTA_WPARAM(wParam)));
        return 0;
    }
    if (message != WM_HSCROLL && message != WM_VSCROLL)
        return std::nullopt;
    const bool across = message == WM_HSCROLL;
    const std::optional<ScrollRequest> request = requestOf(LOWORD(wParam));
    if (!request)
        return 0;
    const ScrollAxis& axis = across ? horizontal : vertical;
    const int track =
        *request == ScrollRequest::Track ? trackPosition(window, across ? SB_HORZ : SB_VERT) : 0;
    const int position = scrolledPosition(axis, *request, track);
    if (across)
        scrollTo(window, position, vertical.position);
    else
        scrollTo(window, horizontal.position, position);
    return 0;
}

} // namespace kolvane::win
