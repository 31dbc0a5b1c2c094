// A window that shows a page larger than itself, with scroll bars: the base
// of the synthesis and third-party views. The arithmetic lives in
// document/scroll_arithmetic.h; this base copies it onto the bars, scrolls
// the pixels and paints in page coordinates.
//
// How a view uses it:
//
//     struct SynthesisView : win::ScrolledPage<SynthesisView> {
//         void paintPage(HDC dc, const RECT& visible);  // page coordinates
//         LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
//             if (auto answer = handleScrolling(message, wParam, lParam)) return *answer;
//             ...
//             return defaultProcedure(message, wParam, lParam);
//         }
//     };
//     view.create(...WS_CHILD | WS_VSCROLL | WS_HSCROLL...);
//     view.setPageSize(width, height);   // whenever the content changes
//     view.scrollToShow(rect);           // bring a part of the page into view
#pragma once

#include "document/scroll_arithmetic.h"
#include "win/window_object.h"

#include <windows.h>

#include <optional>

namespace kolvane::win {

// The Win32 half, shared by every page.
struct PageScrolling {
    ScrollAxis horizontal;
    ScrollAxis vertical;

    // New content size, or the window's client size changed.
    void resize(HWND window, int contentWidth, int contentHeight);
    // Moves to (x, y), scrolling the window's pixels and the bars.
    void scrollTo(HWND window, int x, int y);
    // WM_HSCROLL, WM_VSCROLL, WM_MOUSEWHEEL, WM_SIZE and WM_PAINT; nothing
    // for the other messages.
    template <class Paint>
    std::optional<LRESULT> handle(HWND window, UINT message, WPARAM wParam, Paint&& paint);

  private:
    std::optional<LRESULT> handleScroll(HWND window, UINT message, WPARAM wParam);
    void updateBars(HWND window);
};

template <class Self> struct ScrolledPage : WindowObject<Self> {
    PageScrolling scrolling;

    void setPageSize(int width, int height) { scrolling.resize(this->window, width, height); }
    void scrollToShow(const RECT& part) {
        scrolling.scrollTo(
            this->window,
            positionShowing(scrolling.horizontal, part.left, part.right - part.left),
            positionShowing(scrolling.vertical, part.top, part.bottom - part.top));
    }
    POINT scrollPosition() const { return {scrolling.horizontal.position, scrolling.vertical.position}; }

    std::optional<LRESULT> handleScrolling(UINT message, WPARAM wParam, LPARAM) {
        return scrolling.handle(this->window, message, wParam, [this](HDC dc, const RECT& visible) {
            static_cast<Self*>(this)->paintPage(dc, visible);
        });
    }
};

template <class Paint>
std::optional<LRESULT> PageScrolling::handle(HWND window, UINT message, WPARAM wParam,
                                             Paint&& paint) {
    if (message == WM_SIZE) {
        resize(window, horizontal.content, vertical.content);
        return std::nullopt; // the view may lay out its children too
    }
    if (message != WM_PAINT)
        return handleScroll(window, message, wParam);
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(window, &ps);
    const int saved = SaveDC(dc);
    SetViewportOrgEx(dc, -horizontal.position, -vertical.position, nullptr);
    RECT visible = ps.rcPaint;
    OffsetRect(&visible, horizontal.position, vertical.position);
    paint(dc, visible);
    RestoreDC(dc, saved);
    EndPaint(window, &ps);
    return 0;
}

} // namespace kolvane::win
