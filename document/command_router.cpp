#include "document/command_router.h"

#include <algorithm>

namespace kolvane {

void CommandRouter::add(const void* owner, Command command) {
    entries_.push_back({owner, std::move(command)});
}

void CommandRouter::removeOwner(const void* owner) {
    std::erase_if(entries_, [owner](const Entry& entry) { return entry.owner == owner; });
}

const Command* CommandRouter::find(unsigned id) const {
    for (auto entry = entries_.rbegin(); entry != entries_.rend(); ++entry) {
        const Command& command = entry->command;
        const unsigned last = std::max(command.lastId, command.id);
        if (id >= command.id && id <= last)
            return &command;
    }
    return nullptr;
}

bool CommandRouter::run(unsigned id) const {
    const Command* command = find(id);
    if (command == nullptr || !command->target)
        return false;
    // The target may change the table (a view closing): run a copy.
    const std::function<void(unsigned)> target = command->target;
    target(id);
    return true;
}

CommandState CommandRouter::state(unsigned id) const {
    CommandState state;
    const Command* command = find(id);
    if (command == nullptr)
        return state;
    const CommandContext context{document_, id};
    if (command->enabled)
        state.enabled = command->enabled(context);
    if (command->checked)
        state.checked = command->checked(context);
    return state;
}

} // namespace kolvane
