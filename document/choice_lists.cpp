#include "choice_lists.h"

#include "operation_texts.h"
#include "text.h"

namespace kolvane {
namespace {

std::string indented(std::string_view header, std::string_view name) {
    std::string out = "   ";
    out.append(header);
    out += " : ";
    out.append(name);
    return out;
}

void addSeparator(ChoiceList& list) {
    list.rows.push_back({std::string(kSeparatorText), 0});
}

// Step 1 of the counterparty list; returns the index of the first sub-category
// row, or -1.
int addCategories(ChoiceList& list, const Document& doc) {
    const CategoryRecord* parent = nullptr;
    bool incomeStarted = false;
    int firstChoice = -1;
    for (const CategoryRecord& record : doc.categories) {
        const bool isCategoryRow = (record.id & 0x00FF) == 0;
        if (isCategoryRow)
            parent = &record;
        // A sub-category with no category row before it has nothing shown
        // above it, so it is left out too.
        if (!record.shown || !parent || !parent->shown)
            continue;
        if ((record.id & kCreditBit) && !incomeStarted) {
            addSeparator(list);
            incomeStarted = true;
        }
        if (isCategoryRow) {
            list.rows.push_back({upperCase(fieldText(record.name)), 0});
            continue;
        }
        if (firstChoice < 0)
            firstChoice = static_cast<int>(list.rows.size());
        list.rows.push_back({indented(fieldText(parent->name), fieldText(record.name)),
                             makePartyId(Category, record.id)});
    }
    return firstChoice;
}

} // namespace

ChoiceList fillModes(const Document& doc, int debit) {
    ChoiceList list;
    for (const ModeRecord& mode : doc.modes) {
        const bool isCredit = (mode.id & kCreditBit) != 0;
        if (mode.kind == 1 && isCredit == (debit == 0))
            list.rows.push_back({std::string(fieldText(mode.name)), mode.id});
    }
    if (!list.rows.empty())
        list.selected = 0;
    return list;
}

ChoiceList fillCounterparties(int withSplit, const Document& doc) {
    ChoiceList list;
    list.selected = addCategories(list, doc);

    // Each group below opens with a separator; when the third parties have
    // just opened one, the accounts follow them directly.
    bool separatorAdded = false;
    if (!doc.thirds.empty()) {
        const std::string header = utf8ToCp1252(kThirdText);
        addSeparator(list);
        separatorAdded = true;
        list.rows.push_back({upperCase(header), 0});
        for (const ThirdRecord& third : doc.thirds)
            list.rows.push_back({indented(header, fieldText(third.name)), third.id});
    }
    if (countAccounts(doc, 0) >= 2) {
        const std::string header = utf8ToCp1252(kTransferText);
        if (!separatorAdded)
            addSeparator(list);
        list.rows.push_back({upperCase(header), 0});
        for (const AccountRecord& account : doc.accounts)
            if (isAccount(account.id) && account.active && &account != doc.currentAccount)
                list.rows.push_back({indented(header, fieldText(account.name)), account.id});
    }
    if (withSplit) {
        addSeparator(list);
        list.rows.push_back({utf8ToCp1252(kSplitText), Split});
    }
    return list;
}

ChoiceList fillLabels(const Document& doc) {
    ChoiceList list;
    for (const LabelRecord& label : doc.labels)
        list.rows.push_back({std::string(fieldText(label.text)), label.categoryId});
    return list;
}

int findByItemData(const ChoiceList* list, std::uint32_t value) {
    if (!list)
        return -1;
    for (std::size_t i = 0; i < list->rows.size(); ++i)
        if (list->rows[i].itemData == value)
            return static_cast<int>(i);
    return -1;
}

bool insertLabel(Document& doc, std::string_view textCp1252, CategoryId categoryId) {
    LabelRecord record{};
    setFieldText(record.text, textCp1252);
    record.categoryId = categoryId;
    // Compare what will be stored, so that a text longer than the field does
    // not slip past a label equal to its stored part.
    const std::string_view stored = fieldText(record.text);
    // The whole list is searched for a duplicate: a file may hold its labels
    // out of order.
    LabelRecord* following = nullptr;
    for (LabelRecord& label : doc.labels) {
        const int order = compareNoCase(fieldText(label.text), stored);
        if (order == 0)
            return false;
        if (order > 0 && !following)
            following = &label;
    }
    LabelRecord* added = following ? doc.labels.insertAfter(doc.labels.previous(following), &record)
                                   : doc.labels.append(record);
    return added != nullptr;
}

} // namespace kolvane
