#include "thirds/third_view.h"

#include "accounts/link_control.h"
#include "document/calendar.h"
#include "operations/amount_edit_control.h"
#include "resources/resource_ids.h"
#include "thirds/third_dialogs.h"
#include "win/child_controls.h"
#include "win/gui_resources.h"
#include "win/window_text.h"

#include <commctrl.h>

#include <algorithm>

namespace kolvane {
namespace {

constexpr int kTreeX = 3, kTreeY = 2, kTreeWidth = 245, kTreeHeight = 225;
constexpr COLORREF kCaptionColour = RGB(20, 20, 20);
constexpr COLORREF kValueColour = RGB(120, 120, 180);
constexpr int kPropertyIds[] = {kThirdGroupId, 4011, kThirdInitialId, 4013, kThirdNoteId, IDOK,
                                IDCANCEL};
constexpr UINT kLinkTexts[] = {IDS_LINK_NEW_THIRD, IDS_LINK_DELETE_THIRD, IDS_LINK_RENAME_THIRD,
                               IDS_LINK_THIRD_SETTINGS};


HFONT fontOr(const win::GdiObject<HFONT>* font) {
    if (font != nullptr && *font)
        return font->get();
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void drawPiece(HDC dc, const std::wstring& text, const ThirdStripCell& cell, const RECT& client) {
    RECT rect{cell.left, client.top, cell.right, client.bottom};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS |
                  (cell.caption ? DT_RIGHT : DT_LEFT));
}

ThirdRecord* itemRecord(HWND tree, HTREEITEM item) {
    if (item == nullptr)
        return nullptr;
    TVITEMW data{};
    data.mask = TVIF_PARAM;
    data.hItem = item;
    if (!TreeView_GetItem(tree, &data))
        return nullptr;
    return reinterpret_cast<ThirdRecord*>(data.lParam);
}

} // namespace

// --- Strip ---------------------------------------------------------------------------

bool ThirdBalanceStrip::registerClass(HINSTANCE instance) {
    return win::registerViewClass(instance, kThirdStripClass, procedure,
                                  static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

void ThirdBalanceStrip::update(const ThirdRecord* third) {
    texts = thirdStripTexts(third);
    if (window != nullptr)
        InvalidateRect(window, nullptr, TRUE);
}

void ThirdBalanceStrip::paint(HDC dc, const RECT& client) const {
    win::GuiResources* resources = win::guiResources();
    win::SavedDC saved(dc);
    SetBkMode(dc, TRANSPARENT);
    const auto cells = thirdStripCells(client.right - client.left);
    SelectObject(dc, fontOr(resources ? &resources->shellFont : nullptr));
    SetTextColor(dc, kCaptionColour);
    drawPiece(dc, L" " + partyLabel + L" : ", cells[0], client);
    drawPiece(dc, L" " + balanceLabel + L" : ", cells[2], client);
    SelectObject(dc, fontOr(resources ? &resources->verdanaFont : nullptr));
    SetTextColor(dc, kValueColour);
    drawPiece(dc, L" " + cp1252ToWide(texts.name) + L" ", cells[1], client);
    drawPiece(dc, L" " + cp1252ToWide(texts.balance) + L" ", cells[3], client);
}

LRESULT ThirdBalanceStrip::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        partyLabel = win::loadString(IDS_TAB_THIRDS);
        balanceLabel = win::loadString(IDS_COLUMN_BALANCE);
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(window, &ps);
        RECT client{};
        GetClientRect(window, &client);
        paint(dc, client);
        EndPaint(window, &ps);
        return 0;
    }
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// --- The view ------------------------------------------------------------------------

ThirdView::~ThirdView() {
    if (window != nullptr)
        DestroyWindow(window);
}

bool ThirdView::registerClasses(HINSTANCE instance) {
    if (!ThirdBalanceStrip::registerClass(instance))
        return false;
    return win::registerViewClass(instance, win::kThirdViewClass, procedure);
}

HWND ThirdView::createWindow(HWND tabControl, const RECT& area, bool visible) {
    selectedThird_ = nullptr;
    return win::createTabViewWindow(*this, win::kThirdViewClass, tabControl, area, visible);
}

void ThirdView::refresh(int refillTree) {
    if (window == nullptr)
        return;
    fill(refillTree != 0, selectedThird_);
}

LRESULT ThirdView::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (auto answer = handleScrolling(message, wParam, lParam))
        return *answer;
    if (auto answer = list_.ownerDraw(message, lParam, kThirdRowHeight))
        return *answer;
    switch (message) {
    case WM_CREATE:
        onCreate();
        return 0;
    case WM_SIZE:
        layout();
        return 0;
    case WM_SHOWWINDOW:
        // Undo and redo in another tab may have changed the parties.
        if (wParam)
            refresh(1);
        return 0;
    case WM_NOTIFY:
        return onNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND:
        // Links report a click as notification 0, as buttons do.
        if (document_ != nullptr && HIWORD(wParam) == LINK_CLICKED)
            onCommand(LOWORD(wParam));
        return 0;
    case WM_DESTROY:
        list_.attach(nullptr, rows_, {});
        rows_.fill(*document_, nullptr);
        selectedThird_ = nullptr;
        tree_ = nullptr;
        imageList_.reset();
        return 0;
    default:
        return defaultProcedure(message, wParam, lParam);
    }
}

void ThirdView::onCreate() {
    win::GuiResources* resources = win::guiResources();
    const HFONT guiFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HWND panel = win::createChild(window,
                                  {L"STATIC", nullptr, WS_CLIPSIBLINGS, 0, 0, kThirdPanelWidth,
                                   kThirdVirtualHeight, kThirdPanelId, WS_EX_CLIENTEDGE},
                                  nullptr);
    tree_ = win::createChild(window,
                             {WC_TREEVIEWW, nullptr,
                              WS_TABSTOP | WS_CLIPSIBLINGS | TVS_HASLINES | TVS_LINESATROOT |
                                  TVS_EDITLABELS | TVS_SHOWSELALWAYS,
                              kTreeX, kTreeY, kTreeWidth, kTreeHeight, kThirdTreeId,
                              WS_EX_CLIENTEDGE},
                             nullptr);
    imageList_.reset(ImageList_Create(16, 16, ILC_COLOR16, 2, 0));
    if (HBITMAP folders = static_cast<HBITMAP>(
            LoadImageW(win::resourceInstance(), MAKEINTRESOURCEW(IDB_FOLDERS), IMAGE_BITMAP, 0,
                       0, LR_CREATEDIBSECTION))) {
        if (ImageList_Add(imageList_.get(), folders, nullptr) < 0)
            imageList_.reset();
        DeleteObject(folders);
    } else {
        imageList_.reset();
    }
    if (imageList_)
        TreeView_SetImageList(tree_, imageList_.get(), TVSIL_NORMAL);

    std::array<win::ListColumn, kThirdColumnCount> columns{};
    for (int i = 0; i < kThirdColumnCount; ++i) {
        const ThirdColumnSpec& spec = kThirdColumns[i];
        titles_[i] = win::loadString(static_cast<UINT>(spec.headerStringId));
        const win::ListAlign align = spec.rightAligned ? win::ListAlign::Right
                                     : spec.centred    ? win::ListAlign::Centre
                                                       : win::ListAlign::Left;
        columns[i] = {titles_[i].c_str(), spec.width, align, align, i == kThirdBalance};
    }
    const RECT area{kThirdPanelWidth, 0, kThirdVirtualWidth, kThirdVirtualHeight - kThirdStripHeight};
    if (HWND list = list_.create(window, kThirdListId, area, rows_, columns,
                                 {RGB(0, 0, 0), true, kThirdRowHeight, CLR_DEFAULT, false}))
        SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(guiFont), FALSE);

    const HICON icon = resources ? resources->applicationIcon : nullptr;
    for (int i = 0; i < 4; ++i)
        if (HWND link = createPanelLink(window, icon, win::loadString(kLinkTexts[i]).c_str(),
                                        240 + 25 * i, kThirdLinkNew + i, guiFont))
            EnableWindow(link, i == 0);
    const win::ChildControl properties[] = {
        {L"BUTTON", L"Propriété du Tiers", BS_GROUPBOX | WS_CLIPSIBLINGS, 10, 350, 230, 155,
         kThirdGroupId},
        {L"STATIC", L"Solde Initial :", 0, 20, 370, 100, 14, 4011},
        {L"EDIT", L"", ES_RIGHT | ES_AUTOHSCROLL | WS_TABSTOP, 130, 370, 100, 20, kThirdInitialId,
         WS_EX_CLIENTEDGE},
        {L"STATIC", L"Note :", 0, 20, 390, 80, 14, 4013},
        {L"EDIT", L"", ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_TABSTOP, 20,
         405, 210, 60, kThirdNoteId, WS_EX_CLIENTEDGE},
        {L"BUTTON", L"Modifier", BS_PUSHBUTTON | WS_TABSTOP, 30, 475, 100, 22, IDOK},
        {L"BUTTON", L"Annuler", BS_PUSHBUTTON | WS_TABSTOP, 130, 475, 100, 22, IDCANCEL},
    };
    win::createChildren(window, properties, guiFont);
    attachAmountEdit(GetDlgItem(window, kThirdInitialId), true);
    SendDlgItemMessageW(window, kThirdNoteId, EM_LIMITTEXT, kThirdNoteLength, 0);

    strip_.win::WindowObject<ThirdBalanceStrip>::create(0, kThirdStripClass, nullptr,
                                                        WS_CHILD | WS_VISIBLE | WS_BORDER, 0, 0, 0,
                                                        kThirdStripHeight, window, nullptr);
    // The panel lies behind the tree, the icons, the links and the box.
    SetWindowPos(panel, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    fill(true, nullptr);
    setPageSize(kThirdVirtualWidth, kThirdVirtualHeight);
    layout();
}

void ThirdView::layout() {
    RECT client{};
    GetClientRect(window, &client);
    const ThirdLayout place = thirdLayout(client.right, client.bottom);
    const POINT s = scrollPosition();
    MoveWindow(GetDlgItem(window, kThirdPanelId), -s.x, -s.y, kThirdPanelWidth, place.panelHeight,
               TRUE);
    MoveWindow(tree_, kTreeX - s.x, kTreeY - s.y, kTreeWidth, kTreeHeight, TRUE);
    if (HWND list = list_.handle()) {
        MoveWindow(list, kThirdPanelWidth - s.x, -s.y, place.listWidth, place.listHeight, TRUE);
        list_.setColumnWidth(kThirdLabel, place.labelWidth);
        list_.setColumnWidth(kThirdBalance,
                             place.balanceWidth < 0 ? win::kFillToEdge : place.balanceWidth);
    }
    if (strip_.window != nullptr)
        MoveWindow(strip_.window, kThirdPanelWidth - s.x, place.listHeight - s.y, place.listWidth,
                   kThirdStripHeight, TRUE);
}

// --- Filling -------------------------------------------------------------------------

void ThirdView::fill(bool refillTree, ThirdRecord* keep) {
    if (refillTree && tree_ != nullptr) {
        filling_ = true;
        TreeView_DeleteAllItems(tree_);
        lastInserted_ = TVI_FIRST;
        HTREEITEM select = nullptr, fallback = nullptr;
        // A party just created (or the newest one gone) shows the newest;
        // otherwise the selected party stays when it is still there.
        ThirdRecord* newest = thirdSelectedAfterFill(*document_);
        if (newest != newestShown_)
            keep = nullptr;
        newestShown_ = newest;
        for (ThirdRecord* third : thirdTree(*document_)) {
            TVINSERTSTRUCTW insert{};
            insert.hParent = TVI_ROOT;
            insert.hInsertAfter = lastInserted_;
            insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
            insert.item.pszText = LPSTR_TEXTCALLBACKW;
            insert.item.iImage = 0;
            insert.item.iSelectedImage = 1;
            insert.item.lParam = reinterpret_cast<LPARAM>(third);
            lastInserted_ = TreeView_InsertItem(tree_, &insert);
            if (third == keep)
                select = lastInserted_;
            if (third == newest)
                fallback = lastInserted_;
        }
        TreeView_SelectItem(tree_, select ? select : fallback);
        filling_ = false;
    }
    selectedThird_ = tree_ ? itemRecord(tree_, TreeView_GetSelection(tree_)) : nullptr;
    const bool any = tree_ != nullptr && TreeView_GetCount(tree_) > 0;
    for (int id : {kThirdLinkDelete, kThirdLinkRename, kThirdLinkSettings})
        EnableWindow(GetDlgItem(window, id), any);
    rows_.fill(*document_, selectedThird_);
    list_.reload();
    strip_.update(selectedThird_);
    showProperties(false);
}

void ThirdView::showProperties(bool editable) {
    HWND initial = GetDlgItem(window, kThirdInitialId);
    if (selectedThird_ == nullptr) {
        for (int id : kPropertyIds)
            ShowWindow(GetDlgItem(window, id), SW_HIDE);
        return;
    }
    for (int id : kPropertyIds) {
        ShowWindow(GetDlgItem(window, id), SW_SHOW);
        EnableWindow(GetDlgItem(window, id), editable);
    }
    setAmount(initial, selectedThird_->initialBalance);
    win::setItemText1252(window, kThirdNoteId, fieldText(selectedThird_->note));
}

// --- Notifications and commands ------------------------------------------------------

LRESULT ThirdView::onNotify(const NMHDR& header) {
    if (auto answer = list_.notify(header))
        return *answer;
    if (header.hwndFrom != tree_)
        return 0;
    switch (header.code) {
    case TVN_GETDISPINFOW: {
        auto& info = const_cast<NMTVDISPINFOW&>(reinterpret_cast<const NMTVDISPINFOW&>(header));
        if (info.item.mask & TVIF_TEXT) {
            const auto* third = reinterpret_cast<const ThirdRecord*>(info.item.lParam);
            itemText_ = third ? cp1252ToWide(fieldText(third->name)) : std::wstring();
            info.item.pszText = itemText_.data();
        }
        return 0;
    }
    case TVN_SELCHANGEDW:
        if (!filling_)
            fill(false, nullptr);
        return 0;
    case TVN_BEGINLABELEDITW:
        SendMessageW(TreeView_GetEditControl(tree_), EM_LIMITTEXT, kThirdNameLength, 0);
        return FALSE;
    case TVN_ENDLABELEDITW:
        return onEndLabelEdit(reinterpret_cast<const NMTVDISPINFOW&>(header)) ? TRUE : FALSE;
    case TVN_KEYDOWN: {
        const WORD key = reinterpret_cast<const NMTVKEYDOWN&>(header).wVKey;
        if (key == VK_F2)
            onCommand(kThirdLinkRename);
        else if (key == VK_DELETE)
            onCommand(kThirdLinkDelete);
        return 0;
    }
    default:
        return 0;
    }
}

bool ThirdView::onEndLabelEdit(const NMTVDISPINFOW& info) {
    auto* third = reinterpret_cast<ThirdRecord*>(info.item.lParam);
    if (info.item.pszText == nullptr || third == nullptr)
        return false; // cancelled
    std::string name = wideToCp1252(info.item.pszText);
    if (name.empty()) {
        win::showMessage(window, utf8ToWide(kEmptyThirdNameMessage));
        return false;
    }
    name.resize(std::min<std::size_t>(name.size(), kThirdNameLength));
    // The tree is sorted again once the edit is over.
    const BookingStatus status = history_.perform(makeRenameThird(third, std::move(name)));
    afterChange(status, false);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(kThirdTreeId, 0), 0);
    return status == BookingStatus::Done;
}

void ThirdView::onCommand(int id) {
    switch (id) {
    case kThirdLinkNew:
        if (HWND frame = GetAncestor(window, GA_ROOT))
            PostMessageW(frame, WM_COMMAND, MAKEWPARAM(CMD_NEW_THIRD, 0), 0);
        break;
    case kThirdLinkDelete:
        deleteSelectedThird();
        break;
    case kThirdLinkRename:
        if (HTREEITEM item = TreeView_GetSelection(tree_)) {
            SetFocus(tree_);
            TreeView_EditLabel(tree_, item);
        }
        break;
    case kThirdLinkSettings:
        showProperties(true);
        break;
    case IDOK:
        applyProperties();
        break;
    case IDCANCEL:
        showProperties(false);
        break;
    case kThirdTreeId: // after a renaming: the tree in its new order
        fill(true, selectedThird_);
        break;
    default:
        break;
    }
}

void ThirdView::applyProperties() {
    if (selectedThird_ == nullptr)
        return;
    ThirdEntry entry;
    entry.initialBalance = getAmount(GetDlgItem(window, kThirdInitialId));
    entry.note = win::windowText1252(GetDlgItem(window, kThirdNoteId));
    entry.now = localNowFileTime();
    afterChange(history_.perform(makeChangeThird(selectedThird_, std::move(entry))), false);
}

void ThirdView::deleteSelectedThird() {
    if (selectedThird_ == nullptr || TreeView_GetSelection(tree_) == nullptr)
        return;
    if (deletesWithoutDialog(*document_, *selectedThird_)) {
        afterChange(history_.perform(makeDeleteThird(selectedThird_)), true);
        return;
    }
    switch (runThirdDeleteDialog(*document_, {&history_, selectedThird_}, window)) {
    case ThirdDeleteEnd::Masked:
        afterChange(history_.perform(makeMaskThird(selectedThird_)), true);
        break;
    case ThirdDeleteEnd::Moved:
        afterChange(BookingStatus::Done, true);
        break;
    case ThirdDeleteEnd::MovedToCurrentAccount:
        afterChange(BookingStatus::Done, true);
        if (currentAccountChanged)
            currentAccountChanged();
        break;
    case ThirdDeleteEnd::Cancelled:
    case ThirdDeleteEnd::NotShown:
        break;
    }
}

void ThirdView::afterChange(BookingStatus status, bool refillTree) {
    if (status == BookingStatus::OutOfMemory)
        win::showStringMessage(window, IDS_OUT_OF_MEMORY);
    fill(refillTree, refillTree ? nullptr : selectedThird_);
    if (documentChanged)
        documentChanged();
}

} // namespace kolvane
