// The test form (dialog 9001) as a DialogObject: it tells whether "OK" was
// clicked, and holds a page.
#pragma once

#include "win/window_object.h"
#include "tests/ui/test_dialog_ids.h"

namespace kolvane::uitest {

struct TestPage : win::DialogObject<TestPage> {
    INT_PTR handleMessage(UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }
};

struct TestForm : win::DialogObject<TestForm> {
    bool okClicked = false;
    TestPage page; // made with createModeless, as the account dialog makes its pages

    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM) {
        if (message == WM_INITDIALOG) {
            for (const wchar_t* text : {L"Espèces", L"Chèque", L"Virement"})
                SendDlgItemMessageW(window, IDC_TEST_LIST_COMBO, CB_ADDSTRING, 0,
                                    reinterpret_cast<LPARAM>(text));
            page.createModeless(window, IDD_TEST_PAGE);
            return TRUE;
        }
        if (message != WM_COMMAND || (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL))
            return message == WM_COMMAND;
        okClicked = LOWORD(wParam) == IDOK;
        endDialog(okClicked ? 1 : 0);
        return TRUE;
    }
};

} // namespace kolvane::uitest
