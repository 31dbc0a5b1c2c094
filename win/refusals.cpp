#include "win/refusals.h"

#include "resources/resource_ids.h"
#include "win/window_text.h"

namespace kolvane::win {
namespace {

struct FieldControl {
    RefusalField field;
    int control;
};

constexpr FieldControl kFieldControls[] = {
    {RefusalField::Pseudo, IDC_USER_PSEUDO},
    {RefusalField::Password, IDC_USER_PASSWORD},
    {RefusalField::Confirmation, IDC_USER_CONFIRMATION},
    {RefusalField::Role, IDC_USER_ADMINISTRATOR},
    {RefusalField::UserList, IDC_LIST_VIEW},
    {RefusalField::CategoryName, IDC_CATEGORY_NAME},
    {RefusalField::Subcategory, IDC_CATEGORY_SUBCATEGORY},
    {RefusalField::LabelText, IDC_LABEL_TEXT},
    {RefusalField::LabelParty, IDC_LABEL_PARTY},
    {RefusalField::ModeName, IDC_MODE_NAME},
    {RefusalField::ModeList, IDC_LIST_VIEW},
    {RefusalField::BankName, IDC_BANK_NAME},
    {RefusalField::ThirdName, IDC_THIRD_NAME},
    {RefusalField::ThirdTarget, IDC_THIRD_DELETE_TARGET},
    {RefusalField::LineAmount, IDC_VENTILATION_AMOUNT},
    {RefusalField::EntryCredit, IDC_ENTRY_CREDIT},
    {RefusalField::EntryLabel, IDC_ENTRY_LABEL},
    {RefusalField::LoanReleaseDate, IDC_LOAN_RELEASE_DATE},
    {RefusalField::LoanAmount, IDC_LOAN_AMOUNT},
    {RefusalField::LoanCount, IDC_LOAN_COUNT},
    {RefusalField::LoanRate, IDC_LOAN_RATE},
    {RefusalField::LoanInsurance, IDC_LOAN_INSURANCE},
};

} // namespace

int refusalControl(RefusalField field) {
    for (const FieldControl& entry : kFieldControls)
        if (entry.field == field)
            return entry.control;
    return 0;
}

void refuse(HWND dialog, const Refusal& refusal) {
    if (!refusal)
        return;
    showMessage(dialog, utf8ToWide(refusalText(refusal)));
    if (const int control = refusalControl(refusal.field))
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, control)),
                     TRUE);
}

} // namespace kolvane::win
