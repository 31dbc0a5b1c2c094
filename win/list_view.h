// An owner-data list view over a RowModel: the control holds no items, only
// their count; it asks the model for the rows it shows, and one painter draws
// every row, on the screen (owner draw) and in tests (a memory bitmap).
//
// How a view or dialog uses it:
//
//     UserRows rows{document};                       // a RowModel of the core
//     win::ListView list;
//     list.attach(item(IDC_LIST_VIEW), rows, kColumns);   // template control with
//                                                   // LVS_OWNERDATA | LVS_OWNERDRAWFIXED
//     // or: list.create(parent, id, area, rows, kColumns);
//     ...
//     // in the parent's onNotify / onDrawItem:
//     if (auto answer = list.notify(header)) return *answer;
//     if (list.drawItem(draw)) return TRUE;
//     // or, in a window procedure: if (auto answer = list.ownerDraw(message, lParam, height))
//     ...
//     list.reload();            // the row count changed
//     list.redrawRow(row);      // one row's texts changed
//     list.select(row); list.ensureVisible(row); list.selectedRow();
//
// The model must outlive the list's window.
#pragma once

#include "document/row_model.h"
#include "win/gdi_handles.h"

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace kolvane::win {

enum class ListAlign { Left, Centre, Right };

struct ListColumn {
    const wchar_t* title = L"";
    // Width in pixels; 0 shares what the fixed columns leave of the client
    // width equally between the columns of width 0.
    int width = 0;
    ListAlign align = ListAlign::Left;       // the cells'
    ListAlign headerAlign = ListAlign::Left; // the title's (the first column's is always left)
    bool bold = false;
};

struct ListLook {
    COLORREF textColour = RGB(0, 0, 0);
    bool gridLines = true;
    int rowHeight = 0;                 // pixels; 0: the font's
    COLORREF background = CLR_DEFAULT; // below the rows; CLR_DEFAULT: the window colour
    bool showSelection = true;         // false: a selected row is painted like the others
    HFONT boldFont = nullptr;          // bold cells (not owned); none: the list's font made bold
};

// A click on the list: the row (-1 below the rows) and the column hit.
struct ListClick {
    int row = -1;
    int column = -1;
    bool doubleClick = false;
};

// A width for setColumnWidth: the column runs to the list's right edge.
inline constexpr int kFillToEdge = -1;

// Draws a row in place of the column painter (rows that are pictures more
// than cells).
using RowPainter = std::function<void(HDC dc, const RECT& rect, int row, bool selected)>;

class ListView {
  public:
    ListView() = default;
    ListView(const ListView&) = delete;
    ListView& operator=(const ListView&) = delete;

    // Takes over a report list view made with LVS_OWNERDATA (and
    // LVS_OWNERDRAWFIXED for the row painter): sets its columns and its row
    // count from the model.
    void attach(HWND list, const RowModel& model, std::span<const ListColumn> columns,
                ListLook look = {});
    // Creates such a list as a child of `parent` and attaches it.
    HWND create(HWND parent, int id, const RECT& area, const RowModel& model,
                std::span<const ListColumn> columns, ListLook look = {});

    HWND handle() const { return list_; }
    const RowModel* model() const { return model_; }

    // The model's row count changed: the rows are asked again. With
    // `keepPosition` the list stays scrolled where it was.
    void reload(bool keepPosition = false);
    void redrawRow(int row);
    // Every visible row again (their texts changed, not their number).
    void redrawAll();
    void setColumnWidth(int column, int width); // kFillToEdge: up to the right edge
    void setRowPainter(RowPainter painter) { painter_ = std::move(painter); }

    int selectedRow() const; // -1: none
    void select(int row);    // -1 clears the selection
    void ensureVisible(int row);

    // The list's notifications, forwarded by its parent: the answer to give
    // back, or nothing when the notification is not this list's or needs no
    // answer (the parent goes on with it).
    std::optional<LRESULT> notify(const NMHDR& header);
    // NM_CLICK and NM_DBLCLK of this list, read from a WM_NOTIFY.
    std::optional<ListClick> clickOf(const NMHDR& header) const;
    // The row a click (-1 below the rows) or the arrows chose, read from a
    // WM_NOTIFY of this list.
    std::optional<int> chosenRow(const NMHDR& header) const;
    // The virtual key of an LVN_KEYDOWN of this list.
    std::optional<WORD> keyOf(const NMHDR& header) const;
    // WM_DRAWITEM forwarded by the parent; false when it is not this list's.
    bool drawItem(const DRAWITEMSTRUCT& draw) const;
    // A parent's WM_MEASUREITEM and WM_DRAWITEM for its owner-drawn list, in
    // one call from its window procedure: the answer, or nothing for other
    // messages. The measure comes while the list is being created, before it
    // is attached, so the row height is the caller's.
    std::optional<LRESULT> ownerDraw(UINT message, LPARAM lParam, int rowHeight) const;

    // Draws row `row` over `rect` of `dc`, in the list's font when there is a
    // window, else in the font selected in `dc`.
    void paintRow(HDC dc, const RECT& rect, int row, bool selected) const;

    // Column widths in pixels as drawn: those of the control once it exists.
    std::vector<int> columnWidths() const;

  private:
    std::vector<int> tableWidths(int clientWidth) const;
    HFONT boldFont(HFONT font) const;

    HWND list_ = nullptr;
    const RowModel* model_ = nullptr;
    std::vector<ListColumn> columns_;
    ListLook look_;
    std::wstring handedOut_;          // the text given for LVN_GETDISPINFO, kept until the next
    ImageListHandle rowHeightImages_; // sets the row height of a report list
    mutable GdiObject<HFONT> bold_;   // the list font in bold, made when first needed
    mutable HFONT boldOf_ = nullptr;
    RowPainter painter_;
};

} // namespace kolvane::win
