// The main window: class "KolvaneClassApp", its menu, status bar, toolbars
// and the tab control that hosts the five views; it dispatches every menu and
// toolbar command and keeps menus, title and status bar in step with the
// document.
#pragma once

#include "document/command_router.h"
#include "document/document.h"
#include "document/file_system.h"
#include "exchange/statement_dialogs.h"
#include "shell/document_commands.h"
#include "shell/menu_rules.h"
#include "shell/settings.h"
#include "win/tab_view.h"
#include "shell/toolbars_win32.h"
#include "win/file_chooser.h"
#include "win/window_object.h"

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace kolvane {
class OperationView;
class SynthesisView;
} // namespace kolvane

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

// The status bar of Part "menus, title and status bar": five parts, the date
// written into the first.
HWND createStatusBar(HWND mainWindow);

struct MainWindow : WindowObject<MainWindow> {
    Document* document = nullptr;
    Settings settings;
    // Where closing the window writes the settings; empty: nowhere.
    std::string settingsFile;
    FileSystem* fileSystem = nullptr;

    HWND statusBar = nullptr;
    Toolbars toolbars;
    HWND tabControl = nullptr;
    // The views in tab order; empty views stand in for those not written yet.
    std::array<TabView*, kTabCount> views{};

    // The file dialogs; tests put their own in place.
    std::function<std::optional<std::string>(HWND)> chooseFileToOpen;
    std::function<std::optional<std::string>(HWND)> chooseFileToSave;
    // The file dialogs of import and export: the path, and the filter chosen
    // (from 1) in `filter`.
    std::function<std::optional<std::string>(HWND, const FileChoice&, int* filter)>
        chooseStatementFile = [](HWND owner, const FileChoice& choice, int* filter) {
            return chooseFile(owner, choice, filter);
        };

    // Every menu and toolbar command, with the states of its items.
    CommandRouter router;

    explicit MainWindow(Document* doc);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window at `placement` (screen coordinates, right and
    // bottom exclusive) with the class menu; shows it maximised or normally
    // when `show` is set. Returns the window or null.
    HWND open(const RECT& placement, bool maximised, bool show);

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    DocumentCommands& commands() { return *commands_; }
    // The document's one history, with the register rows its steps keep.
    BookingHistory& history() { return *history_; }
    SynthesisView& synthesisView() { return *synthesisView_; }
    OperationView& operationView() { return *operationView_; }

    // Menus, title and status bar.
    void updateMenus();
    void onMenuPopup(HMENU menu);
    void updateTitle();
    void updateStatusBar();
    void buildAccountsMenu();
    void removeAccountItems();
    // Undo and redo buttons as the history allows.
    void updateHistoryButtons();
    // Undo (false) or redo (true), then every view, menu and bar shows it.
    void moveInHistory(bool forward);
    // " Fichier " > "Importer un relevé..." and "Exporter le compte...".
    void importStatement();
    void exportAccount();

    // The tab control and its views.
    void openViews();
    void closeViews();
    void showTab(int index, bool setSelection);
    int selectedTab() const;
    // The tab control's display area, in its own coordinates.
    RECT viewArea() const;

    // Heights of the rebar and of the status bar as they are on the screen.
    int rebarHeight() const;
    int statusBarHeight() const;

    // Takes the window's placement into the settings and writes them.
    void saveSettingsOnClose();

  private:
    class Ui;

    LRESULT onCommand(unsigned id);
    LRESULT onNotify(NMHDR& header);
    void addFrameCommands();
    // After a step of the history: every view, menu and bar shows the
    // document as it is now, the row of `selected` still selected when it is one.
    void showHistoryStep(const OperationRecord* selected);
    void onSize(int width, int height);
    HMENU accountMenu() const;

    std::unique_ptr<Ui> ui_;
    std::unique_ptr<RegisterModel> registerModel_;
    std::unique_ptr<BookingHistory> history_;
    std::unique_ptr<DocumentCommands> commands_;
    std::unique_ptr<SynthesisView> synthesisView_;
    std::unique_ptr<OperationView> operationView_;
    std::unique_ptr<TabView> thirdView_, lendingView_, graphView_;
    std::wstring toolTip_; // the text handed to the tool-tip being shown
};

// Gets, translates and dispatches messages until WM_QUIT; returns its wParam.
int runMessageLoop(HWND mainWindow, HACCEL accelerators);

} // namespace kolvane::win
