#include "operations/ventilation_dialogs.h"

#include "operations/amount_edit_control.h"
#include "resources/resource_ids.h"
#include "win/combo_box.h"
#include "win/refusals.h"
#include "win/window_text.h"

#include <commctrl.h>

#include <string>

namespace kolvane {
namespace {

constexpr int kPartyDropWidth = 300;
constexpr int kLinePartyWidth = 260;

} // namespace

// --- Dialog 211 -----------------------------------------------------------------

int VentilationEditor::LineRows::rowCount() const {
    return editor.draft_ ? static_cast<int>(editor.draft_->lines().size()) : 0;
}

std::string VentilationEditor::LineRows::cellText(int row, int column) const {
    if (row < 0 || row >= rowCount())
        return {};
    return ventilationLineText(*editor.document,
                               editor.draft_->lines()[static_cast<std::size_t>(row)], column);
}

win::DialogEnd runVentilationEditor(Document& document, const VentilationEditorIn& in,
                                    HWND owner) {
    if (!in.operation || !in.linesSlot)
        return win::DialogEnd::NotShown;
    VentilationEditor editor(&document);
    editor.operation = in.operation;
    editor.linesSlot = in.linesSlot;
    return win::confirmedOrCancelled(editor.runModal(owner, IDD_VENTILATION_EDITOR));
}

std::optional<LRESULT> VentilationEditor::onNotify(const NMHDR& header) {
    if (std::optional<LRESULT> answer = list_.notify(header))
        return answer;
    if (header.idFrom == IDC_LIST_VIEW && header.code == NM_CLICK) {
        const int row = reinterpret_cast<const NMITEMACTIVATE&>(header).iItem;
        selectedRow = row >= 0 && row < rows_.rowCount() ? row : -1;
        EnableWindow(item(IDC_VENTILATION_REMOVE), selectedRow != -1);
    }
    return std::nullopt;
}

bool VentilationEditor::onDrawItem(const DRAWITEMSTRUCT& draw) {
    return list_.drawItem(draw);
}

bool VentilationEditor::onInit() {
    attachAmountEdit(item(IDC_VENTILATION_TOTAL), true);
    attachAmountEdit(item(IDC_VENTILATION_REMAINING), true);
    attachAmountEdit(item(IDC_VENTILATION_AMOUNT), false);
    draft_.emplace(operation->amount, linesSlot->has_value() ? &**linesSlot : nullptr);
    setAmount(item(IDC_VENTILATION_TOTAL), draft_->total());
    showRemaining();

    parties_ = fillCounterparties(0, *document);
    win::ComboBox partyBox(item(IDC_VENTILATION_PARTY));
    partyBox.setDroppedWidth(kPartyDropWidth);
    partyBox.fill(parties_);
    lastPartyIndex = parties_.selected;
    selectedRow = -1;

    static const std::wstring partyTitle = win::loadString(IDS_COLUMN_CATEGORY);
    static const std::wstring amountTitle = win::loadString(IDS_COLUMN_AMOUNT);
    const win::ListColumn columns[] = {
        {partyTitle.c_str(), kLinePartyWidth, win::ListAlign::Left, win::ListAlign::Left},
        {amountTitle.c_str(), 0, win::ListAlign::Right, win::ListAlign::Right},
    };
    list_.attach(item(IDC_LIST_VIEW), rows_, columns);
    // The line being added comes first: its party, then its amount.
    SetFocus(item(IDC_VENTILATION_PARTY));
    return false; // the focus is set
}

void VentilationEditor::onCommand(int id, int code) {
    switch (id) {
    case IDC_VENTILATION_AMOUNT:
        if (code == EN_CHANGE)
            EnableWindow(item(IDC_VENTILATION_ADD),
                         VentilationDraft::canAdd(getAmount(item(IDC_VENTILATION_AMOUNT))));
        return;
    case IDC_VENTILATION_PARTY:
        if (code == CBN_SELCHANGE)
            onPartyChosen();
        return;
    case IDC_VENTILATION_ADD:
        add();
        return;
    case IDC_VENTILATION_REMOVE:
        removeSelected();
        return;
    default:
        return;
    }
}

void VentilationEditor::onPartyChosen() {
    win::ComboBox partyBox(item(IDC_VENTILATION_PARTY));
    const int index = partyBox.selectedIndex();
    const PartyChoice choice = chooseParty(parties_, index, lastPartyIndex);
    if (!choice.refused) {
        lastPartyIndex = choice.select;
        return;
    }
    win::showStringMessage(window, IDS_CHOOSE_SUBCATEGORY);
    partyBox.select(choice.select);
    SetFocus(partyBox.handle());
    partyBox.showDropDown();
}

void VentilationEditor::add() {
    HWND amountBox = item(IDC_VENTILATION_AMOUNT);
    const auto party =
        static_cast<PartyId>(win::ComboBox(item(IDC_VENTILATION_PARTY)).selectedData());
    if (const Refusal refusal = draft_->add(getAmount(amountBox), party))
        return win::refuse(window, refusal);
    showRemaining();
    setAmount(amountBox, 0.0);
    list_.reload();
    list_.ensureVisible(rows_.rowCount() - 1);
}

void VentilationEditor::removeSelected() {
    if (selectedRow < 0 || selectedRow >= rows_.rowCount())
        return;
    EnableWindow(item(IDC_VENTILATION_REMOVE), FALSE);
    if (!draft_->remove(selectedRow))
        return; // a ticked line stays
    selectedRow = -1;
    list_.select(-1);
    list_.reload();
    showRemaining();
}

void VentilationEditor::onOk() {
    switch (draft_->close()) {
    case VentilationDraft::Closing::KeepLines:
        *linesSlot = draft_->lines();
        endDialog(1);
        return;
    case VentilationDraft::Closing::AskAmountsLeft:
        if (win::showMessage(window, utf8ToWide(kAmountsLeftQuestion),
                             MB_OKCANCEL | MB_ICONINFORMATION) == IDOK)
            return; // back to the lines
        dropLines(0);
        return;
    case VentilationDraft::Closing::NoLines:
        endDialog(0);
        return;
    }
}

void VentilationEditor::dropLines(int result) {
    linesSlot->reset();
    endDialog(result);
}

void VentilationEditor::showRemaining() {
    setAmount(item(IDC_VENTILATION_REMAINING), draft_->remaining());
}

// --- Dialog 216 -----------------------------------------------------------------

std::string VentilationConsult::ConsultRows::cellText(int row, int column) const {
    if (row < 0 || row >= rowCount())
        return {};
    const ConsultRow& cells = rows[static_cast<std::size_t>(row)];
    switch (column) {
    case 0:
        return cells.party;
    case 1:
        return cells.debit;
    case 2:
        return cells.credit;
    default:
        return {};
    }
}

RowLook VentilationConsult::ConsultRows::rowLook(int row) const {
    if (row < 0 || row >= rowCount())
        return {};
    const ConsultRow& cells = rows[static_cast<std::size_t>(row)];
    return RowLook{cells.background, cells.text, false};
}

win::EditorEnd runVentilationConsult(Document& document, const VentilationConsultIn& in,
                                     HWND owner) {
    if (!in.operation)
        return win::EditorEnd::NotShown;
    VentilationConsult consult(&document);
    consult.operation = in.operation;
    return consult.runModal(owner, IDD_VENTILATION_CONSULT) < 0 ? win::EditorEnd::NotShown
                                                                : win::EditorEnd::Closed;
}

std::optional<LRESULT> VentilationConsult::onNotify(const NMHDR& header) {
    return list_.notify(header);
}

bool VentilationConsult::onDrawItem(const DRAWITEMSTRUCT& draw) {
    return list_.drawItem(draw);
}

void VentilationConsult::onInit() {
    rows_.rows = ventilationConsultRows(*document, *operation);
    HWND list = item(IDC_LIST_VIEW);
    RECT client{};
    GetClientRect(list, &client);
    const int unit = client.right / 5;
    static const std::wstring debitTitle = win::loadString(IDS_COLUMN_DEBIT);
    static const std::wstring creditTitle = win::loadString(IDS_COLUMN_CREDIT);
    const win::ListColumn columns[] = {
        {L"Compte/Catégorie/Tiers", 3 * unit, win::ListAlign::Left, win::ListAlign::Left},
        {debitTitle.c_str(), unit, win::ListAlign::Right, win::ListAlign::Centre},
        {creditTitle.c_str(), 0, win::ListAlign::Right, win::ListAlign::Centre}, // the rest
    };
    list_.attach(list, rows_, columns);
}

} // namespace kolvane
