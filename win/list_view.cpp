#include "win/list_view.h"

#include "document/text.h"
#include "win/gdi_handles.h"

#include <algorithm>

namespace kolvane::win {
namespace {

constexpr int kCellPadding = 6; // text inset from a cell's sides, as the list's own
constexpr COLORREF kShadedBackground = RGB(0xF0, 0xF5, 0xFF);
constexpr COLORREF kWarningText = RGB(0xFF, 0, 0);

COLORREF rowTextColour(unsigned flags, bool selected, COLORREF plain) {
    if (selected)
        return GetSysColor(COLOR_HIGHLIGHTTEXT);
    if (flags & kRowWarning)
        return kWarningText;
    if (flags & kRowGreyed)
        return GetSysColor(COLOR_GRAYTEXT);
    return plain;
}

COLORREF rowBackground(unsigned flags, bool selected) {
    if (selected)
        return GetSysColor(COLOR_HIGHLIGHT);
    return (flags & kRowShaded) ? kShadedBackground : GetSysColor(COLOR_WINDOW);
}

HFONT boldVersion(HFONT font) {
    LOGFONTW description{};
    if (font == nullptr ||
        GetObjectW(font, sizeof description, &description) != static_cast<int>(sizeof description))
        return nullptr;
    description.lfWeight = FW_BOLD;
    return CreateFontIndirectW(&description);
}

} // namespace

void ListView::attach(HWND list, const RowModel& model, std::span<const ListColumn> columns,
                      ListLook look) {
    list_ = list;
    model_ = &model;
    columns_.assign(columns.begin(), columns.end());
    look_ = look;
    if (list_ == nullptr)
        return;
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT |
                                                 (look_.gridLines ? LVS_EX_GRIDLINES : 0));
    ListView_SetTextColor(list_, look_.textColour);
    RECT client{};
    GetClientRect(list_, &client);
    const std::vector<int> widths = tableWidths(client.right);
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
        column.fmt = columns_[i].alignRight && i > 0 ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.cx = widths[i];
        column.pszText = const_cast<wchar_t*>(columns_[i].title);
        ListView_InsertColumn(list_, static_cast<int>(i), &column);
    }
    reload();
}

HWND ListView::create(HWND parent, int id, const RECT& area, const RowModel& model,
                      std::span<const ListColumn> columns, ListLook look) {
    HWND list = CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_LISTVIEWW, nullptr,
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_OWNERDRAWFIXED |
            LVS_SHOWSELALWAYS | LVS_SINGLESEL,
        area.left, area.top, area.right - area.left, area.bottom - area.top, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (list != nullptr)
        attach(list, model, columns, look);
    return list;
}

std::vector<int> ListView::tableWidths(int clientWidth) const {
    int fixed = 0;
    int shared = 0;
    for (const ListColumn& column : columns_) {
        fixed += column.width;
        shared += column.width == 0 ? 1 : 0;
    }
    const int share = shared > 0 ? std::max(0, clientWidth - fixed) / shared : 0;
    std::vector<int> widths;
    for (const ListColumn& column : columns_)
        widths.push_back(column.width == 0 ? share : column.width);
    return widths;
}

std::vector<int> ListView::columnWidths() const {
    if (list_ == nullptr)
        return tableWidths(0);
    std::vector<int> widths;
    for (std::size_t i = 0; i < columns_.size(); ++i)
        widths.push_back(ListView_GetColumnWidth(list_, static_cast<int>(i)));
    return widths;
}

void ListView::reload() {
    if (list_ == nullptr || model_ == nullptr)
        return;
    ListView_SetItemCountEx(list_, model_->rowCount(), 0);
    InvalidateRect(list_, nullptr, TRUE);
}

void ListView::redrawRow(int row) {
    if (list_ != nullptr)
        ListView_RedrawItems(list_, row, row);
}

int ListView::selectedRow() const {
    return list_ ? ListView_GetNextItem(list_, -1, LVNI_SELECTED) : -1;
}

void ListView::select(int row) {
    if (list_ == nullptr)
        return;
    ListView_SetItemState(list_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (row >= 0)
        ListView_SetItemState(list_, row, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
}

void ListView::ensureVisible(int row) {
    if (list_ != nullptr && row >= 0)
        ListView_EnsureVisible(list_, row, FALSE);
}

std::optional<LRESULT> ListView::notify(const NMHDR& header) {
    if (list_ == nullptr || header.hwndFrom != list_ || model_ == nullptr)
        return std::nullopt;
    if (header.code == LVN_GETDISPINFOW) {
        // The list's own text requests (accessibility, LVM_GETITEMTEXT).
        LVITEMW& cell = reinterpret_cast<NMLVDISPINFOW&>(const_cast<NMHDR&>(header)).item;
        if (cell.mask & LVIF_TEXT) {
            handedOut_ = utf8ToWide(model_->cellText(cell.iItem, cell.iSubItem));
            cell.pszText = handedOut_.data();
        }
        return 0;
    }
    return std::nullopt;
}

bool ListView::drawItem(const DRAWITEMSTRUCT& draw) const {
    if (list_ == nullptr || draw.hwndItem != list_ || draw.CtlType != ODT_LISTVIEW)
        return false;
    const int row = static_cast<int>(draw.itemID);
    paintRow(draw.hDC, draw.rcItem, row, (draw.itemState & ODS_SELECTED) != 0);
    if (draw.itemState & ODS_FOCUS)
        DrawFocusRect(draw.hDC, &draw.rcItem);
    return true;
}

void ListView::paintRow(HDC dc, const RECT& rect, int row, bool selected) const {
    if (model_ == nullptr)
        return;
    const unsigned flags = model_->rowFlags(row);
    SavedDC saved(dc);
    HFONT font = list_ ? reinterpret_cast<HFONT>(SendMessageW(list_, WM_GETFONT, 0, 0))
                       : static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT));
    GdiObject<HFONT> bold;
    if (flags & kRowEmphasis)
        bold.reset(boldVersion(font));
    if (HFONT chosen = bold ? bold.get() : font)
        SelectObject(dc, chosen);

    GdiObject<HBRUSH> background(CreateSolidBrush(rowBackground(flags, selected)));
    FillRect(dc, &rect, background.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, rowTextColour(flags, selected, look_.textColour));

    const std::vector<int> widths = columnWidths();
    int left = rect.left;
    for (std::size_t column = 0; column < columns_.size(); ++column) {
        RECT cell{left + kCellPadding, rect.top, left + widths[column] - kCellPadding,
                  rect.bottom};
        left += widths[column];
        if (cell.right <= cell.left)
            continue;
        const std::wstring text = utf8ToWide(model_->cellText(row, static_cast<int>(column)));
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &cell,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS |
                      (columns_[column].alignRight ? DT_RIGHT : DT_LEFT));
    }
}

} // namespace kolvane::win
