// The loan simulator, window class "WndLendingClass": the form on a strip at
// the left, the amortisation table on the right, over a page of 800 x 530
// pixels that scrolls when the window is smaller. "Calculer" reads the form,
// asks lending_rules.h for the decision and shows it with the cost of the
// credit; the table can then be copied or exported for a spreadsheet
// (lending_export.h). Nothing is stored in the account file.
#pragma once

#include "document/document.h"
#include "loan/lending.h"
#include "loan/lending_rules.h"
#include "win/tab_view.h"
#include "win/list_view.h"
#include "win/scrolled_page.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace kolvane {

class LendingView final : public win::TabView, public win::ScrolledPage<LendingView> {
  public:
    explicit LendingView(Document* doc) : document(doc) {}

    // "WndLendingClass": redrawn on resizing, arrow cursor, button-face background.
    static bool registerClass(HINSTANCE instance);

    HWND createWindow(HWND tabControl, const RECT& area, bool visible) override;
    HWND viewWindow() const override { return window; }

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void paintPage(HDC, const RECT&) {} // the controls cover the page

    // "Calculer": on a refusal the message, the focus on the field, and the
    // previous results left as they are.
    void calculate();
    // "Copier le tableau": the table as tab-separated text on the clipboard.
    bool copyTable();
    // "Exporter en CSV...": the table into a CSV file chosen by the user,
    // written whole or not at all; a failure is told with the system's reason.
    bool exportTable();

    const LendingSchedule& schedule() const { return schedule_; }
    const win::ListView& table() const { return table_; }

    Document* document = nullptr; // "Calculer" does nothing without one
    // Where the CSV file goes; the save dialog unless a test answers.
    std::function<std::optional<std::string>(HWND owner)> chooseExportFile;

  private:
    void createControls();
    void layout();
    HWND control(int id) const { return GetDlgItem(window, id); }

    LendingParameters parameters_;
    LendingSchedule schedule_; // empty before the first calculation
    LendingRows rows_{schedule_};
    win::ListView table_;
};

} // namespace kolvane
