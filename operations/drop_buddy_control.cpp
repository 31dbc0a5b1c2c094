#include "operations/drop_buddy_control.h"

#include "win/combo_box.h"
#include "win/list_box.h"
#include "win/message_filters.h"
#include "win/window_text.h"

#include <algorithm>
#include <optional>
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
    const win::ComboBox box(combo);
    std::vector<std::string> entries;
    const int count = box.count();
    entries.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        entries.push_back(box.text(i));
    return entries;
}

// The edit child of an editable combo box, null when it has none.
HWND editOf(HWND combo) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    return GetComboBoxInfo(combo, &info) ? info.hwndItem : nullptr;
}

std::optional<CompletionKey> completionKeyOf(WPARAM key) {
    switch (key) {
    case VK_DOWN:
        return CompletionKey::Down;
    case VK_UP:
        return CompletionKey::Up;
    case VK_RETURN:
        return CompletionKey::Enter;
    default:
        return std::nullopt;
    }
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
    // Neither the window nor the keys' subclass may outlive the object they call.
    close();
    keys_.detach();
}

void DropBuddy::attach(HWND comboBox) {
    if (!comboBox)
        return;
    combo = comboBox;
    keys_.detach();
    keys_.buddy = this;
    if (HWND edit = editOf(comboBox))
        keys_.attach(edit);
}

LRESULT CompletionKeys::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (buddy == nullptr || buddy->popup == nullptr)
        return passOn(message, wParam, lParam);
    switch (message) {
    case WM_GETDLGCODE: {
        // Enter, Down and Up reach the box instead of the form's navigation.
        LRESULT code = passOn(message, wParam, lParam);
        const auto* key = reinterpret_cast<const MSG*>(lParam);
        if (key && key->message == WM_KEYDOWN && completionKeyOf(key->wParam))
            code |= DLGC_WANTALLKEYS;
        return code;
    }
    case WM_KEYDOWN:
        if (auto key = completionKeyOf(wParam); key && buddy->onKey(*key))
            return 0;
        break;
    case WM_CHAR:
        if (wParam == L'\r')
            return 0; // the Enter that picked: no beep
        break;
    default:
        break;
    }
    return passOn(message, wParam, lParam);
}

bool DropBuddy::onKey(CompletionKey key) {
    win::ListBox list(proposalList());
    const int row = highlightAfter(key, list.selectedIndex(), list.count());
    if (row < 0)
        return false;
    list.select(row);
    if (key == CompletionKey::Enter)
        pick();
    return true;
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
    if (!combo || win::ComboBox(combo).count() <= 0)
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
    win::ListBox list(proposalList());
    list.clear();
    for (int index : proposals)
        list.add(entries[static_cast<std::size_t>(index)]);
    const int itemHeight = list.itemHeight();
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
    const win::ListBox list(proposalList());
    const int index = list.selectedIndex();
    if (index >= 0 && combo) {
        const std::string text = list.text(index);
        win::setWindowText1252(combo, text);
        const int id = GetDlgCtrlID(combo);
        PostMessageW(GetParent(combo), WM_COMMAND,
                     MAKEWPARAM(static_cast<WORD>(id), kCompletionPicked),
                     reinterpret_cast<LPARAM>(combo));
        // The typing goes on in the box, after the picked text.
        SetFocus(combo);
        const int end = static_cast<int>(text.size());
        win::ComboBox(combo).selectText(end, end);
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
