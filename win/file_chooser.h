// The standard open and save dialogs. Every caller describes what it wants in
// a FileChoice; the account files and the bank logos use the two below.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace kolvane::win {

struct FileChoice {
    bool save = false;
    const wchar_t* title = nullptr;
    // Pairs of "label\0pattern\0", ending with the literal's own terminator.
    const wchar_t* filter = nullptr;
    const wchar_t* defaultExtension = nullptr;
};

inline constexpr FileChoice kOpenAccountFile{false, L"Ouvrir un fichier Kolvane...",
                                             L"Fichier Kolvane (*.kvn)\0*.kvn\0", L"kvn"};
inline constexpr FileChoice kSaveAccountFile{true, L"Enregistrer sous...",
                                             L"Fichier Kolvane (*.kvn)\0*.kvn\0", L"kvn"};
inline constexpr FileChoice kOpenPicture{false, L"Ouvrir un fichier image...",
                                         L"Fichier image (*.bmp;*.jpg;*.gif)\0*.bmp;*.jpg;*.gif\0",
                                         L"bmp"};

// The chosen path (UTF-8), or nothing when the user cancels. With
// `filterIndex`, the filter shown first and then the one chosen, from 1.
std::optional<std::string> chooseFile(HWND owner, const FileChoice& choice,
                                      int* filterIndex = nullptr);

} // namespace kolvane::win
