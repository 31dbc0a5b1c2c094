// The main window: class "KolvaneClassApp", its menu, and the dispatch of
// menu commands. The tab views, status bar and toolbars hang off it.
#pragma once

#include "document/document.h"
#include "shell/window_object.h"

#include <windows.h>

namespace kolvane::win {

inline constexpr const wchar_t* kMainWindowClass = L"KolvaneClassApp";

// Private messages of the main window.
inline constexpr UINT WM_SHOW_WELCOME = WM_USER + 1;
inline constexpr UINT WM_REFRESH_OPERATIONS = WM_USER + 3;

// Where the main window goes when nothing better is known: the placement
// of a first run.
inline constexpr RECT kDefaultPlacement{0, 0, 790, 575};

// Loads the common controls (version 6 through the manifest) that the
// windows and dialogs use.
void initCommonControls();

// Registers every window class of the program, in start-up order. False as
// soon as one fails (a class that already exists counts as registered).
bool registerWindowClasses(HINSTANCE instance);

struct MainWindow : WindowObject<MainWindow> {
    Document* document = nullptr;

    explicit MainWindow(Document* doc) : document(doc) {}

    // Creates the window at `placement` (screen coordinates, right and
    // bottom exclusive) with the class menu; shows it maximised or normally
    // when `show` is set. Returns the window or null.
    HWND open(const RECT& placement, bool maximised, bool show);

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  private:
    LRESULT onCommand(int id);
};

// Gets, translates and dispatches messages until WM_QUIT; returns its wParam.
int runMessageLoop(HWND mainWindow, HACCEL accelerators);

} // namespace kolvane::win
