#include "operations/amount_edit_control.h"

#include "win/window_object.h"
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

std::wstring textOf(HWND box) {
    wchar_t buffer[300] = {};
    GetWindowTextW(box, buffer, 300);
    return buffer;
}
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

TEST_F(AmountEdit, TypedKeysFollowTheRules) {
    HWND box = hidden;
    struct Case {
        const wchar_t* before;
        int from, to; // selection before typing
        const wchar_t *keys, *after;
        int beeps;
    };
    // The rules themselves are the core's; here, that keys, selection and
    // beeps reach them and their answer reaches the box.
    const Case cases[] = {
        {L"", 0, 0, L"12.345", L"12.34", 1},  // a third decimal beeps
        {L"12.34", 3, 5, L"9", L"12.9", 0},   // over selected decimals
        {L"1", 1, 1, L"a \x16", L"1", 3},     // letters, space, Ctrl+V beep
        {L"-5", 0, -1, L"-8", L"-8", 0},      // the whole text selected: the sign replaces it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "'" << c.keys << "' into '" << c.before << "'");
        SetWindowTextW(box, c.before);
        select(box, c.from, c.to);
        beepCount = 0;
        type(box, c.keys);
        EXPECT_EQ(textOf(box), c.after);
        EXPECT_EQ(beepCount, c.beeps);
    }
    // A second point selects the decimals instead, silently.
    SetWindowTextW(box, L"12.34");
    select(box, 5, 5);
    type(box, L".");
    EXPECT_EQ(selectionOf(box), std::make_pair(3, 5));
}

TEST_F(AmountEdit, FocusLossWritesTwoDecimalsAndFocusGainSelectsAll) {
    struct Case {
        const wchar_t *text, *withoutZero, *withZero;
    };
    for (const Case& c : {Case{L"", L"", L"0.00"}, Case{L"-0", L"", L"0.00"},
                          Case{L"1234,5", L"1 234.50", L"1 234.50"}}) {
        for (HWND box : {hidden, shown}) {
            SetWindowTextW(box, c.text);
            SendMessageW(box, WM_KILLFOCUS, 0, 0);
        }
        EXPECT_EQ(textOf(hidden), c.withoutZero) << c.text;
        EXPECT_EQ(textOf(shown), c.withZero) << c.text;
    }

    SetWindowTextW(hidden, L"1234.50");
    select(hidden, 2, 2);
    SendMessageW(hidden, WM_SETFOCUS, 0, 0);
    uitest::pumpMessagesUntil([] { return false; }, std::chrono::milliseconds(50)); // posted
    EXPECT_EQ(selectionOf(hidden), std::make_pair(0, 7));
}

TEST_F(AmountEdit, SetAmountWritesTwoDecimalsAndTellsTheParent) {
    parent.changes.clear();
    setAmount(hidden, 0.0);
    EXPECT_EQ(textOf(hidden), L"");
    setAmount(shown, 0.0);
    EXPECT_EQ(textOf(shown), L"0.00");
    setAmount(hidden, 1234.567);
    EXPECT_EQ(textOf(hidden), L"1 234.57");
    EXPECT_EQ(getAmount(hidden), 1234.57);
    EXPECT_EQ(parent.changes, (std::vector<int>{101, 102, 101}));
    setAmount(nullptr, 5.0); // no window: nothing
}

TEST_F(AmountEdit, PastingIsRefusedWhicheverWay) {
    HWND box = hidden;
    SetWindowTextW(box, L"12.00");
    HWND plain = makeEdit(L"", 103);
    ASSERT_TRUE(OpenClipboard(parent.window));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof L"987");
    memcpy(GlobalLock(memory), L"987", sizeof L"987");
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
    SendMessageW(plain, WM_PASTE, 0, 0);
    ASSERT_EQ(textOf(plain), L"987"); // the clipboard does hold something to paste

    select(box, 0, -1);
    SendMessageW(box, WM_PASTE, 0, 0); // the context menu
    EXPECT_EQ(beepCount, 1);
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(box, WM_KEYDOWN, VK_INSERT, 1); // Shift+Insert
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(textOf(box), L"12.00");
    EXPECT_EQ(beepCount, 2);

    // Running out of memory inside the box's procedure (a sound that fails)
    // must not unwind through the system's dispatch: key and paste dropped.
    setAmountBeep([] { throw std::bad_alloc(); });
    bool escaped = false;
    try {
        type(box, L"x");
        SendMessageW(box, WM_PASTE, 0, 0);
    } catch (...) {
        escaped = true;
    }
    EXPECT_FALSE(escaped);
    select(box, 2, 2);
    type(box, L"5");
    EXPECT_EQ(textOf(box), L"125.00");
}

TEST_F(AmountEdit, AttachingRewritesTheTextAndCanBeDoneTwice) {
    HWND comma = makeEdit(L"12,5", 103);
    HWND minusZero = makeEdit(L"-0", 104, ES_MULTILINE);
    ASSERT_TRUE(attachAmountEdit(comma, false));
    EXPECT_EQ(textOf(comma), L"12.50");
    ASSERT_TRUE(attachAmountEdit(minusZero, true));
    EXPECT_EQ(textOf(minusZero), L"0.00");
    EXPECT_EQ(GetWindowLongPtrW(minusZero, GWL_STYLE) & ES_MULTILINE, 0);

    // Twice: keys still reach the plain edit control once (a procedure
    // chained to itself would never return), the last showZero kept.
    EXPECT_TRUE(attachAmountEdit(comma, true));
    select(comma, 1, 1);
    type(comma, L"5");
    EXPECT_EQ(textOf(comma), L"152.50");
    SetWindowTextW(comma, L"");
    SendMessageW(comma, WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(textOf(comma), L"0.00");

    EXPECT_FALSE(attachAmountEdit(parent.window, false)); // not an edit control
    EXPECT_FALSE(attachAmountEdit(nullptr, false));
    EXPECT_FALSE(isAmountEdit(parent.window));
    EXPECT_TRUE(isAmountEdit(comma));
}

} // namespace
} // namespace kolvane
