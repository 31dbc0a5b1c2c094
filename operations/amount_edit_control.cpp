#include "operations/amount_edit_control.h"

#include "operations/amount_field.h"

#include <string>

namespace kolvane {
namespace {

// showZero lives in the upper-case style bit: only digits, '.' and '-' get
// typed into an amount box, so that bit has nothing else to do there.
constexpr LONG_PTR kShowZeroStyle = 0x0008;
constexpr LONG_PTR kMultiLineStyle = 0x0004;
constexpr int kTextCapacity = 256; // 255 characters and the terminator

// The edit class's own procedure, saved at the first attachment for every
// amount box of the process.
WNDPROC plainEditProcedure = nullptr;

void defaultBeep() {
    MessageBeep(0);
}
AmountBeep currentBeep = defaultBeep;

void beep() {
    currentBeep();
}

// The field's text, one byte per UTF-16 unit so that positions match the
// edit control's; anything outside ASCII cannot be part of an amount anyway.
std::string readFieldText(HWND field) {
    wchar_t buffer[kTextCapacity] = {};
    const int length = GetWindowTextW(field, buffer, kTextCapacity);
    std::string text;
    text.reserve(length > 0 ? length : 0);
    for (int i = 0; i < length; ++i)
        text.push_back(buffer[i] < 0x80 ? static_cast<char>(buffer[i]) : '?');
    return text;
}

void writeFieldText(HWND field, const std::string& text) {
    const std::wstring wide(text.begin(), text.end());
    SetWindowTextW(field, wide.c_str());
}

bool showsZero(HWND field) {
    return (GetWindowLongPtrW(field, GWL_STYLE) & kShowZeroStyle) != 0;
}

bool isEditControl(HWND field) {
    wchar_t name[64] = {};
    if (GetClassNameW(field, name, 64) == 0)
        return false;
    // A versioned class name ("6.0...!Edit") counts by its last part.
    const wchar_t* base = name;
    for (const wchar_t* p = name; *p; ++p)
        if (*p == L'!')
            base = p + 1;
    return lstrcmpiW(base, L"edit") == 0;
}

LRESULT passOn(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(plainEditProcedure, field, message, wParam, lParam);
}

LRESULT onChar(HWND field, WPARAM wParam, LPARAM lParam) {
    DWORD selStart = 0;
    DWORD selEnd = 0;
    SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart),
                 reinterpret_cast<LPARAM>(&selEnd));
    const AmountKeyDecision decision =
        decideAmountKey(readFieldText(field), static_cast<int>(selStart), static_cast<int>(selEnd),
                        static_cast<wchar_t>(wParam));
    switch (decision.action) {
    case AmountKey::PassOn:
        return passOn(field, WM_CHAR, static_cast<WPARAM>(decision.typed), lParam);
    case AmountKey::DropWithBeep:
        beep();
        return 0;
    case AmountKey::DropSilently:
        return 0;
    case AmountKey::SelectDecimals:
        SendMessageW(field, EM_SETSEL, decision.selectFrom, decision.selectTo);
        return 0;
    }
    return 0;
}

LRESULT handleAmountMessage(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETFOCUS: {
        const int length = GetWindowTextLengthW(field);
        const bool readOnly = (GetWindowLongPtrW(field, GWL_STYLE) & ES_READONLY) != 0;
        // Posted: the edit control sets its own caret while it takes the focus.
        if (!readOnly && length > 0)
            PostMessageW(field, EM_SETSEL, 0, length);
        break;
    }
    case WM_KILLFOCUS:
        writeFieldText(field, amountTextOnFocusLoss(readFieldText(field), showsZero(field)));
        break;
    case WM_PASTE:
        beep();
        return 0;
    case WM_KEYDOWN:
        // Shift+Insert pastes inside the edit control without a WM_PASTE.
        if (wParam == VK_INSERT && (GetKeyState(VK_SHIFT) & 0x8000) != 0 &&
            (GetKeyState(VK_CONTROL) & 0x8000) == 0) {
            beep();
            return 0;
        }
        break;
    case WM_CHAR:
        return onChar(field, wParam, lParam);
    default:
        break;
    }
    return passOn(field, message, wParam, lParam);
}

// No exception may unwind through the system's message dispatch. A failure
// (out of memory while reading the text) drops the key or the paste; any
// other message still reaches the plain edit control.
LRESULT CALLBACK amountEditProcedure(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        return handleAmountMessage(field, message, wParam, lParam);
    } catch (...) {
        if (message == WM_CHAR || message == WM_PASTE || message == WM_KEYDOWN)
            return 0;
        return passOn(field, message, wParam, lParam);
    }
}

} // namespace

WNDPROC attachAmountEdit(HWND field, bool showZero) {
    if (!IsWindow(field) || !isEditControl(field))
        return nullptr;
    writeFieldText(field, amountTextOnFocusLoss(readFieldText(field), showZero));

    LONG_PTR style = GetWindowLongPtrW(field, GWL_STYLE);
    style &= ~kMultiLineStyle;
    style = showZero ? (style | kShowZeroStyle) : (style & ~kShowZeroStyle);
    SetWindowLongPtrW(field, GWL_STYLE, style);

    const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(field, GWLP_WNDPROC));
    if (current != amountEditProcedure) {
        if (!plainEditProcedure)
            plainEditProcedure = current;
        SetWindowLongPtrW(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(amountEditProcedure));
    }
    return amountEditProcedure;
}

bool isAmountEdit(HWND field) {
    return IsWindow(field) &&
           reinterpret_cast<WNDPROC>(GetWindowLongPtrW(field, GWLP_WNDPROC)) == amountEditProcedure;
}

double getAmount(HWND field) {
    if (!IsWindow(field))
        return 0.0;
    return parseAmount(readFieldText(field));
}

void setAmount(HWND field, double value) {
    if (!IsWindow(field))
        return;
    writeFieldText(field, amountTextForValue(value, showsZero(field)));
}

void setAmountBeep(AmountBeep beep) {
    currentBeep = beep ? beep : defaultBeep;
}

} // namespace kolvane
