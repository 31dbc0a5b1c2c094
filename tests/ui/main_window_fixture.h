// The main window over a document, for the tests that drive it whole: opened
// on a new file or on the register sample of the core tests, closed without
// the save question.
#pragma once

#include "resources/resource_ids.h"
#include "shell/main_window.h"
#include "tests/core/register_sample.h"
#include "tests/ui/dialog_driver.h"

#include <gtest/gtest.h>

namespace kolvane::uitest {

class MainWindowFixture : public ::testing::Test {
  protected:
    void TearDown() override {
        if (main.window) {
            doc.isModified = 0; // no question on the way out
            DestroyWindow(main.window);
        }
        // The WM_QUIT of WM_DESTROY must not end a later test's modal loops.
        pumpMessagesUntil([] { return true; }, std::chrono::milliseconds(0));
        documentDestroy(doc);
    }

    // A new file whose first account is "Compte courant", through the dialog.
    void openNewFile() {
        if (!main.window) {
            ASSERT_NE(main.open(win::kDefaultPlacement, false, true), nullptr);
        }
        DialogDriver driver;
        driver.expectDialog(IDD_ACCOUNT).type(IDC_ACCOUNT_NAME, L"Compte courant").click(IDOK);
        ASSERT_TRUE(driver.runCommand(main.window, CMD_NEW_FILE));
        ASSERT_EQ(doc.isOpen, 1u);
    }
    // The register sample with every view.
    void openRegisterSample() {
        s = sample::buildRegisterSample(doc);
        ASSERT_NE(main.open(RECT{0, 0, 1000, 700}, false, true), nullptr);
        main.openViews();
    }

    // Opens popup `position` as a click does (WM_INITMENUPOPUP), then reads item `id`.
    UINT popupState(int position, UINT id) {
        HMENU popup = GetSubMenu(GetMenu(main.window), position);
        SendMessageW(main.window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup),
                     MAKELPARAM(position, FALSE));
        return GetMenuState(popup, id, MF_BYCOMMAND);
    }
    // The tool-tip the frame gives toolbar button `id`.
    std::wstring toolTip(UINT_PTR id) {
        NMTTDISPINFOW tip{};
        tip.hdr = {nullptr, id, UINT(TTN_GETDISPINFOW)};
        SendMessageW(main.window, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
        return tip.lpszText ? tip.lpszText : L"";
    }
    static std::wstring menuText(HMENU menu, UINT position) {
        wchar_t text[128] = {};
        GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
        return text;
    }
    bool bandVisible(int band) const {
        REBARBANDINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = RBBIM_STYLE;
        SendMessageW(main.toolbars.rebar, RB_GETBANDINFOW, static_cast<WPARAM>(band),
                     reinterpret_cast<LPARAM>(&info));
        return !(info.fStyle & RBBS_HIDDEN);
    }
    bool buttonEnabled(int band, UINT id) const {
        return SendMessageW(main.toolbars.toolbars[band], TB_ISBUTTONENABLED, id, 0) != 0;
    }

    Document doc;
    sample::RegisterSample s;
    win::MainWindow main{&doc};
};

} // namespace kolvane::uitest
