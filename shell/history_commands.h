// What the frame shows of the document's history: the tool-tips of the undo
// and redo buttons, and which keys undo and redo.
#pragma once

#include "operations/booking.h"

#include <string>

namespace kolvane {

// "Annuler : suppression d'une opération", or "Annuler" when there is
// nothing to undo; "Rétablir : ..." likewise (UTF-8).
std::string undoToolTip(const BookingHistory& history);
std::string redoToolTip(const BookingHistory& history);

// The keys of undo and redo: Ctrl+Z undoes, Ctrl+Y and Ctrl+Shift+Z redo,
// except in an edit box, where they keep their text meaning. Returns the
// command (1080 or 1081), or 0 for any other key.
struct KeyPress {
    unsigned key; // virtual-key code; letters are their capitals
    bool control;
    bool shift;
    bool alt;
};
unsigned historyCommandForKey(const KeyPress& press, bool inEditBox);

} // namespace kolvane
