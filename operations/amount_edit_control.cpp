#include "operations/amount_edit_control.h"

#include "operations/amount_field.h"
#include "win/subclass_object.h"

#include <new>

#include <string>

namespace kolvane {
namespace {

constexpr LONG_PTR kMultiLineStyle = 0x0004;
constexpr int kTextCapacity = 256; // 255 characters and the terminator

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

// An amount box: the edit control with its showZero setting; it belongs to
// the control and goes with it.
class AmountBox : public win::SubclassObject<AmountBox> {
  public:
    static constexpr const wchar_t* kProperty = L"KolvaneAmountBox";
    explicit AmountBox(bool showZero) : showZero(showZero) {}
    bool showZero;

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // A failure (out of memory while reading the text) drops a key or a paste.
    static bool dropOnFailure(UINT message) {
        return message == WM_CHAR || message == WM_PASTE || message == WM_KEYDOWN;
    }
    void controlDestroyed() { delete this; }

  private:
    LRESULT onChar(WPARAM wParam, LPARAM lParam);
};

LRESULT AmountBox::onChar(WPARAM wParam, LPARAM lParam) {
    DWORD selStart = 0;
    DWORD selEnd = 0;
    SendMessageW(window, EM_GETSEL, reinterpret_cast<WPARAM>(&selStart),
                 reinterpret_cast<LPARAM>(&selEnd));
    const AmountKeyDecision decision =
        decideAmountKey(readFieldText(window), static_cast<int>(selStart),
                        static_cast<int>(selEnd), static_cast<wchar_t>(wParam));
    switch (decision.action) {
    case AmountKey::PassOn:
        return passOn(WM_CHAR, static_cast<WPARAM>(decision.typed), lParam);
    case AmountKey::DropWithBeep:
        beep();
        return 0;
    case AmountKey::DropSilently:
        return 0;
    case AmountKey::SelectDecimals:
        SendMessageW(window, EM_SETSEL, decision.selectFrom, decision.selectTo);
        return 0;
    }
    return 0;
}

LRESULT AmountBox::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETFOCUS: {
        const int length = GetWindowTextLengthW(window);
        const bool readOnly = (GetWindowLongPtrW(window, GWL_STYLE) & ES_READONLY) != 0;
        // Posted: the edit control sets its own caret while it takes the focus.
        if (!readOnly && length > 0)
            PostMessageW(window, EM_SETSEL, 0, length);
        break;
    }
    case WM_KILLFOCUS:
        writeFieldText(window, amountTextOnFocusLoss(readFieldText(window), showZero));
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
        return onChar(wParam, lParam);
    default:
        break;
    }
    return passOn(message, wParam, lParam);
}

} // namespace

bool attachAmountEdit(HWND field, bool showZero) {
    if (!IsWindow(field) || !isEditControl(field))
        return false;
    writeFieldText(field, amountTextOnFocusLoss(readFieldText(field), showZero));
    SetWindowLongPtrW(field, GWL_STYLE, GetWindowLongPtrW(field, GWL_STYLE) & ~kMultiLineStyle);
    if (AmountBox* box = AmountBox::of(field)) {
        box->showZero = showZero;
        return true;
    }
    auto* box = new (std::nothrow) AmountBox(showZero);
    if (box == nullptr)
        return false;
    if (!box->attach(field)) {
        delete box;
        return false;
    }
    return true;
}

bool isAmountEdit(HWND field) {
    return AmountBox::of(field) != nullptr;
}

double getAmount(HWND field) {
    if (!IsWindow(field))
        return 0.0;
    return parseAmount(readFieldText(field));
}

void setAmount(HWND field, double value) {
    if (!IsWindow(field))
        return;
    const AmountBox* box = AmountBox::of(field);
    writeFieldText(field, amountTextForValue(value, box != nullptr && box->showZero));
}

void setAmountBeep(AmountBeep beep) {
    currentBeep = beep ? beep : defaultBeep;
}

} // namespace kolvane
