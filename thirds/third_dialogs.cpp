#include "thirds/third_dialogs.h"

#include "document/app_title.h"
#include "document/calendar.h"
#include "operations/amount_edit_control.h"
#include "resources/resource_ids.h"
#include "thirds/third_model.h"
#include "win/combo_box.h"
#include "win/refusals.h"
#include "win/window_text.h"

namespace kolvane {

// --- Nouveau Tiers -------------------------------------------------------------------

void NewThirdDialog::onInit() {
    SendMessageW(item(IDC_THIRD_NAME), EM_LIMITTEXT, kThirdNameLength, 0);
    SendMessageW(item(IDC_THIRD_NOTE), EM_LIMITTEXT, kThirdNoteLength, 0);
    attachAmountEdit(item(IDC_THIRD_INITIAL_BALANCE), true);
}

void NewThirdDialog::onOk() {
    ThirdEntry entry;
    entry.name = win::windowText1252(item(IDC_THIRD_NAME));
    if (const Refusal refusal = thirdNameRefusal(entry.name))
        return win::refuse(window, refusal);
    entry.initialBalance = getAmount(item(IDC_THIRD_INITIAL_BALANCE));
    entry.note = win::windowText1252(item(IDC_THIRD_NOTE));
    entry.now = localNowFileTime();
    ThirdRecord* existing = findThirdByName(*document, entry.name);
    if (existing && win::showStringMessage(window, IDS_CONFIRM_THIRD_REPLACE,
                                           MB_YESNO | MB_ICONINFORMATION) != IDYES)
        return;
    const BookingStatus status = history->perform(
        existing ? makeChangeThird(existing, std::move(entry)) : makeNewThird(std::move(entry)));
    if (status != BookingStatus::Done) {
        win::showStringMessage(window, IDS_THIRD_OUT_OF_MEMORY);
        endDialog(0);
        return;
    }
    endDialog(existing ? 2 : 1);
}

NewThirdEnd runNewThirdDialog(Document& document, const NewThirdIn& in, HWND owner) {
    NewThirdDialog dialog;
    dialog.document = &document;
    dialog.history = in.history;
    switch (dialog.runModal(owner, IDD_NEW_THIRD)) {
    case 1:
        return NewThirdEnd::Created;
    case 2:
        return NewThirdEnd::Replaced;
    case 0:
        return NewThirdEnd::Cancelled;
    default:
        return NewThirdEnd::NotShown;
    }
}

// --- Deletion ------------------------------------------------------------------------

void ThirdDeleteDialog::onCommand(int id, int code) {
    if (id == IDC_THIRD_DELETE_TARGET && code == CBN_SELCHANGE)
        onTargetChosen();
}

void ThirdDeleteDialog::onInit() {
    SetWindowTextW(window, kAppTitleWide);
    SendDlgItemMessageW(window, IDC_WARNING_ICON, STM_SETICON,
                        reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_WARNING)), 0);
    targets_ = thirdTargets(*document, *third);
    win::ComboBox(item(IDC_THIRD_DELETE_TARGET)).fill(targets_);
    targetIndex = targets_.selected;
    // With nothing to move the operations to, only masking is offered.
    const bool transfer = targetIndex >= 0;
    EnableWindow(item(IDC_THIRD_DELETE_TRANSFER), transfer);
    EnableWindow(item(IDC_THIRD_DELETE_TARGET), transfer);
    CheckRadioButton(window, IDC_THIRD_DELETE_TRANSFER, IDC_THIRD_DELETE_MASK,
                     transfer ? IDC_THIRD_DELETE_TRANSFER : IDC_THIRD_DELETE_MASK);
}

void ThirdDeleteDialog::onTargetChosen() {
    win::ComboBox targets(item(IDC_THIRD_DELETE_TARGET));
    const int index = targets.selectedIndex();
    if (checkThirdTarget(targets_, index, *third) == TargetCheck::Heading) {
        win::showStringMessage(window, IDS_CHOOSE_SUBCATEGORY);
        targets.select(targetIndex);
        targets.showDropDown();
        return;
    }
    targetIndex = index;
}

void ThirdDeleteDialog::onOk() {
    if (IsDlgButtonChecked(window, IDC_THIRD_DELETE_MASK) == BST_CHECKED) {
        endDialog(kThirdMask);
        return;
    }
    const TargetCheck check = checkThirdTarget(targets_, targetIndex, *third);
    if (const Refusal refusal = thirdTargetRefusal(check))
        return win::refuse(window, refusal);
    if (check == TargetCheck::Heading) // nothing selectable: only masking was offered
        return;
    const PartyId target = targets_.rows[static_cast<std::size_t>(targetIndex)].itemData;
    const BookingStatus status = history->perform(makeTransferThird(third, target));
    if (status != BookingStatus::Done) {
        win::showStringMessage(window, IDS_OUT_OF_MEMORY);
        return;
    }
    endDialog(transferResult(*document, target));
}

ThirdDeleteEnd runThirdDeleteDialog(Document& document, const ThirdDeleteIn& in, HWND owner) {
    ThirdDeleteDialog dialog;
    dialog.document = &document;
    dialog.history = in.history;
    dialog.third = in.third;
    switch (dialog.runModal(owner, IDD_THIRD_DELETE)) {
    case kThirdMask:
        return ThirdDeleteEnd::Masked;
    case kThirdMoved:
        return ThirdDeleteEnd::Moved;
    case kThirdMovedToCurrentAccount:
        return ThirdDeleteEnd::MovedToCurrentAccount;
    case kThirdDeleteCancelled:
        return ThirdDeleteEnd::Cancelled;
    default:
        return ThirdDeleteEnd::NotShown;
    }
}

} // namespace kolvane
