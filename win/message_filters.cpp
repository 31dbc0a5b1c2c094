#include "win/message_filters.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace kolvane::win {
namespace {

std::vector<MessageFilter>& filters() {
    static std::vector<MessageFilter> registered;
    return registered;
}

std::vector<HWND>& navigated() {
    static std::vector<HWND> registered;
    return registered;
}

// The watch whose hook runs on this thread.
thread_local DialogKeyWatch* activeWatch = nullptr;

bool isKeyMessage(UINT message) {
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR;
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

void addKeyboardNavigation(HWND container) {
    auto& all = navigated();
    if (container && std::find(all.begin(), all.end(), container) == all.end())
        all.push_back(container);
}

void removeKeyboardNavigation(HWND container) {
    auto& all = navigated();
    all.erase(std::remove(all.begin(), all.end(), container), all.end());
}

bool navigateKeyboard(MSG& message) {
    if (!isKeyMessage(message.message) || message.hwnd == nullptr)
        return false;
    for (HWND container : navigated())
        if (IsChild(container, message.hwnd))
            return IsDialogMessageW(container, &message) != FALSE;
    return false;
}

void DialogKeyWatch::start(HWND dialog, KeyHandler onKeyDown) {
    stop();
    dialog_ = dialog;
    onKeyDown_ = std::move(onKeyDown);
    hook_ = SetWindowsHookExW(WH_MSGFILTER, hook, nullptr, GetCurrentThreadId());
    if (hook_)
        activeWatch = this;
}

void DialogKeyWatch::stop() {
    if (hook_)
        UnhookWindowsHookEx(hook_);
    hook_ = nullptr;
    if (activeWatch == this)
        activeWatch = nullptr;
}

LRESULT CALLBACK DialogKeyWatch::hook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    DialogKeyWatch* watch = activeWatch;
    if (code == MSGF_DIALOGBOX && watch && IsWindow(watch->dialog_) && message &&
        message->message == WM_KEYDOWN &&
        (message->hwnd == watch->dialog_ || IsChild(watch->dialog_, message->hwnd)) &&
        watch->onKeyDown_ && watch->onKeyDown_(message->wParam))
        return TRUE;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace kolvane::win
