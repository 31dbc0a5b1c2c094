// The "Graphique" tab: a period chosen on the left ("Mois :", "Année :"),
// "Afficher image", and the expenses per category of that period drawn as a
// bar chart on the right. The totals are computed on a worker thread behind
// the progress dialog; a cancelled computation leaves the picture as it was.
#pragma once

#include "graphs/diagram.h"
#include "graphs/diagram_control.h"
#include "graphs/period_totals.h"
#include "win/scrolled_page.h"
#include "win/tab_view.h"

#include <windows.h>

#include <memory>

namespace kolvane::win {

// Control identifiers of the view.
inline constexpr int kGraphShowButton = 1; // "Afficher image"
inline constexpr int kGraphPanel = 4000;
inline constexpr int kGraphMonthList = 4001;
inline constexpr int kGraphYearList = 4002;

class GraphView : public TabView, public ScrolledPage<GraphView> {
  public:
    explicit GraphView(Document* doc);
    ~GraphView() override;
    GraphView(const GraphView&) = delete;
    GraphView& operator=(const GraphView&) = delete;

    // The diagram control's class, then "WndGraphClass".
    static bool registerClass(HINSTANCE instance);

    // The window goes inside the tab control under its tabs, 4 pixels in
    // (not over `area`), and takes that place again on resize.
    HWND createWindow(HWND tabControl, const RECT& area, bool visible) override;
    HWND viewWindow() const override { return window; }

    // "Afficher image": the totals of the chosen period, then the picture.
    void computeTotals();
    // The categories changed: a picture already drawn is computed again, for
    // its period, over the categories now shown.
    void refresh(int argument) override;

    const CategoryTotalList& totals() const { return totals_; }
    const Period& period() const { return period_; }
    DiagramControl& diagramControl() { return diagramControl_; }

    void paintPage(HDC, const RECT&) {} // the controls cover the page
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    void createControls();
    void layOut();
    void showPicture();

    Document* document_;
    CategoryTotalList totals_;
    Period period_;
    DiagramControl diagramControl_;
    std::unique_ptr<Diagram> diagram_; // from the first completed computation
};

} // namespace kolvane::win
