// The entry pane in a bare parent window over the register sample: typing
// into its real controls books through the booking history, refusals show
// their messages, and the completion list and the ventilation editor reach
// the pane. The rules themselves are tested in the core.
#include "operations/entry_pane_view.h"

#include "document/choice_lists.h"
#include "operations/amount_edit_control.h"
#include "resources/resource_ids.h"
#include "tests/core/register_sample.h"
#include "tests/ui/dialog_driver.h"
#include "win/combo_box.h"
#include "win/message_filters.h"
#include "win/window_text.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace kolvane {
namespace {

using uitest::DialogDriver;
using uitest::pumpMessagesUntil;

// Stands for the register: counts what the pane tells it.
struct Host : win::WindowObject<Host> {
    int saved = 0;
    int toggles = 0;
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_OPERATION_SAVED)
            ++saved;
        if (message == WM_TOGGLE_ENTRY_PANE)
            ++toggles;
        return defaultProcedure(message, wParam, lParam);
    }
};

class EntryPane : public ::testing::Test {
  protected:
    void SetUp() override {
        s = sample::buildRegisterSample(doc);
        for (auto [text, category] :
             {std::pair{"Loyer", Category | 0x0101u}, std::pair{"Loisirs", Category | 0x0A01u},
              std::pair{"Salaire", Category | 0x0C01u}})
            ASSERT_TRUE(insertLabel(doc, text, category));
        model = std::make_unique<RegisterModel>(doc);
        model->fill();
        history = std::make_unique<BookingHistory>(*model);
        WNDCLASSW hostClass{};
        hostClass.lpfnWndProc = Host::procedure;
        hostClass.hInstance = GetModuleHandleW(nullptr);
        hostClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
        hostClass.lpszClassName = L"KolvaneEntryPaneTestHost";
        RegisterClassW(&hostClass); // a second registration fails harmlessly
        ASSERT_NE(host.create(0, hostClass.lpszClassName, L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                              0, 820, 400, nullptr, nullptr),
                  nullptr);
        ASSERT_TRUE(pane.create(host.window, 250, &doc, history.get()));
    }
    void TearDown() override {
        DestroyWindow(host.window);
        history->clear();
    }

    HWND item(int id) const { return GetDlgItem(pane.window, id); }
    std::wstring text(int id) const { return win::windowText(item(id)); }
    bool enabled(int id) const { return IsWindowEnabled(item(id)) != FALSE; }
    void type(int id, std::wstring_view keys) { uitest::typeInto(item(id), keys); }
    void choose(int id, std::uint32_t value) {
        EXPECT_TRUE(uitest::chooseComboData(item(id), value)) << value;
    }
    std::uint32_t chosen(int id) const {
        return static_cast<std::uint32_t>(win::ComboBox(item(id)).selectedData());
    }
    void click(int id) {
        SendMessageW(pane.window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                     reinterpret_cast<LPARAM>(item(id)));
    }
    // A key as the message loop hands it over.
    void press(UINT key) {
        MSG message{GetFocus(), WM_KEYDOWN, key, 1, 0, {}};
        if (!win::navigateKeyboard(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    int focusedId() const {
        HWND focus = GetFocus();
        while (focus && GetParent(focus) != pane.window)
            focus = GetParent(focus);
        return focus ? GetDlgCtrlID(focus) : 0;
    }
    OperationRecord* lastOperation() { return doc.operations.last(); }

    Document doc;
    sample::RegisterSample s;
    std::unique_ptr<RegisterModel> model;
    std::unique_ptr<BookingHistory> history;
    Host host;
    OperationEntryPane pane;
};

// An amount enables the fields; Tab follows the layout; Enter books a new
// operation; Escape empties the pane.
TEST_F(EntryPane, AnAmountEnablesTheFieldsAndEnterBooksANewOperation) {
    EXPECT_EQ(text(IDC_ENTRY_TITLE), L" Saisie ou modification opération");
    EXPECT_FALSE(enabled(IDC_ENTRY_MODE) || enabled(IDC_ENTRY_VALIDATE));
    const int rows = model->rowCount();
    type(IDC_ENTRY_DEBIT, L"12,50"); // the decimal comma as typed in France
    EXPECT_TRUE(enabled(IDC_ENTRY_MODE) && enabled(IDC_ENTRY_PARTY) && enabled(IDC_ENTRY_VALIDATE));
    EXPECT_EQ(text(IDC_ENTRY_MODE), L"Carte de paiement");
    SetFocus(item(IDC_ENTRY_DATE));
    const int order[] = {IDC_ENTRY_DEBIT, IDC_ENTRY_CREDIT,   IDC_ENTRY_MODE,   IDC_ENTRY_LABEL,
                         IDC_ENTRY_PARTY, IDC_ENTRY_VALIDATE, IDC_ENTRY_CANCEL, IDC_ENTRY_DATE};
    for (int id : order) {
        press(VK_TAB);
        EXPECT_EQ(focusedId(), id);
    }
    type(IDC_ENTRY_LABEL, L"Boulangerie");
    choose(IDC_ENTRY_PARTY, Category | 0x0001u);
    SetFocus(item(IDC_ENTRY_LABEL));
    press(VK_RETURN);

    OperationRecord* booked = lastOperation();
    EXPECT_EQ(booked->amount, -12.50);
    EXPECT_EQ(fieldText(booked->label), "Boulangerie");
    EXPECT_EQ(booked->counterpartyId, Category | 0x0001u);
    EXPECT_EQ(booked->modeId, 0x0001);      // "Carte de paiement"
    EXPECT_EQ(model->record(rows), booked); // at the end in entry order
    EXPECT_EQ(host.saved, 1);
    EXPECT_EQ(SendMessageW(item(IDC_ENTRY_LABEL), CB_GETCOUNT, 0, 0), 4); // the new label
    EXPECT_EQ(text(IDC_ENTRY_DEBIT), L"");

    type(IDC_ENTRY_DEBIT, L"3");
    press(VK_ESCAPE);
    EXPECT_EQ(text(IDC_ENTRY_DEBIT), L"");
    click(IDC_ENTRY_CLOSE);
    EXPECT_TRUE(pumpMessagesUntil([&] { return host.toggles == 1; }));
}

TEST_F(EntryPane, ARefusalShowsItsMessageAndFocusesTheFieldKeepingTheEntry) {
    const std::size_t operations = doc.operations.count();
    type(IDC_ENTRY_DEBIT, L"5");
    type(IDC_ENTRY_CREDIT, L"3");
    type(IDC_ENTRY_LABEL, L"Pain");
    DialogDriver driver;
    driver.expectMessageBox(L"Vous ne pouvez pas saisir en même temps un\ncrédit et un débit .")
        .click(IDOK);
    EXPECT_TRUE(driver.run([&] { click(IDC_ENTRY_VALIDATE); }));
    EXPECT_EQ(focusedId(), IDC_ENTRY_CREDIT);
    EXPECT_EQ(doc.operations.count(), operations);
    EXPECT_EQ(getAmount(item(IDC_ENTRY_DEBIT)), 5.0);
}

TEST_F(EntryPane, AnIncomingTransferIsChangedFromTheReceivingAccount) {
    pane.loadForEdit(model->findRow(s.transfer), s.transfer);
    EXPECT_TRUE(pumpMessagesUntil([&] { return chosen(IDC_ENTRY_PARTY) == s.b->id; }));
    EXPECT_EQ(text(IDC_ENTRY_CREDIT), L"100.00");
    EXPECT_EQ(text(IDC_ENTRY_LABEL), L"Virement");

    type(IDC_ENTRY_CREDIT, L"80");
    click(IDC_ENTRY_VALIDATE);
    EXPECT_EQ(s.transfer->amount, -80.0);
    EXPECT_EQ(s.transfer->partyId, s.b->id);
    EXPECT_EQ(pane.editedOperation, nullptr);
}

TEST_F(EntryPane, ASplitIsBookedWithTheLinesOfTheVentilationEditor) {
    type(IDC_ENTRY_DEBIT, L"100");
    type(IDC_ENTRY_LABEL, L"Courses du mois");
    choose(IDC_ENTRY_PARTY, Split);
    ASSERT_TRUE(enabled(IDC_ENTRY_VENTILATION));
    DialogDriver driver;
    driver.expectDialog(IDD_VENTILATION_EDITOR)
        .expectText(IDC_VENTILATION_TOTAL, L"100.00")
        .type(IDC_VENTILATION_AMOUNT, L"60")
        .click(IDC_VENTILATION_ADD)
        .selectCombo(IDC_VENTILATION_PARTY, 2) // "Cantine", under its header
        .type(IDC_VENTILATION_AMOUNT, L"40")
        .click(IDC_VENTILATION_ADD)
        .expectText(IDC_VENTILATION_REMAINING, L"0.00")
        .click(IDOK);
    EXPECT_TRUE(driver.run([&] { click(IDC_ENTRY_VENTILATION); }));
    click(IDC_ENTRY_VALIDATE);
    OperationRecord* split = lastOperation();
    ASSERT_EQ(split->lineCount, 2u);
    ASSERT_NE(split->lines, nullptr);
    EXPECT_EQ(split->lines->first()->amount, -60.0);
    EXPECT_EQ(split->lines->first()->counterpartyId, Category | 0x0001u);
    EXPECT_EQ(split->lines->last()->counterpartyId, Category | 0x0002u);
}

TEST_F(EntryPane, TheCompletionListProposesTheLabelsAndAPickChoosesTheCategory) {
    // Down and Up move among the proposals (Loisirs, Loyer) and Enter picks
    // one instead of booking the typed "lo".
    type(IDC_ENTRY_DEBIT, L"800");
    type(IDC_ENTRY_LABEL, L"lo");
    ASSERT_NE(pane.labelCompletion.popup, nullptr);
    ASSERT_EQ(SendMessageW(pane.labelCompletion.proposalList(), LB_GETCOUNT, 0, 0), 2);
    SetFocus(FindWindowExW(item(IDC_ENTRY_LABEL), nullptr, L"Edit", nullptr));
    for (UINT key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_UP, VK_DOWN, VK_RETURN})
        press(key);
    EXPECT_TRUE(pumpMessagesUntil([&] { return pane.labelCompletion.popup == nullptr; }));
    EXPECT_EQ(text(IDC_ENTRY_LABEL), L"Loyer");
    EXPECT_EQ(chosen(IDC_ENTRY_PARTY), Category | 0x0101u);
    EXPECT_EQ(host.saved, 0);

    // A click outside closes the proposals.
    type(IDC_ENTRY_LABEL, L"s");
    ASSERT_NE(pane.labelCompletion.popup, nullptr);
    filterMouseMessage(MSG{host.window, WM_LBUTTONDOWN, 0, MAKELPARAM(4, 4), 0, {}});
    EXPECT_TRUE(pumpMessagesUntil([&] { return pane.labelCompletion.popup == nullptr; }));
}

} // namespace
} // namespace kolvane
