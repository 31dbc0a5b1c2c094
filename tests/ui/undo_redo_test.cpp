// Undo and redo from the frame: a booking from the entry pane, a tick and a
// deletion, taken back three times and brought back twice, with the
// register, the strip, the file's bytes, the buttons and the modified flag
// checked at each step. What each step restores is the core tests' business.
#include "document/account_file.h"
#include "operations/operation_view.h"
#include "tests/ui/main_window_fixture.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace kolvane::win {
namespace {

using uitest::DialogDriver;
using uitest::pumpMessagesUntil;

class UndoRedoTest : public uitest::MainWindowFixture {
  protected:
    void SetUp() override {
        openRegisterSample();
        doc.isModified = 0;
        main.history().clear(); // the file as read
        main.updateMenus();
        main.showTab(kOperationsTab, true);
    }

    OperationView& view() { return main.operationView(); }
    HWND pane(int id) { return GetDlgItem(view().entryPane().window, id); }
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
};

TEST_F(UndoRedoTest, BookTickDeleteThenUndoThreeTimesAndRedoTwice) {
    EXPECT_TRUE(bandVisible(kEditBand)); // shown while the file is open
    EXPECT_FALSE(buttonEnabled(kEditBand, CMD_UNDO) || buttonEnabled(kEditBand, CMD_REDO));
    std::vector<std::vector<std::uint8_t>> files{serializeDocument(doc)};

    // Book 12.50 of groceries, tick the transfer from B, delete the refund.
    uitest::typeInto(pane(IDC_ENTRY_DEBIT), L"12.50");
    uitest::typeInto(pane(IDC_ENTRY_LABEL), L"Boulangerie");
    EXPECT_TRUE(uitest::chooseComboData(pane(IDC_ENTRY_PARTY), Category | 0x0001u));
    SendMessageW(view().entryPane().window, WM_COMMAND, MAKEWPARAM(IDC_ENTRY_VALIDATE, BN_CLICKED),
                 reinterpret_cast<LPARAM>(pane(IDC_ENTRY_VALIDATE)));
    pumpMessagesUntil([] { return false; }, std::chrono::milliseconds(50));
    files.push_back(serializeDocument(doc));
    EXPECT_EQ(toolTip(CMD_UNDO), L"Annuler : saisie d'une opération");
    command(CMD_TOGGLE_POINTING);
    uitest::clickListCell(view().list().handle(), 2, kColumnTicked);
    files.push_back(serializeDocument(doc));
    view().list().select(5);
    DialogDriver driver;
    driver.expectMessageBox(L"Voulez-vous supprimer vraiment cette opération?").click(IDYES);
    ASSERT_TRUE(driver.runCommand(main.window, CMD_DELETE_OPERATION));
    files.push_back(serializeDocument(doc));
    const Shown shown[] = {{6, "- 12.50", "1 162.50", 0},
                           {7, "- 12.50", "1 150.00", 1},
                           {7, "87.50", "1 150.00", 1},
                           {6, "87.50", "1 105.00", 1}};
    expectShown(shown[3], files[3]);
    EXPECT_EQ(view().selectedRow(), 5); // the booking, after the refund
    EXPECT_TRUE(buttonEnabled(kEditBand, CMD_UNDO));

    for (int k = 2; k >= 0; --k) {
        SCOPED_TRACE(k);
        command(CMD_UNDO);
        expectShown(shown[k], files[k]);
        EXPECT_TRUE(buttonEnabled(kEditBand, CMD_REDO));
        EXPECT_EQ(buttonEnabled(kEditBand, CMD_UNDO), k > 0);
        // The booking keeps its selection while it exists.
        EXPECT_EQ(view().selectedRow(), k > 0 ? 6 : -1);
    }
    for (int k = 1; k <= 2; ++k) {
        SCOPED_TRACE(k);
        command(CMD_REDO);
        expectShown(shown[k], files[k]);
    }
}

} // namespace
} // namespace kolvane::win
