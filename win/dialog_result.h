// What a modal dialog's run function gives back: how the dialog ended, as an
// enum of its own or the common DialogEnd, and what it produced (its Out).
// "Cancelled" and "could not be shown" are different ends: DialogBox gives
// -1 for the second, and no dialog ends with -1 itself.
#pragma once

namespace kolvane::win {

enum class DialogEnd { Confirmed, Cancelled, NotShown };

// Nothing produced but the changes made to what the dialog was given.
struct NoOut {};

template <class End, class Out = NoOut> struct DialogResult {
    End end{};
    Out out{};
};

// A dialog whose only way out is "Fermer" (an editor of a list): closed, or
// not shown; its Out tells whether it changed the document.
enum class EditorEnd { Closed, NotShown };
struct EditorOut {
    bool changed = false;
};
using EditorResult = DialogResult<EditorEnd, EditorOut>;

inline EditorResult editorResult(int modalResult) {
    if (modalResult < 0)
        return {EditorEnd::NotShown, {}};
    return {EditorEnd::Closed, {modalResult == 1}};
}

// The end of a dialog whose endDialog gave 1 when confirmed and 0 when
// cancelled, from runModal's result.
inline DialogEnd confirmedOrCancelled(int modalResult) {
    if (modalResult < 0)
        return DialogEnd::NotShown;
    return modalResult == 1 ? DialogEnd::Confirmed : DialogEnd::Cancelled;
}

} // namespace kolvane::win
