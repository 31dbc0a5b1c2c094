// The main window as the program creates it: class, title, placement, the
// menu bar with its texts, the accelerators, "Quitter".
#include "resources/resource_ids.h"
#include "shell/main_window.h"
#include "win/message_filters.h"
#include "win/window_text.h"
#include "tests/ui/main_window_fixture.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kolvane::win {
namespace {

class MainWindowTest : public uitest::MainWindowFixture {
  protected:
    void SetUp() override { ASSERT_NE(main.open(kDefaultPlacement, false, true), nullptr); }
};

TEST_F(MainWindowTest, ClassTitlePlacementMenusAndKeyboardShortcuts) {
    wchar_t name[64] = {};
    GetClassNameW(main.window, name, 64);
    EXPECT_STREQ(name, L"KolvaneClassApp");
    EXPECT_EQ(windowText(main.window), L"Kolvane v.Alpha");
    RECT frame{}; // first run: (0, 0), 790 x 575
    GetWindowRect(main.window, &frame);
    EXPECT_EQ(std::vector<LONG>({frame.left, frame.top, frame.right, frame.bottom}),
              std::vector<LONG>({0, 0, 790, 575}));

    // Each has its letter for Alt: F, C, P, O and A.
    HMENU bar = GetMenu(main.window);
    ASSERT_EQ(GetMenuItemCount(bar), 5);
    const wchar_t* texts[] = {L" &Fichier ", L" &Compte ", L" O&pération ", L" &Outils", L"&Aide"};
    for (UINT i = 0; i < 5; ++i)
        EXPECT_EQ(menuText(bar, i), texts[i]) << "position " << i;

    HACCEL table = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDA_MAIN));
    ACCEL entries[8] = {};
    ASSERT_EQ(CopyAcceleratorTableW(table, entries, 8), 5);
    const struct {
        WORD key, command;
        BYTE modifiers;
    } expected[] = {{'N', 1000, FCONTROL},
                    {'O', 1001, FCONTROL},
                    {'S', 1002, FCONTROL},
                    {VK_TAB, CMD_NEXT_TAB, FCONTROL},
                    {VK_TAB, CMD_PREVIOUS_TAB, FCONTROL | FSHIFT}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(entries[i].key, expected[i].key) << i;
        EXPECT_EQ(entries[i].cmd, expected[i].command) << i;
        EXPECT_EQ(entries[i].fVirt & (FVIRTKEY | FCONTROL | FSHIFT | FALT),
                  FVIRTKEY | expected[i].modifiers)
            << i;
    }
}

// Set by the filter below when it saw "Quitter" while its window still lived.
bool gFilterSawQuitBeforeDispatch = false;
void recordQuit(const MSG& message) {
    if (message.message == WM_COMMAND && LOWORD(message.wParam) == CMD_QUIT)
        gFilterSawQuitBeforeDispatch = IsWindow(message.hwnd) != FALSE;
}

TEST_F(MainWindowTest, QuitterEndsTheMessageLoopWithExitCodeZero) {
    HWND window = main.window;
    gFilterSawQuitBeforeDispatch = false;
    addMessageFilter(recordQuit);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(CMD_QUIT, 0), 0);
    HACCEL table = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDA_MAIN));
    EXPECT_EQ(runMessageLoop(window, table), 0);
    removeMessageFilter(recordQuit);
    EXPECT_TRUE(gFilterSawQuitBeforeDispatch); // the filters come before dispatch
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(main.window, nullptr); // detached on destruction
}

} // namespace
} // namespace kolvane::win
