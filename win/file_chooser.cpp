#include "win/file_chooser.h"

#include "document/text.h"

#include <commdlg.h>

namespace kolvane::win {

std::optional<std::string> chooseFile(HWND owner, const FileChoice& choice, int* filterIndex) {
    wchar_t path[MAX_PATH] = {};
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = choice.filter;
    dialog.nFilterIndex = filterIndex && *filterIndex > 0 ? static_cast<DWORD>(*filterIndex) : 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = choice.defaultExtension;
    dialog.lpstrTitle = choice.title;
    dialog.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_PATHMUSTEXIST |
                   (choice.save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const BOOL chosen = choice.save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
    if (!chosen)
        return std::nullopt;
    if (filterIndex)
        *filterIndex = static_cast<int>(dialog.nFilterIndex);
    return wideToUtf8(path);
}

} // namespace kolvane::win
