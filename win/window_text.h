// Text in and out of windows and resources. The records hold Windows-1252
// and the sources UTF-8; the windows speak UTF-16. Every conversion for the
// user interface goes through these few functions (and document/text.h).
#pragma once

#include "document/text.h"
#include "document/app_title.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace kolvane::win {

inline std::wstring windowText(HWND window) {
    int length = GetWindowTextLengthW(window);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}
inline std::string windowTextUtf8(HWND window) {
    return wideToUtf8(windowText(window));
}
inline std::string windowText1252(HWND window) {
    return wideToCp1252(windowText(window));
}

inline bool setWindowText(HWND window, std::wstring_view text) {
    return SetWindowTextW(window, std::wstring(text).c_str()) != FALSE;
}
inline bool setWindowTextUtf8(HWND window, std::string_view utf8) {
    return setWindowText(window, utf8ToWide(utf8));
}
inline bool setWindowText1252(HWND window, std::string_view text) {
    return setWindowText(window, cp1252ToWide(text));
}

// The same for a control of a dialog.
inline std::wstring itemText(HWND dialog, int id) {
    return windowText(GetDlgItem(dialog, id));
}
inline std::string itemText1252(HWND dialog, int id) {
    return windowText1252(GetDlgItem(dialog, id));
}
inline bool setItemText(HWND dialog, int id, std::wstring_view text) {
    return setWindowText(GetDlgItem(dialog, id), text);
}
inline bool setItemText1252(HWND dialog, int id, std::string_view text) {
    return setWindowText1252(GetDlgItem(dialog, id), text);
}

// A string of the string table; empty when there is none.
inline std::wstring loadString(UINT id) {
    const wchar_t* text = nullptr;
    // With a zero length LoadStringW hands out the resource text itself,
    // which is not terminated.
    int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr)
        return {};
    return std::wstring(text, static_cast<std::size_t>(length));
}
inline std::string loadString1252(UINT id) {
    return wideToCp1252(loadString(id));
}

// The program's message box: titled with the program's name, information
// icon unless the caller asks for another. Returns the button pressed.
inline int showMessage(HWND owner, std::wstring_view text,
                       UINT flags = MB_OK | MB_ICONINFORMATION) {
    return MessageBoxW(owner, std::wstring(text).c_str(), kAppTitleWide, flags);
}
inline int showStringMessage(HWND owner, UINT stringId, UINT flags = MB_OK | MB_ICONINFORMATION) {
    return showMessage(owner, loadString(stringId), flags);
}

// A refused entry: the message, then the focus on the control concerned; the
// dialog stays open.
inline void refuseEntry(HWND dialog, std::string_view messageUtf8, int focusId) {
    showMessage(dialog, utf8ToWide(messageUtf8));
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, focusId)),
                 TRUE);
}

} // namespace kolvane::win
