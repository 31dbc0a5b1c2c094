#include "accounts/link_control.h"

#include "win/gdi_handles.h"
#include "win/window_object.h"
#include "tests/ui/dialog_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kolvane {
namespace {

using namespace std::chrono_literals;

struct Notification {
    int id, code;
    HWND from;
    bool operator==(const Notification&) const = default;
};

// A visible top-level window that holds the links and records what they post.
struct LinkParent : win::WindowObject<LinkParent> {
    std::vector<Notification> notifications;
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_COMMAND)
            notifications.push_back(
                {LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
        return defaultProcedure(message, wParam, lParam);
    }
};

constexpr int kLinkId = 1234;
constexpr COLORREF kNormal = 0xCC2020;
constexpr COLORREF kHover = 0xCC0000;

std::vector<std::wstring> openedTargets;

void pumpMessages() { // everything waiting in the thread's queue
    MSG msg;
    uitest::pumpMessagesUntil([&] { return !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE); });
}
SIZE clientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}
SIZE textExtent(HFONT font, const std::wstring& text) {
    win::WindowDC dc(nullptr);
    win::SelectedObject keep(dc.get(), font);
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

// The link painted into a white bitmap of its size: how many pixels have
// `color`, and whether one whole row has it (an underline).
struct Painted {
    int count = 0;
    bool fullRow = false;
};
Painted painted(HWND link, COLORREF color) {
    const SIZE size = clientSize(link);
    Painted result;
    win::WindowDC screen(nullptr);
    win::MemoryDC dc(CreateCompatibleDC(screen.get()));
    win::GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.get(), size.cx, size.cy));
    win::SelectedObject keep(dc.get(), bitmap.get());
    RECT all{0, 0, size.cx, size.cy};
    FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SendMessageW(link, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
    for (int y = 0; y < size.cy; ++y) {
        int inRow = 0;
        for (int x = 0; x < size.cx; ++x)
            inRow += GetPixel(dc.get(), x, y) == color ? 1 : 0;
        result.count += inRow;
        result.fullRow = result.fullRow || (size.cx > 0 && inRow == size.cx);
    }
    return result;
}

class LinkControlTest : public ::testing::Test {
  protected:
    // One parent for the whole suite: destroying a shown top-level window is
    // slow under Wine without a window manager.
    static void SetUpTestSuite() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = LinkParent::procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        windowClass.lpszClassName = L"KolvaneLinkTestParent";
        RegisterClassW(&windowClass);
        parent.create(0, windowClass.lpszClassName, L"Liens", WS_POPUP | WS_VISIBLE, 100, 100, 600,
                      200, nullptr, nullptr);
    }
    static void TearDownTestSuite() { DestroyWindow(parent.window); }

    void SetUp() override {
        ASSERT_NE(parent.window, nullptr);
        ASSERT_TRUE(registerLinkControlClass(GetModuleHandleW(nullptr)));
        openedTargets.clear();
        setLinkOpener([](HWND, const wchar_t* target) { openedTargets.push_back(target); });
        pumpMessages();
        parent.notifications.clear();
    }
    void TearDown() override {
        while (HWND child = GetWindow(parent.window, GW_CHILD))
            DestroyWindow(child);
        pumpMessages();
        setLinkOpener(nullptr);
    }

    // A link of 100 x 16 at (10, 10) in the stock system font (a bitmap font,
    // so that its pixels have exactly the text colour).
    HWND makeLink(const wchar_t* text) {
        HWND link =
            CreateWindowExW(0, kLinkControlClassName, text, WS_CHILD | WS_VISIBLE, 10, 10, 100, 16,
                            parent.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kLinkId)),
                            GetModuleHandleW(nullptr), nullptr);
        SendMessageW(link, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(SYSTEM_FONT)),
                     FALSE);
        return link;
    }
    void click(HWND link) {
        SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        pumpMessages();
    }

    static inline LinkParent parent;
};

TEST_F(LinkControlTest, TheControlTakesTheSizeOfItsTextWhenPainted) {
    win::GdiObject<HFONT> font(CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                           DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
    const std::wstring text = L"Cliquez ici si votre banque n'est pas dans la liste";
    HWND link = makeLink(text.c_str());
    SendMessageW(link, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    UpdateWindow(link);
    const SIZE expected = textExtent(font.get(), text);
    ASSERT_GT(expected.cx, 100);
    EXPECT_EQ(clientSize(link).cx, expected.cx);
    // A new text repaints at once, and the control shrinks to it.
    SetWindowTextW(link, L"Court");
    EXPECT_EQ(clientSize(link).cx, textExtent(font.get(), L"Court").cx);
}

// Which targets are opened is the core's rule; here, that a click reaches it,
// the parent or the shell (which gets the Windows-1252 target in UTF-16), and
// that a disabled link is grey and ignores clicks.
TEST_F(LinkControlTest, AClickOpensTheTargetOrTellsTheParentUnlessDisabled) {
    HWND link = makeLink(L"Site");
    EnableWindow(link, FALSE);
    UpdateWindow(link);
    EXPECT_GT(painted(link, GetSysColor(COLOR_GRAYTEXT)).count, 0);
    click(link); // no target: would tell the parent
    EXPECT_TRUE(parent.notifications.empty());

    EnableWindow(link, TRUE);
    EXPECT_GT(painted(link, kNormal).count, 0);
    click(link);
    EXPECT_EQ(parent.notifications, (std::vector<Notification>{{kLinkId, LINK_CLICKED, link}}));
    parent.notifications.clear();
    SendMessageW(link, LINK_SET_TARGET, 0, reinterpret_cast<LPARAM>("http://caf\xE9.fr"));
    click(link);
    EXPECT_TRUE(parent.notifications.empty());
    EXPECT_EQ(openedTargets, (std::vector<std::wstring>{L"http://caf\u00E9.fr"}));
}

TEST_F(LinkControlTest, TheMouseOverTheLinkUnderlinesItAndTellsTheParent) {
    HWND link = makeLink(L"Nouveau tiers");
    UpdateWindow(link);
    RECT area{};
    GetWindowRect(link, &area);
    SetCursorPos(0, 0);
    pumpMessages();
    parent.notifications.clear();
    auto arrived = [&](std::size_t count) {
        return uitest::pumpMessagesUntil([&] { return parent.notifications.size() >= count; },
                                         3000ms);
    };
    // The real mouse comes over the link: hover colour, underlined.
    SetCursorPos((area.left + area.right) / 2, (area.top + area.bottom) / 2);
    ASSERT_TRUE(arrived(1));
    EXPECT_TRUE(painted(link, kHover).fullRow); // the underline
    // ... and leaving puts it back at rest.
    SetCursorPos(0, 0);
    ASSERT_TRUE(arrived(2));
    EXPECT_EQ(parent.notifications[1], (Notification{kLinkId, LINK_LEAVE, link}));
    EXPECT_EQ(painted(link, kHover).count, 0);
    EXPECT_FALSE(painted(link, kNormal).fullRow);
}

TEST_F(LinkControlTest, TheBackColourShowsOnlyOnceTheControlIsOpaque) {
    HWND link = makeLink(L"Comptes");
    UpdateWindow(link);
    EXPECT_EQ(SendMessageW(link, LINK_SET_BACK_COLOR, TRUE, 0x00FF00), 0xFFFFFF);
    EXPECT_EQ(painted(link, 0x00FF00).count, 0); // transparent: the parent's white
    EXPECT_EQ(SendMessageW(link, LINK_SET_TRANSPARENT, 0, 0), 1);
    EXPECT_GT(painted(link, 0x00FF00).count, 0);
}

} // namespace
} // namespace kolvane
