#include "win/list_box.h"

#include <algorithm>

namespace kolvane::win {

void ListBox::fill(const std::vector<std::wstring>& rows) {
    SendMessageW(box_, LB_RESETCONTENT, 0, 0);
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

int ListBox::selectedIndex() const {
    const LRESULT index = SendMessageW(box_, LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

void ListBox::select(int index) {
    SendMessageW(box_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

} // namespace kolvane::win
