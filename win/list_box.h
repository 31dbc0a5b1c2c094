// A plain list box: the welcome dialog's recent files (wide texts), the
// completion list's proposals (Windows-1252). The object only names the
// control; its owner keeps the window.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace kolvane::win {

class ListBox {
  public:
    explicit ListBox(HWND box = nullptr) : box_(box) {}
    HWND handle() const { return box_; }

    // The rows, in this order; a horizontal scroll bar when the widest is
    // wider than the box.
    void fill(const std::vector<std::wstring>& rows);
    void clear();
    int add(std::string_view text1252); // its index, or -1
    int count() const;
    std::string text(int index) const; // Windows-1252, empty out of range
    int selectedIndex() const;         // -1: none
    // Moves the selection without notifying the owner; -1 clears it.
    void select(int index);
    int itemHeight() const;

  private:
    HWND box_;
};

} // namespace kolvane::win
