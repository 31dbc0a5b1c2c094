#include "win/list_box.h"

#include "document/text.h"

#include <algorithm>

namespace kolvane::win {

void ListBox::fill(const std::vector<std::wstring>& rows) {
    clear();
    HDC dc = GetDC(box_);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(box_, WM_GETFONT, 0, 0)));
    int widest = 0;
    for (const std::wstring& row : rows) {
        SendMessageW(box_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
        SIZE size{};
        GetTextExtentPoint32W(dc, row.c_str(), static_cast<int>(row.size()), &size);
        widest = std::max(widest, static_cast<int>(size.cx));
    }
    SelectObject(dc, previous);
    ReleaseDC(box_, dc);
    // Long rows scroll sideways rather than being cut.
    SendMessageW(box_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
}

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
