// The window and dialog objects that every window of the program is made of.
#include "win/window_object.h"
#include "win/window_text.h"
#include "tests/ui/dialog_driver.h"
#include "tests/ui/test_dialog_ids.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace kolvane::win {
namespace {

constexpr UINT kThrow = WM_APP + 1;
constexpr UINT kAnswer = WM_APP + 2;
constexpr wchar_t kProbeClass[] = L"KolvaneProbeWindow";

struct ProbeWindow : WindowObject<ProbeWindow> {
    bool failCreate = false;

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case WM_CREATE:
            if (failCreate)
                throw std::runtime_error("no creation");
            return 0;
        case kThrow:
            throw std::runtime_error("boom");
        case kAnswer:
            return 42;
        default:
            return defaultProcedure(message, wParam, lParam);
        }
    }
};

// A control that makes its own object, as one placed by a dialog template.
struct SelfOwnedControl : WindowObject<SelfOwnedControl> {
    static inline int alive = 0;
    SelfOwnedControl() { ++alive; }
    ~SelfOwnedControl() { --alive; }
    static SelfOwnedControl* objectForNewWindow(HWND, const CREATESTRUCTW&) {
        return new SelfOwnedControl;
    }
    void windowDestroyed() { delete this; }
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == kAnswer)
            return 7;
        return defaultProcedure(message, wParam, lParam);
    }
};

void registerOnce(const wchar_t* name, WNDPROC procedure) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = name;
    RegisterClassW(&windowClass); // a second registration fails harmlessly
}

HWND makeProbe(ProbeWindow& probe) {
    registerOnce(kProbeClass, ProbeWindow::procedure);
    return probe.create(0, kProbeClass, L"Sonde", WS_OVERLAPPEDWINDOW, 10, 10, 200, 100, nullptr,
                        nullptr);
}

TEST(WindowObject, AttachesAtCreationRoutesMessagesAndDetachesOnDestruction) {
    ProbeWindow probe;
    HWND window = makeProbe(probe);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(probe.window, window);
    EXPECT_EQ(windowText(window), L"Sonde"); // the default procedure still sets the title
    EXPECT_EQ(SendMessageW(window, kAnswer, 0, 0), 42);
    // An exception never leaves the window procedure.
    EXPECT_EQ(SendMessageW(window, kThrow, 0, 0), 0); // what DefWindowProc answers
    EXPECT_EQ(SendMessageW(window, kAnswer, 0, 0), 42);
    DestroyWindow(window);
    EXPECT_EQ(probe.window, nullptr);

    ProbeWindow refused;
    refused.failCreate = true;
    EXPECT_EQ(makeProbe(refused), nullptr); // WM_CREATE threw: creation fails
    EXPECT_EQ(refused.window, nullptr);
}

TEST(WindowObject, AControlCanMakeAndReleaseItsOwnObject) {
    registerOnce(L"KolvaneSelfOwned", SelfOwnedControl::procedure);
    // A creation parameter given by mistake is not taken for the object the
    // class will delete.
    int notAnObject = 0;
    HWND control = CreateWindowExW(0, L"KolvaneSelfOwned", L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                   nullptr, GetModuleHandleW(nullptr), &notAnObject);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(SelfOwnedControl::alive, 1);
    EXPECT_EQ(SendMessageW(control, kAnswer, 0, 0), 7);
    DestroyWindow(control);
    EXPECT_EQ(SelfOwnedControl::alive, 0);
}

// A form with a page made with createModeless, as the account dialog makes its pages.
struct TestPage : DialogObject<TestPage> {};
struct TestForm : DialogObject<TestForm> {
    TestPage page;
    void onInit() { page.createModeless(window, IDD_TEST_PAGE); }
    void onOk() { endDialog(1); }
};

struct ThrowingDialog : DialogObject<ThrowingDialog> {
    INT_PTR handleMessage(UINT message, WPARAM, LPARAM) {
        if (message == WM_INITDIALOG)
            throw std::runtime_error("cannot open");
        return FALSE;
    }
};

TEST(DialogObject, RunsModallyRecordsItsTemplateAndReturnsTheResultOrMinusOne) {
    TestForm form;
    uitest::DialogDriver driver;
    driver.expectDialog(IDD_TEST_FORM).click(IDOK); // by the template number recorded
    int result = -5;
    ASSERT_TRUE(driver.run([&] { result = form.runModal(nullptr, IDD_TEST_FORM); }));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(form.window, nullptr);
    EXPECT_EQ(form.page.window, nullptr); // destroyed with its parent
    // A missing template or a failed opening gives -1.
    EXPECT_EQ(form.runModal(nullptr, IDD_TEST_MISSING), -1);
    ThrowingDialog throwing;
    EXPECT_EQ(throwing.runModal(nullptr, IDD_TEST_FORM), -1);
    EXPECT_EQ(throwing.window, nullptr);
}

} // namespace
} // namespace kolvane::win
