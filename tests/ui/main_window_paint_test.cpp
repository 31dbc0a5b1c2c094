// What the main window shows on the screen after it changes size: the status
// bar must still show its texts once the window is maximised, and nothing of
// its former size grip may stay behind.
#include "shell/main_window.h"
#include "tests/ui/main_window_fixture.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

namespace kolvane::win {
namespace {

using namespace std::chrono_literals;
using uitest::pumpMessagesUntil;

// Pixels of `area` (client coordinates of `window`) that are far from the
// button face: text and drawn marks, not the plain background.
int markedPixels(HWND window, RECT area) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    HDC dc = GetDC(window);
    int marked = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            COLORREF pixel = GetPixel(dc, x, y);
            if (pixel == CLR_INVALID)
                continue;
            int distance = std::abs(GetRValue(pixel) - GetRValue(face)) +
                           std::abs(GetGValue(pixel) - GetGValue(face)) +
                           std::abs(GetBValue(pixel) - GetBValue(face));
            if (distance > 60)
                ++marked;
        }
    ReleaseDC(window, dc);
    return marked;
}

RECT partRect(HWND statusBar, int part) {
    RECT rect{};
    SendMessageW(statusBar, SB_GETRECT, part, reinterpret_cast<LPARAM>(&rect));
    InflateRect(&rect, -3, -3); // inside the part's border
    return rect;
}

void settle() {
    pumpMessagesUntil([] { return false; }, 400ms);
}

class MainWindowPaintTest : public uitest::MainWindowFixture {
  protected:
    void SetUp() override {
        ASSERT_NE(main.open(kDefaultPlacement, false, true), nullptr);
        settle();
    }
};

TEST_F(MainWindowPaintTest, StatusBarKeepsItsDateAndLosesItsGripWhenMaximised) {
    ASSERT_NE(main.statusBar, nullptr);
    // Before: the date is drawn in part 0; part 4 (no account) only holds the grip.
    EXPECT_GT(markedPixels(main.statusBar, partRect(main.statusBar, 0)), 20);

    ShowWindow(main.window, SW_MAXIMIZE);
    settle();
    ASSERT_TRUE(IsZoomed(main.window));

    EXPECT_GT(markedPixels(main.statusBar, partRect(main.statusBar, 0)), 20)
        << "the date is no longer drawn";
    // A maximised window has no size grip; part 4 is empty, so nothing may be drawn there.
    EXPECT_EQ(markedPixels(main.statusBar, partRect(main.statusBar, 4)), 0)
        << "something stays drawn in the empty last part";
}

} // namespace
} // namespace kolvane::win
