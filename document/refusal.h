// An entry a dialog refuses, as the core decides it: which message is said
// and which field takes the focus, both named by enums. The Win32 layer maps
// the field to its control in one table (win/refusals.h); the texts are
// here, the same for every dialog that says them. Texts are UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace kolvane {

// --- Texts ------------------------------------------------------------------------

// Users.
inline constexpr const char* kEnterPseudoText = " Saisissez votre pseudo .   ";
inline constexpr const char* kEnterLoginPasswordText = " Saisissez votre mot de passe .   ";
inline constexpr const char* kUnknownPseudoText = " Votre pseudo n'existe pas !   ";
inline constexpr const char* kWrongPasswordText = " Mot de passe érroné !   ";
inline constexpr const char* kAccessRefusedText =
    "Accès non autorisé. Renseignez-vous à un administrateur";
inline constexpr const char* kEnterUserNameText = " Saisissez le nom de l'utilisateur .  ";
inline constexpr const char* kUserNameTakenText =
    " Ce nom utilisateur existe déjà . \n Saisissez un autre. ";
inline constexpr const char* kEnterPasswordText = " Saisissez votre mot de passe . ";
inline constexpr const char* kConfirmPasswordText = " Confirmez votre mot de passe . ";
inline constexpr const char* kReconfirmPasswordText = " Reconfirmez votre mot de passe . ";
inline constexpr const char* kKeepOneAdministratorText =
    " Le fichier doit garder au moins un administrateur . \n"
    " Sans administrateur, personne ne pourrait plus gérer ses comptes ni ses utilisateurs. ";

// The editors of the reference lists.
inline constexpr const char* kEnterCategoryFirst =
    " Saisissez d'abord la nouvelle catégorie avant \n d'ajouter dans la liste . ";
inline constexpr const char* kEnterSubcategoryFirst =
    " Saisissez d'abord la nouvelle sous-catégorie avant \n d'ajouter dans la liste . ";
inline constexpr const char* kCategoriesFull = " Capacité de catégorie dépassé . ";
inline constexpr const char* kSubcategoriesFull =
    " Cette catégorie a déjà 255 sous-catégories : \n il n'est plus possible d'en ajouter . ";
inline constexpr const char* kEnterLabelText = " Saisissez le libellé à ajouter dans la liste.";
inline constexpr const char* kChooseSubcategoryText =
    " Vous devez séléctionner une sous-catégorie \n mais pas une catégorie . ";
inline constexpr const char* kEnterModeName =
    " Saisissez d'abord le nouveau mode de transaction avant \n d'ajouter dans la liste . ";
inline constexpr const char* kModeExists = " Ce mode de transaction existe déjà . ";
inline constexpr const char* kModesFull = " Capacité de mode de transaction dépassé . ";

// "Nouvelle banque".
inline constexpr const char* kMissingBankNameMessage =
    "Vous devez saisir le nom de l'établissement avant de valider.";
inline constexpr const char* kMissingBankLogoMessage =
    "Vous devez ajouter un logo pour cet établissement.";

// The operation entry pane and the ventilation editor.
inline constexpr const char* kDebitAndCreditText =
    "Vous ne pouvez pas saisir en même temps un\ncrédit et un débit .";
inline constexpr const char* kEnterOperationLabelText = "Saisissez le libellé de l'opération.";
inline constexpr const char* kEnterLineAmount = "Saisissez le montant de ventillation .";

// The third parties.
inline constexpr const char* kEmptyThirdNameMessage = "Vous devez saisir le nom du Tiers .";
inline constexpr const char* kSameThirdMessage =
    "Les opérations ne peuvent pas être transférées vers le Tiers à supprimer .\n"
    "Choisissez un autre Tiers, un compte ou une catégorie .";

// The loan simulator.
inline constexpr const char* kLoanInvalidDatesText =
    "Date de la 1ère échéance ou celle de déblocage de Fonds n'est pas valide .";
inline constexpr const char* kLoanMissingAmountText = "Saisissez le montant de crédit .";
inline constexpr const char* kLoanAmountTooLargeText =
    "Le montant de crédit ne peut pas dépasser 2 147 483.64 .";
inline constexpr const char* kLoanMissingCountText = "Saisissez le nombre d'échéances .";
inline constexpr const char* kLoanTooManyInstalmentsText =
    "Le nombre d'échéances ne peut pas dépasser 1 200 .";
inline constexpr const char* kLoanMissingRateText = "Saisissez le taux d'intérêt .";
inline constexpr const char* kLoanRateTooHighText =
    "Le taux d'intérêt annuel ne peut pas dépasser 100 % .";
inline constexpr const char* kLoanInsuranceTooLargeText =
    "Le montant de l'assurance ne peut pas dépasser 2 147 483.64 .";
inline constexpr const char* kLoanInsuranceRateTooHighText =
    "Le taux d'assurance ne peut pas dépasser 100 % .";
inline constexpr const char* kLoanInstalmentTooLargeText =
    "L'échéance dépasserait 2 147 483.64 : diminuez le montant de crédit .";
inline constexpr const char* kLoanRoundingDivergesText =
    "Avec autant d'échéances à ce taux, les arrondis au centime dépassent une "
    "échéance : réduisez le nombre d'échéances .";

// --- Refusals ---------------------------------------------------------------------

enum class RefusalMessage : std::uint8_t {
    None, // accepted
    EnterPseudo,
    EnterLoginPassword,
    UnknownPseudo,
    WrongPassword,
    AccessRefused,
    EnterUserName,
    UserNameTaken,
    EnterPassword,
    ConfirmPassword,
    ReconfirmPassword,
    KeepOneAdministrator,
    EnterCategoryFirst,
    EnterSubcategoryFirst,
    CategoriesFull,
    SubcategoriesFull,
    EnterLabelText,
    ChooseSubcategory,
    EnterModeName,
    ModeExists,
    ModesFull,
    MissingBankName,
    MissingBankLogo,
    EmptyThirdName,
    SameThird,
    EnterLineAmount,
    DebitAndCredit,
    EnterOperationLabel,
    LoanInvalidDates,
    LoanMissingAmount,
    LoanAmountTooLarge,
    LoanMissingCount,
    LoanTooManyInstalments,
    LoanMissingRate,
    LoanRateTooHigh,
    LoanInsuranceTooLarge,
    LoanInsuranceRateTooHigh,
    LoanInstalmentTooLarge,
    LoanRoundingDiverges,
    Named, // a text that names a record: Refusal::named
};

// The fields a refusal sends the focus to.
enum class RefusalField : std::uint8_t {
    None, // the focus stays where it is
    Pseudo,
    Password,
    Confirmation,
    Role,
    UserList,
    CategoryName,
    Subcategory,
    LabelText,
    LabelParty,
    ModeName,
    ModeList,
    BankName,
    ThirdName,
    ThirdTarget,
    LineAmount,
    EntryCredit,
    EntryLabel,
    LoanReleaseDate,
    LoanAmount,
    LoanCount,
    LoanRate,
    LoanInsurance,
};

struct Refusal {
    RefusalMessage message = RefusalMessage::None;
    RefusalField field = RefusalField::None;
    std::string named; // the text of a RefusalMessage::Named

    Refusal() = default; // accepted
    Refusal(RefusalMessage what, RefusalField where, std::string text = {})
        : message(what), field(where), named(std::move(text)) {}
    explicit operator bool() const { return message != RefusalMessage::None; }
};

// A refusal whose text names a record (a user, a mode...).
inline Refusal namedRefusal(std::string text, RefusalField field) {
    return Refusal{RefusalMessage::Named, field, std::move(text)};
}

// The text said for `refusal`; empty for an accepted entry.
std::string refusalText(const Refusal& refusal);

} // namespace kolvane
