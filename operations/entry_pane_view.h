// The operation entry pane ("WndCtlNewOperationClass"): the strip of controls
// under the register in which the user enters a new operation of the current
// account or changes one picked in the register. "Valider" books it through
// the register's booking history; the decisions (what the amounts enable,
// what is refused, what is booked) are those of entry_rules.h.
//
// The register hosts it:
//
//     OperationEntryPane pane;                       // lives as long as the register
//     pane.create(registerWindow, layout.paneY, &document, &history);
//     pane.moveTo(registerWindow, layout.paneY);     // on WM_SIZE
//     pane.refillChoices();                          // in refresh()
//     pane.loadForEdit(row, model.record(row));      // "Modifier opération"
//     // WM_OPERATION_SAVED: an operation was booked (history.lastRow() is its row);
//     // WM_TOGGLE_ENTRY_PANE: the "x" button asks to hide the pane.
#pragma once

#include "document/choice_lists.h"
#include "operations/booking.h"
#include "operations/drop_buddy_control.h"
#include "operations/entry_rules.h"
#include "operations/ventilation_dialogs.h"
#include "win/gdi_handles.h"
#include "win/window_object.h"

#include <windows.h>

#include <optional>

namespace kolvane {

inline constexpr const wchar_t* kEntryPaneClass = L"WndCtlNewOperationClass";

// Sent to the register after "Valider" booked an operation.
inline constexpr UINT WM_OPERATION_SAVED = WM_USER + 1;
// Posted to the register by the pane's "x" button.
inline constexpr UINT WM_TOGGLE_ENTRY_PANE = WM_USER + 2;
// Posted by the pane to itself: select the mode and the party of the
// operation loaded for a change, once the amounts have refilled the modes.
inline constexpr UINT WM_SELECT_EDIT_CHOICES = WM_USER + 1;

bool registerEntryPaneClass(HINSTANCE instance);

struct OperationEntryPane : win::WindowObject<OperationEntryPane> {
    Document* document = nullptr;
    int lastPartyIndex = -1;
    int editRow = -1;
    int labelIndex = -1;
    OperationRecord* editedOperation = nullptr;
    OperationRecord scratchOperation{};
    DropBuddy labelCompletion;
    WorkingLines workingLines;
    // Where "Valider" books: the document's history.
    BookingHistory* booking = nullptr;

    OperationEntryPane() = default;
    ~OperationEntryPane();
    OperationEntryPane(const OperationEntryPane&) = delete;
    OperationEntryPane& operator=(const OperationEntryPane&) = delete;

    // Creates the pane at (0, y) across the parent's client width.
    bool create(HWND parent, int y, Document* doc, BookingHistory* history);
    void moveTo(HWND parent, int y);
    static int height();
    // The party and label lists again (the document's lists changed).
    void refillChoices();
    // Puts the operation at register row `row` into the pane for a change.
    void loadForEdit(int row, OperationRecord* operation);
    // Gives up a change under way (after an undo or redo), leaving a new
    // entry as it is.
    void dropEdit();

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    HWND control(int id) const { return GetDlgItem(window, id); }
    bool createControls(int width);
    void layout(int width);
    void fillCombo(int id, const ChoiceList& list);
    void fillModes(bool debitSide);
    void fillParties();
    void fillLabels();
    void enableChoices(bool enabled);

    void onCommand(int id, int code);
    void onAmountsChanged();
    void onPartyChosen();
    void onLabelPicked(bool fromCompletion);
    void selectEditChoices();
    void cancel();
    void validate();
    void editVentilation();
    void clearFields();
    void refuse(const Refusal& refusal);
    LRESULT defaultButton() const;
    void moveFocus(bool previous);
    double debitValue() const;
    double creditValue() const;
    FileTime pickedDate() const;

    ChoiceList modes_;
    bool modesDebitSide_ = true; // the side whose modes the list offers
    ChoiceList parties_;
    ChoiceList labels_;
    std::optional<EntryFields> pendingChoices_; // until WM_SELECT_EDIT_CHOICES
    win::GdiObject<HFONT> titleFont_;           // "MS Shell Dlg" 8 points, bold
};

} // namespace kolvane
