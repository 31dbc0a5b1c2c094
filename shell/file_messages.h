// What the user is told when an account file cannot be opened or saved: the
// file is named and the reason given in plain French. Texts are UTF-8.
#pragma once

#include "document/account_file.h"

#include <string>
#include <string_view>

namespace kolvane {

// A file that is not there (any more).
std::string missingFileMessage(std::string_view path);
// The same for a recent file, with the offer to remove it from the list.
std::string missingRecentFileQuestion(std::string_view path);

// A file that is there but was refused. `systemReason` is the system's words
// for a file that could not be read at all.
std::string openFailureMessage(std::string_view path, LoadStatus status,
                               std::string_view systemReason);

// A save that failed; the document stays as it was, modified.
std::string saveFailureMessage(std::string_view path, std::string_view systemReason);

} // namespace kolvane
