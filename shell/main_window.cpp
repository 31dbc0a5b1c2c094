#include "shell/main_window.h"

#include "accounts/account_dialog.h"
#include "accounts/account_editing.h"
#include "accounts/link_control.h"
#include "graphs/graph_view.h"
#include "accounts/synthesis_view.h"
#include "document/calendar.h"
#include "exchange/statement_dialogs.h"
#include "lists/list_editor_dialogs.h"
#include "loan/lending_view.h"
#include "operations/amount_edit_control.h"
#include "operations/calculator_dialog.h"
#include "resources/resource_ids.h"
#include "document/app_title.h"
#include "operations/drop_buddy_control.h"
#include "operations/operation_view.h"
#include "win/child_controls.h"
#include "win/command_menu.h"
#include "win/file_chooser.h"
#include "shell/frame_texts.h"
#include "shell/history_commands.h"
#include "win/gui_resources.h"
#include "shell/menu_rules.h"
#include "shell/toolbar_layout.h"
#include "win/message_filters.h"
#include "shell/welcome_dialog.h"
#include "thirds/third_dialogs.h"
#include "thirds/third_view.h"
#include "win/window_text.h"
#include "users/user_dialogs.h"
#include "users/user_rules.h"

#include <commctrl.h>

#include <algorithm>

namespace kolvane::win {

namespace {

bool registerClass(const WNDCLASSEXW& windowClass) {
    return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

constexpr const wchar_t* kAboutText = L"Kolvane v.Alpha\nTenue de comptes bancaires personnels.";

constexpr UINT kTabLabels[kTabCount] = {IDS_TAB_ACCOUNTS, IDS_TAB_OPERATIONS, IDS_TAB_THIRDS,
                                        IDS_TAB_LOAN, IDS_TAB_GRAPH};

int windowHeight(HWND window) {
    RECT rect{};
    if (!window || !GetWindowRect(window, &rect))
        return 0;
    return rect.bottom - rect.top;
}

UINT itemFlags(bool checked, bool greyed) {
    return MF_STRING | (checked ? MF_CHECKED : MF_UNCHECKED) | (greyed ? MF_GRAYED : MF_ENABLED);
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
    if (!registerClass(main))
        return false;
    // The drop-down completion list (and its click filter), the five views
    // (the register with its strip and entry pane) and the link control.
    if (!registerDropBuddyClass(instance) || !SynthesisView::registerClass(instance) ||
        !OperationView::registerClasses(instance))
        return false;
    if (!ThirdView::registerClasses(instance))
        return false;
    if (!GraphView::registerClass(instance) || !LendingView::registerClass(instance))
        return false;
    return registerLinkControlClass(instance);
}

HWND createStatusBar(HWND mainWindow) {
    HWND bar = CreateWindowExW(WS_EX_CLIENTEDGE, STATUSCLASSNAMEW, nullptr,
                               WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0, mainWindow,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!bar)
        return nullptr;
    int edges[5];
    for (int i = 0; i < 5; ++i)
        edges[i] = kStatusPartEdges[i];
    SendMessageW(bar, SB_SETPARTS, 5, reinterpret_cast<LPARAM>(edges));
    const std::wstring date = utf8ToWide(statusDateText(localNow()));
    SendMessageW(bar, SB_SETTEXTW, kStatusDatePart, reinterpret_cast<LPARAM>(date.c_str()));
    return bar;
}

// --- What the document commands see of the window ------------------------------

class MainWindow::Ui : public ShellUi {
  public:
    explicit Ui(MainWindow& main) : main_(main) {}

    SaveAnswer askSaveChanges() override {
        switch (
            showStringMessage(main_.window, IDS_SAVE_CHANGES, MB_YESNOCANCEL | MB_ICONQUESTION)) {
        case IDYES:
            return SaveAnswer::Yes;
        case IDNO:
            return SaveAnswer::No;
        default:
            return SaveAnswer::Cancel;
        }
    }
    void showNotAllowed() override { showStringMessage(main_.window, IDS_NOT_ALLOWED); }
    void showMessage(std::string_view text) override {
        win::showMessage(main_.window, utf8ToWide(text));
    }
    bool askYesNo(std::string_view text) override {
        return win::showMessage(main_.window, utf8ToWide(text), MB_YESNO | MB_ICONQUESTION) ==
               IDYES;
    }
    std::optional<std::string> chooseFileToOpen() override {
        return main_.chooseFileToOpen(main_.window);
    }
    std::optional<std::string> chooseFileToSave() override {
        return main_.chooseFileToSave(main_.window);
    }
    WelcomeResult runWelcome() override {
        return kolvane::runWelcome({&main_.settings}, main_.window);
    }
    bool runLogin() override {
        const bool loggedIn =
            kolvane::runLogin(doc(), main_.window) == win::DialogEnd::Confirmed;
        // A large file may still be loading: the views open when it is done.
        if (loggedIn)
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return loggedIn;
    }
    bool runUserIdentity(UserRecord* user) override {
        return kolvane::runUserIdentity(doc(), {user}, main_.window) == win::DialogEnd::Confirmed;
    }
    bool runPasswordDialog(UserRecord* user, std::string_view title) override {
        return kolvane::runPasswordDialog(doc(), {user, std::string(title)}, main_.window) ==
               win::DialogEnd::Confirmed;
    }
    bool runUserList() override { return kolvane::runUserList(doc(), main_.window).out.changed; }
    AccountDialogResult runAccountDialog(bool newFile) override {
        const auto shown = kolvane::runAccountDialog(doc(), {newFile, {}}, main_.window);
        AccountDialogResult result;
        switch (shown.end) {
        case AccountDialogEnd::Created:
            result.code = AccountOutcome::Created;
            break;
        case AccountDialogEnd::Modified:
            result.code = AccountOutcome::Modified;
            break;
        case AccountDialogEnd::MaskedOrDeleted:
            result.code = AccountOutcome::MaskedOrDeleted;
            break;
        case AccountDialogEnd::Unchanged:
        case AccountDialogEnd::NotShown:
            result.code = AccountOutcome::Unchanged;
            break;
        }
        result.deletePosition = shown.out.deletedPosition;
        return result;
    }
    // The list editors book their changes in the register's history.
    bool runCategoryEditor() override {
        return kolvane::runCategoryEditor(doc(), {&history()}, main_.window).out.changed;
    }
    bool runLabelEditor() override {
        return kolvane::runLabelEditor(doc(), {&history()}, main_.window).out.changed;
    }
    bool runModeEditor() override {
        return kolvane::runModeEditor(doc(), {&history()}, main_.window).out.changed;
    }
    bool runThirdDialog() override {
        const NewThirdEnd end = runNewThirdDialog(doc(), {&main_.history()}, main_.window);
        return end == NewThirdEnd::Created || end == NewThirdEnd::Replaced;
    }

    void openViews() override { main_.openViews(); }
    void closeViews() override { main_.closeViews(); }
    void showTab(int index) override { main_.showTab(index, true); }
    void updateMenus() override { main_.updateMenus(); }
    void updateTitle() override { main_.updateTitle(); }
    void updateStatusBar() override { main_.updateStatusBar(); }
    void buildAccountsMenu() override { main_.buildAccountsMenu(); }
    void removeAccountItems() override { main_.removeAccountItems(); }
    void setAccountItemCheck(unsigned id, bool checked) override {
        CheckMenuItem(main_.accountMenu(), id,
                      MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
    }
    void appendAccountItem(unsigned id, std::string_view text, bool checked) override {
        AppendMenuW(main_.accountMenu(), itemFlags(checked, false), id, utf8ToWide(text).c_str());
    }
    void replaceAccountItem(int position, unsigned id, std::string_view text,
                            bool checked) override {
        ModifyMenuW(main_.accountMenu(), static_cast<UINT>(position),
                    MF_BYPOSITION | itemFlags(checked, false), id, utf8ToWide(text).c_str());
    }
    void redrawMenuBar() override { DrawMenuBar(main_.window); }

    void refreshRegister(int argument) override { refresh(kOperationsTab, argument); }
    void refreshOverview() override { refresh(kAccountsTab, 1); }
    void refreshThirdView(int argument) override { refresh(kThirdsTab, argument); }
    void refreshGraph() override { refresh(kGraphTab, 1); }

  private:
    Document& doc() { return *main_.document; }
    BookingHistory& history() { return main_.history(); }
    void refresh(int tab, int argument) {
        if (TabView* view = main_.views[static_cast<std::size_t>(tab)])
            view->refresh(argument);
    }

    MainWindow& main_;
};

// --- The window ------------------------------------------------------------------

MainWindow::MainWindow(Document* doc)
    : document(doc), fileSystem(&platformFileSystem()),
      chooseFileToOpen([](HWND owner) { return chooseFile(owner, kOpenAccountFile); }),
      chooseFileToSave([](HWND owner) { return chooseFile(owner, kSaveAccountFile); }),
      router(*doc), ui_(std::make_unique<Ui>(*this)),
      registerModel_(std::make_unique<RegisterModel>(*doc)),
      history_(std::make_unique<BookingHistory>(*registerModel_)),
      commands_(std::make_unique<DocumentCommands>(*doc, settings, *ui_, *fileSystem)) {
    commands_->setHistory(history_.get());
    history_->changed = [this] {
        updateMenus(); // the undo and redo buttons with the rest
        updateTitle();
    };
    commands_->addCommands(router);
    addFrameCommands();
    synthesisView_ = std::make_unique<SynthesisView>(doc);
    operationView_ = std::make_unique<OperationView>(doc, *history_);
    operationView_->documentChanged = [this] {
        updateMenus();
        updateTitle();
    };
    auto thirds = std::make_unique<ThirdView>(doc, *history_);
    thirds->documentChanged = operationView_->documentChanged;
    thirds->currentAccountChanged = [this] { SendMessageW(window, WM_REFRESH_OPERATIONS, 1, 0); };
    thirdView_ = std::move(thirds);
    lendingView_ = std::make_unique<LendingView>(doc);
    graphView_ = std::make_unique<GraphView>(doc);
    views = {synthesisView_.get(), operationView_.get(), thirdView_.get(), lendingView_.get(),
             graphView_.get()};
}

MainWindow::~MainWindow() {
    if (window)
        DestroyWindow(window);
}

HWND MainWindow::open(const RECT& placement, bool maximised, bool show) {
    // Clipping the children keeps the background of a grown window (maximising)
    // from being painted over the status bar after it has drawn itself.
    HWND created = create(0, kMainWindowClass, kAppTitleWide, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                          placement.left, placement.top, placement.right - placement.left,
                          placement.bottom - placement.top, nullptr, nullptr);
    if (created != nullptr && show) {
        ShowWindow(created, maximised ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
        UpdateWindow(created);
    }
    return created;
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        if (GuiResources* resources = guiResources())
            resources->mainWindow = window;
        statusBar = createStatusBar(window);
        createToolbars(window, toolbars);
        return 0;
    case WM_SIZE:
        onSize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_COMMAND:
        return onCommand(LOWORD(wParam));
    case WM_INITMENUPOPUP:
        if (!HIWORD(lParam))
            onMenuPopup(reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_NOTIFY:
        return onNotify(*reinterpret_cast<NMHDR*>(lParam));
    case WM_SHOW_WELCOME:
        commands_->showWelcome();
        return 0;
    case WM_REFRESH_OPERATIONS:
        if (TabView* view = views[kOperationsTab])
            view->refresh(static_cast<int>(wParam));
        return 0;
    case WM_CLOSE:
        if (!commands_->askSaveChanges())
            return 0;
        saveSettingsOnClose();
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        toolbars.images.reset();
        PostQuitMessage(0);
        return 0;
    default:
        return defaultProcedure(message, wParam, lParam);
    }
}

LRESULT MainWindow::onNotify(NMHDR& header) {
    if (header.hwndFrom == tabControl && header.code == TCN_SELCHANGE) {
        showTab(TabCtrl_GetCurSel(tabControl), false);
    } else if (header.code == TTN_GETDISPINFOW) {
        // The toolbars' tool-tips: the texts of the menu items.
        auto& tip = reinterpret_cast<NMTTDISPINFOW&>(header);
        const auto id = static_cast<unsigned>(header.idFrom);
        const char* text = toolTipText(id);
        if (id == CMD_UNDO || id == CMD_REDO)
            toolTip_ = utf8ToWide(id == CMD_UNDO ? undoToolTip(*history_) : redoToolTip(*history_));
        else
            toolTip_ = text ? utf8ToWide(text) : std::wstring();
        tip.lpszText = toolTip_.data();
        tip.hinst = nullptr;
    } else if (header.hwndFrom == toolbars.rebar && header.code == RBN_HEIGHTCHANGE) {
        // Bands that wrap onto a second row push the tabs down.
        RECT client{};
        GetClientRect(window, &client);
        onSize(client.right, client.bottom);
    }
    return 0;
}

LRESULT MainWindow::onCommand(unsigned id) {
    router.run(id);
    // The toolbars' check buttons follow the states the command changed.
    for (HWND toolbar : toolbars.toolbars)
        applyToolbarChecks(router, toolbar);
    return 0;
}

void MainWindow::addFrameCommands() {
    router.add(this, {CMD_QUIT, [this](unsigned) { PostMessageW(window, WM_CLOSE, 0, 0); }});
    router.add(this, {CMD_UNDO, [this](unsigned) { moveInHistory(false); },
                      [this](const CommandContext& c) {
                          return c.document.isOpen && history_->canUndo();
                      }});
    router.add(this, {CMD_REDO, [this](unsigned) { moveInHistory(true); },
                      [this](const CommandContext& c) {
                          return c.document.isOpen && history_->canRedo();
                      }});
    router.add(this, {CMD_ABOUT, [this](unsigned) {
                          showMessage(window, kAboutText, MB_OK | MB_ICONINFORMATION);
                      }});
    // The amount box that had the focus receives the result of "Insérer".
    router.add(this, {CMD_CALCULATOR, [this](unsigned) {
                          HWND focus = GetFocus();
                          runCalculator({isAmountEdit(focus) ? focus : nullptr}, window);
                      }});
    // Statements, on the current account, for administrators.
    const CommandPredicate administerAccount = [](const CommandContext& c) {
        return c.document.isOpen && c.document.currentAccount && !isLimited(c.document);
    };
    router.add(this, {CMD_IMPORT_STATEMENT, [this](unsigned) { importStatement(); },
                      administerAccount});
    router.add(this, {CMD_EXPORT_ACCOUNT, [this](unsigned) { exportAccount(); },
                      administerAccount});
    router.add(this, {CMD_NEXT_TAB, [this](unsigned id) {
                          if (tabControl)
                              showTab(nextPageIndex(selectedTab(), kTabCount,
                                                    id == CMD_PREVIOUS_TAB),
                                      true);
                      },
                      {}, {}, CMD_PREVIOUS_TAB});
}

void MainWindow::onSize(int width, int height) {
    if (statusBar) {
        SendMessageW(statusBar, WM_SIZE, 0, 0);
        // The bar keeps the pixels of its old size; a grip that went away
        // when maximising would stay drawn in the last part.
        InvalidateRect(statusBar, nullptr, TRUE);
    }
    if (toolbars.rebar)
        SendMessageW(toolbars.rebar, WM_SIZE, 0, 0);
    if (!tabControl)
        return;
    const int top = rebarHeight();
    MoveWindow(tabControl, 0, top, width, height - statusBarHeight() - top, TRUE);
    const RECT area = viewArea();
    for (int tab : {kOperationsTab, kAccountsTab, kThirdsTab, kLoanTab, kGraphTab})
        views[static_cast<std::size_t>(tab)]->fitTo(area);
}

int MainWindow::rebarHeight() const {
    return windowHeight(toolbars.rebar);
}
int MainWindow::statusBarHeight() const {
    return windowHeight(statusBar);
}

HMENU MainWindow::accountMenu() const {
    return GetSubMenu(GetMenu(window), MENU_POS_ACCOUNT);
}

// --- Menus, title and status bar -------------------------------------------------

void MainWindow::updateMenus() {
    const MenuState state = menuState(*document, selectedTab());
    HMENU bar = GetMenu(window);
    auto enable = [&](UINT position, bool enabled) {
        EnableMenuItem(bar, position, MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
    };
    enable(MENU_POS_ACCOUNT, state.compteEnabled);
    enable(MENU_POS_OPERATION, state.operationEnabled);
    enable(MENU_POS_TOOLS, state.outilsEnabled);
    DrawMenuBar(window);
    if (HWND first = toolbars.toolbars[0])
        SendMessageW(first, TB_ENABLEBUTTON, CMD_SAVE, MAKELPARAM(state.saveButtonEnabled, 0));
    if (toolbars.rebar) {
        SendMessageW(toolbars.rebar, RB_SHOWBAND, kFileBand, state.band1Visible);
        SendMessageW(toolbars.rebar, RB_SHOWBAND, kEditBand, state.band1Visible);
    }
    updateHistoryButtons();
}

void MainWindow::updateHistoryButtons() {
    HWND toolbar = toolbars.toolbars[kEditBand];
    if (!toolbar)
        return;
    const bool open = document->isOpen != 0;
    SendMessageW(toolbar, TB_ENABLEBUTTON, CMD_UNDO, MAKELPARAM(open && history_->canUndo(), 0));
    SendMessageW(toolbar, TB_ENABLEBUTTON, CMD_REDO, MAKELPARAM(open && history_->canRedo(), 0));
}

void MainWindow::moveInHistory(bool forward) {
    if (!document->isOpen)
        return;
    const OperationRecord* selected = operationView_->selectedRecord();
    if (!(forward ? history_->redo() : history_->undo()))
        return;
    showHistoryStep(selected);
}

void MainWindow::showHistoryStep(const OperationRecord* selected) {
    operationView_->showHistoryStep(selected);
    for (int tab : {kAccountsTab, kThirdsTab})
        if (TabView* view = views[static_cast<std::size_t>(tab)])
            view->refresh(1);
    removeAccountItems();
    buildAccountsMenu();
    DrawMenuBar(window);
    updateStatusBar();
    updateMenus();
    updateTitle();
}

void MainWindow::importStatement() {
    AccountRecord* account = document->currentAccount;
    if (!document->isOpen || !account)
        return;
    if (!mayAdminister(*document))
        return (void)showStringMessage(window, IDS_NOT_ALLOWED);
    const std::optional<std::string> path = chooseStatementFile(window, kOpenStatement, nullptr);
    if (!path)
        return;
    const std::string name = cp1252ToUtf8(fieldText(account->name));
    const StatementImportResult result = kolvane::importStatement(
        window, *document, *history_, {*path, rememberedCsvLayout(settings, name)});
    if (result.end == StatementImportEnd::OutOfMemory)
        showStringMessage(window, IDS_OUT_OF_MEMORY);
    if (result.end != StatementImportEnd::Booked)
        return;
    if (!result.out.chosenLayout.empty())
        rememberCsvLayout(settings, name, result.out.chosenLayout);
    showHistoryStep(nullptr);
}

void MainWindow::exportAccount() {
    if (!document->isOpen || !document->currentAccount)
        return;
    if (!mayAdminister(*document))
        return (void)showStringMessage(window, IDS_NOT_ALLOWED);
    int filter = static_cast<int>(ExportChoice::AccountCsv);
    const std::optional<std::string> path = chooseStatementFile(window, kSaveExport, &filter);
    if (!path)
        return;
    const auto choice = static_cast<ExportChoice>(
        std::clamp(filter, static_cast<int>(ExportChoice::AccountCsv),
                   static_cast<int>(ExportChoice::AllQif)));
    (void)kolvane::exportAccount(window, *document, {*path, choice});
}

void MainWindow::onMenuPopup(HMENU menu) {
    applyCommandStates(router, menu);
}

void MainWindow::updateTitle() {
    setWindowTextUtf8(window, windowTitle(*document));
}

void MainWindow::updateStatusBar() {
    if (!statusBar)
        return;
    auto setPart = [&](int part, const std::string& text) {
        const std::wstring wide = utf8ToWide(text);
        SendMessageW(statusBar, SB_SETTEXTW, static_cast<WPARAM>(part),
                     reinterpret_cast<LPARAM>(wide.c_str()));
    };
    setPart(kStatusDatePart, statusDateText(localNow()));
    setPart(kStatusUserPart, statusUserText(*document));
    setPart(kStatusAccountPart, statusAccountText(*document));
}

void MainWindow::buildAccountsMenu() {
    HMENU menu = accountMenu();
    for (const AccountMenuItem& item : accountMenuItems(*document))
        AppendMenuW(menu, itemFlags(item.checked, item.greyed), item.id,
                    utf8ToWide(item.text).c_str());
}

void MainWindow::removeAccountItems() {
    HMENU menu = accountMenu();
    for (int position = GetMenuItemCount(menu) - 1; position >= 0; --position) {
        const UINT id = GetMenuItemID(menu, position);
        if (id != static_cast<UINT>(-1) && id >= CMD_ACCOUNT_FIRST)
            DeleteMenu(menu, static_cast<UINT>(position), MF_BYPOSITION);
    }
}

// --- The tab control -------------------------------------------------------------

void MainWindow::openViews() {
    closeViews();
    RECT client{};
    GetClientRect(window, &client);
    const int top = rebarHeight();
    tabControl = CreateWindowExW(WS_EX_CLIENTEDGE, WC_TABCONTROLW, nullptr,
                                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, top,
                                 client.right, client.bottom - statusBarHeight() - top, window,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!tabControl)
        return;
    TabCtrl_SetPadding(tabControl, 15, 5);
    for (int i = 0; i < kTabCount; ++i) {
        std::wstring label = loadString(kTabLabels[i]);
        TCITEMW tab{};
        tab.mask = TCIF_TEXT;
        tab.pszText = label.data();
        SendMessageW(tabControl, TCM_INSERTITEMW, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&tab));
    }
    if (GuiResources* resources = guiResources(); resources && resources->comicFont)
        SendMessageW(tabControl, WM_SETFONT, reinterpret_cast<WPARAM>(resources->comicFont.get()),
                     TRUE);
    const RECT area = viewArea();
    for (int tab : {kOperationsTab, kThirdsTab, kLoanTab, kGraphTab})
        views[static_cast<std::size_t>(tab)]->createWindow(tabControl, area, false);
    views[kAccountsTab]->createWindow(tabControl, area, true);
    for (TabView* view : views)
        view->addCommands(router);
    TabCtrl_SetCurSel(tabControl, kAccountsTab);
}

void MainWindow::closeViews() {
    for (TabView* view : views)
        router.removeOwner(view);
    if (tabControl)
        DestroyWindow(tabControl); // the views' windows go with it
    tabControl = nullptr;
}

void MainWindow::showTab(int index, bool setSelection) {
    if (!tabControl || index < 0 || index >= kTabCount)
        return;
    if (setSelection)
        TabCtrl_SetCurSel(tabControl, index);
    for (int tab = 0; tab < kTabCount; ++tab)
        if (tab != index)
            if (HWND view = views[static_cast<std::size_t>(tab)]->viewWindow())
                ShowWindow(view, SW_HIDE);
    if (HWND view = views[static_cast<std::size_t>(index)]->viewWindow())
        ShowWindow(view, SW_SHOW);
    updateMenus();
}

int MainWindow::selectedTab() const {
    return tabControl ? TabCtrl_GetCurSel(tabControl) : kNoTab;
}

RECT MainWindow::viewArea() const {
    return win::tabViewArea(tabControl);
}

// --- Closing ---------------------------------------------------------------------

void MainWindow::saveSettingsOnClose() {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(window, &placement);
    if (IsZoomed(window)) {
        settings.fullScreen = 1; // the last normal rectangle stays as it was
    } else if (IsIconic(window)) {
        // A minimised window's rectangle is off the screen: keep the last one.
        settings.fullScreen = (placement.flags & WPF_RESTORETOMAXIMIZED) ? 1 : 0;
    } else {
        RECT frame{};
        GetWindowRect(window, &frame);
        settings.fullScreen = 0;
        settings.left = frame.left;
        settings.top = frame.top;
        settings.right = frame.right;
        settings.bottom = frame.bottom;
    }
    if (!settingsFile.empty())
        saveSettings(*fileSystem, settingsFile, settings); // a failure loses only the placement
}

namespace {

// Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z in the main window, outside edit boxes.
unsigned historyCommandForMessage(HWND mainWindow, const MSG& message) {
    if (message.message != WM_KEYDOWN || mainWindow == nullptr ||
        (message.hwnd != mainWindow && !IsChild(mainWindow, message.hwnd)))
        return 0;
    wchar_t className[16] = {};
    GetClassNameW(GetFocus(), className, 16);
    const KeyPress press{static_cast<unsigned>(message.wParam), GetKeyState(VK_CONTROL) < 0,
                         GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_MENU) < 0};
    return historyCommandForKey(press, lstrcmpiW(className, L"Edit") == 0);
}

} // namespace

int runMessageLoop(HWND mainWindow, HACCEL accelerators) {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (const unsigned id = historyCommandForMessage(mainWindow, message)) {
            SendMessageW(mainWindow, WM_COMMAND, id, 0);
            continue;
        }
        if (accelerators != nullptr && mainWindow != nullptr &&
            TranslateAcceleratorW(mainWindow, accelerators, &message))
            continue;
        // The drop-down completion lists see every message before it is dispatched.
        forwardToMessageFilters(message);
        // Tab, Enter and Escape move through the entry pane as in a dialog.
        if (navigateKeyboard(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace kolvane::win
