// Dialog 208 "Ajouter ou supprimer catégorie": the category tree, a new
// sub-category or a new category with its first sub-category, and rows
// hidden or shown again. The numbering is the core's (category_rules.h).
#include "lists/list_editor_dialog.h"

#include "lists/category_rules.h"
#include "lists/reference_rows.h"
#include "resources/resource_ids.h"
#include "win/combo_box.h"

namespace kolvane {
namespace {

struct CategoryEditor : ListEditorDialog<CategoryEditor> {
    std::optional<CategoryRows> rows;

    win::ComboBox categories() const { return win::ComboBox(item(IDC_CATEGORY_NAME)); }
    win::ComboBox side() const { return win::ComboBox(item(IDC_CATEGORY_SIDE)); }

    void onInit() {
        rows.emplace(*document);
        attachList(*rows, 3, 4);
        for (const std::string& name : categoryNames(document->categories))
            categories().add(name);
        categories().select(0);
        categories().limitText(static_cast<int>(kCategoryNameLimit));
        SendMessageW(item(IDC_CATEGORY_SUBCATEGORY), EM_LIMITTEXT, kCategoryNameLimit, 0);
        side().add(utf8ToCp1252(kExpenseSideText));
        side().add(utf8ToCp1252(kIncomeSideText));
        followCategory(0);
    }

    // The side of the category of that rank, which then cannot be changed;
    // no category: the user chooses the side of the new one.
    void followCategory(int rank) {
        const CategoryRecord* category = categoryAtRank(document->categories, rank);
        if (category)
            side().select(isIncomeCategory(category->id) ? 1 : 0);
        else if (side().selectedIndex() < 0)
            side().select(0);
        EnableWindow(side().handle(), category == nullptr);
    }

    void onCommand(int id, int code) {
        if (id == IDC_CATEGORY_NAME && code == CBN_SELCHANGE)
            followCategory(categories().selectedIndex());
        else if (id == IDC_CATEGORY_NAME && code == CBN_EDITCHANGE)
            followCategory(findCategoryRank(document->categories,
                                            win::itemText1252(window, IDC_CATEGORY_NAME)));
        else if (id == IDC_DELETE_BUTTON)
            toggleSelected();
    }

    void onRowChosen(int row) {
        const CategoryRecord* record = recordAt(document->categories, row);
        selectedRow = record ? row : -1;
        if (record)
            win::setItemText(window, IDC_DELETE_BUTTON, record->shown ? L"Supprimer" : L"Activer");
        EnableWindow(item(IDC_DELETE_BUTTON), record != nullptr);
    }

    void toggleSelected() {
        CategoryRecord* record = recordAt(document->categories, selectedRow);
        if (!record || !perform(makeToggleCategoryShown(record)))
            return;
        list.redrawRow(selectedRow);
        forgetRow();
    }

    // "Ajouter"
    void onOk() {
        const CategoryPlan plan = planCategoryAddition(
            document->categories, win::itemText1252(window, IDC_CATEGORY_NAME),
            win::itemText1252(window, IDC_CATEGORY_SUBCATEGORY), side().selectedIndex() == 1);
        if (const Refusal refusal = categoryRefusal(plan.status))
            return win::refuse(window, refusal);
        if (!perform(makeAddCategories(plan.after, plan.records)))
            return;
        if (plan.newCategoryRank >= 0) {
            // The entries of "Catégorie :" and the category rows stay one to one.
            categories().insert(plan.newCategoryRank, fieldText(plan.records.front().name));
            followCategory(plan.newCategoryRank);
        }
        list.reload(true);
        // -1 for the front of the list, so the last record added is at:
        list.ensureVisible(rowOf(document->categories, plan.after) +
                           static_cast<int>(plan.records.size()));
        forgetRow();
    }
};

} // namespace

win::EditorResult runCategoryEditor(Document& document, const ListEditorIn& in, HWND owner) {
    CategoryEditor dialog;
    return dialog.runOver(document, in, owner, IDD_CATEGORY_EDITOR);
}

} // namespace kolvane
