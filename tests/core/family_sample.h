// The family file that the shell's tests open: the accounts "Courant"
// (10.00) and "Livret" (20.00), the default modes and categories, the
// administrator "Marie" (password "secret", number 1) and the limited user
// "Paul" ("paul", number 4).
#pragma once

#include "document/document.h"
#include "document/passwords.h"
#include "document/text.h"

#include <cstdint>

namespace kolvane::sample {

inline UserRecord* addUser(Document& doc, const char* name, const char* password,
                           std::uint32_t id, std::uint32_t flags) {
    UserRecord user{};
    setFieldUtf8(user.name, name);
    storePassword(user, password);
    user.id = id;
    user.flags = flags;
    return doc.users.append(user);
}

inline void buildFamily(Document& doc) {
    documentInit(doc);
    if (!createAccount(doc, "Courant", 10.0) || !createAccount(doc, "Livret", 20.0) ||
        !addDefaultModes(doc) || !addDefaultCategories(doc))
        return; // out of memory: the checks on the family fail
    addUser(doc, "Marie", "secret", 1, 0);
    addUser(doc, "Paul", "paul", 4, kUserLimited);
    doc.isOpen = 1;
}

} // namespace kolvane::sample
