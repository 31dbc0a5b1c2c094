#include "document/scroll_arithmetic.h"

#include <gtest/gtest.h>

#include <tuple>

namespace kolvane {
namespace {

// A page of 1000 pixels seen through 300, lines of 16.
constexpr ScrollAxis kAxis{1000, 300, 100, 16};

TEST(ScrollArithmetic, RequestsStayBetweenTheStartAndTheLastFullPage) {
    struct Case {
        int position;
        ScrollRequest request;
        int track;
        int expected;
    };
    const Case cases[] = {
        {100, ScrollRequest::LineForward, 0, 116}, {100, ScrollRequest::LineBack, 0, 84},
        {10, ScrollRequest::LineBack, 0, 0},       {690, ScrollRequest::LineForward, 0, 700},
        {100, ScrollRequest::PageForward, 0, 400}, {500, ScrollRequest::PageForward, 0, 700},
        {100, ScrollRequest::PageBack, 0, 0},      {450, ScrollRequest::PageBack, 0, 150},
        {450, ScrollRequest::Start, 0, 0},         {0, ScrollRequest::End, 0, 700},
        {0, ScrollRequest::Track, 333, 333},       {0, ScrollRequest::Track, 900, 700},
        {0, ScrollRequest::Track, -5, 0},
    };
    for (const Case& c : cases) {
        ScrollAxis axis = kAxis;
        axis.position = c.position;
        EXPECT_EQ(scrolledPosition(axis, c.request, c.track), c.expected)
            << c.position << " " << static_cast<int>(c.request);
    }
    // A page that fits in the window never scrolls.
    EXPECT_EQ(scrolledPosition({200, 300, 0, 16}, ScrollRequest::End), 0);
}

TEST(ScrollArithmetic, ResizingKeepsThePositionInRange) {
    ScrollAxis axis = kAxis;
    axis.position = 700;
    // a taller window
    // a shorter page
    EXPECT_EQ(
        std::tuple(resizedAxis(axis, 1000, 500).position, resizedAxis(axis, 200, 300).position,
                   resizedAxis(axis, 2000, 300).position, resizedAxis(axis, -4, -1).lastPosition()),
        std::tuple(500, 0, 700, 0));
}

TEST(ScrollArithmetic, WheelNotchesScrollThreeLines) {
    // towards the user: down
    // 100 - 96
    // a third of a notch: one line
    EXPECT_EQ(std::tuple(wheelPosition(kAxis, -120), wheelPosition(kAxis, 240),
                         wheelPosition(kAxis, 360), wheelPosition(kAxis, -40),
                         wheelPosition(kAxis, -12000)),
              std::tuple(148, 4, 0, 116, 700));
}

TEST(ScrollArithmetic, ShowingASpanMovesAsLittleAsPossible) {
    // already whole in view
    // above: its top at the top
    // below: its bottom at the bottom
    // taller than the window
    EXPECT_EQ(std::tuple(positionShowing(kAxis, 150, 50), positionShowing(kAxis, 50, 20),
                         positionShowing(kAxis, 380, 40), positionShowing(kAxis, 200, 400),
                         positionShowing(kAxis, 980, 20)),
              std::tuple(100, 50, 120, 200, 700));
}

} // namespace
} // namespace kolvane
