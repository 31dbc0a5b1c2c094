// The buttons of the five toolbars and the bands of the rebar that holds
// them, as data the Win32 layer turns into controls.
#pragma once

#include <array>
#include <span>

namespace kolvane {

inline constexpr int kToolbarCount = 5;
inline constexpr int kToolbarImageCount = 14; // pictures of the button bitmap, left to right
inline constexpr int kToolbarImageSize = 18;
inline constexpr int kToolbarButtonWidth = 24;
inline constexpr int kToolbarButtonHeight = 22;

struct ToolbarButton {
    int image;           // index in the bitmap
    unsigned command;    // the menu command it sends
    bool enabled;
    bool checkButton;
    const char* toolTip; // the text of its menu item (UTF-8), or null
};

// The buttons of toolbar `index` (0 to 4), in order; each toolbar also begins
// with a separator, which is not listed.
std::span<const ToolbarButton> toolbarButtons(int index);

// The tool-tip of the button that sends `command`: the text of its menu item;
// null for a button without a menu item.
const char* toolTipText(unsigned command);

struct RebarBand {
    int minWidth;
    int minHeight;
    int width;
    bool visibleAtStart;
};

// The band of toolbar `index` given the size of a button of toolbar 1 as the
// control reports it.
RebarBand rebarBand(int index, int buttonWidth, int buttonHeight);

// The band that shows "Fermer" and "Changer utilisateur" while a file is open.
inline constexpr int kFileBand = 1;
// The band of undo, redo and the pointing mode, shown while a file is open.
inline constexpr int kEditBand = 2;

} // namespace kolvane
