// The graph view's wiring: "Afficher image" runs the computation behind the
// progress dialog and shows its picture; "Annuler" keeps the previous one;
// the chart is painted where its layout says, in the given colours; the
// control scales it, gives each bar a tool-tip and copies it.
#include "graphs/diagram_render_win32.h"
#include "graphs/expense_chart.h"
#include "graphs/graph_view.h"

#include "document/calendar.h"
#include "document/generator.h"
#include "resources/resource_ids.h"
#include "tests/ui/dialog_driver.h"
#include "win/child_controls.h"
#include "win/combo_box.h"
#include "win/gdi_handles.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <vector>

namespace kolvane::win {
namespace {

TEST(DiagramPainting, EveryPieceWhereTheLayoutPutsIt) {
    // Two series of five in 1000 x 820: u = 10, zero row 519 (see the core tests).
    Diagram diagram;
    diagramInit(diagram, 1000, 820);
    diagramSetTitle(diagram, "Titre");
    for (const std::vector<double>& values :
         {std::vector<double>{100, 50, 0, -50, 25}, std::vector<double>{10, 20, 30, 40, -25}}) {
        DiagramSeries* series = diagramAddSeries(diagram);
        for (double value : values)
            diagramAddValue(series, "Nom", value);
    }
    GdiObject<HBITMAP> bitmap(renderDiagram(diagram, {{200, 100, 50}, {60, 180, 90}}));
    ASSERT_TRUE(bitmap);
    BITMAP size{};
    GetObjectW(bitmap.get(), sizeof size, &size);
    ASSERT_EQ(size.bmWidth, 1000);
    ASSERT_EQ(size.bmHeight, 820);
    MemoryDC dc(CreateCompatibleDC(nullptr));
    SelectedObject keep(dc.get(), bitmap.get());
    const auto at = [&](int x, int y) { return GetPixel(dc.get(), x, y); };

    EXPECT_EQ(at(899, 300), RGB(192, 192, 192)); // the frame's right edge
    EXPECT_EQ(at(100, 300), RGB(0, 0, 0));       // the value axis
    EXPECT_EQ(at(620, 700), RGB(200, 100, 50));  // series 0, hanging from the zero line
    EXPECT_EQ(at(210, 500), RGB(60, 180, 90));   // series 1 (180-240, 475-519)
    EXPECT_EQ(at(210, 440), RGB(255, 255, 255)); // above it and its value
    int title = 0;                               // in its colour
    for (int y = 0; y < 20; ++y)
        for (int x = 400; x < 600; ++x)
            title += at(x, y) == RGB(242, 156, 142);
    EXPECT_GT(title, 10);
}

class GraphViewTest : public testing::Test {
  protected:
    void SetUp() override {
        documentInit(document);
        ASSERT_EQ(generateDocument(document, {3000, 2, 10, 10, 7}), GeneratorStatus::Ok);
        year = toCalendarTime(document.operations.last()->operationDate).year;
        host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 700, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
        tabs = CreateWindowExW(0, WC_TABCONTROLW, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 1000, 700,
                               host, nullptr, GetModuleHandleW(nullptr), nullptr);
        TCITEMW tab{};
        tab.mask = TCIF_TEXT;
        tab.pszText = const_cast<wchar_t*>(L"Graphique");
        SendMessageW(tabs, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&tab));
        ASSERT_NE(view.createWindow(tabs, win::tabViewArea(tabs), true), nullptr);
        ASSERT_TRUE(ComboBox(GetDlgItem(view.window, kGraphYearList)).selectData(year));
    }
    void TearDown() override {
        DestroyWindow(host);
        documentDestroy(document);
    }

    void pressShow() {
        SendMessageW(view.window, WM_COMMAND, MAKEWPARAM(kGraphShowButton, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(view.window, kGraphShowButton)));
    }
    std::vector<double> viewTotals() {
        std::vector<double> values;
        for (const CategoryTotal& line : view.totals())
            values.push_back(line.total);
        return values;
    }

    Document document;
    int year = 0;
    HWND host = nullptr, tabs = nullptr;
    GraphView view{&document};
};

// Cancels dialog 206 as soon as it has started, from inside its modal loop.
HHOOK cancelHook = nullptr;
int cancels = 0;
LRESULT CALLBACK cancelAtStart(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_INITDIALOG &&
        uitest::dialogTemplateId(call->hwnd) == IDD_PROGRESS) {
        SendMessageW(call->hwnd, WM_COMMAND, IDCANCEL, 0);
        ++cancels;
    }
    return CallNextHookEx(cancelHook, code, wParam, lParam);
}

TEST_F(GraphViewTest, ShowComputesInTheBackgroundAndCancelKeepsThePicture) {
    EXPECT_EQ(view.diagramControl().bitmap(), nullptr); // a new window starts empty
    pressShow();
    const HBITMAP first = view.diagramControl().bitmap();
    ASSERT_NE(first, nullptr);
    const std::vector<double> totals = viewTotals(); // what they are is the core tests' business
    ASSERT_EQ(totals.size(), 10u);                   // the ten expense categories
    EXPECT_GT(totals[0], 0.0);

    cancelHook = SetWindowsHookExW(WH_CALLWNDPROCRET, cancelAtStart, nullptr, GetCurrentThreadId());
    pressShow();
    UnhookWindowsHookEx(cancelHook);
    EXPECT_EQ(cancels, 1);
    EXPECT_EQ(view.diagramControl().bitmap(), first);
    for (double total : viewTotals())
        EXPECT_EQ(total, 0.0); // stopped before the first operation

    pressShow(); // the next computation starts again from zero
    EXPECT_NE(view.diagramControl().bitmap(), nullptr);
    EXPECT_EQ(viewTotals(), totals);
}

TEST_F(GraphViewTest, TheControlScalesTipsAndCopiesThePicture) {
    pressShow();
    DiagramControl& control = view.diagramControl();
    ASSERT_NE(control.bitmap(), nullptr);
    // One tool-tip per category, over the control.
    struct Found {
        HWND control;
        LRESULT tools = 0;
    } found{control.window};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM parameter) {
            auto* found = reinterpret_cast<Found*>(parameter);
            TOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            if (SendMessageW(window, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)) &&
                tool.hwnd == found->control)
                found->tools = SendMessageW(window, TTM_GETTOOLCOUNT, 0, 0);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    EXPECT_EQ(found.tools, static_cast<LRESULT>(view.totals().count()));

    // Painted at half size in a 500 x 820 client: white above and below.
    WindowDC screen(nullptr);
    MemoryDC memory(CreateCompatibleDC(screen.get()));
    GdiObject<HBITMAP> canvas(CreateCompatibleBitmap(screen.get(), 500, 820));
    SelectedObject keep(memory.get(), canvas.get());
    RECT all{0, 0, 500, 820};
    FillRect(memory.get(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    control.paint(memory.get(), 500, 820);
    EXPECT_EQ(GetPixel(memory.get(), 25, 204), RGB(0, 0, 0));       // not drawn over
    EXPECT_EQ(GetPixel(memory.get(), 25, 206), RGB(255, 255, 255)); // the picture's white margin
    EXPECT_EQ(GetPixel(memory.get(), 25, 616), RGB(0, 0, 0));

    ASSERT_TRUE(control.copyToClipboard());
    ASSERT_TRUE(OpenClipboard(nullptr));
    BITMAP copied{};
    GetObjectW(GetClipboardData(CF_BITMAP), sizeof copied, &copied);
    CloseClipboard();
    EXPECT_EQ(copied.bmWidth, kExpenseChartWidth);
    EXPECT_EQ(copied.bmHeight, kExpenseChartHeight);
}

} // namespace
} // namespace kolvane::win
