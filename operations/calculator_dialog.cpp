#include "operations/calculator_dialog.h"

#include "operations/amount_edit_control.h"
#include "operations/calculator.h"
#include "resources/resource_ids.h"
#include "win/window_object.h"
#include "win/window_text.h"

#include <cstring>
#include <string>

namespace kolvane {
namespace {

bool copyToClipboard(HWND owner, const std::wstring& text) {
    if (!OpenClipboard(owner))
        return false;
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool placed = false;
    if (memory) {
        if (void* target = GlobalLock(memory)) {
            std::memcpy(target, text.c_str(), bytes);
            GlobalUnlock(memory);
            placed = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        }
        if (!placed)
            GlobalFree(memory); // the clipboard owns it only once placed
    }
    CloseClipboard();
    return placed;
}

struct CalculatorDialog : win::DialogObject<CalculatorDialog> {
    HWND amountField = nullptr;
    Calculation last;

    bool onInit() {
        SendDlgItemMessageW(window, IDC_CALCULATOR_EXPRESSION, EM_LIMITTEXT, 200, 0);
        // Enter inserts when there is somewhere to insert, else copies.
        SendMessageW(window, DM_SETDEFID,
                     amountField ? IDC_CALCULATOR_INSERT : IDC_CALCULATOR_COPY, 0);
        evaluate();
        SetFocus(item(IDC_CALCULATOR_EXPRESSION));
        return false; // the focus is set
    }

    void onCommand(int id, int code) {
        switch (id) {
        case IDC_CALCULATOR_EXPRESSION:
            if (code == EN_CHANGE)
                evaluate();
            break;
        case IDC_CALCULATOR_INSERT:
            insert();
            break;
        case IDC_CALCULATOR_COPY:
            copy();
            break;
        default:
            break;
        }
    }

    // Enter: the default button.
    void onOk() {
        if (!insert())
            copy();
    }

    void onCancel() { endDialog(0); }

    bool insert() {
        if (!last.ok || !amountField || !IsWindow(amountField))
            return false;
        setAmount(amountField, last.value);
        endDialog(1);
        return true;
    }

    void evaluate() {
        last = calculate(win::windowTextUtf8(item(IDC_CALCULATOR_EXPRESSION)));
        win::setWindowTextUtf8(item(IDC_CALCULATOR_RESULT),
                               last.ok ? "= " + calculatorResultText(last.value) : last.error);
        EnableWindow(item(IDC_CALCULATOR_COPY), last.ok);
        EnableWindow(item(IDC_CALCULATOR_INSERT), last.ok && amountField != nullptr);
    }

    void copy() {
        if (last.ok)
            copyToClipboard(window, utf8ToWide(calculatorResultText(last.value)));
    }
};

} // namespace

win::DialogEnd runCalculator(const CalculatorIn& in, HWND owner) {
    CalculatorDialog dialog;
    dialog.amountField = in.amountField;
    return win::confirmedOrCancelled(dialog.runModal(owner, IDD_CALCULATOR));
}

} // namespace kolvane
