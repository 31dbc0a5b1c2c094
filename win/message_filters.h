// Windows that must see every message of the thread before it is dispatched
// register a filter here; the message loop forwards each message to them.
// The drop-down completion lists use it to close on a click elsewhere.
#pragma once

#include <windows.h>

namespace kolvane::win {

using MessageFilter = void (*)(const MSG& message);

void addMessageFilter(MessageFilter filter);
void removeMessageFilter(MessageFilter filter);
void forwardToMessageFilters(const MSG& message);

} // namespace kolvane::win
