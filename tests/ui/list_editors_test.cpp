// The category, label and mode editors reached through the " Outils" menu:
// what their dialogs show, that each step lands in the document through the
// register's history, and that the entry pane, the register and the graph
// offer the new lists afterwards. The numbering itself is the core's.
#include "document/document_check.h"
#include "document/text.h"
#include "graphs/graph_view.h"
#include "operations/operation_view.h"
#include "tests/ui/main_window_fixture.h"
#include "win/combo_box.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace kolvane::win {
namespace {

using uitest::comboTexts;
using uitest::DialogDriver;

std::wstring cellText(HWND dialog, int row, int column) {
    return uitest::listCell(GetDlgItem(dialog, IDC_LIST_VIEW), row, column);
}
int rowCount(HWND dialog) {
    return ListView_GetItemCount(GetDlgItem(dialog, IDC_LIST_VIEW));
}
bool contains(const std::vector<std::wstring>& texts, std::wstring_view text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

class ListEditorsTest : public uitest::MainWindowFixture {
  protected:
    void SetUp() override {
        openNewFile();
        main.operationView().history().clear();
        doc.isModified = 0;
        main.updateMenus();
    }
    void TearDown() override {
        EXPECT_EQ(checkDocument(doc), std::vector<std::string>{}); // what `kvn check` says
        MainWindowFixture::TearDown();
    }

    HWND paneControl(int id) { return GetDlgItem(main.operationView().entryPane().window, id); }
    CategoryRecord* category(int id) {
        for (CategoryRecord& record : doc.categories)
            if (record.id == id)
                return &record;
        return nullptr;
    }
    // The file is marked modified and the frame shows it: "Enregistrer" is enabled.
    bool saveOffered() { return doc.isModified == 1 && buttonEnabled(0, CMD_SAVE); }
};

TEST_F(ListEditorsTest, CategoryEditorAddsHidesAndThePaneAndGraphFollow) {
    auto* graph = static_cast<GraphView*>(main.views[kGraphTab]);
    graph->computeTotals();
    ASSERT_EQ(graph->totals().count(), 10); // the ten expense categories

    DialogDriver driver;
    driver.expectDialog(IDD_CATEGORY_EDITOR)
        .then([](HWND dialog) { EXPECT_EQ(cellText(dialog, 1, 0), L"     Supermarché"); })
        .expectEnabled(IDC_DELETE_BUTTON, false)
        .type(IDC_CATEGORY_NAME, L"Vacances")
        .type(IDC_CATEGORY_SUBCATEGORY, L"Hôtel")
        .click(IDOK)
        .then([](HWND dialog) { EXPECT_EQ(rowCount(dialog), 74); })
        .clickListViewRow(IDC_LIST_VIEW, 1)
        .click(IDC_DELETE_BUTTON)
        .then([](HWND dialog) { EXPECT_EQ(cellText(dialog, 1, 1), L"masqué"); })
        .clickListViewRow(IDC_LIST_VIEW, 5) // "Logement"
        .click(IDC_DELETE_BUTTON)
        .click(IDCANCEL);
    ASSERT_TRUE(driver.runCommand(main.window, CMD_EDIT_CATEGORIES));

    ASSERT_NE(category(0x0A01), nullptr);
    EXPECT_EQ(category(0x0001)->shown, 0);
    EXPECT_TRUE(saveOffered());
    const std::vector<std::wstring> parties = comboTexts(paneControl(IDC_ENTRY_PARTY));
    EXPECT_TRUE(contains(parties, L"   Vacances : Hôtel"));
    EXPECT_FALSE(contains(parties, L"   Alimentation : Supermarché"));
    // The picture was drawn again: "Logement" went, "Vacances" came.
    EXPECT_EQ(graph->totals().count(), 10);
    EXPECT_EQ(fieldText(graph->totals().last()->name), "Vacances");

    // Each step is one of the register's: three undos take them all back.
    for (int step = 0; step < 3; ++step)
        ASSERT_TRUE(main.operationView().history().undo()) << step;
    EXPECT_EQ(doc.categories.count(), 72);
    EXPECT_EQ(category(0x0001)->shown, 1);
}

TEST_F(ListEditorsTest, LabelEditorAddsRebindsDeletesAndThePaneOffersTheLabels) {
    DialogDriver driver;
    driver.expectDialog(IDD_LABEL_EDITOR)
        .type(IDC_LABEL_TEXT, L"Loyer")
        .click(IDOK)
        .type(IDC_LABEL_TEXT, L"Courses")
        .click(IDOK)
        .then([](HWND dialog) { EXPECT_EQ(cellText(dialog, 1, 1), L"Alimentation : Supermarché"); })
        .type(IDC_LABEL_TEXT, L"LOYER")
        .then([](HWND dialog) {
            ComboBox parties(GetDlgItem(dialog, IDC_LABEL_PARTY));
            parties.select(parties.count() - 1); // "Opération ventillée"
        })
        .click(IDOK);
    driver.expectMessageBox(L" Ce libellé existe déjà.\n Voulez-vous le modifier ?").click(IDYES);
    driver.expectDialog(IDD_LABEL_EDITOR)
        .then([](HWND dialog) { EXPECT_EQ(cellText(dialog, 1, 1), L"Opération ventillée"); })
        .clickListViewRow(IDC_LIST_VIEW, 0)
        .click(IDC_DELETE_BUTTON)
        .click(IDCANCEL);
    ASSERT_TRUE(driver.runCommand(main.window, CMD_EDIT_LABELS));

    ASSERT_EQ(doc.labels.count(), 1);
    EXPECT_EQ(fieldText(doc.labels.first()->text), "Loyer");
    EXPECT_EQ(doc.labels.first()->categoryId, static_cast<CategoryId>(Split));
    EXPECT_EQ(comboTexts(paneControl(IDC_ENTRY_LABEL)), std::vector<std::wstring>{L"Loyer"});
}

TEST_F(ListEditorsTest, ModeEditorMovesTheOperationsOfAWithdrawnModeAndThePaneFollows) {
    OperationEntry entry;
    entry.amount = -12.5;
    entry.party = Category | 0x0001;
    entry.modeId = 0x0001;
    entry.label = "Pain";
    ASSERT_EQ(main.operationView().history().perform(makeNewOperation(entry)), BookingStatus::Done);
    OperationRecord* bought = doc.operations.last();

    DialogDriver driver;
    driver.expectDialog(IDD_MODE_EDITOR)
        .then([](HWND dialog) { EXPECT_EQ(cellText(dialog, 1, 1), L"1 opération"); })
        .clickListViewRow(IDC_LIST_VIEW, 0)
        .expectEnabled(IDC_DELETE_BUTTON, false) // a side header stays
        .clickListViewRow(IDC_LIST_VIEW, 1)
        .click(IDC_DELETE_BUTTON);
    driver
        .expectMessageBox(
            L" 1 opération utilise « Carte de paiement ».\n Les reporter sur « Chèque émis » ? ")
        .click(IDYES);
    driver.expectDialog(IDD_MODE_EDITOR)
        .then([](HWND dialog) { EXPECT_EQ(rowCount(dialog), 9); })
        .clickListViewRow(IDC_LIST_VIEW, 4) // "Tip"
        .click(IDC_MODE_UP)
        .then([](HWND dialog) { EXPECT_EQ(cellText(dialog, 3, 0), L"     Tip"); })
        .type(IDC_MODE_NAME, L"Espèces")
        .click(IDOK)
        .click(IDCANCEL);
    ASSERT_TRUE(driver.runCommand(main.window, CMD_EDIT_MODES));

    EXPECT_EQ(bought->modeId, 0x0002);
    EXPECT_EQ(doc.modes.count(), 10);
    const std::vector<std::wstring> modes = comboTexts(paneControl(IDC_ENTRY_MODE));
    EXPECT_EQ(modes, (std::vector<std::wstring>{L"Chèque émis", L"Virement émis", L"Tip",
                                                L"Prélèvement", L"Espèces"}));
}

} // namespace
} // namespace kolvane::win
