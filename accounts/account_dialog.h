// The dialog "Créer - Modifier un compte bancaire" (201) with its three pages
// (220 general, 221 personal, 222 bank). The rules it follows live in
// account_editing.h.
#pragma once

#include "accounts/account_editing.h"
#include "accounts/bank_directory.h"
#include "accounts/logo_drawing_win32.h"
#include "win/dialog_result.h"
#include "win/message_filters.h"
#include "win/window_object.h"

#include <windows.h>

#include <optional>
#include <string>

namespace kolvane {

struct AccountDialog;

// One page of the tab control; it hands its controls' notifications to the
// dialog.
struct AccountPage : win::DialogObject<AccountPage> {
    AccountDialog* owner = nullptr;
    bool onInit();
    void onCommand(int id, int code);
    bool onDrawItem(const DRAWITEMSTRUCT& draw);
};

struct AccountDialog : win::DialogObject<AccountDialog> {
    HWND generalPage = nullptr;
    HWND personalPage = nullptr;
    HWND bankPage = nullptr;
    Document* document = nullptr;
    int* deletedPosition = nullptr;
    BankRecord* selectedBank = nullptr;
    BankDirectory banks;
    std::uint32_t existingSelected = 0;
    // The bank directory file; beside the program unless set before running.
    std::string directoryPath;

    explicit AccountDialog(Document* doc) : document(doc) {}
    ~AccountDialog();
    AccountDialog(const AccountDialog&) = delete;
    AccountDialog& operator=(const AccountDialog&) = delete;

    void onInit();
    std::optional<LRESULT> onNotify(const NMHDR& header);
    void onOk();
    void onCommand(int id, int code);
    void onCancel();
    void onDestroy();
    // A notification from a control of a page.
    void onPageCommand(int id, int code);
    void onPageDrawItem(const DRAWITEMSTRUCT& item);
    // Ctrl+Tab (Ctrl+Shift+Tab backwards): the next page, focus on its first field.
    void turnPage(bool backwards);

  private:
    AccountPage pages_[3];
    win::DialogKeyWatch pageKeys_;
    LogoBitmaps bankLogo_; // of the selected bank

    void showPage(int index);
    void fillAccountList();
    void fillBankList();
    void chooseBank(int index);
    void refreshButtons();
    void fillFromAccount(const AccountRecord& account);
    // The fields as the form holds them; the bank list is left to the caller.
    void showForm(const AccountForm& form);
    // A new account typed over a picked one starts from the fields of a new one.
    void clearForm();
    void selectBankNamed(std::string_view name);
    AccountForm readForm() const;
    void apply();
    void removeAccount();
    void addBank();
    AccountRecord* pickedAccount() const;
    HWND control(int id) const;
    void end(AccountOutcome outcome) { endDialog(static_cast<int>(outcome)); }
};

struct AccountDialogIn {
    bool newFile = false;      // a new file is being made: nothing can be deleted
    std::string directoryPath; // the bank directory file; empty: beside the program
};
enum class AccountDialogEnd { Unchanged, Created, Modified, MaskedOrDeleted, NotShown };
struct AccountDialogOut {
    // MaskedOrDeleted: the account's position among all accounts when it is
    // to be deleted, -1 when it was masked.
    int deletedPosition = -1;
};
// Shows dialog 201 over `owner`.
win::DialogResult<AccountDialogEnd, AccountDialogOut>
runAccountDialog(Document& document, const AccountDialogIn& in, HWND owner);

} // namespace kolvane
