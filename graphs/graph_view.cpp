#include "graphs/graph_view.h"

#include "document/calendar.h"
#include "document/text.h"
#include "graphs/diagram_render_win32.h"
#include "graphs/expense_chart.h"
#include "graphs/totals_progress_dialog.h"
#include "win/date_picker.h"
#include "win/combo_box.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace kolvane::win {
namespace {

struct ControlSpec {
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    int id;
    int x, y, width, height;
};

constexpr DWORD kList = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;

// The left strip; only the two period lists and the button do anything.
// The group boxes come last, under the controls they frame.
const ControlSpec kControls[] = {
    {L"STATIC", L"Mois :", SS_LEFT, 0, 20, 25, 40, 14},
    {L"COMBOBOX", nullptr, kList, kGraphMonthList, 62, 23, 105, 240},
    {L"STATIC", L"Année :", SS_LEFT, 0, 173, 25, 40, 14},
    {L"COMBOBOX", nullptr, kList, kGraphYearList, 215, 23, 65, 200},
    {L"BUTTON", L" Autres périodes.", BS_AUTOCHECKBOX | WS_TABSTOP, 0, 20, 50, 150, 14},
    {L"STATIC", L"Début de période :", SS_LEFT | WS_DISABLED, 0, 50, 75, 120, 14},
    {DATETIMEPICK_CLASSW, nullptr, WS_DISABLED, 0, 175, 73, 105, 21},
    {L"STATIC", L"Fin de période :", SS_LEFT | WS_DISABLED, 0, 50, 100, 120, 14},
    {DATETIMEPICK_CLASSW, nullptr, WS_DISABLED, 0, 175, 98, 105, 21},
    {L"STATIC", L"Choix :", SS_LEFT, 0, 20, 150, 60, 14},
    {L"COMBOBOX", nullptr, kList, 0, 80, 148, 200, 80},
    {L"STATIC", L"Style :", SS_LEFT, 0, 20, 175, 60, 14},
    {L"COMBOBOX", nullptr, kList, 0, 80, 173, 200, 80},
    {L"STATIC", L"Options :", SS_LEFT, 0, 20, 200, 60, 14},
    {L"COMBOBOX", nullptr, kList, 0, 80, 198, 200, 80},
    {L"BUTTON", L"Afficher image", BS_PUSHBUTTON | WS_TABSTOP, kGraphShowButton, 90, 230, 120, 22},
    {L"BUTTON", L"Périodes", BS_GROUPBOX, 0, 10, 5, 280, 120},
    {L"BUTTON", L"Graphique", BS_GROUPBOX, 0, 10, 130, 280, 145},
};

// The view's place in the tab control: under the tabs, 4 pixels in.
RECT placeInTabs(HWND tabControl) {
    RECT tab{}, client{};
    TabCtrl_GetItemRect(tabControl, 0, &tab);
    GetClientRect(tabControl, &client);
    return RECT{4, tab.bottom + 5, client.right - 6, client.bottom - 5};
}

} // namespace

GraphView::GraphView(Document* doc) : document_(doc) {}

GraphView::~GraphView() {
    if (window)
        DestroyWindow(window);
}

bool GraphView::registerClass(HINSTANCE instance) {
    if (!DiagramControl::registerClass(instance))
        return false;
    WNDCLASSEXW view{};
    view.cbSize = sizeof view;
    view.style = CS_HREDRAW | CS_VREDRAW;
    view.lpfnWndProc = procedure;
    view.hInstance = instance;
    view.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    view.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    view.lpszClassName = kGraphViewClass;
    return RegisterClassExW(&view) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND GraphView::createWindow(HWND tabControl, const RECT&, bool visible) {
    const RECT place = placeInTabs(tabControl);
    return create(0, kGraphViewClass, nullptr,
                  WS_CHILD | WS_BORDER | WS_HSCROLL | WS_VSCROLL | WS_CLIPCHILDREN |
                      (visible ? WS_VISIBLE : 0),
                  place.left, place.top, place.right - place.left, place.bottom - place.top,
                  tabControl, nullptr);
}

void GraphView::fitTo(const RECT&) {
    if (!window)
        return;
    const RECT place = placeInTabs(GetParent(window));
    MoveWindow(window, place.left, place.top, place.right - place.left, place.bottom - place.top,
               TRUE);
}

void GraphView::createControls() {
    HINSTANCE instance = resourceInstance();
    HWND panel = CreateWindowExW(
        WS_EX_CLIENTEDGE, L"STATIC", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 300,
        500, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kGraphPanel)), instance, nullptr);
    auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
    for (const ControlSpec& spec : kControls) {
        HWND control = CreateWindowExW(
            0, spec.className, spec.text, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | spec.style,
            spec.x, spec.y, spec.width, spec.height, window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), instance, nullptr);
        SendMessageW(control, WM_SETFONT, font, FALSE);
        win::showFrenchDates(control, spec.className);
    }
    SetWindowPos(panel, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    ComboBox(GetDlgItem(window, kGraphMonthList)).fill(graphPeriodChoices());
    ComboBox(GetDlgItem(window, kGraphYearList)).fill(graphYearChoices(localNow().year));

    diagramControl_.create(window, 300, 0, 500, 500);
    scrolling.horizontal.line = 1;
    scrolling.vertical.line = 1;
    setPageSize(kGraphPageWidth, kGraphPageHeight);
    layOut();
}

void GraphView::layOut() {
    RECT client{};
    GetClientRect(window, &client);
    const GraphViewLayout layout = graphViewLayout(client.right, client.bottom);
    const POINT at = scrollPosition();
    MoveWindow(GetDlgItem(window, kGraphPanel), layout.panel.left - at.x, layout.panel.top - at.y,
               layout.panel.right - layout.panel.left, layout.panel.bottom - layout.panel.top,
               TRUE);
    diagramControl_.move(layout.chart.left - at.x, layout.chart.top - at.y,
                         layout.chart.right - layout.chart.left,
                         layout.chart.bottom - layout.chart.top);
}

void GraphView::computeTotals() {
    if (!window || !document_)
        return;
    const int month = ComboBox(GetDlgItem(window, kGraphMonthList)).selectedIndex();
    const auto year = static_cast<int>(ComboBox(GetDlgItem(window, kGraphYearList)).selectedData());
    Period period;
    if (!periodOfYear(month, year, period))
        return;
    period_ = period;
    if (!listExpenseCategories(*document_, totals_) || totals_.empty())
        return; // nothing to draw: the picture stays
    if (runTotalsJob({document_, period_}, {&totals_}, window) != TotalsEnd::Completed || !window)
        return; // cancelled, or the view went meanwhile
    showPicture();
}

void GraphView::refresh(int) {
    if (!window || !document_ || !diagram_)
        return;
    if (!listExpenseCategories(*document_, totals_) ||
        runTotalsJob({document_, period_}, {&totals_}, window) != TotalsEnd::Completed || !window)
        return;
    showPicture();
}

void GraphView::showPicture() {
    if (!diagram_) {
        diagram_ = std::make_unique<Diagram>();
        diagramInit(*diagram_, kExpenseChartWidth, kExpenseChartHeight);
    }
    fillExpenseChart(*diagram_, totals_);
    HBITMAP bitmap = diagramRender(*diagram_);
    if (!bitmap)
        return;
    diagramControl_.setBitmap(bitmap);
    const DiagramLayout layout = layoutDiagram(*diagram_);
    std::vector<BarTip> tips;
    for (const DiagramBar& bar : layout.bars)
        tips.push_back({barColumn(layout, bar), cp1252ToWide(barTip(*diagram_, bar))});
    diagramControl_.setBarTips(std::move(tips));
}

LRESULT GraphView::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (auto answer = handleScrolling(message, wParam, lParam))
        return *answer;
    switch (message) {
    case WM_CREATE:
        createControls();
        return 0;
    case WM_SIZE:
        layOut();
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kGraphShowButton && HIWORD(wParam) == BN_CLICKED)
            computeTotals();
        return 0;
    case WM_DESTROY:
        diagram_.reset(); // the control's window, and its bitmap, go first
        return 0;
    default:
        return defaultProcedure(message, wParam, lParam);
    }
}

} // namespace kolvane::win
