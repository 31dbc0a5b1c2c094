#include "tests/ui/dialog_driver.h"

#include "document/text.h"
#include "document/app_title.h"
#include "resources/resource_ids.h"
#include "win/window_object.h"
#include "win/window_text.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace kolvane::uitest {

namespace {

constexpr UINT kTickMilliseconds = 20;

// The text in double quotes (built by appending: GCC 12 warns wrongly about
// prepending to a temporary string).
std::string inQuotes(std::wstring_view text) {
    std::string result = "\"";
    result += wideToUtf8(text);
    result += '"';
    return result;
}

std::wstring className(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

bool isDialogClass(HWND window) {
    return className(window) == L"#32770";
}

bool sameClass(HWND window, const wchar_t* name) {
    return CompareStringOrdinal(className(window).c_str(), -1, name, -1, TRUE) == CSTR_EQUAL;
}

// The thread's top-level dialogs; with `usableOnly`, only those a user could
// act on now (visible and enabled: not hidden by EndDialog, not disabled
// under a nested modal dialog).
std::vector<HWND> threadDialogs(bool usableOnly) {
    struct Search {
        bool usableOnly;
        std::vector<HWND> found;
    } search{usableOnly, {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (!isDialogClass(window))
                return TRUE;
            if (s->usableOnly && (!IsWindowVisible(window) || !IsWindowEnabled(window)))
                return TRUE;
            s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool isMessageBoxButton(int id) {
    return id >= IDOK && id <= IDCONTINUE;
}

// A message box is a #32770 that no DialogObject made, with a button of the
// message box family and no input control.
bool isMessageBox(HWND dialog) {
    if (!isDialogClass(dialog) || dialogTemplateId(dialog) != 0)
        return false;
    bool hasButton = false;
    bool hasInput = false;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (sameClass(child, L"Button") && isMessageBoxButton(GetDlgCtrlID(child)))
            hasButton = true;
        if (sameClass(child, L"Edit") || sameClass(child, L"ComboBox") ||
            sameClass(child, L"ListBox") || sameClass(child, WC_LISTVIEWW))
            hasInput = true;
    }
    return hasButton && !hasInput;
}

std::string controlName(int id) {
    return "control " + std::to_string(id);
}

HWND usableControl(HWND dialog, int id, std::string& error) {
    HWND control = findControl(dialog, id);
    if (control == nullptr)
        error = "there is no " + controlName(id);
    else if (!IsWindowEnabled(control))
        error = controlName(id) + " is disabled";
    else if (!IsWindowVisible(control))
        error = controlName(id) + " is hidden";
    return error.empty() ? control : nullptr;
}

void notifyParent(HWND control, WORD code) {
    SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
                 reinterpret_cast<LPARAM>(control));
}

LONG buttonType(HWND button) {
    return GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK;
}

} // namespace

// --- Looking at dialogs ------------------------------------------------------

int dialogTemplateId(HWND dialog) {
    return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(dialog, win::kTemplateIdProperty)));
}

std::wstring messageBoxText(HWND box) {
    if (!isMessageBox(box))
        return {};
    // The text static is 0xFFFF on Windows and 100 under Wine.
    for (int id : {0xFFFF, 100}) {
        HWND text = GetDlgItem(box, id);
        if (text != nullptr && sameClass(text, L"Static"))
            return win::windowText(text);
    }
    return {};
}

std::string describeDialog(HWND dialog) {
    std::string caption = inQuotes(win::windowText(dialog));
    if (int id = dialogTemplateId(dialog))
        return "dialog " + std::to_string(id) + " " + caption;
    if (isMessageBox(dialog))
        return "message box " + caption + " saying " + inQuotes(messageBoxText(dialog));
    return "dialog " + caption;
}

HWND findControl(HWND dialog, int id) {
    HWND direct = GetDlgItem(dialog, id);
    if (direct != nullptr)
        return direct;
    struct Search {
        int id;
        HWND visible = nullptr;
        HWND any = nullptr;
    } search{id};
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (GetDlgCtrlID(child) != s->id)
                return TRUE;
            if (s->any == nullptr)
                s->any = child;
            if (IsWindowVisible(child)) {
                s->visible = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.visible != nullptr ? search.visible : search.any;
}

// --- Actions -------------------------------------------------------------------

DialogStep& DialogStep::act(Action action) {
    actions.push_back(std::move(action));
    return *this;
}

// An action on control `id`: one the user could reach when `usable`, else any.
DialogStep& DialogStep::onControl(int id, bool usable, std::function<std::string(HWND)> action) {
    return act([id, usable, action = std::move(action)](HWND dialog) -> std::string {
        std::string error;
        HWND control = usable ? usableControl(dialog, id, error) : findControl(dialog, id);
        if (control == nullptr)
            return error.empty() ? "there is no " + controlName(id) : error;
        return action(control);
    });
}

DialogStep& DialogStep::setText(int id, std::wstring_view text) {
    return onControl(id, false, [value = std::wstring(text)](HWND control) -> std::string {
        SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
        return {};
    });
}

DialogStep& DialogStep::type(int id, std::wstring_view text) {
    return onControl(id, true, [id, value = std::wstring(text)](HWND control) -> std::string {
        HWND edit = sameClass(control, L"ComboBox")
                        ? FindWindowExW(control, nullptr, L"Edit", nullptr)
                        : (sameClass(control, L"Edit") ? control : nullptr);
        if (edit == nullptr)
            return controlName(id) + " has no edit field";
        if (GetWindowLongW(edit, GWL_STYLE) & ES_READONLY)
            return controlName(id) + " is read-only";
        SendMessageW(edit, EM_SETSEL, 0, -1);
        for (wchar_t c : value)
            SendMessageW(edit, WM_CHAR, c, 1);
        return {};
    });
}

// Selects entry `index` of a combo box or list box through its messages,
// then tells the parent as a click would.
static std::string selectEntry(HWND control, int id, int index, UINT countMessage, UINT selectMessage,
                        WORD notification) {
    LRESULT count = SendMessageW(control, countMessage, 0, 0);
    if (index < 0 || index >= count)
        return controlName(id) + " has no entry " + std::to_string(index) + " (it has " +
               std::to_string(count) + ")";
    SendMessageW(control, selectMessage, static_cast<WPARAM>(index), 0);
    if (notification != 0)
        notifyParent(control, notification);
    return {};
}

DialogStep& DialogStep::selectCombo(int id, int index) {
    return onControl(id, true, [id, index](HWND combo) {
        return selectEntry(combo, id, index, CB_GETCOUNT, CB_SETCURSEL, CBN_SELCHANGE);
    });
}

DialogStep& DialogStep::selectComboText(int id, std::wstring_view text) {
    return onControl(id, true, [id, value = std::wstring(text)](HWND combo) -> std::string {
        LRESULT index = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(value.c_str()));
        if (index == CB_ERR)
            return controlName(id) + " has no entry " + inQuotes(value);
        return selectEntry(combo, id, int(index), CB_GETCOUNT, CB_SETCURSEL, CBN_SELCHANGE);
    });
}

DialogStep& DialogStep::selectList(int id, int index) {
    return onControl(id, true, [id, index](HWND list) {
        // A list box tells its parent only when it was made to.
        const bool notifies = GetWindowLongW(list, GWL_STYLE) & LBS_NOTIFY;
        return selectEntry(list, id, index, LB_GETCOUNT, LB_SETCURSEL,
                           notifies ? LBN_SELCHANGE : 0);
    });
}

DialogStep& DialogStep::clickListViewRow(int id, int row) {
    return onControl(id, true, [id, row](HWND list) -> std::string {
        LRESULT count = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
        if (row < 0 || row >= count)
            return controlName(id) + " has no row " + std::to_string(row);
        LVITEMW state{};
        state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&state));
        NMITEMACTIVATE click{};
        click.hdr = {list, static_cast<UINT_PTR>(id), UINT(NM_CLICK)};
        click.iItem = row;
        SendMessageW(GetParent(list), WM_NOTIFY, static_cast<WPARAM>(id),
                     reinterpret_cast<LPARAM>(&click));
        return {};
    });
}

DialogStep& DialogStep::check(int id, bool checked) {
    return onControl(id, true, [id, checked](HWND box) -> std::string {
        LONG type = buttonType(box);
        bool automatic = type == BS_AUTOCHECKBOX || type == BS_AUTO3STATE;
        if (!automatic && type != BS_CHECKBOX && type != BS_3STATE)
            return controlName(id) + " is not a check box";
        if ((SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED) == checked)
            return {};
        // A click on a plain check box only tells the dialog, which sets it.
        if (automatic)
            SendMessageW(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
        notifyParent(box, BN_CLICKED);
        return {};
    });
}

DialogStep& DialogStep::tickRadio(int id) {
    return onControl(id, true, [id](HWND radio) -> std::string {
        LONG type = buttonType(radio);
        if (type != BS_AUTORADIOBUTTON && type != BS_RADIOBUTTON)
            return controlName(id) + " is not a radio button";
        if (type == BS_AUTORADIOBUTTON) {
            // As a click does: clear the other automatic radio buttons of the group.
            HWND parent = GetParent(radio);
            HWND start = GetNextDlgGroupItem(parent, radio, TRUE);
            HWND sibling = start;
            for (int guard = 0; sibling != nullptr && guard < 256; ++guard) {
                if (sibling != radio && buttonType(sibling) == BS_AUTORADIOBUTTON)
                    SendMessageW(sibling, BM_SETCHECK, BST_UNCHECKED, 0);
                sibling = GetNextDlgGroupItem(parent, sibling, FALSE);
                if (sibling == start)
                    break;
            }
            SendMessageW(radio, BM_SETCHECK, BST_CHECKED, 0);
        }
        notifyParent(radio, BN_CLICKED);
        return {};
    });
}

DialogStep& DialogStep::click(int id) {
    return onControl(id, true, [](HWND button) -> std::string {
        notifyParent(button, BN_CLICKED);
        return {};
    });
}

DialogStep& DialogStep::closeBox() {
    return act([](HWND dialog) -> std::string {
        SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        return {};
    });
}

DialogStep& DialogStep::expectText(int id, std::wstring_view expected) {
    return onControl(id, false, [id, value = std::wstring(expected)](HWND control) {
        std::wstring shown = win::windowText(control);
        return shown == value ? std::string()
                              : controlName(id) + " shows " + inQuotes(shown) + ", expected " +
                                    inQuotes(value);
    });
}

DialogStep& DialogStep::expectEnabled(int id, bool enabled) {
    return onControl(id, false, [id, enabled](HWND control) {
        return (IsWindowEnabled(control) != FALSE) == enabled
                   ? std::string()
                   : controlName(id) + (enabled ? " is disabled" : " is enabled");
    });
}

DialogStep& DialogStep::expectChecked(int id, bool checked) {
    return onControl(id, false, [id, checked](HWND control) {
        return (SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED) == checked
                   ? std::string()
                   : controlName(id) + (checked ? " is not checked" : " is checked");
    });
}

DialogStep& DialogStep::readText(int id, std::wstring* out) {
    if (id == 0)
        return act([out](HWND box) -> std::string {
            *out = messageBoxText(box);
            return {};
        });
    return onControl(id, false, [out](HWND control) -> std::string {
        *out = win::windowText(control);
        return {};
    });
}

DialogStep& DialogStep::then(std::function<void(HWND dialog)> action) {
    return act([action = std::move(action)](HWND dialog) -> std::string {
        action(dialog);
        if (::testing::Test::HasFatalFailure())
            return "a fatal assertion failed";
        return {};
    });
}

// --- The driver ------------------------------------------------------------------

struct DialogDriver::State {
    std::vector<std::unique_ptr<DialogStep>>* steps = nullptr;
    std::size_t next = 0;
    std::chrono::steady_clock::time_point stepSince;
    std::chrono::milliseconds timeout{};
    std::vector<std::string> failures;
    bool aborting = false;
    std::vector<HWND> busy; // dialogs whose step is running its actions

    bool isBusy(HWND dialog) const {
        return std::find(busy.begin(), busy.end(), dialog) != busy.end();
    }

    void fail(std::string message) {
        failures.push_back(std::move(message));
        aborting = true;
    }

    // Ends every dialog a user could act on; the disabled owners of nested
    // dialogs follow on later ticks, once those are gone.
    void closeAll() {
        for (HWND dialog : threadDialogs(true))
            EndDialog(dialog, IDCANCEL);
    }

    std::string stepName(std::size_t index) const {
        return "step " + std::to_string(index + 1) + " (" + (*steps)[index]->description + ")";
    }

    std::string onScreen() const {
        std::string text;
        for (HWND dialog : threadDialogs(false)) {
            if (!IsWindowVisible(dialog))
                continue;
            text += text.empty() ? "" : "; ";
            text += describeDialog(dialog);
        }
        return text.empty() ? "no dialog is shown" : "shown: " + text;
    }

    void tick() {
        if (aborting) {
            closeAll();
            return;
        }
        std::vector<HWND> dialogs = threadDialogs(true);
        if (next < steps->size()) {
            DialogStep& step = *(*steps)[next];
            for (HWND dialog : dialogs) {
                if (!isBusy(dialog) && step.matches(dialog)) {
                    take(step, dialog);
                    return;
                }
            }
            auto waited = std::chrono::steady_clock::now() - stepSince;
            if (waited > timeout) {
                fail(stepName(next) + " did not appear within " + std::to_string(timeout.count()) +
                     " ms; " + onScreen());
                closeAll();
            }
            return;
        }
        for (HWND dialog : dialogs) {
            // The totals' progress closes itself when its worker ends; on a
            // loaded machine it may still be up when the driver looks.
            if (!isBusy(dialog) && dialogTemplateId(dialog) != IDD_PROGRESS) {
                fail("unexpected " + describeDialog(dialog) + " after the last step");
                closeAll();
                return;
            }
        }
    }

    void take(DialogStep& step, HWND dialog) {
        std::size_t index = next++;
        stepSince = std::chrono::steady_clock::now();
        busy.push_back(dialog);
        for (std::size_t i = 0; i < step.actions.size() && !aborting; ++i) {
            if (!IsWindow(dialog)) {
                fail(stepName(index) + ": the dialog was gone before action " +
                     std::to_string(i + 1));
                break;
            }
            std::string error = step.actions[i](dialog);
            if (!error.empty())
                fail(stepName(index) + ", action " + std::to_string(i + 1) + ": " + error);
        }
        busy.erase(std::find(busy.begin(), busy.end(), dialog));
        if (aborting)
            closeAll();
    }
};

thread_local DialogDriver::State* DialogDriver::active_ = nullptr;

DialogDriver::DialogDriver(std::chrono::milliseconds stepTimeout) : stepTimeout_(stepTimeout) {}
DialogDriver::~DialogDriver() = default;

DialogStep& DialogDriver::addStep(std::string description, std::function<bool(HWND)> matches) {
    steps_.push_back(std::make_unique<DialogStep>());
    steps_.back()->description = std::move(description);
    steps_.back()->matches = std::move(matches);
    return *steps_.back();
}

DialogStep& DialogDriver::expectDialog(int templateId) {
    return addStep("dialog " + std::to_string(templateId),
                   [templateId](HWND dialog) { return dialogTemplateId(dialog) == templateId; });
}

DialogStep& DialogDriver::expectDialogTitled(std::wstring_view caption) {
    return addStep("dialog " + inQuotes(caption), [value = std::wstring(caption)](HWND dialog) {
        return win::windowText(dialog) == value;
    });
}

DialogStep& DialogDriver::expectMessageBox(std::wstring_view text) {
    // Every message of the program carries its name as the title.
    return addStep(text.empty() ? std::string("a message box") : "message box " + inQuotes(text),
                   [value = std::wstring(text)](HWND dialog) {
                       return isMessageBox(dialog) &&
                              (value.empty() || messageBoxText(dialog) == value);
                   })
        .act([](HWND box) -> std::string {
            std::wstring title = win::windowText(box);
            return title == kAppTitleWide ? std::string()
                                          : "the message box is titled " + inQuotes(title);
        });
}

::testing::AssertionResult DialogDriver::run(const std::function<void()>& code) {
    if (active_ != nullptr)
        return ::testing::AssertionFailure() << "a dialog driver is already running";
    State state;
    // A pending quit (left by a destroyed main window) would end the first
    // modal loop at once; say so plainly rather than fail on a missing dialog.
    MSG quit;
    if (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        state.failures.push_back("a WM_QUIT was waiting before the run; take it out with "
                                 "pumpMessagesUntil after destroying a main window");
    state.steps = &steps_;
    state.timeout = stepTimeout_;
    state.stepSince = std::chrono::steady_clock::now();
    active_ = &state;
    UINT_PTR timer = SetTimer(nullptr, 0, kTickMilliseconds, [](HWND, UINT, UINT_PTR, DWORD) {
        if (active_ != nullptr)
            active_->tick();
    });
    if (timer == 0) {
        active_ = nullptr;
        steps_.clear();
        return ::testing::AssertionFailure() << "no timer for the dialog driver";
    }
    try {
        code();
    } catch (const std::exception& e) {
        state.failures.push_back(std::string("the code threw: ") + e.what());
    } catch (...) {
        state.failures.push_back("the code threw");
    }
    KillTimer(nullptr, timer);
    active_ = nullptr;
    if (!state.aborting && state.next < steps_.size())
        state.failures.push_back(state.stepName(state.next) +
                                 " never appeared: the code returned first");
    steps_.clear();
    if (state.failures.empty())
        return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure();
    for (const std::string& message : state.failures)
        failure << message << "\n";
    return failure;
}

::testing::AssertionResult DialogDriver::runCommand(HWND window, int commandId) {
    return run([&] { SendMessageW(window, WM_COMMAND, MAKEWPARAM(commandId, 0), 0); });
}

bool pumpMessagesUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout,
                       bool* sawQuit) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                if (sawQuit != nullptr)
                    *sawQuit = true;
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// --- Small helpers ---------------------------------------------------------------

std::string temporaryPath(std::string_view name) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    return wideToUtf8(folder) + std::string(name);
}

std::wstring listCell(HWND list, int row, int column) {
    wchar_t text[128] = {};
    ListView_GetItemText(list, row, column, text, 128);
    return text;
}

std::vector<std::wstring> comboTexts(HWND combo) {
    std::vector<std::wstring> texts;
    const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[128] = {};
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        texts.emplace_back(text);
    }
    return texts;
}

bool chooseComboData(HWND combo, std::uintptr_t value) {
    const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (static_cast<std::uintptr_t>(SendMessageW(combo, CB_GETITEMDATA, i, 0)) == value) {
            SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            notifyParent(combo, CBN_SELCHANGE);
            return true;
        }
    return false;
}

void typeInto(HWND edit, std::wstring_view keys) {
    if (sameClass(edit, L"ComboBox"))
        edit = FindWindowExW(edit, nullptr, L"Edit", nullptr);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, WM_CHAR, L'\b', 1);
    for (wchar_t key : keys)
        SendMessageW(edit, WM_CHAR, key, 1);
}

void holdKeys(bool control, bool shift) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = control ? 0x80 : 0;
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
}

std::wstring clipboardText() {
    std::wstring text;
    if (!OpenClipboard(nullptr))
        return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

std::wstring shotFolder() {
    const wchar_t* folder = _wgetenv(L"KOLVANE_SHOT_DIR");
    return folder ? folder : L"";
}

void waitForShot(const std::wstring& folder, const wchar_t* name, HWND area) {
    if (area)
        RedrawWindow(area, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pumpMessagesUntil([] { return false; }, std::chrono::milliseconds(300)); // let it paint
    // Written aside, then renamed: the script never reads half a file.
    const std::wstring ready = folder + L"\\ready-" + name;
    FILE* out = _wfopen((ready + L".tmp").c_str(), L"w");
    ASSERT_NE(out, nullptr);
    if (area) {
        RECT frame{};
        GetWindowRect(area, &frame);
        std::fprintf(out, "%ld %ld %ld %ld\n", frame.left, frame.top, frame.right - frame.left,
                     frame.bottom - frame.top);
    }
    std::fclose(out);
    MoveFileW((ready + L".tmp").c_str(), ready.c_str());
    const std::wstring done = folder + L"\\done-" + name;
    const auto taken = [&] { return GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES; };
    EXPECT_TRUE(pumpMessagesUntil(taken, std::chrono::seconds(60)))
        << "no picture";
}

} // namespace kolvane::uitest
