#include "reference_rows.h"

#include "category_rules.h"
#include "document/operation_texts.h"
#include "document/text.h"

namespace kolvane {

std::string CategoryRows::cellText(int row, int column) const {
    const CategoryRecord* record = recordAt(doc_.categories, row);
    if (!record)
        return {};
    if (column == 0)
        return categoryRowText(*record);
    if (column == 1 && record->shown == 0)
        return utf8ToCp1252(kHiddenText);
    return {};
}

std::string LabelRows::cellText(int row, int column) const {
    const LabelRecord* label = recordAt(doc_.labels, row);
    if (!label)
        return {};
    if (column == 0)
        return std::string(fieldText(label->text));
    if (column == 1)
        return partyText(doc_, label->categoryId);
    return {};
}

std::string ModeRows::cellText(int row, int column) const {
    const ModeRecord* mode = recordAt(doc_.modes, row);
    if (!mode)
        return {};
    if (column == 0)
        return (mode->kind == 1 ? "     " : "") + std::string(fieldText(mode->name));
    if (column != 1 || mode->kind != 1)
        return {};
    const auto found = uses_.find(mode->id);
    const int count = found == uses_.end() ? 0 : found->second;
    if (count == 0)
        return {};
    return utf8ToCp1252(std::to_string(count) + (count == 1 ? " opération" : " opérations"));
}

RowLook ModeRows::rowLook(int row) const {
    RowLook look;
    const ModeRecord* mode = recordAt(doc_.modes, row);
    look.bold = mode && mode->kind != 1;
    return look;
}

void ModeRows::countUses() {
    uses_.clear();
    for (const OperationRecord& operation : doc_.operations)
        ++uses_[operation.modeId];
}

} // namespace kolvane
