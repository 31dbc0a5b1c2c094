// Dialog 208 "Ajouter ou supprimer catégorie": the category tree, a new
// sub-category or a new category with its first sub-category, and rows
// hidden or shown again. The numbering is the core's (category_rules.h).
#include "lists/list_editor_dialogs.h"

#include "lists/category_rules.h"
#include "lists/reference_rows.h"
#include "resources/resource_ids.h"
#include "win/combo_box.h"
#include "win/list_view.h"
#include "win/window_object.h"
#include "win/window_text.h"

#include <commctrl.h>

namespace kolvane {

namespace win {

bool performStep(HWND dialog, BookingHistory& history, std::unique_ptr<BookingCommand> command) {
    const BookingStatus status = history.perform(std::move(command));
    if (status == BookingStatus::OutOfMemory)
        showStringMessage(dialog, IDS_OUT_OF_MEMORY);
    return status == BookingStatus::Done;
}

int listClientWidth(HWND list) {
    RECT client{};
    GetClientRect(list, &client);
    return client.right - client.left;
}

std::optional<int> chosenRow(const NMHDR& header, HWND list) {
    if (header.hwndFrom != list)
        return std::nullopt;
    if (header.code == NM_CLICK)
        return reinterpret_cast<const NMITEMACTIVATE&>(header).iItem;
    if (header.code == LVN_ITEMCHANGED) {
        // A row chosen with the arrows counts as a click on it.
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if ((change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_SELECTED) &&
            !(change.uOldState & LVIS_SELECTED) && change.iItem >= 0)
            return change.iItem;
    }
    return std::nullopt;
}

} // namespace win

namespace {

struct CategoryEditor : win::DialogObject<CategoryEditor> {
    Document* document = nullptr;
    BookingHistory* history = nullptr;
    std::optional<CategoryRows> rows;
    win::ListView list;
    int selectedRow = -1;
    int changed = 0;

    win::ComboBox categories() const { return win::ComboBox(item(IDC_CATEGORY_NAME)); }
    win::ComboBox side() const { return win::ComboBox(item(IDC_CATEGORY_SIDE)); }

    INT_PTR handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        switch (message) {
        case WM_INITDIALOG:
            open();
            return TRUE;
        case WM_NOTIFY:
            return onNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_DRAWITEM:
            return list.drawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        case WM_COMMAND:
            onCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        default:
            return FALSE;
        }
    }

    void open() {
        rows.emplace(*document);
        const int width = win::listClientWidth(item(IDC_LIST_VIEW));
        const win::ListColumn columns[] = {{L"", width * 3 / 4}, {L"", width / 4 - 20}};
        list.attach(item(IDC_LIST_VIEW), *rows, columns);
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
        switch (id) {
        case IDC_CATEGORY_NAME:
            if (code == CBN_SELCHANGE)
                followCategory(categories().selectedIndex());
            else if (code == CBN_EDITCHANGE)
                followCategory(findCategoryRank(document->categories,
                                                win::itemText1252(window, IDC_CATEGORY_NAME)));
            break;
        case IDC_DELETE_BUTTON:
            toggleSelected();
            break;
        case IDOK:
            add();
            break;
        case IDCANCEL:
            endDialog(changed);
            break;
        }
    }

    INT_PTR onNotify(const NMHDR& header) {
        if (list.notify(header))
            return TRUE;
        if (const std::optional<int> row = win::chosenRow(header, list.handle())) {
            const CategoryRecord* record = recordAt(document->categories, *row);
            selectedRow = record ? *row : -1;
            if (record)
                win::setItemText(window, IDC_DELETE_BUTTON,
                                 record->shown ? L"Supprimer" : L"Activer");
            EnableWindow(item(IDC_DELETE_BUTTON), record != nullptr);
            return TRUE;
        }
        return FALSE;
    }

    void toggleSelected() {
        CategoryRecord* record = recordAt(document->categories, selectedRow);
        if (!record || !win::performStep(window, *history, makeToggleCategoryShown(record)))
            return;
        list.redrawRow(selectedRow);
        selectedRow = -1;
        EnableWindow(item(IDC_DELETE_BUTTON), FALSE);
        changed = 1;
    }

    void add() {
        const CategoryPlan plan = planCategoryAddition(
            document->categories, win::itemText1252(window, IDC_CATEGORY_NAME),
            win::itemText1252(window, IDC_CATEGORY_SUBCATEGORY), side().selectedIndex() == 1);
        switch (plan.status) {
        case CategoryPlanStatus::NoCategoryText:
            return win::refuseEntry(window, kEnterCategoryFirst, IDC_CATEGORY_NAME);
        case CategoryPlanStatus::NoSubcategoryText:
            return win::refuseEntry(window, kEnterSubcategoryFirst, IDC_CATEGORY_SUBCATEGORY);
        case CategoryPlanStatus::CategoriesFull:
            return win::refuseEntry(window, kCategoriesFull, IDC_CATEGORY_NAME);
        case CategoryPlanStatus::SubcategoriesFull:
            return win::refuseEntry(window, kSubcategoriesFull, IDC_CATEGORY_NAME);
        case CategoryPlanStatus::Ready:
            break;
        }
        if (!win::performStep(window, *history, makeAddCategories(plan.after, plan.records)))
            return;
        if (plan.newCategoryRank >= 0) {
            // The entries of "Catégorie :" and the category rows stay one to one.
            const std::wstring name = cp1252ToWide(fieldText(plan.records.front().name));
            SendMessageW(categories().handle(), CB_INSERTSTRING,
                         static_cast<WPARAM>(plan.newCategoryRank),
                         reinterpret_cast<LPARAM>(name.c_str()));
            followCategory(plan.newCategoryRank);
        }
        list.reload(true);
        // -1 for the front of the list, so the last record added is at:
        list.ensureVisible(rowOf(document->categories, plan.after) +
                           static_cast<int>(plan.records.size()));
        selectedRow = -1;
        EnableWindow(item(IDC_DELETE_BUTTON), FALSE);
        changed = 1;
    }
};

} // namespace

int runCategoryEditor(Document& document, BookingHistory& history, HWND owner) {
    CategoryEditor dialog;
    dialog.document = &document;
    dialog.history = &history;
    return dialog.runModal(owner, IDD_CATEGORY_EDITOR) == 1 ? 1 : 0;
}

} // namespace kolvane
