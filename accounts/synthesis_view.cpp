#include "accounts/synthesis_view.h"

#include "accounts/link_control.h"
#include "resources/resource_ids.h"
#include "win/child_controls.h"
#include "win/gdi_handles.h"
#include "win/gui_resources.h"
#include "win/window_text.h"

#include <algorithm>

namespace kolvane {
namespace {

constexpr int kPageWidth = 800;
constexpr int kPageHeight = 400;
constexpr int kPanelWidth = 280;
constexpr int kLogoColumnWidth = 116;
constexpr int kTextColumnWidth = 200;
constexpr COLORREF kListBackground = RGB(255, 250, 240);
constexpr COLORREF kLabelColour = RGB(0, 0, 127);
constexpr COLORREF kValueColour = RGB(120, 120, 192);

constexpr UINT kLinkTexts[kSynthesisLinkCount] = {IDS_LINK_OPEN_OPERATIONS,
                                                  IDS_LINK_ACCOUNT_SETTINGS, IDS_LINK_ACCOUNT_WEB,
                                                  IDS_LINK_PRINT_RIB};

void drawText(HDC dc, const std::wstring& text, const SynthesisText& box, int top, int bottom) {
    RECT rect{box.left, top, box.right, bottom};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS |
                  (box.rightAligned ? DT_RIGHT : DT_LEFT));
}


} // namespace

SynthesisView::~SynthesisView() {
    if (window != nullptr)
        DestroyWindow(window);
}

bool SynthesisView::registerClass(HINSTANCE instance) {
    return win::registerViewClass(instance, win::kSynthesisViewClass, procedure);
}

HWND SynthesisView::createWindow(HWND tabControl, const RECT& area, bool visible) {
    return win::createTabViewWindow(*this, win::kSynthesisViewClass, tabControl, area, visible);
}

void SynthesisView::refill() {
    selectedRow_ = -1;
    enableLinks(false);
    rows_.refill(*document_);
    std::vector<LogoId> shown;
    for (const SynthesisRow& row : rows_.rows())
        shown.push_back(row.account->logo);
    logos_.keep(document_->logos, shown);
    list_.reload();
}

// --- The window ---------------------------------------------------------------------

LRESULT SynthesisView::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (auto answer = handleScrolling(message, wParam, lParam))
        return *answer;
    if (auto answer = list_.ownerDraw(message, lParam, kSynthesisRowHeight))
        return *answer;
    switch (message) {
    case WM_CREATE:
        onCreate();
        return 0;
    case WM_SIZE:
        layout();
        return 0;
    case WM_NOTIFY: {
        const NMHDR& header = *reinterpret_cast<const NMHDR*>(lParam);
        if (auto answer = list_.notify(header))
            return *answer;
        if (auto click = list_.clickOf(header))
            onClick(click->row, click->doubleClick);
        return 0;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == LINK_CLICKED)
            onLink(LOWORD(wParam));
        return 0;
    case WM_DESTROY:
        list_.attach(nullptr, rows_, {});
        panel_ = nullptr;
        return 0;
    default:
        return defaultProcedure(message, wParam, lParam);
    }
}

void SynthesisView::onCreate() {
    panel_ = win::createChild(window,
                              {L"STATIC", nullptr, WS_CLIPSIBLINGS, 0, 0, kPanelWidth, kPageHeight,
                               kSynthesisPanelId, WS_EX_CLIENTEDGE},
                              nullptr);
    HWND list = win::createChild(
        window,
        {WC_LISTVIEWW, nullptr,
         WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_OWNERDRAWFIXED | LVS_NOCOLUMNHEADER |
             LVS_SHOWSELALWAYS | LVS_SINGLESEL,
         kPanelWidth, 0, kPageWidth - kPanelWidth, kPageHeight, kSynthesisListId, WS_EX_CLIENTEDGE},
        nullptr);
    static const win::ListColumn columns[] = {{L"", kLogoColumnWidth}, {L"", kTextColumnWidth}};
    list_.attach(list, rows_, columns,
                 {RGB(0, 0, 0), false, kSynthesisRowHeight, kListBackground});
    list_.setRowPainter([this](HDC dc, const RECT& rect, int row, bool selected) {
        paintRow(dc, rect, row, selected);
    });

    win::GuiResources* resources = win::guiResources();
    const HICON icon = resources ? resources->applicationIcon : nullptr;
    const HFONT linkFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    for (int i = 0; i < kSynthesisLinkCount; ++i)
        createPanelLink(window, icon, win::loadString(kLinkTexts[i]).c_str(), 20 + 25 * i,
                        kSynthesisFirstLinkId + i, linkFont);
    // The panel lies behind the icons and the links.
    SetWindowPos(panel_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    refill();
    setPageSize(kPageWidth, kPageHeight);
}

void SynthesisView::layout() {
    RECT client{};
    GetClientRect(window, &client);
    const POINT scrolled = scrollPosition();
    const int height = std::max(static_cast<int>(client.bottom), kPageHeight);
    if (panel_ != nullptr)
        MoveWindow(panel_, -scrolled.x, -scrolled.y, kPanelWidth, height, TRUE);
    if (HWND list = list_.handle()) {
        MoveWindow(list, kPanelWidth - scrolled.x, -scrolled.y,
                   std::max(static_cast<int>(client.right), kPageWidth) - kPanelWidth, height,
                   TRUE);
        list_.setColumnWidth(1, win::kFillToEdge);
    }
}

// --- Rows ----------------------------------------------------------------------------

void SynthesisView::paintRow(HDC dc, const RECT& rect, int row, bool selected) const {
    if (row < 0 || row >= rows_.rowCount())
        return;
    const SynthesisRow& shown = rows_.rows()[static_cast<std::size_t>(row)];
    win::SavedDC saved(dc);
    SetBkColor(dc, selected ? GetSysColor(COLOR_HIGHLIGHT) : RGB(255, 255, 255));
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    FrameRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));

    const std::vector<int> widths = list_.columnWidths();
    const int logoWidth = widths.size() > 0 ? widths[0] : kLogoColumnWidth;
    const int textWidth = widths.size() > 1 ? widths[1] : kTextColumnWidth;
    const SynthesisCells cells = synthesisCells(rect.left, rect.top, logoWidth, textWidth);
    const AccountRecord& account = *shown.account;
    logos_.draw(dc, cells.logoX, cells.logoY, account.logo);

    win::GuiResources* resources = win::guiResources();
    if (resources && resources->verdanaFont)
        SelectObject(dc, resources->verdanaFont.get());
    SetBkMode(dc, TRANSPARENT);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHTTEXT);
    SetTextColor(dc, selected ? highlight : kLabelColour);
    drawText(dc, cp1252ToWide(std::string(win::loadString1252(IDS_ACCOUNT)) + ":  "),
             cells.caption, rect.top, rect.bottom);
    drawText(dc, win::loadString(IDS_CURRENT_BALANCE), cells.balanceCaption, rect.top,
             rect.bottom);
    SetTextColor(dc, selected ? highlight : kValueColour);
    drawText(dc, cp1252ToWide(shown.name), cells.name, rect.top, rect.bottom);
    drawText(dc, cp1252ToWide(rows_.cellText(row, 1)), cells.balance, rect.top, rect.bottom);
}

// --- Clicks and links ----------------------------------------------------------------

void SynthesisView::onClick(int row, bool doubleClick) {
    const SynthesisClick click = synthesisClick(rows_.rows(), row, doubleClick);
    selectedRow_ = click.selectedRow;
    enableLinks(click.linksEnabled);
    if (click.command != 0)
        postToFrame(click.command);
}

void SynthesisView::onLink(int id) {
    if (document_ == nullptr)
        return;
    switch (id) {
    case kSynthesisFirstLinkId: // the operations of the selected account
        if (selectedRow_ >= 0)
            onClick(selectedRow_, true);
        break;
    case kSynthesisFirstLinkId + 1:
        postToFrame(kAccountDialogCommand);
        break;
    case kSynthesisFirstLinkId + 2: {
        if (selectedRow_ < 0 || selectedRow_ >= rows_.rowCount())
            break;
        const WebPage page = openWebPage(rows_.rows()[static_cast<std::size_t>(selectedRow_)]);
        if (page.messageId != 0)
            win::showStringMessage(window, static_cast<UINT>(page.messageId));
        else
            openAddress(window, cp1252ToWide(page.address).c_str());
        break;
    }
    default: // printing the RIB has no action
        break;
    }
}

void SynthesisView::enableLinks(bool enabled) {
    if (window == nullptr)
        return;
    // The fourth link, the RIB, stays disabled.
    for (int i = 0; i < kSynthesisLinkCount - 1; ++i)
        if (HWND link = GetDlgItem(window, kSynthesisFirstLinkId + i))
            EnableWindow(link, enabled);
}

void SynthesisView::postToFrame(int command) const {
    if (HWND frame = GetAncestor(window, GA_ROOT))
        PostMessageW(frame, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

} // namespace kolvane
