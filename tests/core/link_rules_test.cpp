#include "accounts/link_rules.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

TEST(LinkRules, OnlyATargetOfMoreThanFourCharactersIsOpened) {
    EXPECT_FALSE(shouldOpenLinkTarget(""));
    EXPECT_FALSE(shouldOpenLinkTarget("abcd"));
    EXPECT_TRUE(shouldOpenLinkTarget("abcde"));
}

TEST(LinkRules, LookAndRepaintFollowTheState) {
    const struct {
        bool enabled, hover, hoverFont;
        LinkLook look;
    } looks[] = {{false, true, true, LinkLook::Disabled},
                 {true, true, true, LinkLook::HoverFont},
                 {true, true, false, LinkLook::UnderlineFont},
                 {true, false, true, LinkLook::Normal}};
    for (const auto& c : looks)
        EXPECT_EQ(chooseLinkLook(c.enabled, c.hover, c.hoverFont), c.look)
            << c.enabled << c.hover << c.hoverFont;
    // A transparent link shows its parent's background: a new back colour
    // changes nothing on the screen.
    EXPECT_TRUE(backColorNeedsRepaint(true, false, true));
    EXPECT_FALSE(backColorNeedsRepaint(false, false, true));
    EXPECT_FALSE(backColorNeedsRepaint(true, true, true));
    EXPECT_FALSE(backColorNeedsRepaint(true, false, false));
    EXPECT_TRUE(normalColorNeedsRepaint(true, true));
    EXPECT_FALSE(normalColorNeedsRepaint(false, true));
    EXPECT_FALSE(normalColorNeedsRepaint(true, false));
}

} // namespace
} // namespace kolvane
