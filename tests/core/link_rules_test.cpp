#include "accounts/link_rules.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

TEST(LinkRules, OnlyTargetsLongerThanFourCharactersAreOpened) {
    EXPECT_FALSE(shouldOpenLinkTarget(""));
    EXPECT_FALSE(shouldOpenLinkTarget("bank"));
    EXPECT_TRUE(shouldOpenLinkTarget("banks"));
    EXPECT_TRUE(shouldOpenLinkTarget("http://www.example.org"));
}

TEST(LinkRules, DisabledWinsOverHoverAndTheHoverFontOverTheUnderline) {
    EXPECT_EQ(chooseLinkLook(false, true, true), LinkLook::Disabled);
    EXPECT_EQ(chooseLinkLook(false, false, false), LinkLook::Disabled);
    EXPECT_EQ(chooseLinkLook(true, true, true), LinkLook::HoverFont);
    EXPECT_EQ(chooseLinkLook(true, true, false), LinkLook::UnderlineFont);
    EXPECT_EQ(chooseLinkLook(true, false, true), LinkLook::Normal);
}

TEST(LinkRules, ATransparentLinkIsNotRepaintedForItsBackColour) {
    EXPECT_FALSE(backColorNeedsRepaint(true, true, true));
    EXPECT_TRUE(backColorNeedsRepaint(true, false, true));
    EXPECT_FALSE(backColorNeedsRepaint(false, false, true));
    EXPECT_FALSE(backColorNeedsRepaint(true, false, false));
    EXPECT_TRUE(normalColorNeedsRepaint(true, true));
    EXPECT_FALSE(normalColorNeedsRepaint(false, true));
}

} // namespace
} // namespace kolvane
