// Kolvane's entry point: common controls, window classes, the shared drawing
// resources, the document and the settings, the main window, then either the
// file named on the command line or the welcome dialog, and the message loop.
#include "document/document.h"
#include "document/text.h"
#include "resources/resource_ids.h"
#include "win/gui_resources.h"
#include "shell/main_window.h"
#include "shell/settings.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdlib>
#include <string>

namespace {

std::string executablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return kolvane::wideToUtf8(path);
        }
        path.resize(path.size() * 2);
    }
}

// The account file named on the command line, or nothing.
std::wstring fileArgument() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring file;
    if (arguments && count > 1)
        file = arguments[1];
    LocalFree(arguments);
    return file;
}

// The saved rectangle, unless no screen shows any of it any more.
RECT placementOf(const kolvane::Settings& settings) {
    RECT rect{settings.left, settings.top, settings.right, settings.bottom};
    if (!MonitorFromRect(&rect, MONITOR_DEFAULTTONULL))
        rect = kolvane::win::kDefaultPlacement;
    return rect;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace kolvane;

    win::initCommonControls();
    if (!win::registerWindowClasses(instance))
        return 0;

    win::GuiResources resources;
    win::createGuiResources(resources);
    win::setGuiResources(&resources);

    Document document;
    documentInit(document);
    // The password scrambling draws on the C generator.
    std::srand(static_cast<unsigned>(GetTickCount()));

    int exitCode = 0;
    {
        win::MainWindow mainWindow(&document);
        mainWindow.settingsFile = settingsPath(executablePath());
        mainWindow.settings = loadSettings(*mainWindow.fileSystem, mainWindow.settingsFile);
        if (mainWindow.open(placementOf(mainWindow.settings), mainWindow.settings.fullScreen != 0,
                            true)) {
            const std::wstring file = fileArgument();
            if (file.empty())
                PostMessageW(mainWindow.window, win::WM_SHOW_WELCOME, 0, 0);
            else
                mainWindow.commands().openStartupFile(wideToUtf8(file));

            HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDA_MAIN));
            exitCode = win::runMessageLoop(mainWindow.window, accelerators);
        }
    }
    documentDestroy(document);
    win::setGuiResources(nullptr);
    return exitCode;
}
