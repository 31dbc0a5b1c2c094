#include "menu_rules.h"

#include "document/text.h"
#include "resources/resource_ids.h"

namespace kolvane {

bool isLimited(const Document& doc) {
    return !doc.currentUser || !isAdministrator(doc.currentUser->flags);
}

MenuState menuState(const Document& doc, int selectedTab) {
    MenuState state;
    const bool open = doc.isOpen != 0;
    state.compteEnabled = open;
    state.operationEnabled = open && selectedTab == kOperationsTab;
    state.outilsEnabled = open;
    state.saveButtonEnabled = doc.isModified != 0;
    state.band1Visible = open;
    return state;
}

unsigned accountItemId(int index) {
    return CMD_ACCOUNT_FIRST + static_cast<unsigned>(index);
}

bool isAccountItemId(unsigned id) {
    return id >= CMD_ACCOUNT_FIRST && id <= CMD_ACCOUNT_LAST;
}

int currentAccountIndex(const Document& doc) {
    return doc.currentAccount ? accountIndex(doc, doc.currentAccount, 1) : -1;
}

std::string accountMenuText(std::string_view nameCp1252) {
    std::string text;
    for (char c : nameCp1252) {
        text += c;
        if (c == '&')
            text += '&';
    }
    return cp1252ToUtf8(text);
}

std::vector<AccountMenuItem> accountMenuItems(const Document& doc) {
    std::vector<AccountMenuItem> items;
    int n = 0;
    for (AccountRecord* account = doc.accounts.first(); account;
         account = doc.accounts.next(account)) {
        if (!isAccount(account->id))
            continue;
        items.push_back({accountItemId(n++), accountMenuText(fieldText(account->name)),
                         account == doc.currentAccount, account->active == 0});
    }
    return items;
}

AccountChoice chooseAccountItem(const Document& doc, unsigned id) {
    AccountChoice choice;
    if (!doc.isOpen || !isAccountItemId(id))
        return choice;
    const int k = currentAccountIndex(doc);
    if (k >= 0 && id == accountItemId(k)) {
        choice.action = AccountChoice::ShowRegister;
        return choice;
    }
    const int index = static_cast<int>(id - CMD_ACCOUNT_FIRST);
    if (!accountAt(doc, index, 1))
        return choice; // a stale item: there is no account at that position
    choice.action = AccountChoice::SelectAccount;
    if (k >= 0)
        choice.uncheckId = accountItemId(k);
    choice.index = index;
    return choice;
}

} // namespace kolvane
