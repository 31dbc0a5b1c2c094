#include "operations/drop_buddy_control.h"

#include "win/message_filters.h"
#include "win/window_text.h"

#include <algorithm>
#include <string>
#include <vector>

namespace kolvane {
namespace {

// Closes the window after the list box has finished with the click that
// picked a proposal (destroying it from inside its own notification is not safe).
constexpr UINT WM_DROP_CLOSE = WM_USER + 2;
constexpr int kTextCapacity = 256; // 255 characters and the terminator

// The proposal windows that are open, for the click filter.
std::vector<HWND>& openPopups() {
    static std::vector<HWND> popups;
    return popups;
}

ScreenRect screenRectOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return ScreenRect{rect.left, rect.top, rect.right, rect.bottom};
}

std::wstring comboText(HWND combo) {
    wchar_t buffer[kTextCapacity] = {};
    GetWindowTextW(combo, buffer, kTextCapacity);
    return buffer;
}

std::vector<std::string> comboEntries(HWND combo) {
    std::vector<std::string> entries;
    const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, i, 0);
        std::wstring text(length > 0 ? static_cast<std::size_t>(length) + 1 : 1, L'\0');
        if (length > 0)
            SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
        entries.push_back(wideToCp1252(text));
    }
    return entries;
}

bool isConsideredClick(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN:
        return true;
    default:
        return false;
    }
}

} // namespace

bool registerDropBuddyClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = DropBuddy::procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kDropBuddyClass;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;
    win::addMessageFilter(filterMouseMessage);
    return true;
}

void filterMouseMessage(const MSG& message) {
    if (!isConsideredClick(message.message) || openPopups().empty())
        return;
    // The two coordinates as unsigned 16-bit values; a non-client point is
    // already on the screen.
    POINT point{static_cast<LONG>(LOWORD(message.lParam)),
                static_cast<LONG>(HIWORD(message.lParam))};
    if (message.message != WM_NCLBUTTONDOWN)
        ClientToScreen(message.hwnd, &point);
    for (HWND popup : std::vector<HWND>(openPopups()))
        if (IsWindow(popup))
            PostMessageW(popup, WM_DROP_CLICK, static_cast<WPARAM>(point.x),
                         static_cast<LPARAM>(point.y));
}

DropBuddy::DropBuddy() : screenHeight(GetSystemMetrics(SM_CYSCREEN)) {}

DropBuddy::~DropBuddy() {
    // The window must not outlive the object it calls.
    close();
}

void DropBuddy::attach(HWND comboBox) {
    if (comboBox)
        combo = comboBox;
}

int DropBuddy::onComboNotify(int code) {
    if (!combo)
        return 0;
    if (code == CBN_EDITCHANGE) {
        updateProposals();
        return 1;
    }
    if (code == CBN_DROPDOWN) {
        close();
        return 1;
    }
    return 0;
}

HWND DropBuddy::proposalList() const {
    return popup ? GetDlgItem(popup, kProposalListId) : nullptr;
}

void DropBuddy::close() {
    if (popup)
        DestroyWindow(popup);
}

bool DropBuddy::open(const ScreenRect& place) {
    create(WS_EX_TOPMOST, kDropBuddyClass, L"", WS_POPUP | WS_BORDER, place.left, place.top,
           place.right - place.left, place.bottom - place.top, GetParent(combo), nullptr);
    if (!popup)
        return false;
    RECT client{};
    GetClientRect(popup, &client);
    HWND list = CreateWindowExW(0, L"Listbox", L"",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY |
                                    LBS_NOINTEGRALHEIGHT,
                                0, 0, client.right, client.bottom, popup,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kProposalListId)),
                                win::resourceInstance(), nullptr);
    if (!list) {
        close();
        return false;
    }
    SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    ShowWindow(popup, SW_SHOWNOACTIVATE);
    openPopups().push_back(popup);
    return true;
}

void DropBuddy::updateProposals() {
    if (!combo || SendMessageW(combo, CB_GETCOUNT, 0, 0) <= 0)
        return;
    const std::string typed = wideToCp1252(comboText(combo));
    const std::vector<std::string> entries = comboEntries(combo);
    const std::vector<int> proposals = completionProposals(entries, typed);
    if (proposals.empty()) {
        close();
        return;
    }
    const ScreenRect box = screenRectOf(combo);
    if (!popup && !open(completionFirstPlace(box)))
        return;
    HWND list = proposalList();
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (int index : proposals) {
        const std::wstring text = cp1252ToWide(entries[static_cast<std::size_t>(index)]);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    const int itemHeight = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    const ScreenRect place =
        placeProposals(box, itemHeight, static_cast<int>(proposals.size()), screenHeight);
    popupLeft = place.left;
    popupTop = place.top;
    popupRight = place.right;
    popupBottom = place.bottom;
    SetWindowPos(popup, nullptr, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void DropBuddy::pick() {
    HWND list = proposalList();
    const LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (index != LB_ERR && combo) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, index, 0);
        std::wstring text(length > 0 ? static_cast<std::size_t>(length) + 1 : 1, L'\0');
        if (length > 0)
            SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
        text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
        SetWindowTextW(combo, text.c_str());
        const int id = GetDlgCtrlID(combo);
        PostMessageW(GetParent(combo), WM_COMMAND,
                     MAKEWPARAM(static_cast<WORD>(id), kCompletionPicked),
                     reinterpret_cast<LPARAM>(combo));
        // The typing goes on in the box, after the picked text.
        SetFocus(combo);
        SendMessageW(combo, CB_SETEDITSEL, 0, MAKELPARAM(text.size(), text.size()));
    }
    PostMessageW(popup, WM_DROP_CLOSE, 0, 0);
}

LRESULT DropBuddy::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE; // the keyboard stays in the combo box
    case WM_SIZE:
        if (HWND list = proposalList())
            MoveWindow(list, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kProposalListId && HIWORD(wParam) == LBN_SELCHANGE)
            pick();
        return 0;
    case WM_DROP_CLICK: {
        const ScreenRect place{popupLeft, popupTop, popupRight, popupBottom};
        if (closesProposals(place, static_cast<int>(wParam), static_cast<int>(lParam)))
            close();
        return 0;
    }
    case WM_DROP_CLOSE:
        close();
        return 0;
    case WM_DESTROY: {
        auto& popups = openPopups();
        popups.erase(std::remove(popups.begin(), popups.end(), popup), popups.end());
        return 0;
    }
    default:
        return defaultProcedure(message, wParam, lParam);
    }
}

} // namespace kolvane
