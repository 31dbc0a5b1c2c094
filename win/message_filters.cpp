#include "win/message_filters.h"

#include <algorithm>
#include <vector>

namespace kolvane::win {
namespace {

std::vector<MessageFilter>& filters() {
    static std::vector<MessageFilter> registered;
    return registered;
}

} // namespace

void addMessageFilter(MessageFilter filter) {
    auto& all = filters();
    if (filter && std::find(all.begin(), all.end(), filter) == all.end())
        all.push_back(filter);
}

void removeMessageFilter(MessageFilter filter) {
    auto& all = filters();
    all.erase(std::remove(all.begin(), all.end(), filter), all.end());
}

void forwardToMessageFilters(const MSG& message) {
    // A filter may remove itself while it runs: walk a copy.
    const std::vector<MessageFilter> current = filters();
    for (MessageFilter filter : current)
        filter(message);
}

} // namespace kolvane::win
