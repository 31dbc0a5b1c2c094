#include "label_rules.h"

#include "document/operation_texts.h"
#include "document/text.h"

namespace kolvane {

LabelPlan planLabelAddition(const LabelList& labels, std::string_view typed) {
    LabelPlan plan;
    plan.text = trimSpaces(typed.substr(0, kLabelTextLimit));
    if (plan.text.empty())
        return plan;
    // The whole list is searched: a file may hold its labels out of order.
    int index = 0;
    for (LabelRecord& label : labels) {
        if (equalNoCase(fieldText(label.text), plan.text)) {
            plan.status = LabelPlanStatus::Exists;
            plan.existing = &label;
            plan.index = index;
            return plan;
        }
        ++index;
    }
    index = 0;
    for (LabelRecord& label : labels) {
        if (compareNoCase(fieldText(label.text), plan.text) > 0)
            break;
        plan.after = &label;
        ++index;
    }
    plan.status = LabelPlanStatus::Add;
    plan.index = index;
    return plan;
}

int labelIndex(const LabelList& labels, const LabelRecord* label) {
    int index = 0;
    for (const LabelRecord& record : labels) {
        if (&record == label)
            return index;
        ++index;
    }
    return -1;
}

Refusal labelRefusal(const LabelPlan& plan, CategoryId party) {
    if (plan.status == LabelPlanStatus::Empty)
        return {RefusalMessage::EnterLabelText, RefusalField::LabelText};
    if (party == 0)
        return {RefusalMessage::ChooseSubcategory, RefusalField::LabelParty};
    return {};
}

} // namespace kolvane
