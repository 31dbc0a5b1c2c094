#include "operations/amount_edit_control.h"

#include "win/window_object.h"
#include "win/window_text.h"
#include "tests/ui/dialog_driver.h"

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

namespace kolvane {
namespace {

int beepCount = 0;

// A hidden top-level window holding the boxes; records the ids of the boxes
// that sent EN_CHANGE.
struct BoxParent : win::WindowObject<BoxParent> {
    std::vector<int> changes;
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE)
            changes.push_back(LOWORD(wParam));
        return defaultProcedure(message, wParam, lParam);
    }
};

std::pair<int, int> selectionOf(HWND box) {
    DWORD start = 0, end = 0;
    SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {static_cast<int>(start), static_cast<int>(end)};
}
void select(HWND box, int from, int to) {
    SendMessageW(box, EM_SETSEL, from, to);
}
void type(HWND box, std::wstring_view keys) {
    for (wchar_t key : keys)
        SendMessageW(box, WM_CHAR, key, 1);
}

class AmountEdit : public ::testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = BoxParent::procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"KolvaneAmountBoxTestParent";
        RegisterClassW(&windowClass); // a second registration fails harmlessly
        beepCount = 0;
        setAmountBeep([] { ++beepCount; });
        ASSERT_NE(parent.create(0, windowClass.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 400,
                                300, nullptr, nullptr),
                  nullptr);
        hidden = makeEdit(L"", 101);
        shown = makeEdit(L"", 102);
        ASSERT_TRUE(attachAmountEdit(hidden, false));
        ASSERT_TRUE(attachAmountEdit(shown, true));
    }
    void TearDown() override {
        DestroyWindow(parent.window);
        setAmountBeep(nullptr);
    }

    HWND makeEdit(const wchar_t* text, int id, DWORD extraStyle = 0) {
        return CreateWindowExW(0, L"EDIT", text, WS_CHILD | ES_AUTOHSCROLL | extraStyle, 10, 10,
                               200, 24, parent.window,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleW(nullptr), nullptr);
    }
    BoxParent parent;
    HWND hidden = nullptr; // showZero off
    HWND shown = nullptr;  // showZero on
};

// The rules themselves are the core's; here, that keys, selection and beeps
// reach them and their answer reaches the box.
TEST_F(AmountEdit, TypedKeysFocusAndSetAmountGoThroughTheRules) {
    // Over the selected decimals, then a third decimal: refused with a beep.
    SetWindowTextW(hidden, L"12.34");
    select(hidden, 3, 5);
    type(hidden, L"956");
    EXPECT_EQ(win::windowText(hidden), L"12.95");
    EXPECT_EQ(beepCount, 1);
    // Focus lost: two decimals, a zero only where it is shown.
    for (HWND box : {hidden, shown}) {
        SetWindowTextW(box, L"-0");
        SendMessageW(box, WM_KILLFOCUS, 0, 0);
    }
    EXPECT_EQ(win::windowText(hidden), L"");
    EXPECT_EQ(win::windowText(shown), L"0.00");
    // Focus gained: all selected (posted).
    SetWindowTextW(hidden, L"1234.50");
    SendMessageW(hidden, WM_SETFOCUS, 0, 0);
    uitest::pumpMessagesUntil([] { return false; }, std::chrono::milliseconds(50));
    EXPECT_EQ(selectionOf(hidden), std::make_pair(0, 7));

    parent.changes.clear();
    setAmount(hidden, 1234.567);
    EXPECT_EQ(win::windowText(hidden), L"1 234.57");
    EXPECT_EQ(parent.changes, std::vector<int>{101});
}

TEST_F(AmountEdit, PastingIsRefusedWhicheverWay) {
    SetWindowTextW(hidden, L"12.00");
    ASSERT_TRUE(OpenClipboard(parent.window));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof L"987");
    memcpy(GlobalLock(memory), L"987", sizeof L"987");
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
    select(hidden, 0, -1);
    SendMessageW(hidden, WM_PASTE, 0, 0); // the context menu
    BYTE keys[256] = {};
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(hidden, WM_KEYDOWN, VK_INSERT, 1); // Shift+Insert
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(win::windowText(hidden), L"12.00");
    EXPECT_EQ(beepCount, 2);

    // Running out of memory inside the box's procedure (a sound that fails)
    // must not unwind through the system's dispatch: key and paste dropped.
    setAmountBeep([] { throw std::bad_alloc(); });
    bool escaped = false;
    try {
        type(hidden, L"x");
        SendMessageW(hidden, WM_PASTE, 0, 0);
    } catch (...) {
        escaped = true;
    }
    EXPECT_FALSE(escaped);
    select(hidden, 2, 2);
    type(hidden, L"5");
    EXPECT_EQ(win::windowText(hidden), L"125.00");
}

TEST_F(AmountEdit, AttachingRewritesTheTextAndCanBeDoneTwice) {
    HWND comma = makeEdit(L"12,5", 103, ES_MULTILINE);
    ASSERT_TRUE(attachAmountEdit(comma, false));
    EXPECT_EQ(win::windowText(comma), L"12.50");
    EXPECT_EQ(GetWindowLongPtrW(comma, GWL_STYLE) & ES_MULTILINE, 0);
    // Twice: keys still reach the plain edit control once (a procedure
    // chained to itself would never return), the last showZero kept.
    EXPECT_TRUE(attachAmountEdit(comma, true));
    select(comma, 1, 1);
    type(comma, L"5");
    EXPECT_EQ(win::windowText(comma), L"152.50");
    SetWindowTextW(comma, L"");
    SendMessageW(comma, WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(win::windowText(comma), L"0.00");
    EXPECT_FALSE(attachAmountEdit(parent.window, false)); // not an edit control
}

} // namespace
} // namespace kolvane
