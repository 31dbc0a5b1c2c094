// Answers the modal dialogs and message boxes that a piece of UI code shows,
// from inside the modal loop of the test thread, and fails instead of hanging:
//
//     DialogDriver driver;                                  // 5 s per step
//     driver.expectDialog(IDD_ACCOUNT).type(IDC_ACCOUNT_NAME, L"Courant").click(IDOK);
//     driver.expectMessageBox(L"...").press(IDOK);
//     EXPECT_TRUE(driver.run([&] { result = runAccountDialog(doc, in, nullptr); }));
//
// run() starts a thread timer; on each tick the first enabled, visible dialog
// (#32770) of the thread that matches the next step has that step's actions
// run in order. A step not met in time, an action that cannot be done, a
// dialog no step expects, or steps left when the code returns fail the run;
// the driver then ends every dialog with IDCANCEL so that the test goes on.
// Buttons get WM_COMMAND(BN_CLICKED) sent to their parent (BM_CLICK needs an
// active window); controls are looked up in the dialog's pages too.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kolvane::uitest {

using namespace std::chrono_literals;

// The template number that DialogObject recorded, or 0.
int dialogTemplateId(HWND dialog);

class DialogStep {
  public:
    using Action = std::function<std::string(HWND dialog)>; // error text, or empty

    // WM_SETTEXT, as a program sets a text.
    DialogStep& setText(int id, std::wstring_view text);
    // Replaces the text of an edit (or an editable combo box) key by key.
    DialogStep& type(int id, std::wstring_view text);
    // Selects an entry of a combo box and tells the parent (CBN_SELCHANGE).
    DialogStep& selectCombo(int id, int index);
    DialogStep& selectComboText(int id, std::wstring_view text);
    // Selects a row of a list view, then sends NM_CLICK for it.
    DialogStep& clickListViewRow(int id, int row);
    // Checks a check box, or a radio button clearing the rest of its group,
    // then BN_CLICKED.
    DialogStep& check(int id);
    // Presses an enabled, visible button (also a message box's IDOK, IDYES...).
    DialogStep& click(int id);
    // A difference fails the run.
    DialogStep& expectText(int id, std::wstring_view expected);
    DialogStep& expectEnabled(int id, bool enabled = true);
    DialogStep& expectChecked(int id, bool checked = true);
    // Copies a message box's text.
    DialogStep& readMessage(std::wstring* out);
    // Anything else; GoogleTest expectations may be used inside.
    DialogStep& then(std::function<void(HWND dialog)> action);

  private:
    friend class DialogDriver;
    DialogStep& onControl(int id, bool usable, std::function<std::string(HWND)> action);
    DialogStep& expectState(int id, bool expected, bool (*state)(HWND));
    std::string description;
    std::function<bool(HWND)> matches;
    std::vector<Action> actions;
};

class DialogDriver {
  public:
    explicit DialogDriver(std::chrono::milliseconds stepTimeout = 5000ms)
        : stepTimeout_(stepTimeout) {}

    // The dialog made from template `templateId` by DialogObject.
    DialogStep& expectDialog(int templateId);
    // A dialog with exactly this caption.
    DialogStep& expectDialogTitled(std::wstring_view caption);
    // A message box titled "Kolvane v.Alpha"; with `text`, that exact text.
    DialogStep& expectMessageBox(std::wstring_view text = {});

    // Runs `code`, answering the expected dialogs; success when every step
    // was taken and nothing went wrong. The steps are used up.
    ::testing::AssertionResult run(const std::function<void()>& code);
    // Sends WM_COMMAND(commandId) to `window` under run().
    ::testing::AssertionResult runCommand(HWND window, int commandId);

  private:
    DialogStep& addStep(std::string description, std::function<bool(HWND)> matches);
    struct State;
    std::vector<std::unique_ptr<DialogStep>> steps_;
    std::chrono::milliseconds stepTimeout_;
};

// Dispatches the thread's messages until `done` holds or `timeout` passes.
// A WM_QUIT met on the way is dropped (later modal loops must still run).
bool pumpMessagesUntil(const std::function<bool()>& done,
                       std::chrono::milliseconds timeout = 5000ms);

// --- Small helpers shared by the UI tests -------------------------------------

// A file of the temporary folder, as a UTF-8 path.
std::string temporaryPath(std::string_view name);
std::wstring listCell(HWND list, int row, int column);
// What a list sends its parent for a mouse click (or `code`) on a cell.
void clickListCell(HWND list, int row, int column = 0, UINT code = NM_CLICK);
std::vector<std::wstring> comboTexts(HWND combo);
// Selects the entry of `combo` whose item data is `value` and tells its parent,
// as a user's choice does; false when there is none.
bool chooseComboData(HWND combo, std::uintptr_t value);
// Replaces the text of an edit (or of an editable combo box's edit) key by key.
void typeInto(HWND edit, std::wstring_view keys);

// The screenshot sessions' side of scripts/screenshot_session.sh: the folder
// named by KOLVANE_SHOT_DIR (empty when not set), and the wait while the
// script takes picture `name` of `area`'s window rectangle (or of the whole
// desktop), told through a "ready-NAME" file and answered by "done-NAME".
std::wstring shotFolder();
void waitForShot(const std::wstring& folder, const wchar_t* name, HWND area = nullptr);

} // namespace kolvane::uitest
