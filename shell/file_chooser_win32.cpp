#include "shell/file_chooser_win32.h"

#include "document/text.h"

#include <commdlg.h>

namespace kolvane::win {
namespace {

// Filter pairs end with an empty string; the literal's own terminator ends the last.
constexpr wchar_t kFilter[] = L"Fichier Kolvane (*.kvn)\0*.kvn\0";

std::optional<std::string> choose(HWND owner, bool save) {
    wchar_t path[MAX_PATH] = {};
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = kFilter;
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = L"kvn";
    dialog.lpstrTitle = save ? kSaveDialogTitle : kOpenDialogTitle;
    dialog.Flags = OFN_HIDEREADONLY | OFN_EXPLORER |
                   (save ? OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (!chosen)
        return std::nullopt;
    return wideToUtf8(path);
}

} // namespace

std::optional<std::string> chooseAccountFileToOpen(HWND owner) {
    return choose(owner, false);
}
std::optional<std::string> chooseAccountFileToSave(HWND owner) {
    return choose(owner, true);
}

} // namespace kolvane::win
