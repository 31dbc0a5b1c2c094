// A drop-down list as the dialogs use it: rows of Windows-1252 text, each
// with its item data (a record, or the id the core gives in a ChoiceList).
// The object only names the control; the dialog owns the window.
//
//     win::ComboBox modes(item(IDC_MODE));
//     modes.fill(fillModes(*document, debit));      // rows and selection from the core
//     auto id = modes.selectedData();
//     win::ComboBox banks(item(IDC_ACCOUNT_BANK));
//     banks.add(fieldText(bank->name), reinterpret_cast<LPARAM>(bank));
//     banks.selectData(reinterpret_cast<LPARAM>(bank));
#pragma once

#include "document/choice_lists.h"

#include <windows.h>

#include <string_view>

namespace kolvane::win {

class ComboBox {
  public:
    explicit ComboBox(HWND box = nullptr) : box_(box) {}
    HWND handle() const { return box_; }

    void clear();
    // Appends a row (or puts it in its place in a sorted list); its index, or -1.
    int add(std::string_view text1252, LPARAM data = 0);
    // Puts a row at `index` (-1: the end), however the list is sorted; its
    // index, or -1.
    int insert(int index, std::string_view text1252, LPARAM data = 0);
    // The core's rows, their item data and its selection.
    void fill(const ChoiceList& list);

    int count() const;
    int selectedIndex() const; // -1: none
    void select(int index);    // -1 clears the selection
    LPARAM data(int index) const; // 0 out of range
    LPARAM selectedData() const { return data(selectedIndex()); }
    template <class Record> Record* record(int index) const {
        return reinterpret_cast<Record*>(data(index));
    }
    // The first row carrying `data`, or -1.
    int find(LPARAM data) const;
    // Selects the first row carrying `data`; false when none does.
    bool selectData(LPARAM data);
    void limitText(int characters);
    // Opens the drop-down list (a refused choice is chosen again from it).
    void showDropDown();
    // The drop-down list's width in pixels, when it is wider than the box.
    void setDroppedWidth(int pixels);

  private:
    HWND box_;
};

} // namespace kolvane::win
