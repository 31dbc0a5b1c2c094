// Dialog 210: the predefined labels, each with the party the entry pane
// proposes with it. A label is added at its place, bound again to another
// party, or deleted (label_rules.h decides).
#include "lists/list_editor_dialog.h"

#include "document/choice_lists.h"
#include "lists/label_rules.h"
#include "lists/reference_rows.h"
#include "resources/resource_ids.h"
#include "win/combo_box.h"

#include <algorithm>

namespace kolvane {
namespace {

struct LabelEditor : ListEditorDialog<LabelEditor> {
    std::optional<LabelRows> rows;
    int lastValidParty = -1;

    win::ComboBox parties() const { return win::ComboBox(item(IDC_LABEL_PARTY)); }

    void onInit() {
        rows.emplace(*document);
        attachList(*rows, 1, 2);
        parties().fill(fillCounterparties(1, *document));
        lastValidParty = parties().selectedIndex();
        SendMessageW(item(IDC_LABEL_TEXT), EM_LIMITTEXT, kLabelTextLimit, 0);
    }

    void onCommand(int id, int code) {
        if (id == IDC_LABEL_PARTY && code == CBN_SELCHANGE)
            choosePartyEntry();
        else if (id == IDC_DELETE_BUTTON)
            deleteSelected();
    }

    // A header or a separator is no party: the last valid entry comes back.
    void choosePartyEntry() {
        const int index = parties().selectedIndex();
        if (index >= 0 && parties().data(index) != 0) {
            lastValidParty = index;
            return;
        }
        win::showMessage(window, utf8ToWide(kChooseSubcategoryText));
        parties().select(lastValidParty);
        parties().showDropDown();
    }

    void onRowChosen(int row) {
        selectedRow = recordAt(document->labels, row) ? row : -1;
        EnableWindow(item(IDC_DELETE_BUTTON), selectedRow >= 0);
    }

    void deleteSelected() {
        LabelRecord* label = recordAt(document->labels, selectedRow);
        if (!label || !perform(makeDeleteLabel(label)))
            return;
        list.reload(true);
        if (const int count = document->labels.count(); count > 0)
            list.ensureVisible(std::min(selectedRow, count - 1));
        forgetRow();
    }

    // "Ajouter"
    void onOk() {
        const LabelPlan plan =
            planLabelAddition(document->labels, win::itemText1252(window, IDC_LABEL_TEXT));
        const auto party = static_cast<CategoryId>(parties().selectedData());
        if (const Refusal refusal = labelRefusal(plan, party))
            return win::refuse(window, refusal);
        if (plan.status == LabelPlanStatus::Exists) {
            if (win::showMessage(window, utf8ToWide(kLabelExistsQuestion),
                                 MB_YESNO | MB_ICONINFORMATION) != IDYES) {
                SendMessageW(window, WM_NEXTDLGCTL,
                             reinterpret_cast<WPARAM>(item(IDC_LABEL_TEXT)), TRUE);
                return;
            }
            if (!perform(makeRebindLabel(plan.existing, party)))
                return;
            list.redrawRow(plan.index);
        } else {
            LabelRecord label{};
            setFieldText(label.text, plan.text);
            label.categoryId = party;
            if (!perform(makeAddLabel(plan.after, label)))
                return;
            list.reload(true);
            forgetRow(); // the rows after the new one moved down
        }
        list.ensureVisible(plan.index);
    }
};

} // namespace

win::EditorResult runLabelEditor(Document& document, const ListEditorIn& in, HWND owner) {
    LabelEditor dialog;
    return dialog.runOver(document, in, owner, IDD_LABEL_EDITOR);
}

} // namespace kolvane
