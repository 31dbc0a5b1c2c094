// Kolvane's entry point: common controls, window classes, the document and
// the main window, then the message loop.
#include "document/document.h"
#include "resources/resource_ids.h"
#include "shell/main_window.h"

#include <windows.h>

#include <cstdlib>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace kolvane;

    win::initCommonControls();

    if (!win::registerWindowClasses(instance))
        return 0;

    Document document;
    documentInit(document);
    // The password scrambling draws on the C generator.
    std::srand(static_cast<unsigned>(GetTickCount()));

    win::MainWindow mainWindow(&document);
    if (mainWindow.open(win::kDefaultPlacement, false, true) == nullptr) {
        documentDestroy(document);
        return 0;
    }
    PostMessageW(mainWindow.window, win::WM_SHOW_WELCOME, 0, 0);

    HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDA_MAIN));
    int exitCode = win::runMessageLoop(mainWindow.window, accelerators);
    documentDestroy(document);
    return exitCode;
}
