// Dialog 200 "Bienvenue": the recent files, "Parcourir...", "Nouveau fichier
// compte". The result is read by welcomeChoice (document_commands.h).
#pragma once

#include "shell/settings.h"

#include <windows.h>

namespace kolvane {

// 0 cancelled, 1000 new file, 1001 browse, 10 + i recent file i.
int runWelcome(const Settings& settings, HWND owner);

} // namespace kolvane
