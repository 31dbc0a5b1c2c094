// The decisions of the user dialogs: which message a refused entry gets and
// which field takes the focus, and what an accepted entry stores. Texts come
// in and go out as UTF-8; the records hold Windows-1252.
#pragma once

#include "document/document.h"
#include "document/row_model.h"
#include "document/refusal.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kolvane {

// The longest pseudo the login reads, and the longest a user name may hold.
inline constexpr std::size_t kLoginPseudoMaxLength = 58;
inline constexpr std::size_t kUserNameMaxLength = 39;

inline constexpr const char* kNotAllowedText = // string 20402
    "Vous n'êtes pas autorisés à utiliser cette fonction. \nAdressez-vous à un administrateur.";

inline constexpr const char* kChangePasswordTitle = "Modifier mot de passe";
inline constexpr const char* kNewPasswordTitle = "Choisissez un mot de passe";
inline constexpr const char* kPasswordFirstText =
    " L'utilisateur courant n'a pas encore de mot de passe . \n"
    " Choisissez-en un avec \"Changer mot de passe\" (menu Outils) ou en enregistrant le fichier, "
    "puis créez les autres utilisateurs. ";

inline constexpr const char* kAdministratorRole = "Administrateur";
inline constexpr const char* kLimitedRole = "Utilisateur";
inline constexpr const char* kRefusedMark = "supprimé";

// True when the current user may run the commands that need rights (there is
// one, and it is not "Limité").
bool mayAdminister(const Document& doc);

// True while at least one user other than `changed` is an administrator who
// may log in, or `changed` stays one with `newFlags`: a file always keeps
// someone able to manage it.
bool keepsAnAdministrator(const Document& doc, const UserRecord& changed, std::uint32_t newFlags);

// Login: the user found, or the refusal. Passwords are compared on their first
// 15 characters, as they were stored. A file whose only user has no password
// (written before passwords were asked at the first save) opens with an empty
// password; the caller then asks for one.
struct LoginDecision {
    UserRecord* user = nullptr;
    Refusal refusal;
};
LoginDecision decideLogin(const Document& doc, std::string_view pseudo, std::string_view password);

// Identity of `edited`: the name and flags to store, or the refusal. A name
// that another user of the list holds is refused; the edited user may keep
// its own. Making the file's last administrator limited is refused.
struct IdentityDecision {
    Refusal refusal;
    std::string name; // Windows-1252, at most 39 characters
    std::uint32_t flags = 0;
};
IdentityDecision decideIdentity(const Document& doc, const UserRecord& edited,
                                std::string_view pseudo, bool limited);
void applyIdentity(UserRecord& user, const IdentityDecision& decision);

// Password and its confirmation, both cut to 15 characters.
Refusal decidePassword(std::string_view password, std::string_view confirmation);
// Stores the password scrambled with a fresh key.
void applyPassword(UserRecord& user, std::string_view password);

// "Supprimer" in the user list: the current user cannot lose its access (the
// message names it), nor the last administrator; any other user has its
// access toggled. Nothing is removed.
struct AccessToggle {
    bool toggled = false;
    Refusal refusal;
};
AccessToggle toggleUserAccess(const Document& doc, UserRecord& user);

// The rows of the user list: every user in list order, with its pseudo, its
// role and "supprimé" when its access is switched off.
class UserRows : public RowModel {
  public:
    explicit UserRows(const Document& doc) : doc_(doc) {}
    int rowCount() const override { return doc_.users.count(); }
    std::string cellText(int row, int column) const override;
    UserRecord* user(int row) const; // null out of range

  private:
    const Document& doc_;
};

// The identifier a new user gets: one more than the largest in the list.
std::uint32_t nextUserId(const Document& doc);

} // namespace kolvane
