#include "shell/toolbar_layout.h"

#include <gtest/gtest.h>

#include <set>

namespace kolvane {
namespace {

TEST(ToolbarLayout, SaveStartsDisabledAndEveryPictureIsUsedOnce) {
    auto first = toolbarButtons(0);
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(first[2].command, 1002u);
    EXPECT_FALSE(first[2].enabled);
    EXPECT_TRUE(toolbarButtons(2)[2].checkButton); // "Pointer les opérations"

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

TEST(ToolbarLayout, EveryButtonThatShowsHasItsMenuTextAsToolTip) {
    const std::pair<unsigned, const char*> tips[] = {
        {1000, "Nouveau fichier compte"}, {1001, "Ouvrir"}, {1002, "Enregistrer"},
        {1004, "Fermer"}, {1025, "Changer utilisateur"}, {1020, "Calculatrice"},
        {1082, "Pointer les opérations"}};
    for (const auto& [command, text] : tips)
        EXPECT_STREQ(toolTipText(command), text) << command;
    EXPECT_EQ(toolTipText(1080), nullptr); // hidden, without a menu item
    EXPECT_EQ(toolTipText(1003), nullptr); // no button
}

TEST(ToolbarLayout, OnlyTheFirstAndFifthBandsShowAtStartSizedFromTheButtons) {
    // Buttons of 24 x 22 pixels: width = buttons * 24 + 8.
    const int widths[] = {80, 56, 128, 80, 32};
    for (int band = 0; band < 5; ++band) {
        RebarBand b = rebarBand(band, 24, 22);
        EXPECT_EQ(b.minWidth, widths[band]) << band;
        EXPECT_EQ(b.minHeight, 22) << band;
        EXPECT_EQ(b.visibleAtStart, band == 0 || band == 4) << band;
    }
    EXPECT_EQ(rebarBand(0, 24, 22).width, 80);
    EXPECT_EQ(rebarBand(4, 24, 22).width, 250);
    EXPECT_EQ(rebarBand(0, 30, 28).minWidth, 98);
}

} // namespace
} // namespace kolvane
