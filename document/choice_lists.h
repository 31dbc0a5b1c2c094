// The contents of the drop-down lists of modes, counterparties and labels.
// The Win32 layer copies a ChoiceList into its combo box; the core decides
// the rows. Texts are Windows-1252.
#pragma once

#include "document.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kolvane {

struct ChoiceRow {
    std::string text;
    std::uint32_t itemData; // 0 for headers and separators, which cannot be chosen
};

struct ChoiceList {
    std::vector<ChoiceRow> rows;
    int selected = -1;
};

// The line drawn between groups of the counterparty list.
inline constexpr std::string_view kSeparatorText =
    "______________________________________________________";

// The usable modes of one side (debit when `debit` is nonzero), item data =
// mode id; the first row is selected.
ChoiceList fillModes(const Document& doc, int debit);

// Shown sub-categories under upper-case category headers (a separator before
// the income categories), the third parties, the other active accounts when
// at least two are active, and "Opération ventillée" when `withSplit` is set.
// The first sub-category is selected (-1 when none is shown).
ChoiceList fillCounterparties(int withSplit, const Document& doc);

// Every label in list order, item data = its category.
ChoiceList fillLabels(const Document& doc);

// Index of the first row carrying `value`; -1 when none or without a list.
int findByItemData(const ChoiceList* list, std::uint32_t value);

// Adds a label in its case-insensitive place. Returns false when a label with
// the same text (ignoring case) exists or memory runs out.
[[nodiscard]] bool insertLabel(Document& doc, std::string_view textCp1252, CategoryId categoryId);

} // namespace kolvane
