// The predefined labels: kept in ascending order of text ignoring case, no
// two texts equal ignoring case, each text without leading or trailing
// spaces. Texts are Windows-1252.
#pragma once

#include "document/document.h"

#include <string>
#include <string_view>

namespace kolvane {

// Messages of the label editor (UTF-8).
inline constexpr const char* kEnterLabelText = " Saisissez le libellé à ajouter dans la liste.";
inline constexpr const char* kLabelExistsQuestion =
    " Ce libellé existe déjà.\n Voulez-vous le modifier ?";
inline constexpr const char* kChooseSubcategoryText =
    " Vous devez séléctionner une sous-catégorie \n mais pas une catégorie . ";

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

// The index of `label` in the list, -1 when it is not there.
int labelIndex(const LabelList& labels, const LabelRecord* label);

} // namespace kolvane
