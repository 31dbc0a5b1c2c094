// Dialog 207 "Ajouter ou supprimer mode de transaction": the modes under
// their side headers with how many operations use each, a new mode on the
// side chosen in "Classement :", a mode moved up or down within its side,
// and a mode withdrawn -- once its operations have moved to its neighbour
// (mode_rules.h decides).
#include "lists/list_editor_dialog.h"

#include "lists/mode_rules.h"
#include "lists/reference_rows.h"
#include "resources/resource_ids.h"
#include "win/combo_box.h"

namespace kolvane {
namespace {

struct ModeEditor : ListEditorDialog<ModeEditor> {
    std::optional<ModeRows> rows;

    win::ComboBox side() const { return win::ComboBox(item(IDC_MODE_SIDE)); }

    void onInit() {
        rows.emplace(*document);
        attachList(*rows, 3, 4, win::ListAlign::Right);
        side().add(utf8ToCp1252(kDebitSideText));
        side().add(utf8ToCp1252(kCreditSideText));
        side().select(0);
        SendMessageW(item(IDC_MODE_NAME), EM_LIMITTEXT, kModeNameLimit, 0);
        onRowChosen(-1);
    }

    void onCommand(int id, int) {
        if (id == IDC_DELETE_BUTTON)
            withdrawSelected();
        else if (id == IDC_MODE_UP || id == IDC_MODE_DOWN)
            moveSelected(id == IDC_MODE_UP);
    }

    // The buttons follow the row chosen: a header is neither withdrawn nor moved.
    void onRowChosen(int row) {
        ModeRecord* mode = recordAt(document->modes, row);
        selectedRow = mode ? row : -1;
        const bool isMode = mode && mode->kind == 1;
        EnableWindow(item(IDC_DELETE_BUTTON), isMode);
        EnableWindow(item(IDC_MODE_UP), modeMove(document->modes, mode, true).ok);
        EnableWindow(item(IDC_MODE_DOWN), modeMove(document->modes, mode, false).ok);
    }

    void stepDone(int row) {
        rows->countUses();
        list.reload(true);
        list.select(row);
        list.ensureVisible(row);
        onRowChosen(row);
    }

    void withdrawSelected() {
        ModeRecord* mode = recordAt(document->modes, selectedRow);
        if (!mode)
            return;
        ModeRecord* replacement = nullptr;
        const int uses = countOperationsWithMode(document->operations, mode->id);
        switch (modeWithdrawal(*document, mode)) {
        case ModeWithdrawal::Header:
            return;
        case ModeWithdrawal::Refused:
            return win::refuse(window,
                               namedRefusal(modeInUseText(uses, *mode), RefusalField::ModeList));
        case ModeWithdrawal::MoveFirst:
            replacement = replacementMode(document->modes, mode);
            if (win::showMessage(window, utf8ToWide(moveModeQuestion(uses, *mode, *replacement)),
                                 MB_YESNO | MB_ICONINFORMATION) != IDYES)
                return;
            break;
        case ModeWithdrawal::Allowed:
            break;
        }
        if (perform(makeWithdrawMode(mode, replacement)))
            stepDone(-1);
    }

    void moveSelected(bool up) {
        ModeRecord* mode = recordAt(document->modes, selectedRow);
        const ModeMove move = modeMove(document->modes, mode, up);
        if (move.ok && perform(makeMoveMode(mode, move.after)))
            stepDone(rowOf(document->modes, mode));
    }

    // "Ajouter"
    void onOk() {
        const ModePlan plan = planModeAddition(
            document->modes, win::itemText1252(window, IDC_MODE_NAME), side().selectedIndex() == 1);
        if (const Refusal refusal = modeRefusal(plan.status))
            return win::refuse(window, refusal);
        if (perform(makeAddMode(plan.after, plan.record)))
            stepDone(rowOf(document->modes, plan.after) + 1);
    }
};

} // namespace

win::EditorResult runModeEditor(Document& document, const ListEditorIn& in, HWND owner) {
    ModeEditor dialog;
    return dialog.runOver(document, in, owner, IDD_MODE_EDITOR);
}

} // namespace kolvane
