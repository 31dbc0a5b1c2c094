// The two dialogs of a split operation's lines: the ventilation editor (211),
// opened from the entry pane, which edits the pane's working lines for the
// amount typed there, and the read-only consult dialog (216), opened from the
// register. Their rules live in entry_rules.h (VentilationDraft,
// ventilationLineText, ventilationConsultRows).
#pragma once

#include "document/choice_lists.h"
#include "document/row_model.h"
#include "operations/entry_rules.h"
#include "win/dialog_result.h"
#include "win/list_view.h"
#include "win/window_object.h"

#include <windows.h>

#include <optional>
#include <vector>

namespace kolvane {

// The lines being entered for the operation in the entry pane; no value
// while it has none.
using WorkingLines = std::optional<std::vector<VentilationLine>>;

struct VentilationEditor : win::DialogObject<VentilationEditor> {
    WorkingLines* linesSlot = nullptr;
    Document* document = nullptr;
    OperationRecord* operation = nullptr; // only its amount is read
    int lastPartyIndex = -1;
    int selectedRow = -1;

    explicit VentilationEditor(Document* doc) : document(doc), rows_(*this) {}
    // What is left to ventilate.
    double remaining() const { return draft_ ? draft_->remaining() : 0.0; }

    bool onInit();
    void onCommand(int id, int code);
    std::optional<LRESULT> onNotify(const NMHDR& header);
    bool onDrawItem(const DRAWITEMSTRUCT& draw);
    void onOk(); // "Valider"
    void onCancel() { dropLines(0); }

  private:
    struct LineRows : RowModel {
        explicit LineRows(const VentilationEditor& editor) : editor(editor) {}
        int rowCount() const override;
        std::string cellText(int row, int column) const override;
        const VentilationEditor& editor;
    };

    void onPartyChosen();
    void add();
    void removeSelected();
    void dropLines(int result);
    void showRemaining();

    std::optional<VentilationDraft> draft_;
    ChoiceList parties_;
    LineRows rows_;
    win::ListView list_;
};

struct VentilationEditorIn {
    OperationRecord* operation = nullptr; // only its amount is read
    WorkingLines* linesSlot = nullptr;    // the lines edited, then kept or dropped
};
// Runs dialog 211 over `owner` on the operation's amount and the lines in the
// slot; the slot then holds the lines kept, or no value when they were
// dropped. Confirmed after "Valider" with nothing left to ventilate, else
// Cancelled; NotShown without an operation or a slot.
win::DialogEnd runVentilationEditor(Document& document, const VentilationEditorIn& in,
                                    HWND owner);

struct VentilationConsult : win::DialogObject<VentilationConsult> {
    Document* document = nullptr;
    OperationRecord* operation = nullptr;

    explicit VentilationConsult(Document* doc) : document(doc) {}
    void onInit();
    std::optional<LRESULT> onNotify(const NMHDR& header);
    bool onDrawItem(const DRAWITEMSTRUCT& draw);
    void onOk() { endDialog(0); }
    void onCancel() { endDialog(0); }

  private:
    struct ConsultRows : RowModel {
        std::vector<ConsultRow> rows;
        int rowCount() const override { return static_cast<int>(rows.size()); }
        std::string cellText(int row, int column) const override;
        RowLook rowLook(int row) const override;
    };

    ConsultRows rows_;
    win::ListView list_;
};

struct VentilationConsultIn {
    OperationRecord* operation = nullptr;
};
// Shows the operation and its lines in dialog 216 over `owner`; NotShown
// without an operation.
win::EditorEnd runVentilationConsult(Document& document, const VentilationConsultIn& in,
                                     HWND owner);

} // namespace kolvane
