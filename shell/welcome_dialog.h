// Dialog 200 "Bienvenue": the recent files, "Parcourir...", "Nouveau fichier
// compte". The result is read by welcomeChoice (document_commands.h).
#pragma once

#include "shell/document_commands.h"
#include "shell/settings.h"

#include <windows.h>

namespace kolvane {

struct WelcomeIn {
    const Settings* settings = nullptr; // its recent files are listed; never null
};
WelcomeResult runWelcome(const WelcomeIn& in, HWND owner);

} // namespace kolvane
