#include "shell/welcome_dialog.h"

#include "resources/resource_ids.h"
#include "shell/document_commands.h"
#include "shell/frame_texts.h"
#include "win/window_object.h"
#include "win/window_text.h"

#include <algorithm>

namespace kolvane {
namespace {

struct WelcomeDialog : win::DialogObject<WelcomeDialog> {
    const Settings* settings = nullptr;

    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM) {
        switch (message) {
        case WM_INITDIALOG:
            onInit();
            return TRUE;
        case WM_COMMAND:
            onCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        default:
            return FALSE;
        }
    }

    void onInit() {
        win::setWindowTextUtf8(
            window, fillPlaceholder(wideToUtf8(win::loadString(IDS_WELCOME_TITLE)), kAppTitle));
        HWND list = item(IDC_WELCOME_FILES);
        // Long paths scroll sideways rather than being cut.
        HDC dc = GetDC(list);
        HGDIOBJ previous =
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
        int widest = 0;
        for (int i = 0; i < settings->recentCount; ++i) {
            const std::wstring path =
                utf8ToWide(settings->recentFiles[static_cast<std::size_t>(i)]);
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path.c_str()));
            SIZE size{};
            GetTextExtentPoint32W(dc, path.c_str(), static_cast<int>(path.size()), &size);
            widest = std::max(widest, static_cast<int>(size.cx));
        }
        SelectObject(dc, previous);
        ReleaseDC(list, dc);
        SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
        if (settings->recentCount > 0)
            SendMessageW(list, LB_SETCURSEL, 0, 0);
    }

    void onCommand(int id, int code) {
        std::optional<int> result;
        const int selected =
            static_cast<int>(SendMessageW(item(IDC_WELCOME_FILES), LB_GETCURSEL, 0, 0));
        switch (id) {
        case IDOK:
            result = welcomeEndCode(WelcomeButton::Ok, selected);
            break;
        case IDCANCEL:
            result = welcomeEndCode(WelcomeButton::Cancel, selected);
            break;
        case IDC_WELCOME_NEW_FILE:
            result = welcomeEndCode(WelcomeButton::NewFile, selected);
            break;
        case IDC_WELCOME_BROWSE:
            result = welcomeEndCode(WelcomeButton::Browse, selected);
            break;
        case IDC_WELCOME_FILES:
            if (code == LBN_DBLCLK)
                result = welcomeEndCode(WelcomeButton::DoubleClick, selected);
            break;
        default:
            break;
        }
        if (result)
            endDialog(*result);
    }
};

} // namespace

int runWelcome(const Settings& settings, HWND owner) {
    WelcomeDialog dialog;
    dialog.settings = &settings;
    const int result = dialog.runModal(owner, IDD_WELCOME);
    return result < 0 ? 0 : result;
}

} // namespace kolvane
