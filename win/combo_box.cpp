#include "win/combo_box.h"

#include "document/text.h"

namespace kolvane::win {

void ComboBox::clear() {
    SendMessageW(box_, CB_RESETCONTENT, 0, 0);
}

int ComboBox::add(std::string_view text1252, LPARAM data) {
    const std::wstring text = cp1252ToWide(text1252);
    const LRESULT index = SendMessageW(box_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (index < 0)
        return -1;
    SendMessageW(box_, CB_SETITEMDATA, static_cast<WPARAM>(index), data);
    return static_cast<int>(index);
}

int ComboBox::insert(int at, std::string_view text1252, LPARAM data) {
    const std::wstring text = cp1252ToWide(text1252);
    const LRESULT index = SendMessageW(box_, CB_INSERTSTRING, static_cast<WPARAM>(at),
                                       reinterpret_cast<LPARAM>(text.c_str()));
    if (index < 0)
        return -1;
    SendMessageW(box_, CB_SETITEMDATA, static_cast<WPARAM>(index), data);
    return static_cast<int>(index);
}

void ComboBox::fill(const ChoiceList& list) {
    clear();
    for (const ChoiceRow& row : list.rows)
        add(row.text, static_cast<LPARAM>(row.itemData));
    select(list.selected);
}

int ComboBox::count() const {
    const LRESULT rows = SendMessageW(box_, CB_GETCOUNT, 0, 0);
    return rows < 0 ? 0 : static_cast<int>(rows);
}

int ComboBox::selectedIndex() const {
    const LRESULT index = SendMessageW(box_, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
}

void ComboBox::select(int index) {
    SendMessageW(box_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

LPARAM ComboBox::data(int index) const {
    if (index < 0 || index >= count())
        return 0;
    const LRESULT data = SendMessageW(box_, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    return data == CB_ERR ? 0 : data;
}

int ComboBox::find(LPARAM wanted) const {
    const int rows = count();
    for (int i = 0; i < rows; ++i)
        if (data(i) == wanted)
            return i;
    return -1;
}

bool ComboBox::selectData(LPARAM wanted) {
    const int index = find(wanted);
    if (index < 0)
        return false;
    select(index);
    return true;
}

void ComboBox::limitText(int characters) {
    SendMessageW(box_, CB_LIMITTEXT, static_cast<WPARAM>(characters), 0);
}

void ComboBox::showDropDown() {
    SendMessageW(box_, CB_SHOWDROPDOWN, TRUE, 0);
}

void ComboBox::setDroppedWidth(int pixels) {
    SendMessageW(box_, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(pixels), 0);
}

} // namespace kolvane::win
