#include "shell/welcome_dialog.h"

#include "resources/resource_ids.h"
#include "shell/document_commands.h"
#include "shell/frame_texts.h"
#include "win/list_box.h"
#include "win/window_object.h"
#include "win/window_text.h"

#include <string>
#include <vector>

namespace kolvane {
namespace {

struct WelcomeDialog : win::DialogObject<WelcomeDialog> {
    const Settings* settings = nullptr;

    win::ListBox files() const { return win::ListBox(item(IDC_WELCOME_FILES)); }

    void onInit() {
        win::setWindowTextUtf8(
            window, fillPlaceholder(wideToUtf8(win::loadString(IDS_WELCOME_TITLE)), kAppTitle));
        std::vector<std::wstring> paths;
        for (int i = 0; i < settings->recentCount; ++i)
            paths.push_back(utf8ToWide(settings->recentFiles[static_cast<std::size_t>(i)]));
        files().fill(paths);
        if (settings->recentCount > 0)
            files().select(0);
    }

    void end(WelcomeButton button) {
        if (const std::optional<int> code = welcomeEndCode(button, files().selectedIndex()))
            endDialog(*code);
    }
    void onOk() { end(WelcomeButton::Ok); }
    void onCancel() { end(WelcomeButton::Cancel); }
    void onCommand(int id, int code) {
        if (id == IDC_WELCOME_NEW_FILE)
            end(WelcomeButton::NewFile);
        else if (id == IDC_WELCOME_BROWSE)
            end(WelcomeButton::Browse);
        else if (id == IDC_WELCOME_FILES && code == LBN_DBLCLK)
            end(WelcomeButton::DoubleClick);
    }
};

} // namespace

WelcomeResult runWelcome(const WelcomeIn& in, HWND owner) {
    WelcomeDialog dialog;
    dialog.settings = in.settings;
    return welcomeResult(dialog.runModal(owner, IDD_WELCOME));
}

} // namespace kolvane
