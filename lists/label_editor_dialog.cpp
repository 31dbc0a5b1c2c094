// Dialog 210: the predefined labels, each with the party the entry pane
// proposes with it. A label is added at its place, bound again to another
// party, or deleted (label_rules.h decides).
#include "lists/list_editor_dialogs.h"

#include "document/choice_lists.h"
#include "lists/label_rules.h"
#include "lists/reference_rows.h"
#include "resources/resource_ids.h"
#include "win/combo_box.h"
#include "win/list_view.h"
#include "win/window_object.h"
#include "win/window_text.h"

#include <commctrl.h>

#include <algorithm>

namespace kolvane {
namespace {

struct LabelEditor : win::DialogObject<LabelEditor> {
    Document* document = nullptr;
    BookingHistory* history = nullptr;
    std::optional<LabelRows> rows;
    win::ListView list;
    int selectedRow = -1;
    int lastValidParty = -1;
    int changed = 0;

    win::ComboBox parties() const { return win::ComboBox(item(IDC_LABEL_PARTY)); }

    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case WM_INITDIALOG:
            open();
            return TRUE;
        case WM_NOTIFY:
            return onNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_DRAWITEM:
            return list.drawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        case WM_COMMAND:
            onCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        default:
            return FALSE;
        }
    }

    void open() {
        rows.emplace(*document);
        const int width = win::listClientWidth(item(IDC_LIST_VIEW));
        const win::ListColumn columns[] = {{L"", width / 2}, {L"", width / 2 - 20}};
        list.attach(item(IDC_LIST_VIEW), *rows, columns);
        parties().fill(fillCounterparties(1, *document));
        lastValidParty = parties().selectedIndex();
        SendMessageW(item(IDC_LABEL_TEXT), EM_LIMITTEXT, kLabelTextLimit, 0);
    }

    void onCommand(int id, int code) {
        switch (id) {
        case IDC_LABEL_PARTY:
            if (code == CBN_SELCHANGE)
                choosePartyEntry();
            break;
        case IDC_DELETE_BUTTON:
            deleteSelected();
            break;
        case IDOK:
            add();
            break;
        case IDCANCEL:
            endDialog(changed);
            break;
        }
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
        SendMessageW(parties().handle(), CB_SHOWDROPDOWN, TRUE, 0);
    }

    INT_PTR onNotify(const NMHDR& header) {
        if (list.notify(header))
            return TRUE;
        if (const std::optional<int> row = win::chosenRow(header, list.handle())) {
            selectedRow = recordAt(document->labels, *row) ? *row : -1;
            EnableWindow(item(IDC_DELETE_BUTTON), selectedRow >= 0);
            return TRUE;
        }
        return FALSE;
    }

    void deleteSelected() {
        LabelRecord* label = recordAt(document->labels, selectedRow);
        if (!label || !win::performStep(window, *history, makeDeleteLabel(label)))
            return;
        list.reload(true);
        if (const int count = document->labels.count(); count > 0)
            list.ensureVisible(std::min(selectedRow, count - 1));
        selectedRow = -1;
        changed = 1;
        EnableWindow(item(IDC_DELETE_BUTTON), FALSE);
    }

    void add() {
        const LabelPlan plan =
            planLabelAddition(document->labels, win::itemText1252(window, IDC_LABEL_TEXT));
        if (plan.status == LabelPlanStatus::Empty)
            return win::refuseEntry(window, kEnterLabelText, IDC_LABEL_TEXT);
        const auto party = static_cast<CategoryId>(parties().selectedData());
        if (party == 0)
            return win::refuseEntry(window, kChooseSubcategoryText, IDC_LABEL_PARTY);
        if (plan.status == LabelPlanStatus::Exists) {
            if (win::showMessage(window, utf8ToWide(kLabelExistsQuestion),
                                 MB_YESNO | MB_ICONINFORMATION) != IDYES) {
                SendMessageW(window, WM_NEXTDLGCTL,
                             reinterpret_cast<WPARAM>(item(IDC_LABEL_TEXT)), TRUE);
                return;
            }
            if (!win::performStep(window, *history, makeRebindLabel(plan.existing, party)))
                return;
            list.redrawRow(plan.index);
        } else {
            LabelRecord label{};
            setFieldText(label.text, plan.text);
            label.categoryId = party;
            if (!win::performStep(window, *history, makeAddLabel(plan.after, label)))
                return;
            list.reload(true);
            // The rows after the new one moved down.
            selectedRow = -1;
            EnableWindow(item(IDC_DELETE_BUTTON), FALSE);
        }
        list.ensureVisible(plan.index);
        changed = 1;
    }
};

} // namespace

int runLabelEditor(Document& document, BookingHistory& history, HWND owner) {
    LabelEditor dialog;
    dialog.document = &document;
    dialog.history = &history;
    return dialog.runModal(owner, IDD_LABEL_EDITOR) == 1 ? 1 : 0;
}

} // namespace kolvane
