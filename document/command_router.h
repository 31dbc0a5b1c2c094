// The table of commands: for each menu or toolbar id, what runs it and what
// its item shows (greyed, checked) for the document as it is. The frame asks
// the same table when a command arrives and when a menu opens; every view adds
// its own commands and takes them away when it goes.
//
//     router.add(this, {CMD_SORT_BY_ENTRY,
//                       [this](unsigned) { sortBy(SortOrder::Entry); },
//                       {},                                         // never greyed
//                       [](const CommandContext& c) { return c.document.sortOrder == 0; }});
//     ...
//     router.removeOwner(this);
//
// A greyed item only shows the state: a command that needs a right still
// checks it when it runs (an accelerator can reach it without the menu).
#pragma once

#include "document/document.h"

#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace kolvane {

struct CommandContext {
    const Document& document;
    unsigned id; // the item asked about, within the command's ids
};
using CommandPredicate = std::function<bool(const CommandContext&)>;

using CommandTarget = std::function<void(unsigned id)>;

struct Command {
    unsigned id = 0;
    CommandTarget target;     // empty: the item does nothing
    CommandPredicate enabled; // empty: the item's state is left as it is
    CommandPredicate checked;
    unsigned lastId = 0; // a block of ids [id, lastId]; 0: `id` alone

    Command(unsigned firstId, CommandTarget run = {}, CommandPredicate isEnabled = {},
            CommandPredicate isChecked = {}, unsigned blockEnd = 0)
        : id(firstId), target(std::move(run)), enabled(std::move(isEnabled)),
          checked(std::move(isChecked)), lastId(blockEnd) {}
};

struct CommandState {
    std::optional<bool> enabled;
    std::optional<bool> checked;
};

class CommandRouter {
  public:
    explicit CommandRouter(const Document& document) : document_(document) {}

    // The command added last answers for its ids, before any older one.
    void add(const void* owner, Command command);
    void removeOwner(const void* owner);

    // Runs the command of `id`; false when none has a target for it.
    bool run(unsigned id) const;
    // What the item of `id` shows; nothing for an id without command.
    CommandState state(unsigned id) const;
    bool knows(unsigned id) const { return find(id) != nullptr; }

  private:
    struct Entry {
        const void* owner;
        Command command;
    };
    const Command* find(unsigned id) const;

    const Document& document_;
    std::vector<Entry> entries_;
};

} // namespace kolvane
