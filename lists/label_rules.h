// The predefined labels: kept in ascending order of text ignoring case, no
// two texts equal ignoring case, each text without leading or trailing
// spaces. Texts are Windows-1252.
#pragma once

#include "document/document.h"
#include "document/refusal.h"

#include <string>
#include <string_view>

namespace kolvane {

// Messages of the label editor (UTF-8).
inline constexpr const char* kLabelExistsQuestion =
    " Ce libellé existe déjà.\n Voulez-vous le modifier ?";

inline constexpr std::size_t kLabelTextLimit = 39;

enum class LabelPlanStatus {
    Add,    // a new label goes after `after` (at the front when null), at `index`
    Empty,  // kEnterLabelText, focus on "Libellé :"
    Exists, // kLabelExistsQuestion about `existing`, at `index`
};

struct LabelPlan {
    LabelPlanStatus status = LabelPlanStatus::Empty;
    std::string text; // trimmed
    LabelRecord* existing = nullptr;
    LabelRecord* after = nullptr;
    int index = -1;
};

// "Ajouter" with the typed text: trimmed, then looked up ignoring case; a
// new text goes before the first label that sorts after it.
LabelPlan planLabelAddition(const LabelList& labels, std::string_view typed);

// What "Ajouter" says of `plan` with the party chosen (0: a heading, no
// party): the text first, then the party.
Refusal labelRefusal(const LabelPlan& plan, CategoryId party);

// The index of `label` in the list, -1 when it is not there.
int labelIndex(const LabelList& labels, const LabelRecord* label);

} // namespace kolvane
