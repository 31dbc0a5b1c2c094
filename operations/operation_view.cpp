#include "operations/operation_view.h"

#include "document/calendar.h"
#include "resources/resource_ids.h"
#include "win/child_controls.h"
#include "win/gui_resources.h"
#include "win/window_text.h"

#include <algorithm>

namespace kolvane {
namespace {

// The register's page: below this size the window scrolls.
constexpr int kPageWidth = 800;
constexpr int kPageHeight = 400;
// The list at creation: the client height less this, but never below 195.
constexpr int kSpaceBelowNewList = 200;
constexpr int kBalanceColumnWidth = 95;

win::ListAlign listAlign(TextAlign align) {
    switch (align) {
    case TextAlign::Centre:
        return win::ListAlign::Centre;
    case TextAlign::Right:
        return win::ListAlign::Right;
    default:
        return win::ListAlign::Left;
    }
}

} // namespace

OperationView::OperationView(Document* doc, BookingHistory& history)
    : document_(doc), history_(history), model_(history.model()) {}

OperationView::~OperationView() {
    if (window != nullptr)
        DestroyWindow(window);
}

bool OperationView::registerClasses(HINSTANCE instance) {
    if (!BalanceStrip::registerClass(instance) || !registerEntryPaneClass(instance))
        return false;
    return win::registerViewClass(instance, win::kOperationViewClass, procedure);
}

HWND OperationView::createWindow(HWND tabControl, const RECT& area, bool visible) {
    return win::createTabViewWindow(*this, win::kOperationViewClass, tabControl, area, visible);
}

void OperationView::addCommands(CommandRouter& router) {
    const auto selectionModifiable = [this](const CommandContext&) {
        return canModifySelection();
    };
    router.add(this, {CMD_TOGGLE_ENTRY_PANE, [this](unsigned) { toggleEntryPane(); }, {},
                      [this](const CommandContext&) { return isEntryPaneShown(); }});
    router.add(this, {CMD_DELETE_OPERATION, [this](unsigned) { deleteSelection(); },
                      selectionModifiable});
    router.add(this, {CMD_EDIT_OPERATION, [this](unsigned) { modifySelection(); },
                      selectionModifiable});
    router.add(this, {CMD_SHOW_VENTILATION, [this](unsigned) { consultSelection(); },
                      [this](const CommandContext&) { return canConsultSelection(); }});
    router.add(this, {CMD_SORT_BY_ENTRY, [this](unsigned) { setSortOrder(0); }, {},
                      [](const CommandContext& c) { return c.document.sortOrder == 0; }});
    router.add(this, {CMD_SORT_BY_OPERATION_DATE, [this](unsigned) { setSortOrder(1); }, {},
                      [](const CommandContext& c) { return c.document.sortOrder == 1; }});
}

// --- The window ---------------------------------------------------------------------

LRESULT OperationView::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (auto answer = handleScrolling(message, wParam, lParam))
        return *answer;
    if (auto answer = list_.ownerDraw(message, lParam, kRegisterRowHeight))
        return *answer;
    switch (message) {
    case WM_CREATE:
        onCreate();
        return 0;
    case WM_SIZE:
        layout();
        return 0;
    case WM_SETFOCUS:
        if (list_.handle() != nullptr)
            SetFocus(list_.handle());
        return 0;
    case WM_NOTIFY:
        return onNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_OPERATION_SAVED:
        showChange(-1);
        list_.ensureVisible(history_.lastRow());
        return 0;
    case WM_TOGGLE_ENTRY_PANE:
        toggleEntryPane();
        return 0;
    case WM_COMMAND:
        return 0;
    case WM_DESTROY:
        // The document is being closed: the frame forgets the history.
        model_.restoreRows(nullptr, {}, false);
        list_.attach(nullptr, model_, {});
        return 0;
    default:
        return defaultProcedure(message, wParam, lParam);
    }
}

namespace {

// The running balances: the main window's bold 8-point font.
HFONT balanceFont() {
    const win::GuiResources* shared = win::guiResources();
    return shared ? shared->shellFont.get() : nullptr;
}

} // namespace

void OperationView::onCreate() {
    RECT client{};
    GetClientRect(window, &client);
    const int listHeight = std::max(static_cast<int>(client.bottom) - kSpaceBelowNewList, 195);

    std::array<win::ListColumn, kRegisterColumnCount> columns{};
    for (int i = 0; i < kRegisterColumnCount; ++i) {
        const RegisterColumnSpec& spec = kRegisterColumns[i];
        titles_[i] = spec.headerStringId != 0 ? win::loadString(spec.headerStringId)
                                              : utf8ToWide(spec.headerText);
        columns[i] = {titles_[i].c_str(), spec.width, listAlign(spec.cellAlign),
                      listAlign(spec.headerAlign), spec.bold};
    }
    model_.fill();
    const RECT area{0, 0, std::max(static_cast<int>(client.right), kPageWidth), listHeight};
    if (HWND list = list_.create(window, kRegisterListId, area, model_, columns,
                                 {.rowHeight = kRegisterRowHeight, .boldFont = balanceFont()}))
        SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                     FALSE);
    list_.ensureVisible(model_.rowCount() - 1);
    strip_.create(window, listHeight);
    strip_.refresh(document_->currentAccount);
    entryPane_.create(window, listHeight + BalanceStrip::height(), document_, &history_);
    setPageSize(kPageWidth, kPageHeight);
}

void OperationView::layout() {
    RECT client{};
    GetClientRect(window, &client);
    const RegisterLayout place = registerLayout(client.right, client.bottom, isEntryPaneShown());
    const POINT scrolled = scrollPosition();
    if (HWND list = list_.handle()) {
        MoveWindow(list, -scrolled.x, -scrolled.y, place.listWidth, place.listHeight, TRUE);
        RECT listClient{};
        GetClientRect(list, &listClient);
        const RegisterColumnWidths widths = registerColumnWidths(listClient.right);
        list_.setColumnWidth(kColumnLabel, widths.label);
        list_.setColumnWidth(kColumnBalance,
                             widths.balance < 0 ? win::kFillToEdge : kBalanceColumnWidth);
    }
    strip_.moveTo(-scrolled.x, place.stripY - scrolled.y, place.listWidth);
    if (isEntryPaneShown())
        MoveWindow(entryPane_.window, -scrolled.x, place.paneY - scrolled.y, place.listWidth,
                   OperationEntryPane::height(), TRUE);
}

// --- Refreshing ----------------------------------------------------------------------

void OperationView::refresh(int refill) {
    if (window == nullptr)
        return;
    if (refill)
        this->refill();
    strip_.refresh(document_->currentAccount);
    entryPane_.refillChoices();
}

void OperationView::refill() {
    AccountRecord* wanted = document_->currentAccount;
    if (model_.account() != nullptr && model_.account() != wanted) {
        // Another account: a step of the history, so that an undo in it
        // comes back to the account it was made in. The frame has already
        // made it current; the step makes it so again, from the old one.
        document_->currentAccount = model_.account();
        if (history_.perform(makeSelectAccount(wanted)) != BookingStatus::Done) {
            document_->currentAccount = wanted;
            model_.fill();
        }
        list_.reload();
        list_.select(-1);
        list_.ensureVisible(model_.rowCount() - 1);
        return;
    }
    OperationRecord* selected = selectedRecord();
    const bool first = model_.account() == nullptr;
    model_.fill();
    list_.reload(!first);
    list_.select(model_.findRow(selected));
    if (first)
        list_.ensureVisible(model_.rowCount() - 1);
}

void OperationView::forgetHistory() {
    history_.clear();
    model_.restoreRows(nullptr, {}, false);
    list_.reload(true);
}

void OperationView::showHistoryStep(const OperationRecord* selected) {
    if (window == nullptr)
        return;
    entryPane_.dropEdit(); // the operation being changed may be another now
    const int kept = model_.findRow(selected);
    showChange(kept >= 0 ? kept : history_.lastRow());
    entryPane_.refillChoices();
}

void OperationView::showChange(int row) {
    list_.reload(true);
    list_.select(row);
    list_.ensureVisible(row);
    strip_.refresh(model_.account());
    if (documentChanged)
        documentChanged();
}

void OperationView::afterBooking(BookingStatus status) {
    if (status == BookingStatus::OutOfMemory)
        win::showStringMessage(window, IDS_OUT_OF_MEMORY);
}

// --- Commands ------------------------------------------------------------------------

void OperationView::toggleEntryPane() {
    if (window == nullptr)
        return;
    if (entryPane_.window != nullptr)
        DestroyWindow(entryPane_.window);
    else
        entryPane_.create(window, 0, document_, &history_); // placed by the layout
    RECT client{};
    GetClientRect(window, &client);
    PostMessageW(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
}

bool OperationView::isEntryPaneShown() const {
    return window != nullptr && entryPane_.window != nullptr;
}

bool OperationView::canModifySelection() const {
    return window != nullptr && (model_.rowFlags(selectedRow()) & kRowCanModify) != 0;
}

bool OperationView::canConsultSelection() const {
    return window != nullptr && (model_.rowFlags(selectedRow()) & kRowCanConsult) != 0;
}

int OperationView::deleteSelection() {
    const int row = selectedRow();
    OperationRecord* record = model_.record(row);
    if (window == nullptr || record == nullptr)
        return 0;
    if (win::showMessage(window, utf8ToWide(kDeleteQuestion), MB_YESNO | MB_ICONINFORMATION) !=
        IDYES)
        return 0;
    // A ticked or initial-balance row is refused without a word.
    const BookingStatus status = history_.perform(makeDeleteOperation(record, row));
    afterBooking(status);
    if (status != BookingStatus::Done)
        return 0;
    showChange(history_.lastRow());
    return 1;
}

int OperationView::modifySelection() {
    const int row = selectedRow();
    if (!canModifySelection() || !isEntryPaneShown())
        return 0;
    entryPane_.loadForEdit(row, model_.record(row));
    return 1;
}

void OperationView::consultSelection() {
    if (canConsultSelection() && document_)
        (void)runVentilationConsult(*document_, {selectedRecord()}, window);
}

void OperationView::setSortOrder(std::uint32_t order) {
    if (window == nullptr)
        return;
    OperationRecord* selected = selectedRecord();
    afterBooking(history_.perform(makeSortOrder(order)));
    list_.redrawAll();
    const int row = model_.findRow(selected);
    list_.select(row);
    list_.ensureVisible(row);
}

bool OperationView::toggleTick(int row) {
    OperationRecord* record = model_.record(row);
    if (window == nullptr || record == nullptr)
        return false;
    const BookingStatus status = history_.perform(makeToggleTick(record, localNowFileTime()));
    afterBooking(status);
    if (status != BookingStatus::Done)
        return false;
    list_.redrawRow(row);
    strip_.refresh(model_.account());
    if (documentChanged)
        documentChanged();
    return true;
}

// --- Mouse and keyboard --------------------------------------------------------------

LRESULT OperationView::onNotify(const NMHDR& header) {
    if (auto answer = list_.notify(header))
        return *answer;
    if (auto click = list_.clickOf(header)) {
        if (!click->doubleClick)
            onClick(click->row, click->column);
        else if (!clickTicks(*document_, model_.rowCount(), click->row, click->column))
            modifySelection(); // a double click opens the operation in the entry pane
        return 0;
    }
    if (auto key = list_.keyOf(header))
        onKey(*key);
    return 0;
}

void OperationView::onClick(int row, int column) {
    if (clickTicks(*document_, model_.rowCount(), row, column))
        toggleTick(row);
}

void OperationView::onKey(WORD key) {
    const int row = selectedRow();
    if (key == VK_SPACE && clickTicks(*document_, model_.rowCount(), row, kColumnTicked))
        toggleTick(row);
    else if (key == VK_DELETE && canModifySelection())
        deleteSelection();
}

} // namespace kolvane
