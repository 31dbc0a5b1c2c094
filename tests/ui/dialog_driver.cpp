#include "tests/ui/dialog_driver.h"

#include "document/app_title.h"
#include "document/text.h"
#include "resources/resource_ids.h"
#include "win/combo_box.h"
#include "win/window_object.h"
#include "win/window_text.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace kolvane::uitest {

namespace {

std::string inQuotes(std::wstring_view text) {
    std::string result = "\""; // appended: GCC 12 warns wrongly about prepending
    result += wideToUtf8(text);
    result += '"';
    return result;
}

bool hasClass(HWND window, const wchar_t* name) {
    wchar_t actual[64] = {};
    GetClassNameW(window, actual, 64);
    return CompareStringOrdinal(actual, -1, name, -1, TRUE) == CSTR_EQUAL;
}

// The thread's dialogs a user could act on now (not hidden by EndDialog, not
// disabled under a nested modal dialog).
std::vector<HWND> usableDialogs() {
    std::vector<HWND> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            if (hasClass(window, L"#32770") && IsWindowVisible(window) && IsWindowEnabled(window))
                reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// A #32770 that no DialogObject made, with a message box button and no input.
bool isMessageBox(HWND dialog) {
    if (!hasClass(dialog, L"#32770") || dialogTemplateId(dialog) != 0)
        return false;
    bool button = false;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (hasClass(child, L"Edit") || hasClass(child, L"ComboBox") ||
            hasClass(child, L"ListBox") || hasClass(child, WC_LISTVIEWW))
            return false;
        const int id = GetDlgCtrlID(child);
        button = button || (hasClass(child, L"Button") && id >= IDOK && id <= IDCONTINUE);
    }
    return button;
}

std::wstring messageBoxText(HWND box) {
    // The text static is 0xFFFF on Windows and 100 under Wine.
    for (int id : {0xFFFF, 100})
        if (HWND text = GetDlgItem(box, id); text && hasClass(text, L"Static"))
            return win::windowText(text);
    return {};
}

std::string describe(HWND dialog) {
    const std::string caption = inQuotes(win::windowText(dialog));
    if (int id = dialogTemplateId(dialog))
        return "dialog " + std::to_string(id) + " " + caption;
    if (isMessageBox(dialog))
        return "message box " + caption + " saying " + inQuotes(messageBoxText(dialog));
    return "dialog " + caption;
}

std::string controlName(int id) {
    return "control " + std::to_string(id);
}
void notifyParent(HWND control, WORD code) {
    SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
                 reinterpret_cast<LPARAM>(control));
}

std::string selectComboIndex(HWND combo, int id, LRESULT index) {
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    if (index < 0 || index >= count)
        return controlName(id) + " has no entry " + std::to_string(index) + " (it has " +
               std::to_string(count) + ")";
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    notifyParent(combo, CBN_SELCHANGE);
    return {};
}

// A control of the dialog or of one of its pages; the visible one first.
HWND findControl(HWND dialog, int id) {
    if (HWND direct = GetDlgItem(dialog, id))
        return direct;
    struct Search {
        int id;
        HWND visible = nullptr, any = nullptr;
    } search{id};
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (GetDlgCtrlID(child) != s->id)
                return TRUE;
            s->any = s->any ? s->any : child;
            s->visible = IsWindowVisible(child) ? child : nullptr;
            return s->visible == nullptr;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.visible ? search.visible : search.any;
}

} // namespace

int dialogTemplateId(HWND dialog) {
    return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(dialog, win::kTemplateIdProperty)));
}

// --- Actions -------------------------------------------------------------------

// An action on control `id`: one the user could reach when `usable`, else any.
DialogStep& DialogStep::onControl(int id, bool usable, std::function<std::string(HWND)> action) {
    actions.push_back([id, usable, action = std::move(action)](HWND dialog) -> std::string {
        HWND control = findControl(dialog, id);
        if (control == nullptr)
            return "there is no " + controlName(id);
        if (usable && !IsWindowEnabled(control))
            return controlName(id) + " is disabled";
        if (usable && !IsWindowVisible(control))
            return controlName(id) + " is hidden";
        return action(control);
    });
    return *this;
}

DialogStep& DialogStep::setText(int id, std::wstring_view text) {
    return onControl(id, false, [value = std::wstring(text)](HWND control) {
        SetWindowTextW(control, value.c_str());
        return std::string();
    });
}

DialogStep& DialogStep::type(int id, std::wstring_view text) {
    return onControl(id, true, [value = std::wstring(text)](HWND control) {
        typeInto(control, value);
        return std::string();
    });
}

DialogStep& DialogStep::selectCombo(int id, int index) {
    return onControl(id, true,
                     [id, index](HWND combo) { return selectComboIndex(combo, id, index); });
}

DialogStep& DialogStep::selectComboText(int id, std::wstring_view text) {
    return onControl(id, true, [id, value = std::wstring(text)](HWND combo) {
        const LRESULT index = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(value.c_str()));
        if (index == CB_ERR)
            return controlName(id) + " has no entry " + inQuotes(value);
        return selectComboIndex(combo, id, index);
    });
}

DialogStep& DialogStep::clickListViewRow(int id, int row) {
    return onControl(id, true, [id, row](HWND list) {
        if (row < 0 || row >= ListView_GetItemCount(list))
            return controlName(id) + " has no row " + std::to_string(row);
        ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED,
                              LVIS_SELECTED | LVIS_FOCUSED);
        clickListCell(list, row);
        return std::string();
    });
}

DialogStep& DialogStep::check(int id) {
    return onControl(id, true, [](HWND button) {
        const auto isAutoRadio = [](HWND control) {
            return (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
        };
        // As a click on a radio button does: clear the other buttons of the group.
        HWND parent = GetParent(button);
        HWND sibling = isAutoRadio(button) ? GetNextDlgGroupItem(parent, button, FALSE) : nullptr;
        for (int guard = 0; sibling && sibling != button && guard < 64; ++guard) {
            if (isAutoRadio(sibling) && hasClass(sibling, L"Button"))
                SendMessageW(sibling, BM_SETCHECK, BST_UNCHECKED, 0);
            sibling = GetNextDlgGroupItem(parent, sibling, FALSE);
        }
        SendMessageW(button, BM_SETCHECK, BST_CHECKED, 0);
        notifyParent(button, BN_CLICKED);
        return std::string();
    });
}

DialogStep& DialogStep::click(int id) {
    return onControl(id, true, [](HWND button) {
        notifyParent(button, BN_CLICKED);
        return std::string();
    });
}

DialogStep& DialogStep::expectText(int id, std::wstring_view expected) {
    return onControl(id, false, [id, value = std::wstring(expected)](HWND control) {
        const std::wstring shown = win::windowText(control);
        return shown == value ? std::string()
                              : controlName(id) + " shows " + inQuotes(shown) + ", expected " +
                                    inQuotes(value);
    });
}

DialogStep& DialogStep::expectState(int id, bool expected, bool (*state)(HWND)) {
    return onControl(id, false, [id, expected, state](HWND control) {
        return state(control) == expected ? std::string() : controlName(id) + " is not as expected";
    });
}

DialogStep& DialogStep::expectEnabled(int id, bool enabled) {
    return expectState(id, enabled, [](HWND control) { return IsWindowEnabled(control) != FALSE; });
}

DialogStep& DialogStep::expectChecked(int id, bool checked) {
    return expectState(id, checked, [](HWND control) {
        return SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
    });
}

DialogStep& DialogStep::readMessage(std::wstring* out) {
    return then([out](HWND box) { *out = messageBoxText(box); });
}

DialogStep& DialogStep::then(std::function<void(HWND dialog)> action) {
    actions.push_back([action = std::move(action)](HWND dialog) {
        action(dialog);
        return ::testing::Test::HasFatalFailure() ? "a fatal assertion failed" : std::string();
    });
    return *this;
}

// --- The driver ------------------------------------------------------------------

struct DialogDriver::State {
    std::vector<std::unique_ptr<DialogStep>>& steps;
    std::chrono::milliseconds timeout;
    std::size_t next = 0;
    std::chrono::steady_clock::time_point stepSince = std::chrono::steady_clock::now();
    std::vector<std::string> failures;
    std::vector<HWND> busy; // dialogs whose step is running its actions

    static inline State* active = nullptr; // the run in progress (one thread only)

    State(std::vector<std::unique_ptr<DialogStep>>& all, std::chrono::milliseconds limit)
        : steps(all), timeout(limit) {}

    std::string stepName(std::size_t index) const {
        return "step " + std::to_string(index + 1) + " (" + steps[index]->description + ")";
    }
    bool idle(HWND dialog) const {
        return std::find(busy.begin(), busy.end(), dialog) == busy.end();
    }

    // Records the failure and ends every dialog a user could act on; the
    // disabled owners of nested dialogs follow on later ticks.
    void fail(std::string message) {
        if (!message.empty())
            failures.push_back(std::move(message));
        for (HWND dialog : usableDialogs())
            EndDialog(dialog, IDCANCEL);
    }

    void tick() {
        if (!failures.empty())
            return fail({});
        const std::vector<HWND> dialogs = usableDialogs();
        if (next == steps.size()) {
            // The totals' progress closes itself when its worker ends; on a
            // loaded machine it may still be up when the driver looks.
            for (HWND dialog : dialogs)
                if (idle(dialog) && dialogTemplateId(dialog) != IDD_PROGRESS)
                    return fail("unexpected " + describe(dialog) + " after the last step");
            return;
        }
        for (HWND dialog : dialogs)
            if (idle(dialog) && steps[next]->matches(dialog))
                return take(*steps[next], dialog);
        if (std::chrono::steady_clock::now() - stepSince > timeout)
            fail(stepName(next) + " did not appear within " + std::to_string(timeout.count()) +
                 " ms");
    }

    void take(DialogStep& step, HWND dialog) {
        const std::size_t index = next++;
        stepSince = std::chrono::steady_clock::now();
        busy.push_back(dialog);
        for (std::size_t i = 0; i < step.actions.size() && failures.empty(); ++i) {
            std::string error = IsWindow(dialog) ? step.actions[i](dialog) : "the dialog was gone";
            if (!error.empty())
                failures.push_back(stepName(index) + ", action " + std::to_string(i + 1) + ": " +
                                   error);
        }
        busy.pop_back();
        if (!failures.empty())
            fail({});
    }
};

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
    DialogStep& step = addStep(text.empty() ? "a message box" : "message box " + inQuotes(text),
                               [value = std::wstring(text)](HWND dialog) {
                                   return isMessageBox(dialog) &&
                                          (value.empty() || messageBoxText(dialog) == value);
                               });
    step.actions.push_back([](HWND box) {
        const std::wstring title = win::windowText(box);
        return title == kAppTitleWide ? std::string()
                                      : "the message box is titled " + inQuotes(title);
    });
    return step;
}

::testing::AssertionResult DialogDriver::run(const std::function<void()>& code) {
    if (State::active != nullptr)
        return ::testing::AssertionFailure() << "a dialog driver is already running";
    State state(steps_, stepTimeout_);
    State::active = &state;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
        if (State::active != nullptr)
            State::active->tick();
    });
    try {
        code();
    } catch (const std::exception& e) {
        state.failures.push_back(std::string("the code threw: ") + e.what());
    }
    KillTimer(nullptr, timer);
    State::active = nullptr;
    if (state.failures.empty() && state.next < steps_.size())
        state.failures.push_back(state.stepName(state.next) +
                                 " never appeared: the code returned first");
    steps_.clear();
    auto result =
        state.failures.empty() ? ::testing::AssertionSuccess() : ::testing::AssertionFailure();
    for (const std::string& message : state.failures)
        result << message << "\n";
    return result;
}

::testing::AssertionResult DialogDriver::runCommand(HWND window, int commandId) {
    return run([&] { SendMessageW(window, WM_COMMAND, MAKEWPARAM(commandId, 0), 0); });
}

bool pumpMessagesUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                continue;
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

void clickListCell(HWND list, int row, int column, UINT code) {
    NMITEMACTIVATE click{};
    click.hdr = {list, static_cast<UINT_PTR>(GetDlgCtrlID(list)), code};
    click.iItem = row;
    click.iSubItem = column;
    SendMessageW(GetParent(list), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
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
    return selectComboIndex(combo, 0, win::ComboBox(combo).find(static_cast<LPARAM>(value)))
        .empty();
}

void typeInto(HWND edit, std::wstring_view keys) {
    if (hasClass(edit, L"ComboBox"))
        edit = FindWindowExW(edit, nullptr, L"Edit", nullptr);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, WM_CHAR, L'\b', 1);
    for (wchar_t key : keys)
        SendMessageW(edit, WM_CHAR, key, 1);
}

std::wstring shotFolder() {
    const wchar_t* folder = _wgetenv(L"KOLVANE_SHOT_DIR");
    return folder ? folder : L"";
}

void waitForShot(const std::wstring& folder, const wchar_t* name, HWND area) {
    if (area)
        RedrawWindow(area, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pumpMessagesUntil([] { return false; }, 300ms); // let it paint
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
    EXPECT_TRUE(pumpMessagesUntil(
        [&] { return GetFileAttributesW(done.c_str()) != INVALID_FILE_ATTRIBUTES; }, 60s))
        << "no picture";
}

} // namespace kolvane::uitest
