#include "operations/balance_strip_control.h"

#include "resources/resource_ids.h"
#include "win/child_controls.h"
#include "win/gdi_handles.h"
#include "win/gui_resources.h"
#include "win/window_text.h"

namespace kolvane {
namespace {

constexpr COLORREF kCaptionColour = RGB(20, 20, 20);
constexpr COLORREF kValueColour = RGB(120, 120, 180);

HFONT fontOr(const win::GdiObject<HFONT>* font) {
    if (font != nullptr && *font)
        return font->get();
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

} // namespace

bool BalanceStrip::registerClass(HINSTANCE instance) {
    return win::registerViewClass(instance, kBalanceStripClass, procedure,
                                  static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

bool BalanceStrip::create(HWND parent, int y) {
    RECT client{};
    GetClientRect(parent, &client);
    return win::WindowObject<BalanceStrip>::create(0, kBalanceStripClass, nullptr,
                                                   WS_CHILD | WS_VISIBLE | WS_BORDER, 0, y,
                                                   client.right, height(), parent,
                                                   nullptr) != nullptr;
}

void BalanceStrip::moveTo(int x, int y, int width) {
    if (window != nullptr)
        MoveWindow(window, x, y, width, height(), TRUE);
}

void BalanceStrip::refresh(const AccountRecord* account) {
    if (window == nullptr)
        return;
    texts = balanceStripTexts(account);
    InvalidateRect(window, nullptr, TRUE);
}

void BalanceStrip::paint(HDC dc, const RECT& client) const {
    win::GuiResources* resources = win::guiResources();
    const HFONT captionFont = fontOr(resources ? &resources->shellFont : nullptr);
    const HFONT valueFont = fontOr(resources ? &resources->verdanaFont : nullptr);
    win::SavedDC saved(dc);
    SetBkMode(dc, TRANSPARENT);
    for (const StripCell& cell : balanceStripCells(client.right - client.left)) {
        std::string_view text;
        switch (cell.piece) {
        case StripPiece::AccountCaption:
            text = accountCaption;
            break;
        case StripPiece::AccountName:
            text = texts.accountName;
            break;
        case StripPiece::PointedCaption:
            text = pointedCaption;
            break;
        case StripPiece::PointedText:
            text = texts.pointedText;
            break;
        case StripPiece::BalanceCaption:
            text = balanceCaption;
            break;
        case StripPiece::BalanceText:
            text = texts.balanceText;
            break;
        }
        const std::wstring drawn = cp1252ToWide(stripPieceText(cell.piece, text));
        SelectObject(dc, cell.caption ? captionFont : valueFont);
        SetTextColor(dc, cell.caption ? kCaptionColour : kValueColour);
        RECT box{client.left + cell.left, client.top, client.left + cell.right, client.bottom};
        DrawTextW(dc, drawn.c_str(), static_cast<int>(drawn.size()), &box,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS |
                      (cell.caption ? DT_RIGHT : DT_LEFT));
    }
}

LRESULT BalanceStrip::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        accountCaption = win::loadString1252(IDS_ACCOUNT);
        pointedCaption = win::loadString1252(IDS_POINTED_BALANCE);
        balanceCaption = win::loadString1252(IDS_CURRENT_BALANCE);
        return 0;
    case WM_PAINT: {
        win::PaintDC painting(window);
        RECT client{};
        GetClientRect(window, &client);
        paint(painting.get(), client);
        return 0;
    }
    default:
        return defaultProcedure(message, wParam, lParam);
    }
}

} // namespace kolvane
