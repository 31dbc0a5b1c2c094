#include "category_rules.h"

#include "document/text.h"

namespace kolvane {
namespace {

int categoryNumber(const CategoryRecord& record) {
    return record.id >> 8;
}

CategoryRecord makeCategory(std::string_view name, int id) {
    CategoryRecord record{};
    setFieldText(record.name, name.substr(0, kCategoryNameLimit));
    record.id = static_cast<std::uint16_t>(id);
    record.shown = 1;
    return record;
}

int countCategoryRows(const CategoryList& categories, const CategoryRecord* upTo) {
    int count = 0;
    for (const CategoryRecord& record : categories) {
        if (isCategoryRow(record))
            ++count;
        if (&record == upTo)
            break;
    }
    return count;
}

} // namespace

std::string categoryRowText(const CategoryRecord& record) {
    const std::string_view name = fieldText(record.name);
    if (isCategoryRow(record))
        return std::string(name);
    return "     " + std::string(name);
}

std::vector<std::string> categoryNames(const CategoryList& categories) {
    std::vector<std::string> names;
    for (const CategoryRecord& record : categories)
        if (isCategoryRow(record))
            names.emplace_back(fieldText(record.name));
    return names;
}

int findCategoryRank(const CategoryList& categories, std::string_view name) {
    int rank = 0;
    for (const CategoryRecord& record : categories) {
        if (!isCategoryRow(record))
            continue;
        if (equalNoCase(fieldText(record.name), name))
            return rank;
        ++rank;
    }
    return -1;
}

CategoryRecord* categoryAtRank(const CategoryList& categories, int rank) {
    if (rank < 0)
        return nullptr;
    for (CategoryRecord& record : categories)
        if (isCategoryRow(record) && rank-- == 0)
            return &record;
    return nullptr;
}

CategoryPlan planCategoryAddition(const CategoryList& categories, std::string_view categoryText,
                                  std::string_view subcategoryText, bool income) {
    CategoryPlan plan;
    if (categoryText.empty()) {
        plan.status = CategoryPlanStatus::NoCategoryText;
        return plan;
    }
    if (subcategoryText.empty()) {
        plan.status = CategoryPlanStatus::NoSubcategoryText;
        return plan;
    }

    if (CategoryRecord* category =
            categoryAtRank(categories, findCategoryRank(categories, categoryText))) {
        // The last row of its block: the sub-categories follow their category.
        CategoryRecord* last = category;
        for (CategoryRecord* next = categories.next(last);
             next && categoryNumber(*next) == categoryNumber(*category);
             next = categories.next(next))
            last = next;
        if ((last->id & 0x00FF) == 0x00FF) {
            // One more would carry into the category byte.
            plan.status = CategoryPlanStatus::SubcategoriesFull;
            return plan;
        }
        plan.after = last;
        plan.records.push_back(makeCategory(subcategoryText, last->id + 1));
        return plan;
    }

    int number = 0;
    if (income) {
        plan.after = categories.last();
        number = plan.after && isIncomeCategory(plan.after->id) ? categoryNumber(*plan.after) + 1
                                                                : 0x80;
        if (number > 0xFF) {
            plan.status = CategoryPlanStatus::CategoriesFull;
            plan.after = nullptr;
            return plan;
        }
    } else {
        // After the last expense row; the first expense category opens the list.
        for (CategoryRecord& record : categories)
            if (!isIncomeCategory(record.id))
                plan.after = &record;
        number = plan.after ? categoryNumber(*plan.after) + 1 : 0x00;
        if (number >= 0x80) {
            plan.status = CategoryPlanStatus::CategoriesFull;
            plan.after = nullptr;
            return plan;
        }
    }
    plan.records.push_back(makeCategory(categoryText, number << 8));
    plan.records.push_back(makeCategory(subcategoryText, (number << 8) | 1));
    plan.newCategoryRank = plan.after ? countCategoryRows(categories, plan.after) : 0;
    return plan;
}

Refusal categoryRefusal(CategoryPlanStatus status) {
    switch (status) {
    case CategoryPlanStatus::Ready:
        return {};
    case CategoryPlanStatus::NoCategoryText:
        return {RefusalMessage::EnterCategoryFirst, RefusalField::CategoryName};
    case CategoryPlanStatus::NoSubcategoryText:
        return {RefusalMessage::EnterSubcategoryFirst, RefusalField::Subcategory};
    case CategoryPlanStatus::CategoriesFull:
        return {RefusalMessage::CategoriesFull, RefusalField::CategoryName};
    case CategoryPlanStatus::SubcategoriesFull:
        return {RefusalMessage::SubcategoriesFull, RefusalField::CategoryName};
    }
    return {};
}

} // namespace kolvane
