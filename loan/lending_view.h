// The loan simulator, window class "WndLendingClass": the form on a strip at
// the left, the amortisation table on the right. "Calculer" reads the form,
// asks lending_rules.h for the decision and shows it; nothing is stored in the
// account file.
#pragma once

#include "document/document.h"
#include "loan/lending.h"
#include "shell/tab_view.h"
#include "shell/window_object.h"

#include <windows.h>

namespace kolvane {

class LendingView final : public win::TabView, public win::WindowObject<LendingView> {
  public:
    explicit LendingView(Document* doc) : document(doc) {}

    // "WndLendingClass": redrawn on resizing, arrow cursor, button-face background.
    static bool registerClass(HINSTANCE instance);

    HWND createWindow(HWND tabControl, const RECT& area, bool visible) override;
    HWND viewWindow() const override { return window; }
    void fitTo(const RECT& area) override;

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // "Calculer": on a refusal the message, the focus on the field, and the
    // previous results left as they are.
    void calculate();

    const LendingSchedule& schedule() const { return schedule_; }

    Document* document = nullptr; // "Calculer" does nothing without one

  private:
    void createControls();
    void layout();
    void showResults();
    HWND control(int id) const { return GetDlgItem(window, id); }

    LendingParameters parameters_;
    LendingSchedule schedule_; // empty before the first calculation
};

} // namespace kolvane
