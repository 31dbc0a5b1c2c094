#include "user_rules.h"

#include "document/passwords.h"
#include "document/text.h"

namespace kolvane {
namespace {

std::string cut(std::string text, std::size_t length) {
    if (text.size() > length)
        text.resize(length);
    return text;
}

// Typed text as the records hold it, at most `length` characters.
std::string recordText(std::string_view utf8, std::size_t length) {
    return cut(utf8ToCp1252(utf8), length);
}

} // namespace

bool mayAdminister(const Document& doc) {
    return doc.currentUser && isAdministrator(doc.currentUser->flags);
}

bool keepsAnAdministrator(const Document& doc, const UserRecord& changed, std::uint32_t newFlags) {
    auto manages = [](std::uint32_t flags) { return isAdministrator(flags) && mayLogIn(flags); };
    if (manages(newFlags))
        return true;
    for (const UserRecord* user = doc.users.first(); user; user = doc.users.next(user))
        if (user != &changed && manages(user->flags))
            return true;
    return false;
}

namespace {

// The one user of a file that has never been given a password.
bool onlyUserWithoutPassword(const Document& doc, const UserRecord& user) {
    return doc.users.count() == 1 && user.password[0] == '\0';
}

} // namespace

LoginDecision decideLogin(const Document& doc, std::string_view pseudo, std::string_view password) {
    LoginDecision decision;
    const std::string name = recordText(pseudo, kLoginPseudoMaxLength);
    const std::string typed = recordText(password, kPasswordMaxLength);
    if (name.empty()) {
        decision.refusal = {RefusalMessage::EnterPseudo, RefusalField::Pseudo};
        return decision;
    }
    UserRecord* user = doc.users.first();
    while (user && fieldText(user->name) != name)
        user = doc.users.next(user);
    if (typed.empty() && !(user && onlyUserWithoutPassword(doc, *user))) {
        decision.refusal = {RefusalMessage::EnterLoginPassword, RefusalField::Password};
        return decision;
    }
    if (!user) {
        decision.refusal = {RefusalMessage::UnknownPseudo, RefusalField::Pseudo};
        return decision;
    }
    if (!checkPassword(typed, user->password, user->passwordKey)) {
        decision.refusal = {RefusalMessage::WrongPassword, RefusalField::Password};
        return decision;
    }
    if (!mayLogIn(user->flags)) {
        decision.refusal = {RefusalMessage::AccessRefused, RefusalField::Pseudo};
        return decision;
    }
    decision.user = user;
    return decision;
}

IdentityDecision decideIdentity(const Document& doc, const UserRecord& edited,
                                std::string_view pseudo, bool limited) {
    IdentityDecision decision;
    const std::string name = recordText(pseudo, kUserNameMaxLength);
    if (name.empty()) {
        decision.refusal = {RefusalMessage::EnterUserName, RefusalField::Pseudo};
        return decision;
    }
    for (const UserRecord* user = doc.users.first(); user; user = doc.users.next(user)) {
        if (user != &edited && fieldText(user->name) == name) {
            decision.refusal = {RefusalMessage::UserNameTaken, RefusalField::Pseudo};
            return decision;
        }
    }
    const std::uint32_t flags = limited ? kUserLimited : 0;
    if (!keepsAnAdministrator(doc, edited, flags)) {
        decision.refusal = {RefusalMessage::KeepOneAdministrator, RefusalField::Role};
        return decision;
    }
    decision.name = name;
    decision.flags = flags;
    return decision;
}

void applyIdentity(UserRecord& user, const IdentityDecision& decision) {
    setFieldText(user.name, decision.name);
    user.flags = decision.flags;
}

Refusal decidePassword(std::string_view password, std::string_view confirmation) {
    const std::string first = recordText(password, kPasswordMaxLength);
    const std::string second = recordText(confirmation, kPasswordMaxLength);
    if (first.empty())
        return {RefusalMessage::EnterPassword, RefusalField::Password};
    if (second.empty())
        return {RefusalMessage::ConfirmPassword, RefusalField::Confirmation};
    if (first != second)
        return {RefusalMessage::ReconfirmPassword, RefusalField::Confirmation};
    return {};
}

void applyPassword(UserRecord& user, std::string_view password) {
    storePassword(user, recordText(password, kPasswordMaxLength));
}

AccessToggle toggleUserAccess(const Document& doc, UserRecord& user) {
    AccessToggle result;
    if (&user == doc.currentUser) {
        std::string message(1, '\'');
        message += cp1252ToUtf8(fieldText(user.name));
        message += "' est l'utilisateur courant. \nVous ne pouvez pas le supprimer.";
        result.refusal = namedRefusal(std::move(message), RefusalField::UserList);
        return result;
    }
    const bool allowed = !mayLogIn(user.flags);
    const std::uint32_t flags = allowed ? user.flags & ~kUserRefused : user.flags | kUserRefused;
    if (!keepsAnAdministrator(doc, user, flags)) {
        result.refusal = {RefusalMessage::KeepOneAdministrator, RefusalField::UserList};
        return result;
    }
    setAccess(user, allowed);
    result.toggled = true;
    return result;
}

UserRecord* UserRows::user(int row) const {
    if (row < 0)
        return nullptr;
    UserRecord* user = doc_.users.first();
    for (; user && row > 0; --row)
        user = doc_.users.next(user);
    return user;
}

std::string UserRows::cellText(int row, int column) const {
    const UserRecord* shown = user(row);
    if (!shown)
        return {};
    switch (column) {
    case 0:
        return std::string(fieldText(shown->name));
    case 1:
        return utf8ToCp1252(isAdministrator(shown->flags) ? kAdministratorRole : kLimitedRole);
    case 2:
        return mayLogIn(shown->flags) ? "" : utf8ToCp1252(kRefusedMark);
    default:
        return {};
    }
}

std::uint32_t nextUserId(const Document& doc) {
    std::uint32_t largest = 0;
    for (const UserRecord* user = doc.users.first(); user; user = doc.users.next(user))
        if (user->id > largest)
            largest = user->id;
    return largest + 1;
}

} // namespace kolvane
