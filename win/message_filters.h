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

#include <functional>

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

// The keys a modal dialog's own loop keeps for itself (it takes Ctrl+Tab for
// Tab): while watching, `onKeyDown` sees first every key pressed in `dialog`
// or one of its controls, and returns true when it used the key. One watch
// per thread at a time; it ends with stop() or with the object.
class DialogKeyWatch {
  public:
    using KeyHandler = std::function<bool(WPARAM key)>;
    DialogKeyWatch() = default;
    DialogKeyWatch(const DialogKeyWatch&) = delete;
    DialogKeyWatch& operator=(const DialogKeyWatch&) = delete;
    ~DialogKeyWatch() { stop(); }

    void start(HWND dialog, KeyHandler onKeyDown);
    void stop();

  private:
    static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam);
    HWND dialog_ = nullptr;
    KeyHandler onKeyDown_;
    HHOOK hook_ = nullptr;
};

// True while `key` is held down.
inline bool keyDown(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

} // namespace kolvane::win
