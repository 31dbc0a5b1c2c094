// The one way a C++ object is tied to its window or dialog.
//
// A window object derives from WindowObject<Self> and a dialog object from
// DialogObject<Self>; both give it `window` as its first field. The object is
// handed to the window as its creation parameter (CreateWindowEx's lpParam,
// DialogBoxParam's lParam) and kept in the window's user data
// (GWLP_USERDATA, DWLP_USER). Each message then goes to the handler Self
// declares for it (public members, found at compile time):
//
//     onInit()                       WM_INITDIALOG (dialogs); void, or bool:
//                                    false when it set the focus itself
//     onCommand(int id, int code)    WM_COMMAND (for a dialog: but IDOK and
//                                    IDCANCEL when Self has onOk / onCancel)
//     onOk(), onCancel()             "OK" (Enter), "Annuler" (Escape, the close box)
//     onNotify(const NMHDR&)         WM_NOTIFY; returns std::optional<LRESULT>:
//                                    the answer, or nothing when not handled
//     onDrawItem(const DRAWITEMSTRUCT&)  WM_DRAWITEM; returns bool (handled)
//     onDestroy()                    WM_DESTROY
//
// and every other message, or one whose handler Self lacks, to
//
//     LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);  // windows
//     INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam);  // dialogs
//
// when Self has it; otherwise to DefWindowProc (windows) or unhandled
// (dialogs). Messages that arrive before the object is attached go there too.
// No exception leaves a window procedure. When the window is destroyed the
// object stays, detached, and may be attached to a new window later.
//
//     struct AboutDialog : DialogObject<AboutDialog> {
//         void onOk() { endDialog(1); }
//         void onCancel() { endDialog(0); }
//     };
//     AboutDialog about;
//     int result = about.runModal(owner, IDD_ABOUT);
#pragma once

#include <windows.h>

#include <concepts>
#include <optional>
#include <type_traits>

namespace kolvane::win {

namespace detail {

// The handlers both kinds of object share: WM_COMMAND, WM_NOTIFY,
// WM_DRAWITEM and WM_DESTROY. True when Self has the one for `message`;
// `result` then holds its answer (for WM_NOTIFY, the notification's).
template <class Self>
bool crackShared(Self& self, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_COMMAND:
        if constexpr (requires(int id, int code) { self.onCommand(id, code); }) {
            self.onCommand(LOWORD(wParam), HIWORD(wParam));
            result = 0;
            return true;
        }
        return false;
    case WM_NOTIFY:
        if constexpr (requires(const NMHDR& header) {
                          { self.onNotify(header) } -> std::same_as<std::optional<LRESULT>>;
                      }) {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header == nullptr)
                return false;
            const std::optional<LRESULT> answer = self.onNotify(*header);
            if (!answer)
                return false;
            result = *answer;
            return true;
        }
        return false;
    case WM_DRAWITEM:
        if constexpr (requires(const DRAWITEMSTRUCT& draw) {
                          { self.onDrawItem(draw) } -> std::same_as<bool>;
                      }) {
            const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (draw == nullptr || !self.onDrawItem(*draw))
                return false;
            result = TRUE;
            return true;
        }
        return false;
    case WM_DESTROY:
        if constexpr (requires { self.onDestroy(); }) {
            self.onDestroy();
            result = 0;
            return true;
        }
        return false;
    default:
        return false;
    }
}

} // namespace detail

// The module that holds the resources (the program itself).
inline HINSTANCE resourceInstance() {
    return GetModuleHandleW(nullptr);
}

// Name of the window property where a dialog made by DialogObject keeps its
// template number, so that tests can tell which dialog is shown.
inline constexpr const wchar_t* kTemplateIdProperty = L"KolvaneTemplateId";

template <class Self> struct WindowObject {
    HWND window = nullptr;

    // The window procedure to register with the class of Self.
    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        Self* self = reinterpret_cast<Self*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self == nullptr && message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            if constexpr (requires(HWND h, const CREATESTRUCTW& c) {
                              Self::objectForNewWindow(h, c);
                          }) {
                // A class that makes its own object (controls placed by
                // dialog templates get no creation parameter) never takes a
                // caller's pointer for it: it will delete that object itself.
                self = Self::objectForNewWindow(hwnd, *create);
            } else {
                self = static_cast<Self*>(create->lpCreateParams);
            }
            if (self != nullptr) {
                SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
                self->window = hwnd;
            }
        }
        if (self == nullptr)
            return DefWindowProcW(hwnd, message, wParam, lParam);

        LRESULT result = 0;
        try {
            result = self->dispatch(message, wParam, lParam);
        } catch (...) {
            // A failed creation is refused; anything else gets the default.
            if (message == WM_NCCREATE)
                result = FALSE;
            else if (message == WM_CREATE)
                result = -1;
            else
                result = DefWindowProcW(hwnd, message, wParam, lParam);
        }
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->window = nullptr;
            if constexpr (requires(Self & s) { s.windowDestroyed(); })
                self->windowDestroyed(); // last word, e.g. an object that owns itself
        }
        return result;
    }

    // Creates the window with this object attached. The class must have been
    // registered with `procedure`.
    HWND create(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x,
                int y, int width, int height, HWND parent, HMENU menuOrId) {
        return CreateWindowExW(exStyle, className, title, style, x, y, width, height, parent,
                               menuOrId, resourceInstance(), static_cast<Self*>(this));
    }

    LRESULT defaultProcedure(UINT message, WPARAM wParam, LPARAM lParam) {
        return DefWindowProcW(window, message, wParam, lParam);
    }

  private:
    LRESULT dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
        Self& self = static_cast<Self&>(*this);
        if (LRESULT result = 0; detail::crackShared(self, message, wParam, lParam, result))
            return result;
        if constexpr (requires(UINT m, WPARAM w, LPARAM l) { self.handleMessage(m, w, l); })
            return self.handleMessage(message, wParam, lParam);
        else
            return defaultProcedure(message, wParam, lParam);
    }
};

// Puts a dialog in the middle of its owner, inside the owner's screen.
inline void centreOnOwner(HWND dialog) {
    HWND owner = GetWindow(dialog, GW_OWNER);
    RECT box{}, frame{};
    if (!owner || !GetWindowRect(dialog, &box) || !GetWindowRect(owner, &frame))
        return;
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    int x = frame.left + (frame.right - frame.left - width) / 2;
    int y = frame.top + (frame.bottom - frame.top - height) / 2;
    MONITORINFO screen{};
    screen.cbSize = sizeof screen;
    if (GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &screen)) {
        const RECT& work = screen.rcWork;
        x = x + width > work.right ? work.right - width : x;
        y = y + height > work.bottom ? work.bottom - height : y;
        x = x < work.left ? work.left : x;
        y = y < work.top ? work.top : y;
    }
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

template <class Self> struct DialogObject {
    HWND window = nullptr;

    static INT_PTR CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        Self* self = reinterpret_cast<Self*>(GetWindowLongPtrW(hwnd, DWLP_USER));
        if (self == nullptr && message == WM_INITDIALOG && lParam != 0) {
            self = reinterpret_cast<Self*>(lParam);
            SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
            self->window = hwnd;
            if (self->dialogTemplate != 0)
                SetPropW(hwnd, kTemplateIdProperty,
                         reinterpret_cast<HANDLE>(static_cast<INT_PTR>(self->dialogTemplate)));
        }
        if (self == nullptr)
            return FALSE;

        INT_PTR result = FALSE;
        try {
            // A modal dialog opens over the window it belongs to, not in the
            // middle of the screen.
            if (message == WM_INITDIALOG && self->isModal)
                centreOnOwner(hwnd);
            result = self->dispatch(message, wParam, lParam);
        } catch (...) {
            // A dialog that cannot open ends at once, as a failed DialogBox would.
            if (message == WM_INITDIALOG && self->isModal)
                EndDialog(hwnd, -1);
            result = FALSE;
        }
        if (message == WM_NCDESTROY) {
            RemovePropW(hwnd, kTemplateIdProperty);
            SetWindowLongPtrW(hwnd, DWLP_USER, 0);
            self->window = nullptr;
        }
        return result;
    }

    // Shows dialog `templateId` modally over `owner` and returns the value
    // given to endDialog, or -1 when the dialog could not be made.
    int runModal(HWND owner, int templateId) {
        dialogTemplate = templateId;
        isModal = true;
        INT_PTR result = DialogBoxParamW(resourceInstance(), MAKEINTRESOURCEW(templateId), owner,
                                         procedure, reinterpret_cast<LPARAM>(this));
        isModal = false;
        return static_cast<int>(result);
    }

    // Creates dialog `templateId` as a modeless window, for example a page
    // inside a tab control. Returns the window, or null.
    HWND createModeless(HWND parent, int templateId) {
        dialogTemplate = templateId;
        isModal = false;
        return CreateDialogParamW(resourceInstance(), MAKEINTRESOURCEW(templateId), parent,
                                  procedure, reinterpret_cast<LPARAM>(this));
    }

    void endDialog(int result) { EndDialog(window, result); }

    // The value a dialog procedure gives back for messages whose result is
    // not a plain TRUE or FALSE (WM_NOTIFY answers, WM_CTLCOLOR...).
    INT_PTR setMessageResult(LONG_PTR value) {
        SetWindowLongPtrW(window, DWLP_MSGRESULT, value);
        return TRUE;
    }

    HWND item(int id) const { return GetDlgItem(window, id); }

    int dialogTemplate = 0; // the template being shown
    bool isModal = false;

  private:
    INT_PTR dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
        Self& self = static_cast<Self&>(*this);
        constexpr bool hasOwnProcedure =
            requires(UINT m, WPARAM w, LPARAM l) { self.handleMessage(m, w, l); };
        switch (message) {
        case WM_INITDIALOG:
            if constexpr (requires { self.onInit(); }) {
                if constexpr (std::is_void_v<decltype(self.onInit())>) {
                    self.onInit();
                    return TRUE;
                } else {
                    return self.onInit() ? TRUE : FALSE;
                }
            }
            break;
        case WM_COMMAND:
            if constexpr (requires { self.onOk(); })
                if (LOWORD(wParam) == IDOK)
                    return self.onOk(), TRUE;
            if constexpr (requires { self.onCancel(); })
                if (LOWORD(wParam) == IDCANCEL)
                    return self.onCancel(), TRUE;
            break;
        }
        if (LRESULT result = 0; detail::crackShared(self, message, wParam, lParam, result)) {
            if (message == WM_NOTIFY)
                return setMessageResult(result);
            return message == WM_COMMAND ? TRUE : static_cast<INT_PTR>(result);
        }
        if constexpr (hasOwnProcedure)
            return self.handleMessage(message, wParam, lParam);
        else
            return FALSE;
    }
};

} // namespace kolvane::win
