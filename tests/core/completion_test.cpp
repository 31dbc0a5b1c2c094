#include "operations/completion.h"

#include "document/text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kolvane {
namespace {

TEST(Completion, ProposesTheEntriesThatBeginWithTheTypedText) {
    const std::vector<std::string> labels = {"Loyer", "Loisirs", "Salaire",
                                             utf8ToCp1252("Électricité"), "loto"};
    struct Case {
        const char* typed; // UTF-8
        std::vector<int> proposals;
    };
    const Case cases[] = {
        {"lo", {0, 1, 4}}, // every match, in list order, whatever the case
        {"loi", {1}},      {"LOY", {0}},
        {"élec", {3}},               // accented capitals match their small letters
        {"Loyers", {}},              // longer than the entry
        {"x", {}},         {"", {}}, // nothing typed: no proposals
        {"aire", {}},                // inside a word is not a beginning
    };
    for (const Case& c : cases)
        EXPECT_EQ(completionProposals(labels, utf8ToCp1252(c.typed)), c.proposals) << c.typed;
}

TEST(Completion, ProposalsGoBelowTheBoxAboveItOrBelowItShortened) {
    struct Case {
        const char* what;
        ScreenRect combo;
        int count;
        int screenHeight;
        ScreenRect place;
    };
    // Items of 13 pixels: n proposals take 13 * (n + 1).
    const Case cases[] = {
        {"room below, wide box indented", {100, 200, 360, 221}, 3, 768, {110, 221, 360, 273}},
        {"a box of 50 pixels is not indented", {100, 200, 150, 221}, 1, 768, {100, 221, 150, 247}},
        {"near the bottom: above", {100, 700, 360, 721}, 3, 768, {110, 648, 360, 700}},
        {"ending 20 pixels above the bottom is too low",
         {100, 675, 360, 696},
         3,
         768,
         {110, 623, 360, 675}},
        {"starting 21 pixels from the top still fits above",
         {100, 73, 360, 94},
         3,
         100,
         {110, 21, 360, 73}},
        {"no room either way: below, shortened", {100, 60, 360, 81}, 10, 200, {110, 81, 360, 180}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(placeProposals(c.combo, 13, c.count, c.screenHeight), c.place) << c.what;
    EXPECT_EQ(completionFirstPlace({100, 200, 360, 221}), (ScreenRect{110, 221, 360, 321}));
}

TEST(Completion, OnlyClicksOutsideTheProposalsCloseThem) {
    const ScreenRect proposals{110, 221, 360, 273};
    struct Case {
        int x, y;
        bool closes;
    };
    const Case cases[] = {
        {110, 221, false}, {359, 272, false}, {200, 250, false}, // inside, corners included
        {360, 250, true},  {109, 250, true},                     // right of it, left of it
        {200, 220, true},  {200, 273, true},                     // above, below
    };
    for (const Case& c : cases)
        EXPECT_EQ(closesProposals(proposals, c.x, c.y), c.closes) << c.x << ',' << c.y;
}

TEST(Completion, KeysMoveTheHighlightAndEnterPicksOne) {
    using K = CompletionKey;
    struct Case {
        K key;
        int from, count, to;
    };
    const Case cases[] = {
        {K::Down, -1, 3, 0}, {K::Down, 0, 3, 1}, {K::Down, 2, 3, 2},  // stops at the last
        {K::Up, -1, 3, 2},   {K::Up, 2, 3, 1},   {K::Up, 0, 3, 0},    // stops at the first
        {K::Enter, -1, 3, 0}, {K::Enter, 1, 3, 1},                    // none: the first
        {K::Down, 5, 3, 0},  {K::Down, -1, 0, -1}, {K::Enter, -1, 0, -1}, // stale row, no rows
    };
    for (const Case& c : cases)
        EXPECT_EQ(highlightAfter(c.key, c.from, c.count), c.to)
            << static_cast<int>(c.key) << " from " << c.from << " of " << c.count;
}

} // namespace
} // namespace kolvane
