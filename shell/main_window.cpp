#include "shell/main_window.h"

#include "resources/resource_ids.h"
#include "shell/app_title.h"

#include <commctrl.h>

namespace kolvane::win {

namespace {

bool registerClass(const WNDCLASSEXW& windowClass) {
    return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

} // namespace

void initCommonControls() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES |
                     ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_PROGRESS_CLASS |
                     ICC_COOL_CLASSES | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);
}

bool registerWindowClasses(HINSTANCE instance) {
    WNDCLASSEXW main{};
    main.cbSize = sizeof main;
    main.style = CS_DBLCLKS;
    main.lpfnWndProc = MainWindow::procedure;
    main.hInstance = instance;
    main.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_MAIN_WINDOW));
    main.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_MAIN_WINDOW),
                                                 IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                 GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    main.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    main.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    main.lpszMenuName = MAKEINTRESOURCEW(IDM_MAIN);
    main.lpszClassName = kMainWindowClass;
    // The classes of the views and controls join this list as they come.
    return registerClass(main);
}

HWND MainWindow::open(const RECT& placement, bool maximised, bool show) {
    HWND created = create(0, kMainWindowClass, kAppTitleWide, WS_OVERLAPPEDWINDOW, placement.left,
                          placement.top, placement.right - placement.left,
                          placement.bottom - placement.top, nullptr, nullptr);
    if (created != nullptr && show) {
        ShowWindow(created, maximised ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
        UpdateWindow(created);
    }
    return created;
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        return onCommand(LOWORD(wParam));
    case WM_SHOW_WELCOME:
        // The welcome dialog with the recent files comes with the file commands.
        return 0;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return defaultProcedure(message, wParam, lParam);
    }
}

LRESULT MainWindow::onCommand(int id) {
    switch (id) {
    case CMD_QUIT:
        PostMessageW(window, WM_CLOSE, 0, 0);
        return 0;
    default:
        return 0;
    }
}

int runMessageLoop(HWND mainWindow, HACCEL accelerators) {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (accelerators != nullptr && mainWindow != nullptr &&
            TranslateAcceleratorW(mainWindow, accelerators, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace kolvane::win
