// The rules of the drop-down completion list: which entries of an editable
// combo box it proposes for the typed text, where its window goes on the
// screen, and which clicks close it. The Win32 control (drop_buddy_control.h)
// reads the combo box and the screen, and only maps these answers to windows.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

// The entries (Windows-1252) that begin with `typed`, ignoring case, as
// indices in list order. Nothing for an empty text.
std::vector<int> completionProposals(std::span<const std::string> entries,
                                     std::string_view typedCp1252);

// A rectangle in screen pixels, right and bottom exclusive.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const ScreenRect&) const = default;
};

// The width of a combo box from which the proposals start 10 pixels right.
inline constexpr int kCompletionIndentFrom = 50;
inline constexpr int kCompletionIndent = 10;
// The height of the proposal window when it first opens.
inline constexpr int kCompletionFirstHeight = 100;

// Where the proposal window opens: under the combo box, as wide as it (the
// left edge moved right when the box is wide enough), 100 pixels high.
ScreenRect completionFirstPlace(const ScreenRect& combo);

// Where `count` proposals of `itemHeight` pixels go for a combo box at
// `combo` on a screen `screenHeight` pixels high: below the box when they
// fit above the screen's last 20 pixels, else above it when the space up to
// 21 pixels from the top holds them, else below it cut to what is left.
ScreenRect placeProposals(const ScreenRect& combo, int itemHeight, int count, int screenHeight);

// A click at (x, y) closes the proposals when it is outside their window.
bool closesProposals(const ScreenRect& proposals, int x, int y);

// The keys the combo box's text gives to open proposals instead of to the box
// or to the form (Enter would book the typed prefix, Down would step through
// the box's own list).
enum class CompletionKey { Down, Up, Enter };
// The proposal highlighted after `key` among `count`, from `highlighted`
// (-1: none): Down and Up move one row and stop at the ends, Down from none
// takes the first, Up from none the last. Enter keeps the row, or takes the
// first when none is highlighted (the one to pick). -1 when there are none.
int highlightAfter(CompletionKey key, int highlighted, int count);

} // namespace kolvane
