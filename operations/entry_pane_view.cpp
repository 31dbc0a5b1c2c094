#include "operations/entry_pane_view.h"

#include "document/calendar.h"
#include "operations/amount_edit_control.h"
#include "resources/resource_ids.h"
#include "win/child_controls.h"
#include "win/combo_box.h"
#include "win/fonts.h"
#include "win/gui_resources.h"
#include "win/message_filters.h"
#include "win/refusals.h"
#include "win/window_text.h"

#include <commctrl.h>

#include <string>

namespace kolvane {
namespace {

constexpr int kPaneHeight = 125;
constexpr int kLabelLimit = 39;
constexpr int kPartyDropWidth = 300;

// One control of the pane, in tab order (the order of creation).
struct ControlSpec {
    int id;
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
// Captions stay on one line even where the font is a little wider than planned.
constexpr DWORD kCaption = kChild | SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX;

const ControlSpec kControls[] = {
    {IDC_ENTRY_TITLE, L"STATIC", kChild | SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX, 0},
    {IDC_ENTRY_CLOSE, L"BUTTON", kChild | BS_PUSHBUTTON, 0},
    {IDC_ENTRY_DATE_CAPTION, L"STATIC", kCaption, 0},
    {IDC_ENTRY_DATE, DATETIMEPICK_CLASSW, kChild | WS_TABSTOP | DTS_SHORTDATEFORMAT, 0},
    {IDC_ENTRY_DEBIT_CAPTION, L"STATIC", kCaption, 0},
    {IDC_ENTRY_DEBIT, L"EDIT", kChild | WS_TABSTOP | ES_RIGHT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE},
    {IDC_ENTRY_CREDIT_CAPTION, L"STATIC", kCaption, 0},
    {IDC_ENTRY_CREDIT, L"EDIT", kChild | WS_TABSTOP | ES_RIGHT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE},
    {IDC_ENTRY_MODE_CAPTION, L"STATIC", kCaption, 0},
    {IDC_ENTRY_MODE, L"COMBOBOX", kChild | WS_TABSTOP | WS_DISABLED | CBS_DROPDOWNLIST | WS_VSCROLL,
     WS_EX_CLIENTEDGE},
    {IDC_ENTRY_LABEL_CAPTION, L"STATIC", kCaption, 0},
    {IDC_ENTRY_LABEL, L"COMBOBOX",
     kChild | WS_TABSTOP | CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL, 0},
    {IDC_ENTRY_PARTY_CAPTION, L"STATIC", kCaption, 0},
    {IDC_ENTRY_PARTY, L"COMBOBOX",
     kChild | WS_TABSTOP | WS_DISABLED | CBS_DROPDOWNLIST | WS_VSCROLL, WS_EX_CLIENTEDGE},
    {IDC_ENTRY_VALIDATE, L"BUTTON", kChild | WS_TABSTOP | WS_DISABLED | BS_DEFPUSHBUTTON, 0},
    {IDC_ENTRY_CANCEL, L"BUTTON", kChild | WS_TABSTOP | BS_PUSHBUTTON, 0},
    {IDC_ENTRY_VENTILATION, L"BUTTON", kChild | WS_TABSTOP | WS_DISABLED | BS_PUSHBUTTON, 0},
};

struct Place {
    int x, y, width, height;
};

// Where each control goes in a pane `width` pixels wide (combo box heights
// include their drop-down lists).
Place placeOf(int id, int width) {
    switch (id) {
    case IDC_ENTRY_TITLE:
        return {0, 0, width, 18};
    case IDC_ENTRY_CLOSE:
        return {width - 20, 1, 15, 14};
    case IDC_ENTRY_DATE_CAPTION:
        return {20, 25, 100, 15};
    case IDC_ENTRY_DATE:
        return {20, 40, 100, 20};
    case IDC_ENTRY_DEBIT_CAPTION:
        return {130, 25, 110, 15};
    case IDC_ENTRY_DEBIT:
        return {130, 40, 110, 20};
    case IDC_ENTRY_CREDIT_CAPTION:
        return {240, 25, 110, 15};
    case IDC_ENTRY_CREDIT:
        return {240, 40, 110, 20};
    case IDC_ENTRY_MODE_CAPTION:
        return {360, 25, 140, 15};
    case IDC_ENTRY_MODE:
        return {360, 40, 140, 100};
    case IDC_ENTRY_LABEL_CAPTION:
        return {20, 70, 260, 15};
    case IDC_ENTRY_LABEL:
        return {20, 85, 260, 300};
    case IDC_ENTRY_PARTY_CAPTION:
        return {290, 70, 210, 15};
    case IDC_ENTRY_PARTY:
        return {290, 85, 210, 300};
    case IDC_ENTRY_VALIDATE:
        return {width - 140, 30, 120, 24};
    case IDC_ENTRY_CANCEL:
        return {width - 140, 55, 120, 24};
    case IDC_ENTRY_VENTILATION:
        return {width - 140, 90, 120, 24};
    default:
        return {0, 0, 0, 0};
    }
}

std::wstring controlText(int id) {
    switch (id) {
    case IDC_ENTRY_TITLE:
        return win::loadString(IDS_ENTRY_PANE_TITLE);
    case IDC_ENTRY_CLOSE:
        return L"x";
    case IDC_ENTRY_DATE_CAPTION:
        return win::loadString(IDS_OPERATION_DATE);
    case IDC_ENTRY_DEBIT_CAPTION:
        return win::loadString(IDS_COLUMN_DEBIT);
    case IDC_ENTRY_CREDIT_CAPTION:
        return win::loadString(IDS_COLUMN_CREDIT);
    case IDC_ENTRY_LABEL_CAPTION:
        return win::loadString(IDS_OPERATION_LABEL);
    case IDC_ENTRY_MODE_CAPTION:
        return win::loadString(IDS_COLUMN_MODE);
    case IDC_ENTRY_PARTY_CAPTION:
        return win::loadString(IDS_COLUMN_CATEGORY) + L"/" + win::loadString(IDS_TAB_THIRDS);
    case IDC_ENTRY_VALIDATE:
        return L"Valider";
    case IDC_ENTRY_VENTILATION:
        return L"Editer la ventillation";
    case IDC_ENTRY_CANCEL:
        return L"Annuler";
    default:
        return {};
    }
}

int clientWidth(HWND parent) {
    RECT client{};
    GetClientRect(parent, &client);
    return client.right;
}

bool isPushButton(HWND control) {
    wchar_t name[16] = {};
    GetClassNameW(control, name, 16);
    if (lstrcmpiW(name, L"Button") != 0)
        return false;
    const LONG_PTR type = GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

} // namespace

bool registerEntryPaneClass(HINSTANCE instance) {
    return win::registerViewClass(instance, kEntryPaneClass, OperationEntryPane::procedure);
}

OperationEntryPane::~OperationEntryPane() {
    if (window)
        DestroyWindow(window);
}

int OperationEntryPane::height() {
    return kPaneHeight;
}

bool OperationEntryPane::create(HWND parent, int y, Document* doc, BookingHistory* history) {
    document = doc;
    booking = history;
    editRow = -1;
    editedOperation = nullptr;
    pendingChoices_.reset();
    const int width = clientWidth(parent);
    WindowObject::create(WS_EX_CONTROLPARENT, kEntryPaneClass, L"",
                         WS_CHILD | WS_VISIBLE | WS_BORDER, 0, y, width, kPaneHeight, parent,
                         nullptr);
    if (!window)
        return false;
    if (!createControls(width)) {
        DestroyWindow(window);
        return false;
    }
    fillModes(true);
    fillParties();
    fillLabels();
    labelCompletion.attach(control(IDC_ENTRY_LABEL));
    win::addKeyboardNavigation(window);
    return true;
}

bool OperationEntryPane::createControls(int width) {
    HFONT guiFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HFONT boldFont = nullptr;
    if (const win::GuiResources* shared = win::guiResources())
        boldFont = shared->shellFont.get();
    if (!boldFont) {
        if (!titleFont_)
            titleFont_.reset(win::createBoldFont(L"MS Shell Dlg", 8));
        boldFont = titleFont_ ? titleFont_.get() : guiFont;
    }
    for (const ControlSpec& spec : kControls) {
        const Place place = placeOf(spec.id, width);
        const std::wstring text = controlText(spec.id);
        // The title in bold; the "x" keeps the system font.
        HFONT font = spec.id == IDC_ENTRY_TITLE ? boldFont
                     : spec.id == IDC_ENTRY_CLOSE ? nullptr
                                                  : guiFont;
        if (!win::createChild(window,
                              {spec.className, text.c_str(), spec.style, place.x, place.y,
                               place.width, place.height, spec.id, spec.exStyle},
                              font))
            return false;
    }
    attachAmountEdit(control(IDC_ENTRY_DEBIT), false);
    attachAmountEdit(control(IDC_ENTRY_CREDIT), false);
    win::ComboBox(control(IDC_ENTRY_LABEL)).limitText(kLabelLimit);
    win::ComboBox(control(IDC_ENTRY_PARTY)).setDroppedWidth(kPartyDropWidth);
    return true;
}

void OperationEntryPane::layout(int width) {
    for (const ControlSpec& spec : kControls) {
        const Place place = placeOf(spec.id, width);
        MoveWindow(control(spec.id), place.x, place.y, place.width, place.height, TRUE);
    }
}

void OperationEntryPane::moveTo(HWND parent, int y) {
    if (window)
        MoveWindow(window, 0, y, clientWidth(parent), kPaneHeight, TRUE);
}

void OperationEntryPane::refillChoices() {
    if (!window)
        return;
    // The modes may have changed too: the same side again, the same mode
    // while it exists.
    win::ComboBox modes(control(IDC_ENTRY_MODE));
    const LPARAM chosen = modes.selectedData();
    fillModes(modesDebitSide_);
    modes.selectData(chosen);
    fillParties();
    fillLabels();
}

void OperationEntryPane::fillCombo(int id, const ChoiceList& list) {
    win::ComboBox(control(id)).fill(list);
}

void OperationEntryPane::fillModes(bool debitSide) {
    modesDebitSide_ = debitSide;
    modes_ = kolvane::fillModes(*document, debitSide ? 1 : 0);
    fillCombo(IDC_ENTRY_MODE, modes_);
}

void OperationEntryPane::fillParties() {
    parties_ = fillCounterparties(1, *document);
    fillCombo(IDC_ENTRY_PARTY, parties_);
    lastPartyIndex = parties_.selected;
}

void OperationEntryPane::fillLabels() {
    // The box keeps what is typed in it; only its list changes.
    HWND box = control(IDC_ENTRY_LABEL);
    const std::wstring typed = win::windowText(box);
    labels_ = kolvane::fillLabels(*document);
    fillCombo(IDC_ENTRY_LABEL, labels_);
    win::setWindowText(box, typed);
}

void OperationEntryPane::enableChoices(bool enabled) {
    EnableWindow(control(IDC_ENTRY_MODE), enabled);
    EnableWindow(control(IDC_ENTRY_PARTY), enabled);
    EnableWindow(control(IDC_ENTRY_VALIDATE), enabled);
}

double OperationEntryPane::debitValue() const {
    return getAmount(control(IDC_ENTRY_DEBIT));
}

double OperationEntryPane::creditValue() const {
    return getAmount(control(IDC_ENTRY_CREDIT));
}

FileTime OperationEntryPane::pickedDate() const {
    SYSTEMTIME picked{};
    if (SendMessageW(control(IDC_ENTRY_DATE), DTM_GETSYSTEMTIME, 0,
                     reinterpret_cast<LPARAM>(&picked)) != GDT_VALID)
        return localNowFileTime();
    CalendarTime time;
    time.year = picked.wYear;
    time.month = picked.wMonth;
    time.day = picked.wDay;
    time.hour = picked.wHour;
    time.minute = picked.wMinute;
    time.second = picked.wSecond;
    time.millisecond = picked.wMilliseconds;
    return toFileTime(time);
}

// --- Messages -------------------------------------------------------------------

LRESULT OperationEntryPane::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        layout(LOWORD(lParam));
        return 0;
    case WM_COMMAND:
        onCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == control(IDC_ENTRY_TITLE)) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, GetSysColor(COLOR_INACTIVECAPTIONTEXT));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_INACTIVECAPTION));
        }
        break;
    case WM_SELECT_EDIT_CHOICES:
        // The dialog navigation may send its own WM_USER + 1 (DM_SETDEFID):
        // only a change being loaded is answered.
        selectEditChoices();
        return 0;
    case DM_GETDEFID:
        return defaultButton();
    case WM_NEXTDLGCTL:
        // Tab and Shift+Tab, from the dialog navigation of the message loop.
        if (lParam == 0)
            moveFocus(wParam != 0);
        else
            SetFocus(reinterpret_cast<HWND>(wParam));
        return 0;
    case WM_DESTROY:
        win::removeKeyboardNavigation(window);
        labelCompletion.close();
        return 0;
    default:
        break;
    }
    return defaultProcedure(message, wParam, lParam);
}

LRESULT OperationEntryPane::defaultButton() const {
    // Enter presses the button that has the focus, "Valider" elsewhere.
    HWND focus = GetFocus();
    if (focus && GetParent(focus) == window && isPushButton(focus))
        return MAKELRESULT(GetDlgCtrlID(focus), DC_HASDEFID);
    return MAKELRESULT(IDC_ENTRY_VALIDATE, DC_HASDEFID);
}

void OperationEntryPane::moveFocus(bool previous) {
    HWND focus = GetFocus();
    // The edit inside the label box stands for the box.
    while (focus && GetParent(focus) != window)
        focus = GetParent(focus);
    HWND next = GetNextDlgTabItem(window, focus, previous ? TRUE : FALSE);
    if (!next)
        return;
    SetFocus(next);
    if (next == control(IDC_ENTRY_LABEL))
        win::ComboBox(next).selectText(0, -1);
}

void OperationEntryPane::onCommand(int id, int code) {
    switch (id) {
    case IDC_ENTRY_DEBIT:
    case IDC_ENTRY_CREDIT:
        if (code == EN_CHANGE)
            onAmountsChanged();
        return;
    case IDC_ENTRY_LABEL:
        labelCompletion.onComboNotify(code);
        if (code == CBN_SELCHANGE)
            onLabelPicked(false);
        else if (code == kCompletionPicked)
            onLabelPicked(true);
        return;
    case IDC_ENTRY_PARTY:
        if (code == CBN_SELCHANGE)
            onPartyChosen();
        return;
    case IDC_ENTRY_CLOSE:
        PostMessageW(GetParent(window), WM_TOGGLE_ENTRY_PANE, 0, 0);
        return;
    case IDC_ENTRY_VALIDATE:
        if (IsWindowEnabled(control(IDC_ENTRY_VALIDATE)))
            validate();
        return;
    case IDC_ENTRY_CANCEL:
        cancel();
        return;
    case IDCANCEL: // Escape: first the proposals, then the whole entry
        if (labelCompletion.popup)
            labelCompletion.close();
        else
            cancel();
        return;
    case IDC_ENTRY_VENTILATION:
        editVentilation();
        return;
    default:
        return;
    }
}

void OperationEntryPane::onAmountsChanged() {
    const bool enabled = IsWindowEnabled(control(IDC_ENTRY_MODE)) != FALSE;
    switch (kolvane::onAmountsChanged(enabled, debitValue(), creditValue())) {
    case AmountsReaction::EnableDebitSide:
        enableChoices(true);
        fillModes(true);
        return;
    case AmountsReaction::EnableCreditSide:
        enableChoices(true);
        fillModes(false);
        return;
    case AmountsReaction::Disable:
        enableChoices(false);
        return;
    case AmountsReaction::Nothing:
        return;
    }
}

void OperationEntryPane::onPartyChosen() {
    HWND partyBox = control(IDC_ENTRY_PARTY);
    const int index = win::ComboBox(partyBox).selectedIndex();
    const PartyChoice choice = chooseParty(parties_, index, lastPartyIndex);
    if (choice.refused) {
        win::showStringMessage(window, IDS_CHOOSE_SUBCATEGORY);
        win::ComboBox(partyBox).select(choice.select);
        SetFocus(partyBox);
        win::ComboBox(partyBox).showDropDown();
        return;
    }
    lastPartyIndex = choice.select;
    EnableWindow(control(IDC_ENTRY_VENTILATION), choice.splitEditor);
}

void OperationEntryPane::onLabelPicked(bool fromCompletion) {
    HWND labelBox = control(IDC_ENTRY_LABEL);
    int index = win::ComboBox(labelBox).selectedIndex();
    if (fromCompletion)
        index = findLabelEntry(labels_, win::windowText1252(labelBox));
    if (index < 0 || index >= static_cast<int>(labels_.rows.size()))
        return;
    const LabelPick pick =
        pickLabel(parties_, labels_.rows[static_cast<std::size_t>(index)].itemData);
    if (pick.party < 0)
        return;
    win::ComboBox(control(IDC_ENTRY_PARTY)).select(pick.party);
    lastPartyIndex = pick.party;
    EnableWindow(control(IDC_ENTRY_VENTILATION), pick.splitEditor);
}

// --- Loading an operation for a change ------------------------------------------

void OperationEntryPane::loadForEdit(int row, OperationRecord* operation) {
    if (!window || !operation)
        return;
    editRow = row;
    editedOperation = operation;
    workingLines.reset();
    const EntryFields fields = entryFieldsFor(*document, *operation);
    // The box that gets 0 first, so that the amounts pass through "both
    // zero" and refill the modes of the right side.
    if (fields.debitFirst) {
        setAmount(control(IDC_ENTRY_DEBIT), fields.debit);
        setAmount(control(IDC_ENTRY_CREDIT), fields.credit);
    } else {
        setAmount(control(IDC_ENTRY_CREDIT), fields.credit);
        setAmount(control(IDC_ENTRY_DEBIT), fields.debit);
    }
    const CalendarTime date = toCalendarTime(fields.operationDate);
    SYSTEMTIME picked{};
    picked.wYear = static_cast<WORD>(date.year);
    picked.wMonth = static_cast<WORD>(date.month);
    picked.wDayOfWeek = static_cast<WORD>(date.dayOfWeek);
    picked.wDay = static_cast<WORD>(date.day);
    picked.wHour = static_cast<WORD>(date.hour);
    picked.wMinute = static_cast<WORD>(date.minute);
    picked.wSecond = static_cast<WORD>(date.second);
    picked.wMilliseconds = static_cast<WORD>(date.millisecond);
    SendMessageW(control(IDC_ENTRY_DATE), DTM_SETSYSTEMTIME, GDT_VALID,
                 reinterpret_cast<LPARAM>(&picked));
    win::setWindowText1252(control(IDC_ENTRY_LABEL), fields.label);
    pendingChoices_ = fields;
    PostMessageW(window, WM_SELECT_EDIT_CHOICES, 0, 0);
    // The change starts where it usually is made: the amount, selected.
    HWND amountBox = control(fields.debit != 0.0 ? IDC_ENTRY_DEBIT : IDC_ENTRY_CREDIT);
    SetFocus(amountBox);
    SendMessageW(amountBox, EM_SETSEL, 0, -1);
}

void OperationEntryPane::selectEditChoices() {
    if (!pendingChoices_)
        return;
    const EntryFields fields = *pendingChoices_;
    pendingChoices_.reset();
    win::ComboBox(control(IDC_ENTRY_MODE)).selectData(fields.modeId);
    win::ComboBox parties(control(IDC_ENTRY_PARTY));
    if (parties.selectData(fields.party))
        lastPartyIndex = parties.selectedIndex();
    EnableWindow(control(IDC_ENTRY_VENTILATION), fields.splitEditor);
}

// --- The buttons ------------------------------------------------------------------

void OperationEntryPane::clearFields() {
    setAmount(control(IDC_ENTRY_CREDIT), 0.0);
    setAmount(control(IDC_ENTRY_DEBIT), 0.0);
    HWND labelBox = control(IDC_ENTRY_LABEL);
    win::ComboBox(labelBox).select(-1);
    win::setWindowText(labelBox, L"");
    labelCompletion.close();
    enableChoices(false);
    EnableWindow(control(IDC_ENTRY_VENTILATION), FALSE);
    editRow = -1;
    editedOperation = nullptr;
    pendingChoices_.reset();
    workingLines.reset();
}

void OperationEntryPane::cancel() {
    clearFields();
    labelIndex = -1;
}

void OperationEntryPane::dropEdit() {
    if (window != nullptr && editedOperation != nullptr)
        cancel();
}

void OperationEntryPane::refuse(const Refusal& refusal) {
    win::refuse(window, refusal);
}

void OperationEntryPane::editVentilation() {
    const VentilationStart start = startVentilation(debitValue(), creditValue());
    if (start.refusal) {
        refuse(start.refusal);
        return;
    }
    scratchOperation = OperationRecord{};
    scratchOperation.amount = start.amount;
    if (editedOperation && editedOperation->lines && !workingLines)
        workingLines = copyLines(*editedOperation);
    if (document)
        (void)runVentilationEditor(*document, {&scratchOperation, &workingLines}, window);
}

void OperationEntryPane::validate() {
    if (!booking)
        return;
    EntryForm form;
    form.debit = debitValue();
    form.credit = creditValue();
    HWND labelBox = control(IDC_ENTRY_LABEL);
    form.label = win::windowText1252(labelBox);
    // A typed text equal to an entry (ignoring case) counts as that entry.
    labelIndex = findLabelEntry(labels_, form.label.substr(0, kEntryLabelLength));
    form.labelIndex = labelIndex;
    form.party = static_cast<PartyId>(win::ComboBox(control(IDC_ENTRY_PARTY)).selectedData());
    form.modeId = static_cast<std::uint16_t>(win::ComboBox(control(IDC_ENTRY_MODE)).selectedData());
    form.operationDate = pickedDate();
    ValidationResult result = validateEntry(
        form, editedOperation, workingLines ? &*workingLines : nullptr, localNowFileTime());
    if (result.outcome == Validation::Refused) {
        refuse(result.refusal);
        return;
    }
    if (result.workingLinesCopied)
        workingLines = result.entry.lines;
    if (result.outcome == Validation::AskLinesDiffer) {
        if (win::showStringMessage(window, IDS_VENTILATION_MISMATCH,
                                   MB_OKCANCEL | MB_ICONINFORMATION) != IDOK)
            return;
        result.entry = withoutLines(std::move(result.entry));
    }
    std::unique_ptr<BookingCommand> command =
        editRow == -1 || !editedOperation
            ? makeNewOperation(std::move(result.entry))
            : makeChangeOperation(editedOperation, editRow, std::move(result.entry));
    const BookingStatus status = booking->perform(std::move(command));
    if (status == BookingStatus::OutOfMemory) {
        win::showStringMessage(window, IDS_OUT_OF_MEMORY);
        return;
    }
    if (status != BookingStatus::Done) {
        MessageBeep(MB_ICONINFORMATION); // the register no longer shows that row
        return;
    }
    clearFields();
    fillLabels(); // a typed label may have joined the list
    SendMessageW(GetParent(window), WM_OPERATION_SAVED, 0, 0);
}

} // namespace kolvane
