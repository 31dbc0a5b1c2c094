#include "file_messages.h"

namespace kolvane {
namespace {

std::string withReason(std::string text, std::string_view reason) {
    if (!reason.empty()) {
        text += " (";
        text += reason;
        text += ')';
    }
    return text;
}

// Why a readable file is not an account file we can use.
const char* damageReason(LoadStatus status) {
    switch (status) {
    case LoadStatus::Empty:
        return "fichier vide";
    case LoadStatus::NotAnAccountFile:
        return "en-tête inconnu";
    case LoadStatus::Truncated:
        return "fichier tronqué";
    case LoadStatus::BadLogoLength:
        return "logo de banque endommagé";
    case LoadStatus::TrailingBytes:
        return "données en trop à la fin du fichier";
    default:
        return "";
    }
}

} // namespace

std::string missingFileMessage(std::string_view path) {
    return "Le fichier " + std::string(path) + " est introuvable.";
}

std::string missingRecentFileQuestion(std::string_view path) {
    return missingFileMessage(path) + "\nLe retirer de la liste des fichiers récents ?";
}

std::string openFailureMessage(std::string_view path, LoadStatus status,
                               std::string_view systemReason) {
    const std::string cannotOpen = "Le fichier " + std::string(path) + " ne peut pas être ouvert";
    switch (status) {
    case LoadStatus::Ok:
        return {};
    case LoadStatus::CannotOpen:
        return withReason(cannotOpen, systemReason) + ".";
    case LoadStatus::TooLarge:
        return withReason(cannotOpen, "fichier trop volumineux") + ".";
    case LoadStatus::OutOfMemory:
        return withReason(cannotOpen, "mémoire insuffisante") + ".";
    default:
        return withReason("Le fichier " + std::string(path) +
                              " n'est pas un fichier compte Kolvane ou il est endommagé",
                          damageReason(status)) +
               ".";
    }
}

std::string saveFailureMessage(std::string_view path, std::string_view systemReason) {
    return withReason("Le fichier " + std::string(path) + " n'a pas pu être enregistré",
                      systemReason) +
           ".\nVos modifications sont conservées : enregistrez-les ailleurs avec « Enregistrer "
           "sous ».";
}

} // namespace kolvane
