// The one way a C++ object takes over some messages of a control made by
// another window class (an edit box that only takes amounts, for example).
//
// The object derives from SubclassObject<Self>, names the window property
// that finds it again (`static constexpr const wchar_t* kProperty`), keeps its
// state in its own fields and answers
//
//     LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
//
// calling passOn() for whatever the control should do as usual. It is tied
// to the control with SetWindowSubclass (the system keeps the chain of
// procedures, so nothing is stored process-wide). No exception leaves the
// procedure: a failure gives the message to the control unchanged, or, for
// the messages listed by `dropOnFailure`, drops it. When the control is
// destroyed the object is detached and, if it has one, its
// `controlDestroyed()` is called last (an object that owns itself deletes
// itself there).
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace kolvane::win {

template <class Self> struct SubclassObject {
    HWND window = nullptr;

    // Ties this object to `control`; false when the control is gone or
    // already has an object of this kind.
    bool attach(HWND control) {
        if (!IsWindow(control) || of(control) != nullptr)
            return false;
        if (!SetPropW(control, Self::kProperty, static_cast<Self*>(this)))
            return false;
        if (!SetWindowSubclass(control, procedure, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
            RemovePropW(control, Self::kProperty);
            return false;
        }
        window = control;
        return true;
    }

    // Unties the object from its control (an object that dies before its
    // control must call it).
    void detach() {
        if (window == nullptr)
            return;
        RemoveWindowSubclass(window, procedure, kSubclassId);
        RemovePropW(window, Self::kProperty);
        window = nullptr;
    }

    // The object of this kind tied to `control`, or null.
    static Self* of(HWND control) {
        return IsWindow(control) ? static_cast<Self*>(GetPropW(control, Self::kProperty)) : nullptr;
    }

    LRESULT passOn(UINT message, WPARAM wParam, LPARAM lParam) {
        return DefSubclassProc(window, message, wParam, lParam);
    }

  private:
    static constexpr UINT_PTR kSubclassId = 1;

    static LRESULT CALLBACK procedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR data) {
        Self* self = reinterpret_cast<Self*>(data);
        LRESULT result = 0;
        try {
            result = self->handleMessage(message, wParam, lParam);
        } catch (...) {
            result = Self::dropOnFailure(message) ? 0
                                                   : DefSubclassProc(control, message, wParam, lParam);
        }
        if (message == WM_NCDESTROY) {
            RemoveWindowSubclass(control, procedure, kSubclassId);
            RemovePropW(control, Self::kProperty);
            self->window = nullptr;
            if constexpr (requires(Self & s) { s.controlDestroyed(); })
                self->controlDestroyed();
        }
        return result;
    }
};

} // namespace kolvane::win
