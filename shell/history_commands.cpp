#include "history_commands.h"

#include "resources/resource_ids.h"

namespace kolvane {
namespace {

std::string stepText(const char* verb, const BookingCommand* step) {
    std::string text = verb;
    if (step)
        text.append(" : ").append(step->name());
    return text;
}

} // namespace

std::string undoToolTip(const BookingHistory& history) {
    return stepText("Annuler", history.nextUndo());
}

std::string redoToolTip(const BookingHistory& history) {
    return stepText("Rétablir", history.nextRedo());
}

unsigned historyCommandForKey(const KeyPress& press, bool inEditBox) {
    if (inEditBox || !press.control || press.alt)
        return 0;
    if (press.key == 'Z')
        return press.shift ? CMD_REDO : CMD_UNDO;
    if (press.key == 'Y' && !press.shift)
        return CMD_REDO;
    return 0;
}

} // namespace kolvane
