// What the hyperlink control ("KVLinkCtrlClass32") does, apart from drawing:
// its private messages, its notifications and the decisions behind them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace kolvane {

inline constexpr const wchar_t* kLinkControlClassName = L"KVLinkCtrlClass32";

// Private messages, from WM_USER (0x400) on.
enum LinkMessage : unsigned {
    LINK_GET_TRANSPARENT = 0x0400 + 1,
    LINK_SET_TRANSPARENT = 0x0400 + 2, // wParam: new flag
    LINK_GET_BACK_COLOR = 0x0400 + 3,
    LINK_SET_BACK_COLOR = 0x0400 + 4, // wParam: repaint flag, lParam: colour
    LINK_GET_NORMAL_COLOR = 0x0400 + 5,
    LINK_SET_NORMAL_COLOR = 0x0400 + 6, // wParam: repaint flag, lParam: colour
    LINK_GET_HOVER_COLOR = 0x0400 + 7,
    LINK_SET_HOVER_COLOR = 0x0400 + 8, // lParam: colour
    LINK_GET_HOVER_FONT = 0x0400 + 9,
    LINK_SET_HOVER_FONT = 0x0400 + 10, // wParam: font
    LINK_GET_TARGET = 0x0400 + 11,     // wParam: buffer size, lParam: char buffer or null
    LINK_SET_TARGET = 0x0400 + 12,     // lParam: char text or null
    LINK_REPAINT = 0x0400 + 13,
};

// Notification codes, in the high word of the WM_COMMAND posted to the parent.
enum LinkNotification : unsigned {
    LINK_CLICKED = 0,
    LINK_HOVER = 1,
    LINK_LEAVE = 2,
};

// Colours are 0x00BBGGRR.
inline constexpr std::uint32_t kLinkDefaultBackColor = 0xFFFFFF;
inline constexpr std::uint32_t kLinkDefaultNormalColor = 0xCC2020;
inline constexpr std::uint32_t kLinkDefaultHoverColor = 0xCC0000;
// linkTarget holds at most this many characters (plus the terminator).
inline constexpr std::size_t kLinkTargetCapacity = 260;

// A click opens the target only when it looks like an address; shorter
// targets ("", or a short tag) leave the click to the parent.
bool shouldOpenLinkTarget(std::string_view target);

// The colour and font a link is painted with.
enum class LinkLook {
    Disabled,      // grey text, the plain font
    HoverFont,     // hover colour, the font given for hovering
    UnderlineFont, // hover colour, the plain font underlined
    Normal,        // normal colour, the plain font
};
LinkLook chooseLinkLook(bool enabled, bool hover, bool hasHoverFont);

// Whether setting a colour must repaint the control.
bool backColorNeedsRepaint(bool changed, bool transparent, bool repaintAsked);
bool normalColorNeedsRepaint(bool changed, bool repaintAsked);

} // namespace kolvane
