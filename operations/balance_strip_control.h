// The balance strip under the register's list, window class
// "WndCtlSoldeClass": the current account's name, its ticked balance and its
// current balance, in seven equal cells. It keeps its texts ready-made and
// only paints them; the register refreshes it after every change.
#pragma once

#include "operations/register_model.h"
#include "win/window_object.h"

#include <windows.h>

#include <string>

namespace kolvane {

inline constexpr const wchar_t* kBalanceStripClass = L"WndCtlSoldeClass";

struct BalanceStrip : win::WindowObject<BalanceStrip> {
    BalanceStripTexts texts = balanceStripTexts(nullptr); // Windows-1252
    std::string accountCaption;                           // "Compte"
    std::string pointedCaption;                           // "Solde pointé : "
    std::string balanceCaption;                           // "Solde courant : "

    static constexpr int height() { return kBalanceStripHeight; }
    static bool registerClass(HINSTANCE instance);

    // Creates the strip at (0, y) across `parent`, 26 pixels high.
    bool create(HWND parent, int y);
    // Moves it to (x, y), `width` wide (the register keeps it at least 800).
    void moveTo(int x, int y, int width);
    // Takes the texts of `account` (none: "0.00" twice and no name) and repaints.
    void refresh(const AccountRecord* account);

    // Draws the strip over `client` of `dc`: on the screen and in tests.
    void paint(HDC dc, const RECT& client) const;
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
};

} // namespace kolvane
