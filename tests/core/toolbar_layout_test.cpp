#include "shell/toolbar_layout.h"

#include <gtest/gtest.h>

#include <set>

namespace kolvane {
namespace {

TEST(ToolbarLayout, FirstToolbarHoldsNewOpenAndADisabledSave) {
    auto buttons = toolbarButtons(0);
    ASSERT_EQ(buttons.size(), 3u);
    EXPECT_EQ(buttons[0].image, 0);
    EXPECT_EQ(buttons[0].command, 1000u);
    EXPECT_EQ(buttons[1].image, 1);
    EXPECT_EQ(buttons[1].command, 1001u);
    EXPECT_EQ(buttons[2].image, 2);
    EXPECT_EQ(buttons[2].command, 1002u);
    EXPECT_FALSE(buttons[2].enabled);
}

TEST(ToolbarLayout, SecondToolbarClosesAndChangesUser) {
    auto buttons = toolbarButtons(1);
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0].image, 4);
    EXPECT_EQ(buttons[0].command, 1004u);
    EXPECT_EQ(buttons[1].image, 5);
    EXPECT_EQ(buttons[1].command, 1025u);
}

TEST(ToolbarLayout, HiddenToolbarsKeepTheirButtonsAndStates) {
    auto third = toolbarButtons(2);
    ASSERT_EQ(third.size(), 5u);
    const unsigned commands[] = {1080, 1081, 1082, 1083, 1084};
    const bool enabled[] = {false, false, true, true, false};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(third[i].image, 6 + i);
        EXPECT_EQ(third[i].command, commands[i]);
        EXPECT_EQ(third[i].enabled, enabled[i]) << i;
        EXPECT_EQ(third[i].checkButton, commands[i] == 1082) << i; // "Pointer les opérations"
    }
    auto fourth = toolbarButtons(3);
    ASSERT_EQ(fourth.size(), 3u);
    EXPECT_EQ(fourth[0].command, 1090u);
    EXPECT_FALSE(fourth[0].enabled);
    EXPECT_EQ(fourth[2].image, 13);
    EXPECT_EQ(fourth[2].command, 1092u);
}

TEST(ToolbarLayout, FifthToolbarIsTheCalculator) {
    auto buttons = toolbarButtons(4);
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_EQ(buttons[0].image, 3);
    EXPECT_EQ(buttons[0].command, 1020u);
}

TEST(ToolbarLayout, EveryPictureIsUsedOnce) {
    std::set<int> images;
    int count = 0;
    for (int t = 0; t < kToolbarCount; ++t)
        for (const ToolbarButton& button : toolbarButtons(t)) {
            images.insert(button.image);
            ++count;
        }
    EXPECT_EQ(count, 14);
    EXPECT_EQ(images.size(), 14u);
    EXPECT_TRUE(toolbarButtons(5).empty());
}

TEST(ToolbarLayout, BandSizesFromTheButtonSize) {
    // Buttons of 24 x 22 pixels.
    RebarBand b0 = rebarBand(0, 24, 22);
    EXPECT_EQ(b0.minWidth, 80); // 3 * 24 + 8
    EXPECT_EQ(b0.width, 80);
    EXPECT_EQ(b0.minHeight, 22);
    EXPECT_TRUE(b0.visibleAtStart);
    RebarBand b1 = rebarBand(1, 24, 22);
    EXPECT_EQ(b1.minWidth, 56); // 2 * 24 + 8
    EXPECT_FALSE(b1.visibleAtStart);
    EXPECT_EQ(rebarBand(2, 24, 22).width, 128); // 5 * 24 + 8
    EXPECT_FALSE(rebarBand(2, 24, 22).visibleAtStart);
    EXPECT_EQ(rebarBand(3, 24, 22).width, 80);
    EXPECT_FALSE(rebarBand(3, 24, 22).visibleAtStart);
    RebarBand b4 = rebarBand(4, 24, 22);
    EXPECT_EQ(b4.minWidth, 32); // 24 + 8
    EXPECT_EQ(b4.width, 250);
    EXPECT_TRUE(b4.visibleAtStart);
    EXPECT_EQ(rebarBand(0, 30, 28).minWidth, 98);
}

} // namespace
} // namespace kolvane
