// The standard open and save dialogs for account files.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace kolvane::win {

inline constexpr const wchar_t* kOpenDialogTitle = L"Ouvrir un fichier Kolvane...";
inline constexpr const wchar_t* kSaveDialogTitle = L"Enregistrer sous...";

// The chosen path (UTF-8), or nothing when the user cancels.
std::optional<std::string> chooseAccountFileToOpen(HWND owner);
std::optional<std::string> chooseAccountFileToSave(HWND owner);

} // namespace kolvane::win
