// The register of the "Opérations" tab, window class "WndOperationClass":
// the owner-data list of the current account's rows over the register model,
// the balance strip under it and, when shown, the entry pane under the strip.
// Every change (tick, deletion, order, account, and the pane's bookings) goes
// through the document's history, which the frame owns with the register
// model; the view only asks and shows.
#pragma once

#include "operations/balance_strip_control.h"
#include "operations/booking.h"
#include "operations/entry_pane_view.h"
#include "operations/register_model.h"
#include "operations/ventilation_dialogs.h"
#include "win/list_view.h"
#include "win/scrolled_page.h"
#include "win/tab_view.h"

#include <windows.h>

#include <array>
#include <functional>
#include <string>

namespace kolvane {

inline constexpr int kRegisterListId = 5000;

class OperationView : public win::ScrolledPage<OperationView>, public win::TabView {
  public:
    OperationView(Document* doc, BookingHistory& history);
    ~OperationView() override;

    static bool registerClasses(HINSTANCE instance);

    // TabView
    HWND createWindow(HWND tabControl, const RECT& area, bool visible) override;
    HWND viewWindow() const override { return window; }
    void refresh(int refill) override;
    void addCommands(CommandRouter& router) override;

    // The menu commands of " Opération ".
    void toggleEntryPane();
    bool isEntryPaneShown() const;
    bool canModifySelection() const;
    bool canConsultSelection() const;
    int deleteSelection(); // 1 when an operation was deleted
    int modifySelection(); // 1 when the pane took the operation
    void consultSelection();
    void setSortOrder(std::uint32_t order);
    // Ticks or unticks the record of `row` (pointing mode is the caller's check).
    bool toggleTick(int row);

    // A change made outside the history: it can no longer take its steps
    // back and is dropped, with the rows, until the next refresh.
    void forgetHistory();
    // After an undo or redo: the rows again, the row of `selected` still
    // selected when it is one, else the step's row; the strip and the pane.
    void showHistoryStep(const OperationRecord* selected);
    OperationRecord* selectedRecord() const { return model_.record(selectedRow()); }

    RegisterModel& model() { return model_; }
    BookingHistory& history() { return history_; }
    win::ListView& list() { return list_; }
    BalanceStrip& strip() { return strip_; }
    OperationEntryPane& entryPane() { return entryPane_; }
    int selectedRow() const { return list_.selectedRow(); }

    // Called after every change that may have set the modified flag: the
    // frame's menus and title follow.
    std::function<void()> documentChanged;

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void paintPage(HDC, const RECT&) {} // the children cover the page

  private:
    void onCreate();
    void layout();
    void refill();
    LRESULT onNotify(const NMHDR& header);
    void onClick(int row, int column);
    void onKey(WORD key);
    // After a change: the rows again, `row` selected and shown (-1: none).
    void showChange(int row);
    void afterBooking(BookingStatus status);

    Document* document_;
    BookingHistory& history_;
    RegisterModel& model_;
    win::ListView list_;
    std::array<std::wstring, kRegisterColumnCount> titles_;
    BalanceStrip strip_;
    OperationEntryPane entryPane_;
};

} // namespace kolvane
