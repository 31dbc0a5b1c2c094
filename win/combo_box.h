// A drop-down list of fixed choices: fills it, selects, reads the selection.
// It does not own the control.
#pragma once

#include <windows.h>

#include <span>

namespace kolvane::win {

class ComboBox {
  public:
    explicit ComboBox(HWND combo) : combo_(combo) {}

    // Replaces the choices and selects `selected` (-1: none).
    void fill(std::span<const wchar_t* const> texts, int selected = 0) const {
        SendMessageW(combo_, CB_RESETCONTENT, 0, 0);
        for (const wchar_t* text : texts)
            SendMessageW(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        select(selected);
    }
    void select(int index) const { SendMessageW(combo_, CB_SETCURSEL, index, 0); }
    // The selected choice, -1 when none.
    int selected() const { return static_cast<int>(SendMessageW(combo_, CB_GETCURSEL, 0, 0)); }

  private:
    HWND combo_;
};

} // namespace kolvane::win
