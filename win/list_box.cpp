#include "win/list_box.h"

#include "document/text.h"

namespace kolvane::win {

void ListBox::clear() {
    SendMessageW(box_, LB_RESETCONTENT, 0, 0);
}

int ListBox::add(std::string_view text1252) {
    const std::wstring text = cp1252ToWide(text1252);
    const LRESULT index = SendMessageW(box_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return index < 0 ? -1 : static_cast<int>(index);
}

int ListBox::count() const {
    const LRESULT rows = SendMessageW(box_, LB_GETCOUNT, 0, 0);
    return rows < 0 ? 0 : static_cast<int>(rows);
}

std::string ListBox::text(int index) const {
    if (index < 0 || index >= count())
        return {};
    const LRESULT length = SendMessageW(box_, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(box_, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return wideToCp1252(text);
}

int ListBox::selectedIndex() const {
    const LRESULT index = SendMessageW(box_, LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

void ListBox::select(int index) {
    SendMessageW(box_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int ListBox::itemHeight() const {
    const LRESULT height = SendMessageW(box_, LB_GETITEMHEIGHT, 0, 0);
    return height == LB_ERR ? 0 : static_cast<int>(height);
}

} // namespace kolvane::win
