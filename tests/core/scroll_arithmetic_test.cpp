#include "document/scroll_arithmetic.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(resizedAxis(axis, 1000, 500).position, 500); // a taller window
    EXPECT_EQ(resizedAxis(axis, 200, 300).position, 0);    // a shorter page
    EXPECT_EQ(resizedAxis(axis, 2000, 300).position, 700);
    EXPECT_EQ(resizedAxis(axis, -4, -1).lastPosition(), 0);
}

TEST(ScrollArithmetic, WheelNotchesScrollThreeLines) {
    EXPECT_EQ(wheelPosition(kAxis, -120), 148); // towards the user: down
    EXPECT_EQ(wheelPosition(kAxis, 240), 4);    // 100 - 96
    EXPECT_EQ(wheelPosition(kAxis, 360), 0);
    EXPECT_EQ(wheelPosition(kAxis, -40), 116);  // a third of a notch: one line
    EXPECT_EQ(wheelPosition(kAxis, -12000), 700);
}

TEST(ScrollArithmetic, ShowingASpanMovesAsLittleAsPossible) {
    EXPECT_EQ(positionShowing(kAxis, 150, 50), 100); // already whole in view
    EXPECT_EQ(positionShowing(kAxis, 50, 20), 50);   // above: its top at the top
    EXPECT_EQ(positionShowing(kAxis, 380, 40), 120); // below: its bottom at the bottom
    EXPECT_EQ(positionShowing(kAxis, 200, 400), 200); // taller than the window
    EXPECT_EQ(positionShowing(kAxis, 980, 20), 700);
}

} // namespace
} // namespace kolvane
