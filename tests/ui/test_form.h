// The test form (dialog 9001) as a DialogObject: it records the notifications
// its controls send and what it shows when "OK" is pressed.
#pragma once

#include "win/window_object.h"
#include "win/window_text.h"
#include "tests/ui/test_dialog_ids.h"

#include <string>
#include <utility>
#include <vector>

namespace kolvane::uitest {

struct TestPage : win::DialogObject<TestPage> {
    INT_PTR handleMessage(UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }
};

struct TestForm : win::DialogObject<TestForm> {
    std::vector<std::pair<int, int>> notifications; // (control, code)
    int questionAnswer = 0;
    TestPage page;
    // Read at "OK".
    std::wstring editText, editComboText, listComboText, pageText;
    int listSelection = -1;
    int checkedRadio = 0;
    bool checked = false;

    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM) {
        switch (message) {
        case WM_INITDIALOG:
            for (const wchar_t* text : {L"Loyer", L"Loisirs", L"Salaire"})
                SendDlgItemMessageW(window, IDC_TEST_EDIT_COMBO, CB_ADDSTRING, 0,
                                    reinterpret_cast<LPARAM>(text));
            for (const wchar_t* text : {L"Espèces", L"Chèque", L"Virement"}) {
                SendDlgItemMessageW(window, IDC_TEST_LIST_COMBO, CB_ADDSTRING, 0,
                                    reinterpret_cast<LPARAM>(text));
                SendDlgItemMessageW(window, IDC_TEST_LIST, LB_ADDSTRING, 0,
                                    reinterpret_cast<LPARAM>(text));
            }
            CheckDlgButton(window, IDC_TEST_RADIO_A, BST_CHECKED);
            if (HWND pageWindow = page.createModeless(window, IDD_TEST_PAGE)) {
                SetWindowPos(pageWindow, nullptr, 10, 160, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
                ShowWindow(pageWindow, SW_SHOW);
            }
            return TRUE;
        case WM_COMMAND: {
            int id = LOWORD(wParam);
            int code = HIWORD(wParam);
            notifications.emplace_back(id, code);
            if (id == IDC_TEST_QUESTION && code == BN_CLICKED) {
                questionAnswer = win::showMessage(window, L"Voulez-vous continuer ?",
                                                  MB_YESNO | MB_ICONINFORMATION);
            } else if (id == IDOK) {
                readBack();
                endDialog(1);
            } else if (id == IDCANCEL) {
                endDialog(0);
            }
            return TRUE;
        }
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

  private:
    void readBack() {
        editText = win::itemText(window, IDC_TEST_EDIT);
        editComboText = win::itemText(window, IDC_TEST_EDIT_COMBO);
        listComboText = win::itemText(window, IDC_TEST_LIST_COMBO);
        pageText = win::itemText(page.window, IDC_TEST_PAGE_EDIT);
        listSelection =
            static_cast<int>(SendDlgItemMessageW(window, IDC_TEST_LIST, LB_GETCURSEL, 0, 0));
        for (int id = IDC_TEST_RADIO_A; id <= IDC_TEST_RADIO_C; ++id)
            if (IsDlgButtonChecked(window, id) == BST_CHECKED)
                checkedRadio = id;
        checked = IsDlgButtonChecked(window, IDC_TEST_CHECK) == BST_CHECKED;
    }
};

} // namespace kolvane::uitest
