// The texts of the main window's frame: its title and the parts of its status
// bar. All texts are UTF-8; the Win32 layer converts them when it shows them.
#pragma once

#include "document/app_title.h"

#include "document/calendar.h"
#include "document/document.h"

#include <string>
#include <string_view>

namespace kolvane {

// The file-name part of a path, after its last '\' or '/'.
std::string_view fileNamePart(std::string_view path);

// "Kolvane v.Alpha" without a file, "Kolvane v.Alpha  : [ name.kvn ]" with a
// saved file, "Kolvane v.Alpha  : [ sans titre ]" with a new one.
std::string windowTitle(const Document& doc);

// " Lun - 07/12/2026": the day name, the day and month on two digits, the year.
std::string statusDateText(const CalendarTime& date);
// " pseudo" of the logged-in user while a file is open, else empty.
std::string statusUserText(const Document& doc);
// " Compte ouvert: name" of the current account while a file is open, else empty.
std::string statusAccountText(const Document& doc);

// `pattern` with its first "%s" replaced by `value` ("Bienvenue dans %s.").
std::string fillPlaceholder(std::string_view pattern, std::string_view value);

// Right edges of the status bar's five parts; -1 reaches the window's border.
inline constexpr int kStatusPartEdges[5] = {100, 135, 170, 320, -1};
inline constexpr int kStatusDatePart = 0;
inline constexpr int kStatusUserPart = 3;
inline constexpr int kStatusAccountPart = 4;

} // namespace kolvane
