#include "graphs/graph_view.h"

#include "document/calendar.h"
#include "document/text.h"
#include "graphs/diagram_render_win32.h"
#include "graphs/expense_chart.h"
#include "graphs/totals_progress_dialog.h"
#include "win/child_controls.h"
#include "win/combo_box.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace kolvane::win {
namespace {

// The strip's controls are drawn over its sunken panel.
constexpr DWORD kOver = WS_CLIPSIBLINGS;
constexpr DWORD kList = kOver | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;

// The left strip; only the two period lists and the button do anything.
// The group boxes come last, under the controls they frame.
const ChildControl kControls[] = {
    {L"STATIC", L"Mois :", kOver | SS_LEFT, 20, 25, 40, 14, 0},
    {L"COMBOBOX", nullptr, kList, 62, 23, 105, 240, kGraphMonthList},
    {L"STATIC", L"Année :", kOver | SS_LEFT, 173, 25, 40, 14, 0},
    {L"COMBOBOX", nullptr, kList, 215, 23, 65, 200, kGraphYearList},
    {L"BUTTON", L" Autres périodes.", kOver | BS_AUTOCHECKBOX | WS_TABSTOP, 20, 50, 150, 14, 0},
    {L"STATIC", L"Début de période :", kOver | SS_LEFT | WS_DISABLED, 50, 75, 120, 14, 0},
    {DATETIMEPICK_CLASSW, nullptr, kOver | WS_DISABLED, 175, 73, 105, 21, 0},
    {L"STATIC", L"Fin de période :", kOver | SS_LEFT | WS_DISABLED, 50, 100, 120, 14, 0},
    {DATETIMEPICK_CLASSW, nullptr, kOver | WS_DISABLED, 175, 98, 105, 21, 0},
    {L"STATIC", L"Choix :", kOver | SS_LEFT, 20, 150, 60, 14, 0},
    {L"COMBOBOX", nullptr, kList, 80, 148, 200, 80, 0},
    {L"STATIC", L"Style :", kOver | SS_LEFT, 20, 175, 60, 14, 0},
    {L"COMBOBOX", nullptr, kList, 80, 173, 200, 80, 0},
    {L"STATIC", L"Options :", kOver | SS_LEFT, 20, 200, 60, 14, 0},
    {L"COMBOBOX", nullptr, kList, 80, 198, 200, 80, 0},
    {L"BUTTON", L"Afficher image", kOver | BS_PUSHBUTTON | WS_TABSTOP, 90, 230, 120, 22,
     kGraphShowButton},
    {L"BUTTON", L"Périodes", kOver | BS_GROUPBOX, 10, 5, 280, 120, 0},
    {L"BUTTON", L"Graphique", kOver | BS_GROUPBOX, 10, 130, 280, 145, 0},
};

} // namespace

GraphView::GraphView(Document* doc) : document_(doc) {}

GraphView::~GraphView() {
    if (window)
        DestroyWindow(window);
}

bool GraphView::registerClass(HINSTANCE instance) {
    if (!DiagramControl::registerClass(instance))
        return false;
    return registerViewClass(instance, kGraphViewClass, procedure);
}

HWND GraphView::createWindow(HWND tabControl, const RECT& area, bool visible) {
    return createTabViewWindow(*this, kGraphViewClass, tabControl, area, visible);
}

void GraphView::createControls() {
    HWND panel = createChild(
        window, {L"STATIC", nullptr, WS_CLIPSIBLINGS, 0, 0, 300, 500, kGraphPanel, WS_EX_CLIENTEDGE},
        nullptr);
    createChildren(window, kControls, static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
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
