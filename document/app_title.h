// The program's name as the user sees it: the main window's title and the
// title of every message box.
#pragma once

namespace kolvane {

inline constexpr const char* kAppTitle = "Kolvane v.Alpha";
inline constexpr const wchar_t* kAppTitleWide = L"Kolvane v.Alpha";

} // namespace kolvane
