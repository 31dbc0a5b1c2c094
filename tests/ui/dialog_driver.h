// Answers the modal dialogs and message boxes that a piece of UI code shows,
// from inside the modal loop of the test thread, and fails instead of hanging.
//
// Write the expected dialogs in order, each with what to do to it, then run
// the code that shows them:
//
//     DialogDriver driver;                                  // 5 s per step
//     driver.expectDialog(IDD_ACCOUNT)                      // dialog 201
//         .setText(IDC_ACCOUNT_NAME, L"Compte courant")
//         .click(IDOK);                                     // "Appliquer"
//     driver.expectMessageBox(L"Saisissez le nom du compte .").press(IDOK);
//     driver.expectDialog(IDD_ACCOUNT).click(IDCANCEL);
//     EXPECT_TRUE(driver.run([&] { result = dialog.run(mainWindow, nullptr); }));
//
// How it works: run() starts a thread timer and calls the code. Each modal
// loop (DialogBox, MessageBox) dispatches the timer, and on each tick the
// driver looks at the enabled, visible dialogs (class #32770) of the thread.
// When one matches the next step, the step is taken and its actions run in
// order; a dialog that an action opens is the business of the following
// steps. A step that finds nothing within the time-out, an action that cannot
// be done (missing or disabled control, wrong text), or a dialog that no step
// expects makes run() fail: the driver then ends every dialog of the thread
// with IDCANCEL, so the code returns and the test goes on. Steps left over
// when the code returns fail the run too.
//
// Buttons are pressed by sending WM_COMMAND(MAKEWPARAM(id, BN_CLICKED),
// button) to the button's parent, never with BM_CLICK (which needs an active
// window). Controls are looked up in the whole dialog, pages included.
// Dialogs made by DialogObject are found by template number; others (common
// dialogs) by caption; message boxes by their text.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kolvane::uitest {

using namespace std::chrono_literals;

// What the driver knows about a dialog on the screen, for messages.
std::string describeDialog(HWND dialog);
// The text of a message box (empty when `box` is not one).
std::wstring messageBoxText(HWND box);
// The template number that DialogObject recorded, or 0.
int dialogTemplateId(HWND dialog);
// A control of the dialog or of one of its pages; the visible one first.
HWND findControl(HWND dialog, int id);

class DialogStep {
  public:
    using Action = std::function<std::string(HWND dialog)>; // error text, or empty

    // Sets a control's text as a program would (WM_SETTEXT).
    DialogStep& setText(int id, std::wstring_view text);
    // Replaces the text of an edit (or an editable combo box's edit) the way
    // a user does: selects it all, then one WM_CHAR per character.
    DialogStep& type(int id, std::wstring_view text);
    // Selects an entry of a combo box and tells the parent (CBN_SELCHANGE).
    DialogStep& selectCombo(int id, int index);
    DialogStep& selectComboText(int id, std::wstring_view text);
    // Selects an entry of a list box and tells the parent (LBN_SELCHANGE).
    DialogStep& selectList(int id, int index);
    // Selects a row of a list view (the control sends LVN_ITEMCHANGED), then
    // sends NM_CLICK for that row as a mouse click would.
    DialogStep& clickListViewRow(int id, int row);
    // Checks or clears a check box, then BN_CLICKED.
    DialogStep& check(int id, bool checked = true);
    // Checks a radio button and clears the others of its group, then BN_CLICKED.
    DialogStep& tickRadio(int id);
    // Presses an enabled, visible button (also a message box's IDOK, IDYES...).
    DialogStep& click(int id);
    DialogStep& press(int id) { return click(id); }
    // The title bar's close box (WM_SYSCOMMAND SC_CLOSE).
    DialogStep& closeBox();
    // Checks a control's text or state; a difference fails the run.
    DialogStep& expectText(int id, std::wstring_view expected);
    DialogStep& expectEnabled(int id, bool enabled = true);
    DialogStep& expectChecked(int id, bool checked = true);
    // Copies a control's text (or, with id 0, a message box's text).
    DialogStep& readText(int id, std::wstring* out);
    // Anything else; GoogleTest expectations may be used inside.
    DialogStep& then(std::function<void(HWND dialog)> action);
    DialogStep& act(Action action);

  private:
    friend class DialogDriver;
    std::string description;
    std::function<bool(HWND)> matches;
    std::vector<Action> actions;
};

class DialogDriver {
  public:
    explicit DialogDriver(std::chrono::milliseconds stepTimeout = 5000ms);
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // The dialog made from template `templateId` by DialogObject.
    DialogStep& expectDialog(int templateId);
    // A dialog with exactly this caption.
    DialogStep& expectDialogTitled(std::wstring_view caption);
    // A message box titled "Kolvane v.Alpha"; with `text`, that exact text.
    DialogStep& expectMessageBox(std::wstring_view text = {});

    // Runs `code` on this thread, answering the expected dialogs. Success
    // when every step was taken and nothing went wrong. The steps are used
    // up; a driver may be given new steps and run again.
    ::testing::AssertionResult run(const std::function<void()>& code);
    // Sends WM_COMMAND(commandId) to `window` under run().
    ::testing::AssertionResult runCommand(HWND window, int commandId);

  private:
    struct State;
    static thread_local State* active_; // the run in progress on this thread
    std::vector<std::unique_ptr<DialogStep>> steps_;
    std::chrono::milliseconds stepTimeout_;
};

// Dispatches the thread's messages until `done` holds or `timeout` passes.
// A WM_QUIT met on the way is taken out of the queue (so that later modal
// loops still run) and reported through `sawQuit`. Returns `done()`.
bool pumpMessagesUntil(const std::function<bool()>& done,
                       std::chrono::milliseconds timeout = 5000ms, bool* sawQuit = nullptr);

} // namespace kolvane::uitest
