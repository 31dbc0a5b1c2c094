#include "accounts/link_rules.h"

namespace kolvane {

bool shouldOpenLinkTarget(std::string_view target) {
    return target.size() > 4;
}

LinkLook chooseLinkLook(bool enabled, bool hover, bool hasHoverFont) {
    if (!enabled)
        return LinkLook::Disabled;
    if (hover)
        return hasHoverFont ? LinkLook::HoverFont : LinkLook::UnderlineFont;
    return LinkLook::Normal;
}

bool backColorNeedsRepaint(bool changed, bool transparent, bool repaintAsked) {
    // A transparent link shows the parent's background, not its own.
    return changed && !transparent && repaintAsked;
}

bool normalColorNeedsRepaint(bool changed, bool repaintAsked) {
    return changed && repaintAsked;
}

} // namespace kolvane
