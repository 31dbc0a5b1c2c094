#include "win/list_view.h"

#include "document/text.h"
#include "win/gdi_handles.h"

#include <algorithm>

namespace kolvane::win {
namespace {

// A cell's text runs from its left edge + 6 to its right edge - 4.
constexpr int kCellPaddingLeft = 6;
constexpr int kCellPaddingRight = 4;

COLORREF chosen(std::uint32_t colour, COLORREF listColour) {
    return colour == kListColour ? listColour : static_cast<COLORREF>(colour);
}

UINT drawAlignment(ListAlign align) {
    switch (align) {
    case ListAlign::Centre:
        return DT_CENTER;
    case ListAlign::Right:
        return DT_RIGHT;
    default:
        return DT_LEFT;
    }
}

int headerFormat(ListAlign align) {
    switch (align) {
    case ListAlign::Centre:
        return LVCFMT_CENTER;
    case ListAlign::Right:
        return LVCFMT_RIGHT;
    default:
        return LVCFMT_LEFT;
    }
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
    if (look_.background != CLR_DEFAULT)
        ListView_SetBkColor(list_, look_.background);
    if (look_.rowHeight > 0) {
        // A report list's rows are as tall as its small images, and one
        // pixel more for the grid line.
        const int imageHeight = std::max(1, look_.rowHeight - (look_.gridLines ? 1 : 0));
        rowHeightImages_.reset(ImageList_Create(1, imageHeight, ILC_COLOR, 1, 0));
        ListView_SetImageList(list_, rowHeightImages_.get(), LVSIL_SMALL);
    }
    RECT client{};
    GetClientRect(list_, &client);
    const std::vector<int> widths = tableWidths(client.right);
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
        column.fmt = i > 0 ? headerFormat(columns_[i].headerAlign) : LVCFMT_LEFT;
        column.cx = widths[i];
        column.pszText = const_cast<wchar_t*>(columns_[i].title);
        ListView_InsertColumn(list_, static_cast<int>(i), &column);
    }
    reload();
}

HWND ListView::create(HWND parent, int id, const RECT& area, const RowModel& model,
                      std::span<const ListColumn> columns, ListLook look) {
    HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, nullptr,
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                                    LVS_OWNERDRAWFIXED | LVS_SHOWSELALWAYS | LVS_SINGLESEL,
                                area.left, area.top, area.right - area.left, area.bottom - area.top,
                                parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                GetModuleHandleW(nullptr), nullptr);
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

void ListView::reload(bool keepPosition) {
    if (list_ == nullptr || model_ == nullptr)
        return;
    ListView_SetItemCountEx(list_, model_->rowCount(), keepPosition ? LVSICF_NOSCROLL : 0);
    InvalidateRect(list_, nullptr, TRUE);
}

void ListView::redrawAll() {
    if (list_ != nullptr)
        InvalidateRect(list_, nullptr, FALSE);
}

void ListView::setColumnWidth(int column, int width) {
    if (list_ == nullptr)
        return;
    if (width == kFillToEdge) {
        // What the other columns leave of the client area (the list's own
        // automatic width may run under the vertical scroll bar).
        RECT client{};
        GetClientRect(list_, &client);
        width = client.right;
        for (std::size_t i = 0; i < columns_.size(); ++i)
            if (static_cast<int>(i) != column)
                width -= ListView_GetColumnWidth(list_, static_cast<int>(i));
        width = std::max(width, 0);
    }
    ListView_SetColumnWidth(list_, column, width);
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
            handedOut_ = cp1252ToWide(model_->cellText(cell.iItem, cell.iSubItem));
            cell.pszText = handedOut_.data();
        }
        return 0;
    }
    return std::nullopt;
}

std::optional<ListClick> ListView::clickOf(const NMHDR& header) const {
    if (list_ == nullptr || header.hwndFrom != list_ ||
        (header.code != NM_CLICK && header.code != NM_DBLCLK))
        return std::nullopt;
    const auto& activate = reinterpret_cast<const NMITEMACTIVATE&>(header);
    return ListClick{activate.iItem, activate.iSubItem, header.code == NM_DBLCLK};
}

std::optional<int> ListView::chosenRow(const NMHDR& header) const {
    if (list_ == nullptr || header.hwndFrom != list_)
        return std::nullopt;
    if (header.code == NM_CLICK)
        return reinterpret_cast<const NMITEMACTIVATE&>(header).iItem;
    if (header.code == LVN_ITEMCHANGED) {
        // A row chosen with the arrows counts as a click on it.
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if ((change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_SELECTED) &&
            !(change.uOldState & LVIS_SELECTED) && change.iItem >= 0)
            return change.iItem;
    }
    return std::nullopt;
}

std::optional<WORD> ListView::keyOf(const NMHDR& header) const {
    if (list_ == nullptr || header.hwndFrom != list_ || header.code != LVN_KEYDOWN)
        return std::nullopt;
    return reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey;
}

std::optional<LRESULT> ListView::ownerDraw(UINT message, LPARAM lParam, int rowHeight) const {
    if (message == WM_MEASUREITEM) {
        auto& measure = *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (measure.CtlType == ODT_LISTVIEW)
            measure.itemHeight = static_cast<UINT>(rowHeight);
        return TRUE;
    }
    if (message == WM_DRAWITEM)
        return drawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
    return std::nullopt;
}

bool ListView::drawItem(const DRAWITEMSTRUCT& draw) const {
    if (list_ == nullptr || draw.hwndItem != list_ || draw.CtlType != ODT_LISTVIEW)
        return false;
    const int row = static_cast<int>(draw.itemID);
    const bool selected = (draw.itemState & ODS_SELECTED) != 0;
    if (painter_)
        painter_(draw.hDC, draw.rcItem, row, selected);
    else
        paintRow(draw.hDC, draw.rcItem, row, selected);
    if ((draw.itemState & ODS_FOCUS) && look_.showSelection)
        DrawFocusRect(draw.hDC, &draw.rcItem);
    return true;
}

HFONT ListView::boldFont(HFONT font) const {
    if (font == nullptr)
        return nullptr;
    if (boldOf_ != font || !bold_) {
        LOGFONTW description{};
        if (GetObjectW(font, sizeof description, &description) != sizeof description)
            return font;
        description.lfWeight = FW_BOLD;
        bold_.reset(CreateFontIndirectW(&description));
        boldOf_ = font;
    }
    return bold_ ? bold_.get() : font;
}

void ListView::paintRow(HDC dc, const RECT& rect, int row, bool selected) const {
    if (model_ == nullptr)
        return;
    const RowLook look = model_->rowLook(row);
    selected = selected && look_.showSelection;
    SavedDC saved(dc);
    HFONT font = list_ ? reinterpret_cast<HFONT>(SendMessageW(list_, WM_GETFONT, 0, 0))
                       : static_cast<HFONT>(GetCurrentObject(dc, OBJ_FONT));
    if (font != nullptr)
        SelectObject(dc, font);

    const COLORREF background = selected ? GetSysColor(COLOR_HIGHLIGHT)
                                         : chosen(look.background, GetSysColor(COLOR_WINDOW));
    SetBkColor(dc, background);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr); // fills without a brush
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc,
                 selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : chosen(look.text, look_.textColour));

    const std::vector<int> widths = columnWidths();
    int left = rect.left;
    for (std::size_t column = 0; column < columns_.size(); ++column) {
        RECT cell{left + kCellPaddingLeft, rect.top, left + widths[column] - kCellPaddingRight,
                  rect.bottom};
        left += widths[column];
        if (cell.right <= cell.left)
            continue;
        const ListColumn& spec = columns_[column];
        const bool bold = look.bold || spec.bold;
        if (HFONT cellFont = bold ? (look_.boldFont ? look_.boldFont : boldFont(font)) : font)
            SelectObject(dc, cellFont);
        const std::wstring text = cp1252ToWide(model_->cellText(row, static_cast<int>(column)));
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &cell,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS |
                      drawAlignment(spec.align));
    }
}

} // namespace kolvane::win
