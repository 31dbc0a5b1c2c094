#include "operations/amount_edit_control.h"

#include "shell/window_object.h"
#include "tests/ui/dialog_driver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <new>
#include <string>
#include <vector>

namespace kolvane {
namespace {

int beepCount = 0;
void countBeep() {
    ++beepCount;
}

// A hidden top-level window holding the boxes, which records the edit
// notifications its children send.
struct BoxParent : win::WindowObject<BoxParent> {
    std::vector<int> changeNotifications; // ids of the boxes that sent EN_CHANGE

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_COMMAND && HIWORD(wParam) == EN_CHANGE)
            changeNotifications.push_back(LOWORD(wParam));
        return defaultProcedure(message, wParam, lParam);
    }
};

constexpr const wchar_t *kParentClass = L"KolvaneAmountBoxTestParent";

// Dispatches everything waiting in the thread's queue (posted selections,
// notifications, paints).
void pumpMessages() {
    uitest::pumpMessagesUntil([] {
        MSG msg;
        return !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    });
}
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

class AmountEdit : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = BoxParent::procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kParentClass;
        RegisterClassExW(&windowClass);
    }

    void SetUp() override {
        beepCount = 0;
        setAmountBeep(countBeep);
        ASSERT_NE(parent.create(0, kParentClass, L"Montants", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                                nullptr, nullptr),
                  nullptr);
    }
    void TearDown() override {
        DestroyWindow(parent.window);
        setAmountBeep(nullptr);
    }

    HWND makeEdit(const wchar_t *text = L"", DWORD extraStyle = 0, int id = 101) {
        return CreateWindowExW(
            0, L"EDIT", text, WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL | extraStyle, 10,
            10 + 30 * (id - 101), 200, 24, parent.window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    }
    HWND makeAmountBox(bool showZero, const wchar_t *text = L"", int id = 101) {
        HWND box = makeEdit(text, 0, id);
        EXPECT_NE(attachAmountEdit(box, showZero), nullptr);
        return box;
    }

    static void type(HWND box, std::wstring_view keys) {
        for (wchar_t key : keys)
            SendMessageW(box, WM_CHAR, key, 1);
    }
    static void select(HWND box, int from, int to) { SendMessageW(box, EM_SETSEL, from, to); }

    BoxParent parent;
};

TEST_F(AmountEdit, AThirdDecimalIsRefusedButDigitsBeforeThePointAreNot) {
    HWND box = makeAmountBox(false);
    type(box, L"12.345");
    EXPECT_EQ(textOf(box), L"12.34");
    EXPECT_EQ(beepCount, 1);
    select(box, 1, 1);
    type(box, L"7");
    EXPECT_EQ(textOf(box), L"172.34");
    EXPECT_EQ(beepCount, 1);
    // Over a selection of the decimals a digit replaces them.
    select(box, 4, 6);
    type(box, L"9");
    EXPECT_EQ(textOf(box), L"172.9");
    // Letters, commas and spaces beep.
    type(box, L"a, ");
    EXPECT_EQ(textOf(box), L"172.9");
    EXPECT_EQ(beepCount, 4);
    // Backspace still works after two decimals.
    type(box, L"9\b\b");
    EXPECT_EQ(textOf(box), L"172.");
}

TEST_F(AmountEdit, ASecondPointSelectsTheDecimals) {
    HWND box = makeAmountBox(false);
    type(box, L"12.34.");
    EXPECT_EQ(textOf(box), L"12.34");
    EXPECT_EQ(selectionOf(box), std::make_pair(3, 5));
    EXPECT_EQ(beepCount, 0);
    type(box, L"5");
    EXPECT_EQ(textOf(box), L"12.5");
}

TEST_F(AmountEdit, TheMinusSignGoesOnlyInFrontAndOnlyOnce) {
    HWND box = makeAmountBox(false);
    type(box, L"-5");
    EXPECT_EQ(textOf(box), L"-5");
    type(box, L"-");
    EXPECT_EQ(textOf(box), L"-5");
    select(box, 0, 0);
    type(box, L"-3");
    EXPECT_EQ(textOf(box), L"-5");
    EXPECT_EQ(beepCount, 0); // refused silently
    // The whole text selected: the sign replaces it.
    select(box, 0, -1);
    type(box, L"-");
    EXPECT_EQ(textOf(box), L"-");
    type(box, L"8");
    EXPECT_EQ(textOf(box), L"-8");
    // A sign after the first character is refused.
    HWND other = makeAmountBox(false, L"", 102);
    type(other, L"4-");
    EXPECT_EQ(textOf(other), L"4");
    select(other, 0, 0);
    type(other, L"-");
    EXPECT_EQ(textOf(other), L"-4");
}

TEST_F(AmountEdit, LosingTheFocusWritesTwoDecimals) {
    HWND hidden = makeAmountBox(false, L"", 101);
    HWND shown = makeAmountBox(true, L"", 102);
    struct Case {
        const wchar_t *typed;
        const wchar_t *withoutZero;
        const wchar_t *withZero;
    };
    for (const Case &c : {Case{L"3", L"3.00", L"3.00"}, Case{L"", L"", L"0.00"},
                          Case{L"0", L"", L"0.00"}, Case{L"-0", L"", L"0.00"},
                          Case{L"-12.5", L"-12.50", L"-12.50"}, Case{L"0.1", L"0.10", L"0.10"}}) {
        for (HWND box : {hidden, shown}) {
            SetWindowTextW(box, L"");
            select(box, 0, 0);
            type(box, c.typed);
            SendMessageW(box, WM_KILLFOCUS, 0, 0);
        }
        EXPECT_EQ(textOf(hidden), c.withoutZero) << c.typed;
        EXPECT_EQ(textOf(shown), c.withZero) << c.typed;
    }
    // Text put in by the program is rewritten as well, rounded.
    SetWindowTextW(hidden, L"12,5");
    SendMessageW(hidden, WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(textOf(hidden), L"12.00");
    SetWindowTextW(hidden, L"2.675");
    SendMessageW(hidden, WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(textOf(hidden), L"2.67");
}

TEST_F(AmountEdit, GainingTheFocusSelectsTheWholeText) {
    HWND box = makeAmountBox(false, L"1234.50");
    select(box, 2, 2);
    SendMessageW(box, WM_SETFOCUS, 0, 0);
    pumpMessages(); // the selection is posted
    EXPECT_EQ(selectionOf(box), std::make_pair(0, 7));

    HWND readOnly = makeEdit(L"8.00", ES_READONLY, 102);
    ASSERT_NE(attachAmountEdit(readOnly, false), nullptr);
    select(readOnly, 1, 1);
    SendMessageW(readOnly, WM_SETFOCUS, 0, 0);
    pumpMessages();
    EXPECT_EQ(selectionOf(readOnly), std::make_pair(1, 1));
}

TEST_F(AmountEdit, ValuesAreReadAndWrittenWithTwoDecimals) {
    HWND hidden = makeAmountBox(false, L"", 101);
    HWND shown = makeAmountBox(true, L"", 102);
    parent.changeNotifications.clear();

    setAmount(hidden, 0.0);
    EXPECT_EQ(textOf(hidden), L"");
    setAmount(shown, 0.0);
    EXPECT_EQ(textOf(shown), L"0.00");
    setAmount(hidden, -0.0);
    EXPECT_EQ(textOf(hidden), L"-0.00");
    setAmount(hidden, 0.004);
    EXPECT_EQ(textOf(hidden), L"");
    setAmount(hidden, 1234.567);
    EXPECT_EQ(textOf(hidden), L"1234.57");
    EXPECT_EQ(getAmount(hidden), 1234.57);
    // Every write tells the parent, as typing does.
    EXPECT_EQ(parent.changeNotifications, (std::vector<int>{101, 102, 101, 101, 101}));

    SetWindowTextW(hidden, L"12.345");
    EXPECT_EQ(getAmount(hidden), 12.35); // 12.345 is stored just above the half
    SetWindowTextW(hidden, L"abc");
    EXPECT_EQ(getAmount(hidden), 0.0);
    SetWindowTextW(hidden, L"-0");
    EXPECT_TRUE(std::signbit(getAmount(hidden)));

    // No window: nothing happens.
    EXPECT_EQ(getAmount(nullptr), 0.0);
    setAmount(nullptr, 5.0);
}

TEST_F(AmountEdit, PastingIsRefused) {
    HWND box = makeAmountBox(false, L"12.00");
    HWND plain = makeEdit(L"", 0, 102);
    ASSERT_TRUE(OpenClipboard(parent.window));
    EmptyClipboard();
    const wchar_t clip[] = L"987";
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof clip);
    memcpy(GlobalLock(memory), clip, sizeof clip);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();

    // The clipboard does paste into a plain edit control...
    SendMessageW(plain, WM_PASTE, 0, 0);
    EXPECT_EQ(textOf(plain), L"987");

    // ...but not into an amount box: not from the menu, not with Ctrl+V.
    select(box, 0, -1);
    SendMessageW(box, WM_PASTE, 0, 0);
    EXPECT_EQ(textOf(box), L"12.00");
    EXPECT_EQ(beepCount, 1);
    SendMessageW(box, WM_CHAR, 0x16, 1); // Ctrl+V
    EXPECT_EQ(textOf(box), L"12.00");
    EXPECT_EQ(beepCount, 2);

    // Nor with Shift+Insert.
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    BYTE savedShift = keys[VK_SHIFT];
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(box, WM_KEYDOWN, VK_INSERT, 1);
    keys[VK_SHIFT] = savedShift;
    SetKeyboardState(keys);
    EXPECT_EQ(textOf(box), L"12.00");
    EXPECT_EQ(beepCount, 3);
}

// Running out of memory inside the box's procedure (simulated by a sound
// that fails) must not unwind through the system's message dispatch: the key
// and the paste are dropped and the box goes on working.
TEST_F(AmountEdit, AFailureInsideTheBoxDoesNotLeaveItsProcedure) {
    HWND box = makeAmountBox(false, L"12.00");
    setAmountBeep([] { throw std::bad_alloc(); });
    bool escaped = false;
    try {
        type(box, L"x");
        SendMessageW(box, WM_PASTE, 0, 0);
    } catch (...) {
        escaped = true;
    }
    setAmountBeep(countBeep);
    EXPECT_FALSE(escaped);
    EXPECT_EQ(textOf(box), L"12.00");
    select(box, 2, 2);
    type(box, L"5");
    EXPECT_EQ(textOf(box), L"125.00");
}

TEST_F(AmountEdit, AttachingRewritesTheTextAndKeepsShowZeroInTheStyle) {
    HWND comma = makeEdit(L"12,5", 0, 101);
    HWND zero = makeEdit(L"0", 0, 102);
    HWND minusZero = makeEdit(L"-0", 0, 103);
    ASSERT_NE(attachAmountEdit(comma, false), nullptr);
    ASSERT_NE(attachAmountEdit(zero, false), nullptr);
    ASSERT_NE(attachAmountEdit(minusZero, true), nullptr);
    EXPECT_EQ(textOf(comma), L"12.00");
    EXPECT_EQ(textOf(zero), L"");
    EXPECT_EQ(textOf(minusZero), L"-0.00");
    EXPECT_EQ(GetWindowLongPtrW(comma, GWL_STYLE) & 0x000C, 0);
    EXPECT_EQ(GetWindowLongPtrW(minusZero, GWL_STYLE) & 0x000C, 0x0008);

    // Not an edit control, or no window at all.
    HWND label = CreateWindowExW(0, L"STATIC", L"5", WS_CHILD, 0, 0, 10, 10, parent.window, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    EXPECT_EQ(attachAmountEdit(label, false), nullptr);
    EXPECT_EQ(textOf(label), L"5");
    EXPECT_EQ(attachAmountEdit(nullptr, false), nullptr);
}

TEST_F(AmountEdit, ABoxAttachedTwiceKeepsWorking) {
    HWND box = makeEdit(L"7", 0, 101);
    const WNDPROC first = attachAmountEdit(box, false);
    const WNDPROC second = attachAmountEdit(box, true);
    EXPECT_EQ(first, second);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(box, GWLP_WNDPROC)), first);
    EXPECT_EQ(textOf(box), L"7.00");
    // The keys still reach the plain edit control (a procedure that passed
    // them to itself would never return).
    select(box, 1, 1);
    type(box, L"5");
    EXPECT_EQ(textOf(box), L"75.00");
    type(box, L"x");
    EXPECT_EQ(beepCount, 1);
    // The second attachment's showZero is the one kept.
    SetWindowTextW(box, L"");
    SendMessageW(box, WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(textOf(box), L"0.00");
}

} // namespace
} // namespace kolvane
