#include "document/command_router.h"

#include <gtest/gtest.h>

#include <string>

namespace kolvane {
namespace {

TEST(CommandRouter, TheLastCommandAddedForAnIdAnswersUntilItsOwnerGoes) {
    Document doc;
    documentInit(doc);
    CommandRouter router(doc);
    std::string ran;
    const int frame = 0, view = 0;
    router.add(&frame, {10, [&](unsigned id) { ran += "frame" + std::to_string(id) + " "; },
                        [](const CommandContext& c) { return c.document.isOpen != 0; }});
    router.add(&frame, {20, [&](unsigned id) { ran += "block" + std::to_string(id) + " "; }, {},
                        [](const CommandContext& c) { return c.id == 22; }, 29});
    router.add(&frame, {30}); // an item that does nothing yet
    router.add(&view, {10, [&](unsigned) { ran += "view "; }, {}, [](const CommandContext&) {
                           return true;
                       }});

    EXPECT_TRUE(router.run(10));
    EXPECT_TRUE(router.run(29));
    EXPECT_FALSE(router.run(30));
    EXPECT_FALSE(router.run(19));
    EXPECT_FALSE(router.run(31));
    EXPECT_EQ(ran, "view block29 ");
    // The view's command leaves the enabled state alone: the frame's is hidden.
    EXPECT_EQ(router.state(10).enabled, std::nullopt);
    EXPECT_EQ(router.state(10).checked, true);
    EXPECT_EQ(router.state(22).checked, true);
    EXPECT_EQ(router.state(23).checked, false);
    EXPECT_FALSE(router.knows(19));
    EXPECT_FALSE(router.state(19).enabled || router.state(19).checked);

    router.removeOwner(&view);
    ran.clear();
    EXPECT_TRUE(router.run(10));
    EXPECT_EQ(ran, "frame10 ");
    EXPECT_EQ(router.state(10).enabled, false);
    EXPECT_EQ(router.state(10).checked, std::nullopt);
    doc.isOpen = 1;
    EXPECT_EQ(router.state(10).enabled, true);
    documentClose(doc);
}

} // namespace
} // namespace kolvane
