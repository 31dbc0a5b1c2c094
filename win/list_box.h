// A plain list box of Windows-1252 rows. The object only names the control;
// its owner keeps the window.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace kolvane::win {

class ListBox {
  public:
    explicit ListBox(HWND box = nullptr) : box_(box) {}
    HWND handle() const { return box_; }

    void clear();
    int add(std::string_view text1252); // its index, or -1
    int count() const;
    std::string text(int index) const; // empty out of range
    int selectedIndex() const;         // -1: none
    // Moves the selection without notifying the owner; -1 clears it.
    void select(int index);
    int itemHeight() const;

  private:
    HWND box_;
};

} // namespace kolvane::win
