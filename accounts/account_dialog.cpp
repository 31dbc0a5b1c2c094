#include "accounts/account_dialog.h"

#include "accounts/account_delete_dialog.h"
#include "accounts/link_control.h"
#include "accounts/logo_drawing_win32.h"
#include "accounts/new_bank_dialog.h"
#include "document/calendar.h"
#include "operations/amount_edit_control.h"
#include "resources/resource_ids.h"
#include "win/combo_box.h"
#include "win/message_filters.h"
#include "win/window_text.h"

#include <commctrl.h>

#include <iterator>

namespace kolvane {
namespace {

enum PageIndex { GeneralPage = 0, PersonalPage = 1, BankPage = 2 };

constexpr int kPageTemplates[3] = {IDD_ACCOUNT_GENERAL_PAGE, IDD_ACCOUNT_PERSONAL_PAGE,
                                   IDD_ACCOUNT_BANK_PAGE};
constexpr UINT kPageTitles[3] = {IDS_PAGE_GENERAL, IDS_PAGE_PERSONAL, IDS_PAGE_BANK};

constexpr int kCivilityButtons[5] = {IDC_ACCOUNT_MRS, IDC_ACCOUNT_MISS, IDC_ACCOUNT_MR,
                                     IDC_ACCOUNT_MR_OR_MRS, IDC_ACCOUNT_MR_AND_MRS};

struct TextLimit {
    int id;
    int characters;
};
// One less than the record's arrays; codes and keys as long as a bank writes them.
constexpr TextLimit kPersonalLimits[] = {
    {IDC_ACCOUNT_HOLDER_NAME, 31}, {IDC_ACCOUNT_HOLDER_FIRST_NAMES, 31},
    {IDC_ACCOUNT_ADDRESS, 39},     {IDC_ACCOUNT_ADDRESS_COMPLEMENT, 39},
    {IDC_ACCOUNT_CITY, 31},        {IDC_ACCOUNT_POST_CODE, 5},
};
constexpr TextLimit kBankLimits[] = {
    {IDC_ACCOUNT_BANK_CODE, 5}, {IDC_ACCOUNT_BRANCH_CODE, 5}, {IDC_ACCOUNT_NUMBER, 11},
    {IDC_ACCOUNT_RIB_KEY, 2},   {IDC_ACCOUNT_PHONE, 15},      {IDC_ACCOUNT_DOMICILIATION, 31},
    {IDC_ACCOUNT_BIC, 31},      {IDC_ACCOUNT_WEB, 127},
};
constexpr int kNameLimit = 39;

// The edits whose changes run the button refresh.
bool refreshesButtons(int id) {
    return (id >= IDC_ACCOUNT_INITIAL_BALANCE && id <= IDC_ACCOUNT_MINIMUM_WANTED) ||
           id == IDC_ACCOUNT_NEW_NAME || id == IDC_ACCOUNT_WEB ||
           (id >= IDC_ACCOUNT_HOLDER_NAME && id <= IDC_ACCOUNT_POST_CODE) ||
           (id >= IDC_ACCOUNT_BANK_CODE && id <= IDC_ACCOUNT_PHONE);
}

bool isCivilityButton(int id) {
    return id >= IDC_ACCOUNT_MRS && id <= IDC_ACCOUNT_MR_AND_MRS;
}

std::string bankDirectoryBesideProgram() {
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    return bankDirectoryPath(wideToUtf8(std::wstring_view(path, length)));
}

void limitText(HWND page, const TextLimit& limit) {
    SendDlgItemMessageW(page, limit.id, EM_LIMITTEXT, static_cast<WPARAM>(limit.characters), 0);
}

} // namespace

bool AccountPage::onInit() {
    // The page titles stand out in the system font.
    SendDlgItemMessageW(window, IDC_PAGE_TITLE, WM_SETFONT,
                        reinterpret_cast<WPARAM>(GetStockObject(SYSTEM_FONT)), FALSE);
    return false;
}

void AccountPage::onCommand(int id, int code) {
    if (owner)
        owner->onPageCommand(id, code);
}

bool AccountPage::onDrawItem(const DRAWITEMSTRUCT& draw) {
    if (owner)
        owner->onPageDrawItem(draw);
    return owner != nullptr;
}

AccountDialog::~AccountDialog() {
    freeBankDirectory(banks);
}

HWND AccountDialog::control(int id) const {
    for (const AccountPage& page : pages_)
        if (page.window)
            if (HWND found = GetDlgItem(page.window, id))
                return found;
    return item(id);
}

std::optional<LRESULT> AccountDialog::onNotify(const NMHDR& header) {
    if (header.idFrom == IDC_ACCOUNT_TABS && header.code == TCN_SELCHANGE)
        showPage(static_cast<int>(SendMessageW(header.hwndFrom, TCM_GETCURSEL, 0, 0)));
    return 0;
}

void AccountDialog::onOk() {
    // Enter too: nothing while "Appliquer" is greyed.
    if (IsWindowEnabled(item(IDOK)))
        apply();
}

void AccountDialog::onCommand(int id, int) {
    if (id == IDC_ACCOUNT_DELETE)
        removeAccount();
}

void AccountDialog::onCancel() { // "Annuler", Escape and the close box
    end(AccountOutcome::Unchanged);
}

void AccountDialog::onDestroy() {
    pageKeys_.stop();
}

void AccountDialog::turnPage(bool backwards) {
    HWND tabs = item(IDC_ACCOUNT_TABS);
    const int page = nextPageIndex(static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0)), 3,
                                   backwards);
    SendMessageW(tabs, TCM_SETCURSEL, page, 0);
    showPage(page);
    const HWND pageWindows[3] = {generalPage, personalPage, bankPage};
    if (HWND first = GetNextDlgTabItem(pageWindows[page], nullptr, FALSE))
        SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
}

void AccountDialog::onInit() {
    if (document) {
        if (directoryPath.empty())
            directoryPath = bankDirectoryBesideProgram();
        // Without a readable directory the list offers the accounts' banks only.
        static_cast<void>(loadBankDirectory(banks, directoryPath));
        existingSelected = 0;
    }
    selectedBank = nullptr;

    HWND tabs = item(IDC_ACCOUNT_TABS);
    // Tab moves through the pages' controls as through the dialog's own.
    SetWindowLongPtrW(tabs, GWL_EXSTYLE,
                      GetWindowLongPtrW(tabs, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
    for (int i = 0; i < 3; ++i) {
        std::wstring title = win::loadString(kPageTitles[i]);
        TCITEMW tab{};
        tab.mask = TCIF_TEXT;
        tab.pszText = title.data();
        SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&tab));
    }
    RECT itemRect{};
    SendMessageW(tabs, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&itemRect));
    const int tabHeight = itemRect.bottom - itemRect.top;
    RECT client{};
    GetClientRect(tabs, &client);
    HWND* pageWindows[3] = {&generalPage, &personalPage, &bankPage};
    for (int i = 0; i < 3; ++i) {
        pages_[i].owner = this;
        *pageWindows[i] = pages_[i].createModeless(tabs, kPageTemplates[i]);
        MoveWindow(*pageWindows[i], 4, tabHeight + 5, client.right - 10,
                   client.bottom - tabHeight - 10, FALSE);
    }
    showPage(GeneralPage);

    for (int id :
         {IDC_ACCOUNT_INITIAL_BALANCE, IDC_ACCOUNT_MINIMUM_ALLOWED, IDC_ACCOUNT_MINIMUM_WANTED})
        attachAmountEdit(control(id), true);
    win::ComboBox(control(IDC_ACCOUNT_NAME)).limitText(kNameLimit);
    SendMessageW(control(IDC_ACCOUNT_NEW_NAME), EM_LIMITTEXT, kNameLimit, 0);
    fillAccountList();

    for (const TextLimit& limit : kPersonalLimits)
        limitText(personalPage, limit);
    CheckRadioButton(personalPage, IDC_ACCOUNT_MRS, IDC_ACCOUNT_MR_AND_MRS, IDC_ACCOUNT_MRS);

    for (const TextLimit& limit : kBankLimits)
        limitText(bankPage, limit);
    SetWindowPos(control(IDC_ACCOUNT_LOGO), nullptr, 0, 0, kLogoWidth, kLogoHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    fillBankList();
    if (win::ComboBox banksList(control(IDC_ACCOUNT_BANK)); banksList.count() > 0) {
        banksList.select(0);
        chooseBank(0);
    }
    // Filling the boxes ran the refresh; nothing is to apply yet.
    EnableWindow(item(IDOK), FALSE);
    EnableWindow(item(IDC_ACCOUNT_DELETE), FALSE);
    // The dialog's own loop takes Ctrl+Tab for Tab: the watch sees it first.
    pageKeys_.start(window, [this](WPARAM key) {
        if (key != VK_TAB || !win::keyDown(VK_CONTROL))
            return false;
        turnPage(win::keyDown(VK_SHIFT));
        return true;
    });
}

void AccountDialog::showPage(int index) {
    const HWND pageWindows[3] = {generalPage, personalPage, bankPage};
    for (int i = 0; i < 3; ++i)
        ShowWindow(pageWindows[i], i == index ? SW_SHOW : SW_HIDE);
}

void AccountDialog::fillAccountList() {
    win::ComboBox list(control(IDC_ACCOUNT_NAME));
    list.clear();
    if (!document)
        return;
    for (AccountRecord& account : document->accounts)
        if (isAccount(account.id))
            list.add(fieldText(account.name), reinterpret_cast<LPARAM>(&account));
}

// The rows come already in the list's order, so the list itself does not sort.
void AccountDialog::fillBankList() {
    win::ComboBox list(control(IDC_ACCOUNT_BANK));
    list.clear();
    if (!document)
        return;
    for (BankRecord* bank : bankListRows(banks, *document))
        list.add(fieldText(bank->name), reinterpret_cast<LPARAM>(bank));
}

void AccountDialog::chooseBank(int index) {
    const win::ComboBox list(control(IDC_ACCOUNT_BANK));
    if (index < 0 || index >= list.count())
        return;
    selectedBank = list.record<BankRecord>(index);
    bankLogo_.keep(banks.logos, selectedBank ? selectedBank->logo : kNoLogo);
    InvalidateRect(control(IDC_ACCOUNT_LOGO), nullptr, TRUE);
    if (selectedBank)
        win::setWindowText1252(control(IDC_ACCOUNT_WEB), fieldText(selectedBank->webAddress));
}

void AccountDialog::refreshButtons() {
    EnableWindow(item(IDOK), applyEnabled(win::windowText1252(control(IDC_ACCOUNT_NAME))));
    EnableWindow(item(IDC_ACCOUNT_DELETE), deleteEnabled(existingSelected != 0));
}

AccountRecord* AccountDialog::pickedAccount() const {
    const win::ComboBox list(control(IDC_ACCOUNT_NAME));
    return list.record<AccountRecord>(list.selectedIndex());
}

void AccountDialog::showForm(const AccountForm& form) {
    setAmount(control(IDC_ACCOUNT_INITIAL_BALANCE), form.initialBalance);
    setAmount(control(IDC_ACCOUNT_MINIMUM_ALLOWED), form.minimumAllowed);
    setAmount(control(IDC_ACCOUNT_MINIMUM_WANTED), form.minimumWanted);

    const std::pair<int, const std::string*> texts[] = {
        {IDC_ACCOUNT_HOLDER_NAME, &form.holderName},
        {IDC_ACCOUNT_HOLDER_FIRST_NAMES, &form.holderFirstNames},
        {IDC_ACCOUNT_ADDRESS, &form.address},
        {IDC_ACCOUNT_ADDRESS_COMPLEMENT, &form.addressComplement},
        {IDC_ACCOUNT_CITY, &form.city},
        {IDC_ACCOUNT_POST_CODE, &form.postCode},
        {IDC_ACCOUNT_NUMBER, &form.accountNumber},
        {IDC_ACCOUNT_BANK_CODE, &form.bankCode},
        {IDC_ACCOUNT_BRANCH_CODE, &form.branchCode},
        {IDC_ACCOUNT_RIB_KEY, &form.ribKey},
        {IDC_ACCOUNT_DOMICILIATION, &form.domiciliation},
        {IDC_ACCOUNT_BIC, &form.bic},
        {IDC_ACCOUNT_PHONE, &form.phone},
        {IDC_ACCOUNT_WEB, &form.webAddress},
        {IDC_ACCOUNT_NEW_NAME, &form.newName},
    };
    for (const auto& [id, text] : texts)
        win::setWindowText1252(control(id), *text);
    for (int i = 0; i < 5; ++i)
        CheckDlgButton(personalPage, kCivilityButtons[i],
                       i == form.civility ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(generalPage, IDC_ACCOUNT_RENAME, BST_UNCHECKED);
    EnableWindow(control(IDC_ACCOUNT_INITIAL_BALANCE), form.initialBalanceEnabled);
    EnableWindow(control(IDC_ACCOUNT_RENAME), form.renameEnabled);
    EnableWindow(control(IDC_ACCOUNT_NEW_NAME), FALSE);
}

// The list's bank of that name, or no bank at all: a bank the list showed for
// another account must not stick to this one.
void AccountDialog::selectBankNamed(std::string_view name) {
    win::ComboBox banksList(control(IDC_ACCOUNT_BANK));
    const int bankCount = banksList.count();
    for (int i = 0; i < bankCount; ++i) {
        const auto* bank = banksList.record<const BankRecord>(i);
        if (bank && !name.empty() && equalNoCase(fieldText(bank->name), name)) {
            banksList.select(i);
            chooseBank(i);
            return;
        }
    }
    banksList.select(-1);
    selectedBank = nullptr;
    bankLogo_.keep(banks.logos, kNoLogo);
    InvalidateRect(control(IDC_ACCOUNT_LOGO), nullptr, TRUE);
}

void AccountDialog::fillFromAccount(const AccountRecord& account) {
    const AccountForm form = fillFormFromAccount(account);
    // The bank first: choosing it writes its web address, which the
    // account's own then replaces.
    selectBankNamed(form.bankName);
    showForm(form);
    EnableWindow(item(IDOK), FALSE);
    EnableWindow(item(IDC_ACCOUNT_DELETE), deleteEnabledOnPick(account));
}

void AccountDialog::clearForm() {
    showForm(AccountForm{});
    // As when the dialog opens: the first bank of the list.
    if (win::ComboBox banksList(control(IDC_ACCOUNT_BANK)); banksList.count() > 0) {
        banksList.select(0);
        chooseBank(0);
    } else {
        selectBankNamed({});
    }
}

void AccountDialog::onPageCommand(int id, int code) {
    if (id == IDC_ACCOUNT_NAME) {
        if (code == CBN_EDITCHANGE) {
            if (existingSelected)
                clearForm();
            const std::string name = win::windowText1252(control(IDC_ACCOUNT_NAME));
            EnableWindow(item(IDOK), applyEnabled(name));
            EnableWindow(control(IDC_ACCOUNT_INITIAL_BALANCE), TRUE);
            EnableWindow(item(IDC_ACCOUNT_DELETE), FALSE);
            EnableWindow(control(IDC_ACCOUNT_RENAME), FALSE);
            EnableWindow(control(IDC_ACCOUNT_NEW_NAME), FALSE);
            existingSelected = 0;
        } else if (code == CBN_SELCHANGE) {
            if (const AccountRecord* account = pickedAccount()) {
                fillFromAccount(*account);
                existingSelected = 1;
            }
        }
        return;
    }
    if (id == IDC_ACCOUNT_RENAME) {
        EnableWindow(control(IDC_ACCOUNT_NEW_NAME),
                     IsDlgButtonChecked(generalPage, IDC_ACCOUNT_RENAME) == BST_CHECKED);
        return;
    }
    if (id == IDC_ACCOUNT_BANK) {
        if (code == CBN_SELCHANGE) {
            chooseBank(win::ComboBox(control(id)).selectedIndex());
            refreshButtons();
        }
        return;
    }
    if (id == IDC_ACCOUNT_NEW_BANK_LINK) {
        if (code == LINK_CLICKED)
            addBank();
        return;
    }
    if (isCivilityButton(id) || (refreshesButtons(id) && code == EN_CHANGE))
        refreshButtons();
}

void AccountDialog::onPageDrawItem(const DRAWITEMSTRUCT& draw) {
    if (draw.CtlID != IDC_ACCOUNT_LOGO)
        return;
    FillRect(draw.hDC, &draw.rcItem, GetSysColorBrush(COLOR_3DFACE));
    if (selectedBank)
        bankLogo_.draw(draw.hDC, draw.rcItem.left, draw.rcItem.top, selectedBank->logo);
}

AccountForm AccountDialog::readForm() const {
    AccountForm form;
    form.name = win::windowText1252(control(IDC_ACCOUNT_NAME));
    HWND initial = control(IDC_ACCOUNT_INITIAL_BALANCE);
    form.initialBalance = getAmount(initial);
    form.initialBalanceEnabled = IsWindowEnabled(initial) != FALSE;
    form.minimumAllowed = getAmount(control(IDC_ACCOUNT_MINIMUM_ALLOWED));
    form.minimumWanted = getAmount(control(IDC_ACCOUNT_MINIMUM_WANTED));
    form.renameEnabled = IsWindowEnabled(control(IDC_ACCOUNT_RENAME)) != FALSE;
    form.renameChecked = IsDlgButtonChecked(generalPage, IDC_ACCOUNT_RENAME) == BST_CHECKED;
    form.newName = win::windowText1252(control(IDC_ACCOUNT_NEW_NAME));

    form.civility = -1;
    for (int i = 0; i < 5 && form.civility < 0; ++i)
        if (IsDlgButtonChecked(personalPage, kCivilityButtons[i]) == BST_CHECKED)
            form.civility = i;
    auto text = [this](int id) { return win::windowText1252(control(id)); };
    form.holderName = text(IDC_ACCOUNT_HOLDER_NAME);
    form.holderFirstNames = text(IDC_ACCOUNT_HOLDER_FIRST_NAMES);
    form.address = text(IDC_ACCOUNT_ADDRESS);
    form.addressComplement = text(IDC_ACCOUNT_ADDRESS_COMPLEMENT);
    form.city = text(IDC_ACCOUNT_CITY);
    form.postCode = text(IDC_ACCOUNT_POST_CODE);

    form.bankName = text(IDC_ACCOUNT_BANK);
    form.accountNumber = text(IDC_ACCOUNT_NUMBER);
    form.bankCode = text(IDC_ACCOUNT_BANK_CODE);
    form.branchCode = text(IDC_ACCOUNT_BRANCH_CODE);
    form.ribKey = text(IDC_ACCOUNT_RIB_KEY);
    form.domiciliation = text(IDC_ACCOUNT_DOMICILIATION);
    form.bic = text(IDC_ACCOUNT_BIC);
    form.phone = text(IDC_ACCOUNT_PHONE);
    form.webAddress = text(IDC_ACCOUNT_WEB);
    return form;
}

void AccountDialog::apply() {
    if (!document)
        return;
    AccountForm form = readForm();
    LogoBlocks bankBlocks;
    if (selectedBank) {
        if (const Logo* logo = bankLogo(banks, *selectedBank))
            bankBlocks = LogoBlocks{logo->pixels.data(), logo->mask.data()};
        form.selectedBank = &bankBlocks;
    }
    const ApplyDecision decision = decideApply(*document, form);
    switch (decision.action) {
    case ApplyAction::EmptyName:
        win::showStringMessage(window, decision.message);
        if (!IsWindowVisible(generalPage)) {
            SendMessageW(item(IDC_ACCOUNT_TABS), TCM_SETCURSEL, GeneralPage, 0);
            showPage(GeneralPage);
        }
        SetFocus(control(decision.focusControl));
        return;
    case ApplyAction::Modify:
        if (win::showStringMessage(window, decision.message, MB_YESNO | MB_ICONINFORMATION) !=
            IDYES)
            return;
        break;
    case ApplyAction::Create:
        break;
    }
    switch (applyAccountForm(*document, form, decision.account, localNowFileTime())) {
    case AccountApplied::OutOfMemory:
        win::showStringMessage(window, IDS_OUT_OF_MEMORY);
        return;
    case AccountApplied::Created:
        end(AccountOutcome::Created);
        return;
    case AccountApplied::Modified:
        end(AccountOutcome::Modified);
        return;
    case AccountApplied::CreatedWithoutOperation:
        end(AccountOutcome::Unchanged);
        return;
    }
}

void AccountDialog::removeAccount() {
    if (!document)
        return;
    const DeleteDecision decision = decideDelete(*document);
    if (!decision.allowed) {
        win::showStringMessage(window, decision.message);
        return;
    }
    AccountRecord* account = pickedAccount();
    const AccountDeleteEnd choice =
        runAccountDeleteDialog({!account || maskOffered(*account)}, window);
    if (!account || (choice != AccountDeleteEnd::Mask && choice != AccountDeleteEnd::Remove))
        return;
    if (applyDeleteChoice(*document, account,
                          choice == AccountDeleteEnd::Mask ? DeleteChoice::Mask
                                                           : DeleteChoice::Forever,
                          deletedPosition))
        end(AccountOutcome::MaskedOrDeleted);
}

void AccountDialog::addBank() {
    NewBankDialog newBank(&banks);
    const auto stored = runNewBankDialog(newBank, window);
    if (stored.end != win::DialogEnd::Confirmed)
        return;
    const int position = stored.out.position;
    // A directory that cannot be written stays in memory: the new bank is
    // offered all the same until the dialog closes.
    static_cast<void>(saveBankDirectory(banks, directoryPath));
    fillBankList();
    // The list was refilled: the bank it showed may have moved.
    const BankRecord* added = bankAt(banks, position);
    win::ComboBox list(control(IDC_ACCOUNT_BANK));
    if (list.selectData(reinterpret_cast<LPARAM>(added)))
        chooseBank(list.selectedIndex());
    refreshButtons();
}

win::DialogResult<AccountDialogEnd, AccountDialogOut>
runAccountDialog(Document& document, const AccountDialogIn& in, HWND owner) {
    AccountDialog dialog(&document);
    dialog.directoryPath = in.directoryPath;
    AccountDialogOut out;
    dialog.deletedPosition = in.newFile ? nullptr : &out.deletedPosition;
    registerLinkControlClass(win::resourceInstance());
    switch (dialog.runModal(owner, IDD_ACCOUNT)) {
    case static_cast<INT_PTR>(AccountOutcome::Unchanged):
        return {AccountDialogEnd::Unchanged, out};
    case static_cast<INT_PTR>(AccountOutcome::Created):
        return {AccountDialogEnd::Created, out};
    case static_cast<INT_PTR>(AccountOutcome::Modified):
        return {AccountDialogEnd::Modified, out};
    case static_cast<INT_PTR>(AccountOutcome::MaskedOrDeleted):
        return {AccountDialogEnd::MaskedOrDeleted, out};
    default:
        return {AccountDialogEnd::NotShown, out};
    }
}

} // namespace kolvane
