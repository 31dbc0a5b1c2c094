#include "loan/lending_view.h"

#include "accounts/link_rules.h"
#include "document/calendar.h"
#include "document/dates.h"
#include "document/file_system.h"
#include "loan/lending_export.h"
#include "loan/lending_rules.h"
#include "operations/amount_edit_control.h"
#include "resources/resource_ids.h"
#include "win/child_controls.h"
#include "win/clipboard.h"
#include "win/combo_box.h"
#include "win/file_chooser.h"
#include "win/refusals.h"
#include "win/window_text.h"

#include <commctrl.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kolvane {
namespace {

constexpr const wchar_t* kClassName = L"WndLendingClass";

// The form's strip and the page the scroll bars move over.
constexpr int kStripWidth = 300;
constexpr int kPageWidth = 800;
constexpr int kPageHeight = 530; // the form down to its "Détails" group

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
// A label too long for its 150 pixels is cut, not wrapped out of sight.
constexpr DWORD kLabel = WS_CHILD | WS_VISIBLE | SS_LEFTNOWORDWRAP;
constexpr DWORD kDropDownList = kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;

// The form, top to bottom; each field's label sits at x 20, two pixels below
// the field's top.
const win::ChildControl kForm[] = {
    {WC_BUTTONW, L"Simulation", kChild | BS_GROUPBOX, 10, 5, 280, 70, -1},
    {WC_COMBOBOXW, L"", kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN, 20, 25, 260, 80,
     IDC_LOAN_SIMULATIONS},
    {kLinkControlClassName, L"Supprimer dans la liste", kChild, 42, 53, 115, 16,
     IDC_LOAN_REMOVE_LINK},
    {kLinkControlClassName, L"Ajouter dans la liste", kChild, 187, 53, 90, 16, IDC_LOAN_ADD_LINK},
    {WC_BUTTONW, L"Propriétés", kChild | BS_GROUPBOX, 10, 80, 280, 280, -1},
    {WC_STATICW, L"Date de déblocage des fonds :", kLabel, 20, 100, 150, 14, -1},
    {DATETIMEPICK_CLASSW, L"", kChild | WS_TABSTOP | DTS_SHORTDATEFORMAT, 175, 98, 105, 20,
     IDC_LOAN_RELEASE_DATE},
    {WC_STATICW, L"Date de la 1ère échéance :", kLabel, 20, 125, 150, 14, -1},
    {DATETIMEPICK_CLASSW, L"", kChild | WS_TABSTOP | DTS_SHORTDATEFORMAT, 175, 123, 105, 20,
     IDC_LOAN_FIRST_DATE},
    {WC_STATICW, L"Montant de l'emprunt :", kLabel, 20, 150, 150, 14, -1},
    {WC_EDITW, L"", kChild | WS_TABSTOP | ES_AUTOHSCROLL, 175, 148, 105, 20, IDC_LOAN_AMOUNT,
     WS_EX_CLIENTEDGE},
    {WC_STATICW, L"Nombre des échéances :", kLabel, 20, 175, 150, 14, -1},
    {WC_EDITW, L"", kChild | WS_TABSTOP | ES_AUTOHSCROLL | ES_NUMBER | ES_RIGHT, 175, 173, 105, 20,
     IDC_LOAN_COUNT, WS_EX_CLIENTEDGE},
    {WC_STATICW, L"Périodicité d'échéance :", kLabel, 20, 200, 150, 14, -1},
    {WC_COMBOBOXW, L"", kDropDownList, 175, 198, 105, 80, IDC_LOAN_PERIODICITY},
    {WC_STATICW, L"Taux d'intérêt annuel (%):", kLabel, 20, 225, 150, 14, -1},
    {WC_EDITW, L"", kChild | WS_TABSTOP | ES_AUTOHSCROLL, 175, 223, 105, 20, IDC_LOAN_RATE,
     WS_EX_CLIENTEDGE},
    {WC_STATICW, L"Taux périodique utilisé :", kLabel, 20, 250, 150, 14, -1},
    {WC_COMBOBOXW, L"", kDropDownList, 175, 248, 105, 80, IDC_LOAN_RATE_MODE},
    {WC_STATICW, L"Assurance :", kLabel, 20, 275, 150, 14, -1},
    {WC_EDITW, L"", kChild | WS_TABSTOP | ES_AUTOHSCROLL, 175, 273, 105, 20, IDC_LOAN_INSURANCE,
     WS_EX_CLIENTEDGE},
    {WC_STATICW, L"Type d'assurance :", kLabel, 20, 300, 100, 14, -1},
    {WC_COMBOBOXW, L"", kDropDownList, 125, 298, 155, 80, IDC_LOAN_INSURANCE_TYPE},
    {WC_BUTTONW, L"Calculer", kChild | WS_TABSTOP | BS_PUSHBUTTON, 95, 330, 110, 22, IDOK},
    {WC_BUTTONW, L"Détails", kChild | BS_GROUPBOX, 10, 365, 280, 153, -1},
    {WC_STATICW, L"Echéance avec assurance :", kLabel | WS_DISABLED, 20, 385, 150, 14, -1},
    {WC_EDITW, L"", kChild | WS_DISABLED | ES_AUTOHSCROLL, 175, 383, 105, 20,
     IDC_LOAN_WITH_INSURANCE, WS_EX_CLIENTEDGE},
    {WC_STATICW, L"Echéance sans assurance :", kLabel | WS_DISABLED, 20, 410, 150, 14, -1},
    {WC_EDITW, L"", kChild | WS_DISABLED | ES_AUTOHSCROLL, 175, 408, 105, 20,
     IDC_LOAN_WITHOUT_INSURANCE, WS_EX_CLIENTEDGE},
    {WC_STATICW, L"Coût total du crédit :", kLabel | WS_DISABLED, 20, 435, 150, 14, -1},
    {WC_EDITW, L"", kChild | WS_DISABLED | ES_AUTOHSCROLL, 175, 433, 105, 20, IDC_LOAN_TOTAL_COST,
     WS_EX_CLIENTEDGE},
    {WC_STATICW, L"Taux effectif annuel :", kLabel | WS_DISABLED, 20, 460, 150, 14, -1},
    {WC_EDITW, L"", kChild | WS_DISABLED | ES_AUTOHSCROLL, 175, 458, 105, 20,
     IDC_LOAN_EFFECTIVE_RATE, WS_EX_CLIENTEDGE},
    // The table for a spreadsheet, once there is one.
    {WC_BUTTONW, L"Copier le tableau", kChild | WS_TABSTOP | WS_DISABLED | BS_PUSHBUTTON, 20, 486,
     125, 22, IDC_LOAN_COPY},
    {WC_BUTTONW, L"Exporter en CSV...", kChild | WS_TABSTOP | WS_DISABLED | BS_PUSHBUTTON, 155,
     486, 125, 22, IDC_LOAN_EXPORT},
};

constexpr win::FileChoice kExportTable{true, L"Exporter le tableau d'amortissement",
                                       L"Fichier CSV (*.csv)\0*.csv\0", L"csv"};

// The table's columns: the number centred, the rest right-aligned under
// centred titles; the last one is widened with the list.
const win::ListColumn kColumns[] = {
    {L"Numéro", 60, win::ListAlign::Centre, win::ListAlign::Left},
    {L"Date", 90, win::ListAlign::Right, win::ListAlign::Centre},
    {L"Intérêt", 100, win::ListAlign::Right, win::ListAlign::Centre},
    {L"Principal", 100, win::ListAlign::Right, win::ListAlign::Centre},
    {L"Assurance", 100, win::ListAlign::Right, win::ListAlign::Centre},
    {L"Echéance", 100, win::ListAlign::Right, win::ListAlign::Centre},
    {L"Capital dû", 110, win::ListAlign::Right, win::ListAlign::Centre},
};
constexpr int kRowHeight = 20;

// The two icons beside the links, scaled to 20 x 20.
constexpr POINT kIcons[] = {{20, 48}, {165, 48}};

FileTime pickerDate(HWND picker) {
    SYSTEMTIME time{};
    if (SendMessageW(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&time)) != GDT_VALID)
        return 0;
    CalendarTime date;
    date.year = time.wYear;
    date.month = time.wMonth;
    date.day = time.wDay;
    date.hour = time.wHour;
    date.minute = time.wMinute;
    date.second = time.wSecond;
    return toFileTime(date);
}

void setPickerDate(HWND picker, FileTime fileTime) {
    const CalendarTime date = toCalendarTime(fileTime);
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(date.year);
    time.wMonth = static_cast<WORD>(date.month);
    time.wDay = static_cast<WORD>(date.day);
    time.wDayOfWeek = static_cast<WORD>(date.dayOfWeek);
    time.wHour = static_cast<WORD>(date.hour);
    time.wMinute = static_cast<WORD>(date.minute);
    time.wSecond = static_cast<WORD>(date.second);
    SendMessageW(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&time));
}

std::uint32_t choice(HWND combo) {
    return static_cast<std::uint32_t>(win::ComboBox(combo).selectedData());
}



} // namespace

bool LendingView::registerClass(HINSTANCE instance) {
    return win::registerViewClass(instance, kClassName, procedure);
}

HWND LendingView::createWindow(HWND tabControl, const RECT& area, bool visible) {
    return win::createTabViewWindow(*this, kClassName, tabControl, area, visible);
}

void LendingView::createControls() {
    HINSTANCE instance = win::resourceInstance();
    const auto font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    win::createChild(window,
                     {WC_STATICW, nullptr, SS_SUNKEN, 0, 0, kStripWidth, kPageHeight,
                      IDC_LOAN_PANEL, WS_EX_STATICEDGE},
                     font);
    win::createChildren(window, kForm, font);
    for (POINT at : kIcons)
        CreateWindowExW(0, WC_STATICW, L"#102", kChild | SS_ICON | SS_REALSIZECONTROL, at.x, at.y,
                        20, 20, window, nullptr, instance, nullptr);

    setPickerDate(control(IDC_LOAN_RELEASE_DATE), localNowFileTime());
    setPickerDate(control(IDC_LOAN_FIRST_DATE), addMonths(localNowFileTime(), 1));
    attachAmountEdit(control(IDC_LOAN_AMOUNT), true);
    attachAmountEdit(control(IDC_LOAN_RATE), false);
    attachAmountEdit(control(IDC_LOAN_INSURANCE), false);
    attachAmountEdit(control(IDC_LOAN_WITH_INSURANCE), false);
    attachAmountEdit(control(IDC_LOAN_WITHOUT_INSURANCE), false);
    attachAmountEdit(control(IDC_LOAN_TOTAL_COST), false);
    win::ComboBox(control(IDC_LOAN_PERIODICITY)).fill(periodicityChoices());
    win::ComboBox(control(IDC_LOAN_RATE_MODE)).fill(rateModeChoices());
    win::ComboBox(control(IDC_LOAN_INSURANCE_TYPE)).fill(insuranceTypeChoices());

    table_.create(window, IDC_LOAN_TABLE, {kStripWidth, 0, kPageWidth, kPageHeight}, rows_,
                  kColumns,
                  {.textColour = kLendingRowText, .rowHeight = kRowHeight, .showSelection = false});
    scrolling.horizontal.line = 1;
    scrolling.vertical.line = 1;
    setPageSize(kPageWidth, kPageHeight);
}

void LendingView::layout() {
    RECT client{};
    GetClientRect(window, &client);
    const int width = client.right >= kPageWidth + 1 ? client.right : kPageWidth;
    const int height = client.bottom > kPageHeight ? client.bottom : kPageHeight;
    // The children move with the page: place them at its scrolled origin.
    const POINT origin = scrollPosition();
    MoveWindow(control(IDC_LOAN_PANEL), -origin.x, -origin.y, kStripWidth, height, TRUE);
    MoveWindow(table_.handle(), kStripWidth - origin.x, -origin.y, width - kStripWidth, height,
               TRUE);
    RECT listClient{};
    GetClientRect(table_.handle(), &listClient);
    table_.setColumnWidth(kLendingColumnCount - 1, lendingLastColumnWidth(listClient.right));
}

void LendingView::calculate() {
    if (!document)
        return;
    LendingForm form;
    form.releaseDate = pickerDate(control(IDC_LOAN_RELEASE_DATE));
    form.firstInstalmentDate = pickerDate(control(IDC_LOAN_FIRST_DATE));
    form.amount = getAmount(control(IDC_LOAN_AMOUNT));
    form.countText = win::windowTextUtf8(control(IDC_LOAN_COUNT));
    form.annualRate = getAmount(control(IDC_LOAN_RATE));
    form.insurance = getAmount(control(IDC_LOAN_INSURANCE));
    form.periodicity = static_cast<Periodicity>(choice(control(IDC_LOAN_PERIODICITY)));
    form.rateMode = static_cast<RateMode>(choice(control(IDC_LOAN_RATE_MODE)));
    form.insuranceType = static_cast<InsuranceType>(choice(control(IDC_LOAN_INSURANCE_TYPE)));

    LendingDecision decision = decideLending(form);
    if (decision.refusal) {
        win::refuse(window, decision.refusal);
        return;
    }
    parameters_ = decision.parameters;
    schedule_ = std::move(decision.schedule);
    setAmount(control(IDC_LOAN_WITH_INSURANCE), schedule_.instalmentWithInsurance);
    setAmount(control(IDC_LOAN_WITHOUT_INSURANCE), schedule_.instalmentWithoutInsurance);
    const LendingCost cost = lendingCost(schedule_, parameters_.periodicity);
    setAmount(control(IDC_LOAN_TOTAL_COST), cost.total);
    win::setWindowTextUtf8(control(IDC_LOAN_EFFECTIVE_RATE),
                           lendingRateText(cost.effectiveAnnualRate));
    EnableWindow(control(IDC_LOAN_COPY), TRUE);
    EnableWindow(control(IDC_LOAN_EXPORT), TRUE);
    table_.reload();
    layout(); // the list's scroll bar may come or go
}

bool LendingView::copyTable() {
    if (schedule_.rows.empty())
        return false;
    if (win::copyTextToClipboard(window, utf8ToWide(lendingTableTabText(schedule_))))
        return true;
    win::showMessage(window, L"Le tableau n'a pas pu être copié dans le presse-papiers .");
    return false;
}

bool LendingView::exportTable() {
    if (schedule_.rows.empty())
        return false;
    const std::optional<std::string> path =
        chooseExportFile ? chooseExportFile(window) : win::chooseFile(window, kExportTable);
    if (!path)
        return false;
    const std::string csv = lendingTableCsv(schedule_);
    std::string reason;
    if (replaceFileContent(platformFileSystem(), *path,
                           std::vector<std::uint8_t>(csv.begin(), csv.end()), {}, &reason))
        return true;
    win::showMessage(window, utf8ToWide(lendingExportFailureMessage(*path, reason)));
    return false;
}

LRESULT LendingView::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (auto answer = handleScrolling(message, wParam, lParam))
        return *answer;
    switch (message) {
    case WM_CREATE:
        createControls();
        return 0;
    case WM_SIZE:
        layout();
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED)
            return 0;
        if (LOWORD(wParam) == IDOK)
            calculate();
        else if (LOWORD(wParam) == IDC_LOAN_COPY)
            copyTable();
        else if (LOWORD(wParam) == IDC_LOAN_EXPORT)
            exportTable();
        return 0;
    case WM_NOTIFY:
        if (auto answer = table_.notify(*reinterpret_cast<const NMHDR*>(lParam)))
            return *answer;
        break;
    case WM_DRAWITEM:
        if (table_.drawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)))
            return TRUE;
        break;
    case WM_NEXTDLGCTL: // the focus a refusal sends to its field
        if (lParam != 0)
            SetFocus(reinterpret_cast<HWND>(wParam));
        return 0;
    case WM_DESTROY:
        schedule_ = {};
        return 0;
    }
    return defaultProcedure(message, wParam, lParam);
}

} // namespace kolvane
