#include "operations/completion.h"

#include "document/text.h"
#include <algorithm>

namespace kolvane {
namespace {

bool beginsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalNoCase(text.substr(0, prefix.size()), prefix);
}

// The box less its first pixels on the left when it is wide enough, so that
// the proposals read as belonging to the typed text.
ScreenRect indented(ScreenRect combo) {
    if (combo.right - combo.left > kCompletionIndentFrom)
        combo.left += kCompletionIndent;
    return combo;
}

} // namespace

std::vector<int> completionProposals(std::span<const std::string> entries,
                                     std::string_view typedCp1252) {
    std::vector<int> proposals;
    if (typedCp1252.empty())
        return proposals;
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (beginsWithNoCase(entries[i], typedCp1252))
            proposals.push_back(static_cast<int>(i));
    return proposals;
}

ScreenRect completionFirstPlace(const ScreenRect& combo) {
    const ScreenRect box = indented(combo);
    return ScreenRect{box.left, box.bottom, box.right, box.bottom + kCompletionFirstHeight};
}

ScreenRect placeProposals(const ScreenRect& combo, int itemHeight, int count, int screenHeight) {
    const ScreenRect box = indented(combo);
    // One item more than the proposals: room for the frame and the scroll bar.
    int height = itemHeight * (count + 1);
    if (box.bottom + height < screenHeight - 20)
        return ScreenRect{box.left, box.bottom, box.right, box.bottom + height};
    if (box.top - height < 21) {
        height = screenHeight - box.bottom - 20;
        return ScreenRect{box.left, box.bottom, box.right, box.bottom + height};
    }
    return ScreenRect{box.left, box.top - height, box.right, box.top};
}

bool closesProposals(const ScreenRect& proposals, int x, int y) {
    return x < proposals.left || x >= proposals.right || y < proposals.top || y >= proposals.bottom;
}

int highlightAfter(CompletionKey key, int highlighted, int count) {
    if (count <= 0)
        return -1;
    const bool none = highlighted < 0 || highlighted >= count;
    switch (key) {
    case CompletionKey::Down:
        return none ? 0 : std::min(highlighted + 1, count - 1);
    case CompletionKey::Up:
        return none ? count - 1 : std::max(highlighted - 1, 0);
    case CompletionKey::Enter:
        return none ? 0 : highlighted;
    }
    return -1;
}

} // namespace kolvane
