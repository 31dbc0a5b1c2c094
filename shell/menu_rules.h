// What the menu bar, its popups and the toolbar show for a given state of the
// document, as plain data the main window copies onto its controls.
#pragma once

#include "document/document.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

// Tabs of the main window.
inline constexpr int kAccountsTab = 0;
inline constexpr int kOperationsTab = 1;
inline constexpr int kThirdsTab = 2;
inline constexpr int kLoanTab = 3;
inline constexpr int kGraphTab = 4;
inline constexpr int kTabCount = 5;
inline constexpr int kNoTab = -1; // no tab control (no file open)

// No user logged in, or a user with the "Limité" role.
bool isLimited(const Document& doc);

struct MenuState {
    bool compteEnabled = false;     // menu bar position 1
    bool operationEnabled = false;  // position 2: only on the "Opérations" tab
    bool outilsEnabled = false;     // position 3
    bool saveButtonEnabled = false; // toolbar button 1002
    bool band1Visible = false;      // rebar band of "Fermer" and "Changer utilisateur"
};
MenuState menuState(const Document& doc, int selectedTab);

// Account items of the " Compte " popup: one per record of kind Account, in
// list order, masked ones included (greyed) so that every account keeps the
// number `accountAt` and `accountIndex` give it.
struct AccountMenuItem {
    unsigned id = 0;
    std::string text; // UTF-8, as the menu takes it (see accountMenuText)
    bool checked = false;
    bool greyed = false;
};
std::vector<AccountMenuItem> accountMenuItems(const Document& doc);

// An account's name as a menu item shows it: '&' doubled, so that
// "Pierre & Marie" is not read as a keyboard shortcut.
std::string accountMenuText(std::string_view nameCp1252);

unsigned accountItemId(int index);
bool isAccountItemId(unsigned id);
// The position of the current account among all accounts, or -1.
int currentAccountIndex(const Document& doc);

// Choosing an account item of the " Compte " popup.
struct AccountChoice {
    enum Action { Ignore, ShowRegister, SelectAccount } action = Ignore;
    std::optional<unsigned> uncheckId; // the current account's item
    int index = -1;                    // the account to make current
};
AccountChoice chooseAccountItem(const Document& doc, unsigned id);

} // namespace kolvane
