// Windows that must see every message of the thread before it is dispatched
// register a filter here; the message loop forwards each message to them.
// The drop-down completion lists use it to close on a click elsewhere.
//
// Windows that are not dialogs but hold controls that the keyboard moves
// between (Tab and Shift+Tab, Enter for the default button, Escape) register
// for keyboard navigation: the message loop lets the system's dialog
// navigation handle the keys meant for them.
#pragma once

#include <windows.h>

namespace kolvane::win {

using MessageFilter = void (*)(const MSG& message);

void addMessageFilter(MessageFilter filter);
void removeMessageFilter(MessageFilter filter);
void forwardToMessageFilters(const MSG& message);

void addKeyboardNavigation(HWND container);
void removeKeyboardNavigation(HWND container);
// True when the message was a key for a registered container's controls and
// has been handled (translated and dispatched, or acted on): the loop must
// not dispatch it again.
bool navigateKeyboard(MSG& message);

} // namespace kolvane::win
