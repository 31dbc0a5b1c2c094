// Dialog 207 "Ajouter ou supprimer mode de transaction": the modes under
// their side headers with how many operations use each, a new mode on the
// side chosen in "Classement :", a mode moved up or down within its side,
// and a mode withdrawn -- once its operations have moved to its neighbour
// (mode_rules.h decides).
#include "lists/list_editor_dialogs.h"

#include "lists/mode_rules.h"
#include "lists/reference_rows.h"
#include "resources/resource_ids.h"
#include "win/combo_box.h"
#include "win/list_view.h"
#include "win/window_object.h"
#include "win/window_text.h"

#include <commctrl.h>

namespace kolvane {
namespace {

struct ModeEditor : win::DialogObject<ModeEditor> {
    Document* document = nullptr;
    BookingHistory* history = nullptr;
    std::optional<ModeRows> rows;
    win::ListView list;
    int selectedRow = -1;
    int changed = 0;

    win::ComboBox side() const { return win::ComboBox(item(IDC_MODE_SIDE)); }

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
            onCommand(LOWORD(wParam));
            return TRUE;
        default:
            return FALSE;
        }
    }

    void open() {
        rows.emplace(*document);
        const int width = win::listClientWidth(item(IDC_LIST_VIEW));
        const win::ListColumn columns[] = {{L"", width * 3 / 4},
                                           {L"", width / 4 - 20, win::ListAlign::Right}};
        list.attach(item(IDC_LIST_VIEW), *rows, columns);
        side().add(utf8ToCp1252(kDebitSideText));
        side().add(utf8ToCp1252(kCreditSideText));
        side().select(0);
        SendMessageW(item(IDC_MODE_NAME), EM_LIMITTEXT, kModeNameLimit, 0);
        choose(-1);
    }

    void onCommand(int id) {
        switch (id) {
        case IDC_DELETE_BUTTON:
            withdrawSelected();
            break;
        case IDC_MODE_UP:
        case IDC_MODE_DOWN:
            moveSelected(id == IDC_MODE_UP);
            break;
        case IDOK:
            add();
            break;
        case IDCANCEL:
            endDialog(changed);
            break;
        }
    }

    // The buttons follow the row chosen: a header is neither withdrawn nor moved.
    void choose(int row) {
        ModeRecord* mode = recordAt(document->modes, row);
        selectedRow = mode ? row : -1;
        const bool isMode = mode && mode->kind == 1;
        EnableWindow(item(IDC_DELETE_BUTTON), isMode);
        EnableWindow(item(IDC_MODE_UP), modeMove(document->modes, mode, true).ok);
        EnableWindow(item(IDC_MODE_DOWN), modeMove(document->modes, mode, false).ok);
    }

    INT_PTR onNotify(const NMHDR& header) {
        if (list.notify(header))
            return TRUE;
        if (const std::optional<int> row = win::chosenRow(header, list.handle())) {
            choose(*row);
            return TRUE;
        }
        return FALSE;
    }

    void stepDone(int row) {
        rows->countUses();
        list.reload(true);
        list.select(row);
        list.ensureVisible(row);
        choose(row);
        changed = 1;
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
            return win::refuseEntry(window, modeInUseText(uses, *mode), IDC_LIST_VIEW);
        case ModeWithdrawal::MoveFirst:
            replacement = replacementMode(document->modes, mode);
            if (win::showMessage(window, utf8ToWide(moveModeQuestion(uses, *mode, *replacement)),
                                 MB_YESNO | MB_ICONINFORMATION) != IDYES)
                return;
            break;
        case ModeWithdrawal::Allowed:
            break;
        }
        if (!win::performStep(window, *history, makeWithdrawMode(mode, replacement)))
            return;
        stepDone(-1);
    }

    void moveSelected(bool up) {
        ModeRecord* mode = recordAt(document->modes, selectedRow);
        const ModeMove move = modeMove(document->modes, mode, up);
        if (!move.ok || !win::performStep(window, *history, makeMoveMode(mode, move.after)))
            return;
        stepDone(rowOf(document->modes, mode));
    }

    void add() {
        const ModePlan plan = planModeAddition(
            document->modes, win::itemText1252(window, IDC_MODE_NAME), side().selectedIndex() == 1);
        switch (plan.status) {
        case ModePlanStatus::NoName:
            return win::refuseEntry(window, kEnterModeName, IDC_MODE_NAME);
        case ModePlanStatus::Exists:
            return win::refuseEntry(window, kModeExists, IDC_MODE_NAME);
        case ModePlanStatus::Full:
            return win::refuseEntry(window, kModesFull, IDC_MODE_NAME);
        case ModePlanStatus::Ready:
            break;
        }
        if (!win::performStep(window, *history, makeAddMode(plan.after, plan.record)))
            return;
        stepDone(rowOf(document->modes, plan.after) + 1);
    }
};

} // namespace

int runModeEditor(Document& document, BookingHistory& history, HWND owner) {
    ModeEditor dialog;
    dialog.document = &document;
    dialog.history = &history;
    return dialog.runModal(owner, IDD_MODE_EDITOR) == 1 ? 1 : 0;
}

} // namespace kolvane
