#include "document/refusal.h"

namespace kolvane {

std::string refusalText(const Refusal& refusal) {
    switch (refusal.message) {
    case RefusalMessage::None:
        return {};
    case RefusalMessage::EnterPseudo:
        return kEnterPseudoText;
    case RefusalMessage::EnterLoginPassword:
        return kEnterLoginPasswordText;
    case RefusalMessage::UnknownPseudo:
        return kUnknownPseudoText;
    case RefusalMessage::WrongPassword:
        return kWrongPasswordText;
    case RefusalMessage::AccessRefused:
        return kAccessRefusedText;
    case RefusalMessage::EnterUserName:
        return kEnterUserNameText;
    case RefusalMessage::UserNameTaken:
        return kUserNameTakenText;
    case RefusalMessage::EnterPassword:
        return kEnterPasswordText;
    case RefusalMessage::ConfirmPassword:
        return kConfirmPasswordText;
    case RefusalMessage::ReconfirmPassword:
        return kReconfirmPasswordText;
    case RefusalMessage::KeepOneAdministrator:
        return kKeepOneAdministratorText;
    case RefusalMessage::EnterCategoryFirst:
        return kEnterCategoryFirst;
    case RefusalMessage::EnterSubcategoryFirst:
        return kEnterSubcategoryFirst;
    case RefusalMessage::CategoriesFull:
        return kCategoriesFull;
    case RefusalMessage::SubcategoriesFull:
        return kSubcategoriesFull;
    case RefusalMessage::EnterLabelText:
        return kEnterLabelText;
    case RefusalMessage::ChooseSubcategory:
        return kChooseSubcategoryText;
    case RefusalMessage::EnterModeName:
        return kEnterModeName;
    case RefusalMessage::ModeExists:
        return kModeExists;
    case RefusalMessage::ModesFull:
        return kModesFull;
    case RefusalMessage::MissingBankName:
        return kMissingBankNameMessage;
    case RefusalMessage::MissingBankLogo:
        return kMissingBankLogoMessage;
    case RefusalMessage::EmptyThirdName:
        return kEmptyThirdNameMessage;
    case RefusalMessage::SameThird:
        return kSameThirdMessage;
    case RefusalMessage::EnterLineAmount:
        return kEnterLineAmount;
    case RefusalMessage::DebitAndCredit:
        return kDebitAndCreditText;
    case RefusalMessage::EnterOperationLabel:
        return kEnterOperationLabelText;
    case RefusalMessage::LoanInvalidDates:
        return kLoanInvalidDatesText;
    case RefusalMessage::LoanMissingAmount:
        return kLoanMissingAmountText;
    case RefusalMessage::LoanAmountTooLarge:
        return kLoanAmountTooLargeText;
    case RefusalMessage::LoanMissingCount:
        return kLoanMissingCountText;
    case RefusalMessage::LoanTooManyInstalments:
        return kLoanTooManyInstalmentsText;
    case RefusalMessage::LoanMissingRate:
        return kLoanMissingRateText;
    case RefusalMessage::LoanRateTooHigh:
        return kLoanRateTooHighText;
    case RefusalMessage::LoanInsuranceTooLarge:
        return kLoanInsuranceTooLargeText;
    case RefusalMessage::LoanInsuranceRateTooHigh:
        return kLoanInsuranceRateTooHighText;
    case RefusalMessage::LoanInstalmentTooLarge:
        return kLoanInstalmentTooLargeText;
    case RefusalMessage::LoanRoundingDiverges:
        return kLoanRoundingDivergesText;
    case RefusalMessage::Named:
        return refusal.named;
    }
    return {};
}

} // namespace kolvane
