// The accounts overview of the "Comptes" tab: one tall row per active
// account (logo, name, current balance) and what its clicks and links do.
//
// For the overview view (an owner-drawn list over these rows): `rows` after
// each refill; `synthesisCells` places the logo and the four texts of a row;
// `synthesisClick` says which row is selected, whether the links 4001 to 4003
// are enabled and which command to post; `openWebPage` the address to open
// or the message to show.
#pragma once

#include "document/document.h"

#include <string>
#include <vector>

namespace kolvane {

struct SynthesisRow {
    AccountRecord* account;
    int position;            // in the accounts menu, masked accounts counted: 4000 + position
    std::string name;        // Windows-1252
    std::string balanceText; // as drawn
};
// The active accounts, in list order.
std::vector<SynthesisRow> synthesisRows(const Document& doc);

inline constexpr int kSynthesisRowHeight = 52;
inline constexpr int kOpenAccountCommand = 4000; // + position
inline constexpr int kAccountDialogCommand = 1010;

// One text of a row: from `left` to `right`, right-aligned or left-aligned.
struct SynthesisText {
    int left;
    int right;
    bool rightAligned;
};
struct SynthesisCells {
    int logoX, logoY;             // 96 x 48, mask then pixels
    SynthesisText caption;        // "Compte:  "
    SynthesisText name;           // the account's name
    SynthesisText balanceCaption; // "Solde courant : "
    SynthesisText balance;        // the balance
};
// The row whose rectangle starts at (`rowLeft`, `rowTop`), with columns of
// `logoWidth` and `textWidth` pixels.
SynthesisCells synthesisCells(int rowLeft, int rowTop, int logoWidth, int textWidth);

// A click (or double click) on `row` of `rowCount` rows (-1: below them).
struct SynthesisClick {
    int selectedRow;   // -1 when no row was hit
    bool linksEnabled; // "Ouvrir les opérations...", "Changer les parametres...", "Ouvrir la page
                       // web..."
    int command;       // to post to the main window, 0 for none
};
SynthesisClick synthesisClick(const std::vector<SynthesisRow>& rows, int row, bool doubleClick);

// "Ouvrir la page web du compte sélectionné.": the address to open, or the
// message (string 20406) when the account has none.
struct WebPage {
    int messageId; // 0 when `address` is to be opened
    std::string address;
};
WebPage openWebPage(const SynthesisRow& row);

} // namespace kolvane
