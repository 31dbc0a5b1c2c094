// Undo and redo from the frame: a booking from the entry pane, a tick and a
// deletion, taken back three times and brought back twice, with the
// register, the strip, the file's bytes, the buttons and the save question
// checked at each step. What each step restores is the core tests' business.
#include "document/account_file.h"
#include "operations/operation_view.h"
#include "resources/resource_ids.h"
#include "shell/main_window.h"
#include "tests/core/register_sample.h"
#include "tests/ui/dialog_driver.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace kolvane::win {
namespace {

using uitest::DialogDriver;
using uitest::pumpMessagesUntil;

class UndoRedoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        s = sample::buildRegisterSample(doc);
        doc.isModified = 0;
        ASSERT_NE(main.open(RECT{0, 0, 1000, 700}, false, true), nullptr);
        main.openViews();
        main.history().clear(); // the file as read
        main.updateMenus();
        main.showTab(kOperationsTab, true);
    }
    void TearDown() override {
        doc.isModified = 0;
        DestroyWindow(main.window);
        pumpMessagesUntil([] { return true; }, std::chrono::milliseconds(0));
        documentDestroy(doc);
    }

    OperationView& view() { return main.operationView(); }
    HWND pane(int id) { return GetDlgItem(view().entryPane().window, id); }
    HWND editToolbar() { return main.toolbars.toolbars[kEditBand]; }
    bool buttonEnabled(unsigned id) {
        return SendMessageW(editToolbar(), TB_ISBUTTONENABLED, id, 0) != 0;
    }
    std::wstring toolTip(unsigned id) {
        NMTTDISPINFOW tip{};
        tip.hdr = {editToolbar(), id, TTN_GETDISPINFOW};
        SendMessageW(main.window, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&tip));
        return tip.lpszText ? tip.lpszText : L"";
    }
    void type(int id, const wchar_t* keys) {
        HWND edit = pane(id);
        if (id == IDC_ENTRY_LABEL)
            edit = FindWindowExW(edit, nullptr, L"Edit", nullptr);
        SendMessageW(edit, EM_SETSEL, 0, -1);
        SendMessageW(edit, WM_CHAR, L'\b', 1);
        for (; *keys; ++keys)
            SendMessageW(edit, WM_CHAR, *keys, 1);
    }
    void chooseParty(std::uint32_t value) {
        HWND combo = pane(IDC_ENTRY_PARTY);
        const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i)
            if (static_cast<std::uint32_t>(SendMessageW(combo, CB_GETITEMDATA, i, 0)) == value) {
                SendMessageW(combo, CB_SETCURSEL, i, 0);
                SendMessageW(view().entryPane().window, WM_COMMAND,
                             MAKEWPARAM(IDC_ENTRY_PARTY, CBN_SELCHANGE),
                             reinterpret_cast<LPARAM>(combo));
                return;
            }
        ADD_FAILURE() << "no party " << value;
    }
    void clickTick(int row) {
        NMITEMACTIVATE activate{};
        HWND list = view().list().handle();
        activate.hdr = {list, static_cast<UINT_PTR>(kRegisterListId), NM_CLICK};
        activate.iItem = row;
        activate.iSubItem = kColumnTicked;
        SendMessageW(view().window, WM_NOTIFY, kRegisterListId,
                     reinterpret_cast<LPARAM>(&activate));
    }
    void command(unsigned id) { SendMessageW(main.window, WM_COMMAND, id, 0); }

    // What the register, its strip and the file show.
    struct Shown {
        int rows;
        const char* pointed;
        const char* balance;
        std::uint32_t modified;
    };
    void expectShown(const Shown& shown, const std::vector<std::uint8_t>& file) {
        EXPECT_EQ(ListView_GetItemCount(view().list().handle()), shown.rows);
        EXPECT_EQ(view().strip().texts.pointedText, shown.pointed);
        EXPECT_EQ(view().strip().texts.balanceText, shown.balance);
        EXPECT_EQ(doc.isModified, shown.modified);
        EXPECT_EQ(serializeDocument(doc), file);
    }

    Document doc;
    sample::RegisterSample s;
    MainWindow main{&doc};
};

TEST_F(UndoRedoTest, BookTickDeleteThenUndoThreeTimesAndRedoTwice) {
    REBARBANDINFOW band{};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_STYLE;
    SendMessageW(main.toolbars.rebar, RB_GETBANDINFOW, kEditBand, reinterpret_cast<LPARAM>(&band));
    EXPECT_EQ(band.fStyle & RBBS_HIDDEN, 0u); // shown while the file is open
    EXPECT_FALSE(buttonEnabled(CMD_UNDO) || buttonEnabled(CMD_REDO));
    std::vector<std::vector<std::uint8_t>> files{serializeDocument(doc)};

    // Book 12.50 of groceries, tick the transfer from B, delete the refund.
    type(IDC_ENTRY_DEBIT, L"12.50");
    type(IDC_ENTRY_LABEL, L"Boulangerie");
    chooseParty(Category | 0x0001u);
    SendMessageW(view().entryPane().window, WM_COMMAND,
                 MAKEWPARAM(IDC_ENTRY_VALIDATE, BN_CLICKED),
                 reinterpret_cast<LPARAM>(pane(IDC_ENTRY_VALIDATE)));
    pumpMessagesUntil([] { return false; }, std::chrono::milliseconds(50));
    files.push_back(serializeDocument(doc));
    EXPECT_EQ(toolTip(CMD_UNDO), L"Annuler : saisie d'une opération");
    command(CMD_TOGGLE_POINTING);
    clickTick(2);
    files.push_back(serializeDocument(doc));
    view().list().select(5);
    DialogDriver driver;
    driver.expectMessageBox(L"Voulez-vous supprimer vraiment cette opération?").press(IDYES);
    ASSERT_TRUE(driver.runCommand(main.window, CMD_DELETE_OPERATION));
    files.push_back(serializeDocument(doc));
    const Shown shown[] = {{6, "- 12.50", "1 162.50", 0},
                           {7, "- 12.50", "1 150.00", 1},
                           {7, "87.50", "1 150.00", 1},
                           {6, "87.50", "1 105.00", 1}};
    expectShown(shown[3], files[3]);
    EXPECT_EQ(view().selectedRow(), 5); // the booking, after the refund
    EXPECT_TRUE(buttonEnabled(CMD_UNDO));
    EXPECT_FALSE(buttonEnabled(CMD_REDO));
    EXPECT_EQ(toolTip(CMD_UNDO), L"Annuler : suppression d'une opération");
    EXPECT_EQ(toolTip(CMD_REDO), L"Rétablir");

    for (int k = 2; k >= 0; --k) {
        SCOPED_TRACE(k);
        command(CMD_UNDO);
        expectShown(shown[k], files[k]);
        EXPECT_TRUE(buttonEnabled(CMD_REDO));
        EXPECT_EQ(buttonEnabled(CMD_UNDO), k > 0);
        // The booking keeps its selection while it exists.
        EXPECT_EQ(view().selectedRow(), k > 0 ? 6 : -1);
    }
    EXPECT_EQ(toolTip(CMD_REDO), L"Rétablir : saisie d'une opération");
    for (int k = 1; k <= 2; ++k) {
        SCOPED_TRACE(k);
        command(CMD_REDO);
        expectShown(shown[k], files[k]);
    }
    EXPECT_EQ(toolTip(CMD_REDO), L"Rétablir : suppression d'une opération");

    // The save question only while the document differs from its file.
    driver.expectMessageBox(L" Enregistrer les modifications ? ").press(IDCANCEL);
    ASSERT_TRUE(driver.runCommand(main.window, CMD_CLOSE));
    EXPECT_EQ(doc.isOpen, 1u);
    command(CMD_UNDO);
    command(CMD_UNDO);
    ASSERT_TRUE(driver.runCommand(main.window, CMD_CLOSE));
    EXPECT_EQ(doc.isOpen, 0u);
    EXPECT_FALSE(buttonEnabled(CMD_UNDO) || buttonEnabled(CMD_REDO));
}

} // namespace
} // namespace kolvane::win
