// The numbering and ordering of the category tree as the category editor
// grows it. A category row has sub-category byte 0 and is followed by its
// sub-categories; the expense categories (0x00-0x7F) come before the income
// ones (0x80-0xFF). Texts are Windows-1252.
#pragma once

#include "document/document.h"
#include "document/refusal.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

// Messages of the editor (UTF-8).
inline constexpr const char* kHiddenText = "masqué";
inline constexpr const char* kExpenseSideText = " Dépense";
inline constexpr const char* kIncomeSideText = " Recette";

// The editor takes at most this many characters for a name.
inline constexpr std::size_t kCategoryNameLimit = 30;

inline bool isCategoryRow(const CategoryRecord& record) {
    return (record.id & 0x00FF) == 0;
}
inline bool isIncomeCategory(std::uint16_t id) {
    return (id & kCreditBit) != 0;
}

// Column 0 of the editor's list: the name, indented by five spaces for a
// sub-category.
std::string categoryRowText(const CategoryRecord& record);

// The names of the category rows, in list order (the editor's "Catégorie :").
std::vector<std::string> categoryNames(const CategoryList& categories);
// The rank among the category rows of the one named `name` ignoring case;
// -1 when none is.
int findCategoryRank(const CategoryList& categories, std::string_view name);
// The category row of that rank, or null.
CategoryRecord* categoryAtRank(const CategoryList& categories, int rank);

enum class CategoryPlanStatus { Ready, NoCategoryText, NoSubcategoryText, CategoriesFull, SubcategoriesFull };
// What the editor says of a plan that is not ready, and the field it sends
// the focus to ("Catégorie :" but for a missing sub-category).
Refusal categoryRefusal(CategoryPlanStatus status);

// Where "Ajouter" puts its records: `records` (a sub-category, or a new
// category and its first sub-category) go in this order right after `after`,
// or at the front of the list when `after` is null.
struct CategoryPlan {
    CategoryPlanStatus status = CategoryPlanStatus::Ready;
    CategoryRecord* after = nullptr;
    std::vector<CategoryRecord> records;
    // For a new category: its rank among the category rows once added.
    int newCategoryRank = -1;
};

// "Ajouter" with the typed texts: an existing category (found ignoring case)
// gets one more sub-category at the end of its block; otherwise a new
// category of side `income` is numbered after the last one of its side.
// A first expense category takes number 0x00 at the front of the list.
CategoryPlan planCategoryAddition(const CategoryList& categories, std::string_view categoryText,
                                  std::string_view subcategoryText, bool income);

} // namespace kolvane
