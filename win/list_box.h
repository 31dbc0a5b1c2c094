// A plain list box of wide texts, as the welcome dialog shows its recent
// files. The object only names the control; the dialog owns the window.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kolvane::win {

class ListBox {
  public:
    explicit ListBox(HWND box = nullptr) : box_(box) {}
    HWND handle() const { return box_; }

    // The rows, in this order; a horizontal scroll bar when the widest is
    // wider than the box.
    void fill(const std::vector<std::wstring>& rows);
    int selectedIndex() const; // -1: none
    void select(int index);    // -1 clears the selection

  private:
    HWND box_;
};

} // namespace kolvane::win
