// The refusals the dialogs say: for each check, the message and the field
// that takes the focus, in the order the dialog checks; accepted entries
// are no refusal.
#include "accounts/bank_directory.h"
#include "document/refusal.h"
#include "lists/category_rules.h"
#include "lists/label_rules.h"
#include "lists/mode_rules.h"
#include "thirds/third_model.h"

#include <gtest/gtest.h>

namespace kolvane {
namespace {

using M = RefusalMessage;
using F = RefusalField;

TEST(Refusals, EachCheckGivesItsMessageAndItsField) {
    LabelPlan emptyLabel; // nothing typed
    LabelPlan newLabel;
    newLabel.status = LabelPlanStatus::Add;
    struct Case {
        Refusal refusal;
        M message;
        F field;
    };
    const Case cases[] = {
        {categoryRefusal(CategoryPlanStatus::NoCategoryText), M::EnterCategoryFirst, F::CategoryName},
        {categoryRefusal(CategoryPlanStatus::NoSubcategoryText), M::EnterSubcategoryFirst,
         F::Subcategory},
        {categoryRefusal(CategoryPlanStatus::SubcategoriesFull), M::SubcategoriesFull,
         F::CategoryName},
        {labelRefusal(emptyLabel, 0), M::EnterLabelText, F::LabelText}, // the text first
        {labelRefusal(newLabel, 0), M::ChooseSubcategory, F::LabelParty},
        {modeRefusal(ModePlanStatus::Exists), M::ModeExists, F::ModeName},
        {checkNewBank("", false), M::MissingBankName, F::BankName},
        {checkNewBank("Banque", false), M::MissingBankLogo, F::None},
        {thirdNameRefusal(""), M::EmptyThirdName, F::ThirdName},
        {thirdTargetRefusal(TargetCheck::SameThird), M::SameThird, F::ThirdTarget},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.refusal.message, c.message);
        EXPECT_EQ(c.refusal.field, c.field);
    }
    for (const Refusal& accepted :
         {categoryRefusal(CategoryPlanStatus::Ready), labelRefusal(newLabel, 0x0101),
          modeRefusal(ModePlanStatus::Ready), checkNewBank("Banque", true), thirdNameRefusal("X"),
          thirdTargetRefusal(TargetCheck::Heading)})
        EXPECT_FALSE(accepted);

    EXPECT_EQ(refusalText(thirdTargetRefusal(TargetCheck::SameThird)),
              "Les opérations ne peuvent pas être transférées vers le Tiers à supprimer .\n"
              "Choisissez un autre Tiers, un compte ou une catégorie .");
    EXPECT_EQ(refusalText(namedRefusal("'Marie' est l'utilisateur courant.", F::UserList)),
              "'Marie' est l'utilisateur courant.");
    EXPECT_EQ(refusalText(Refusal{}), "");
}

} // namespace
} // namespace kolvane
