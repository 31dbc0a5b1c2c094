// The test form (dialog 9001) as a DialogObject: it records the notifications
// its controls send, and holds a page.
#pragma once

#include "win/window_object.h"
#include "tests/ui/test_dialog_ids.h"

#include <utility>
#include <vector>

namespace kolvane::uitest {

struct TestPage : win::DialogObject<TestPage> {
    INT_PTR handleMessage(UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }
};

struct TestForm : win::DialogObject<TestForm> {
    std::vector<std::pair<int, int>> notifications; // (control, code)
    TestPage page; // made with createModeless, as the account dialog makes its pages

    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM) {
        switch (message) {
        case WM_INITDIALOG:
            for (const wchar_t* text : {L"Espèces", L"Chèque", L"Virement"})
                SendDlgItemMessageW(window, IDC_TEST_LIST_COMBO, CB_ADDSTRING, 0,
                                    reinterpret_cast<LPARAM>(text));
            page.createModeless(window, IDD_TEST_PAGE);
            return TRUE;
        case WM_COMMAND:
            notifications.emplace_back(LOWORD(wParam), HIWORD(wParam));
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
                endDialog(LOWORD(wParam) == IDOK ? 1 : 0);
            return TRUE;
        default:
            return FALSE;
        }
    }

    bool received(int id, int code) const {
        for (auto [i, c] : notifications)
            if (i == id && c == code)
                return true;
        return false;
    }
};

} // namespace kolvane::uitest
